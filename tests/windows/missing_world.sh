#!/usr/bin/env bash
# Without data\world.txt the game stops at start: the message and its line ends in
# stderr.txt, status 1, and the settings and best score still written on the way out.
source "$(dirname "$0")/lib.sh"
start_display 800x600
install_release
rm "$WORK/release/data/world.txt"
printf 'SCREEN_WIDTH: 800\r\nSCREEN_HEIGHT: 600\r\nBPP: 32\r\nFULLSCREEN: 0\r\nSOUNDS: 128\r\nMUSIC: 100\r\n' \
    >"$WORK/release/config.txt"
start_wine_game
expect_exit 1
# fatal adds its own line end to the message's: two, each CR LF in a text-mode stream.
expect_bytes "$WORK/release/stderr.txt" 'ERROR opening file data\\world.txt\r\n\r\n'
expect_bytes "$WORK/release/stdout.txt" 'Could not load hiscore from data\\hiscore.txt'
expect_bytes "$WORK/release/data/hiscore.txt" 0
expect_windows_config 800 600 32 0 128 100
echo PASS
