#!/usr/bin/env bash
# Start-ups that cannot go on: without data\world.txt, and with a JPEG cut short. Each shows
# its message in a box and waits there for the player; then it ends with status 1, the message
# and its line ends in stderr.txt (fatal adds one line end to the message's own; both become
# CR LF in the text-mode stream), and the settings and best score still written on the way out.
source "$(dirname "$0")/lib.sh"
start_display 800x600

# fails_with WHAT STDERR_FORMAT: the prepared release starts, stops, and says so.
fails_with() {
    printf 'SCREEN_WIDTH: 800\r\nSCREEN_HEIGHT: 600\r\nBPP: 32\r\nFULLSCREEN: 0\r\nSOUNDS: 128\r\nMUSIC: 100\r\n' \
        >"$RELEASE/config.txt"
    start_wine_game
    dismiss_message_box
    expect_exit 1
    expect_bytes "$RELEASE/stderr.txt" "$2"
    expect_bytes "$RELEASE/stdout.txt" 'Could not load hiscore from data\\hiscore.txt'
    expect_bytes "$RELEASE/data/hiscore.txt" 0
    expect_windows_config 800 600 32 0 128 100
    echo "$1: as expected"
}

install_release
rm "$RELEASE/data/world.txt"
fails_with "no World file" 'ERROR opening file data\\world.txt\r\n\r\n'

# Started without a console, as from Explorer or the Start menu, the output reaches the files
# all the same.
install_release
head -c 300 "$ZK_RELEASE/data/menu.jpg" >"$RELEASE/data/menu.jpg"
WINE_START=1 fails_with "JPEG cut short, started without a console" 'Cannot load texture from data\\menu.jpg.\r\n'
echo PASS
