#!/usr/bin/env bash
# On a machine without a sound device the game stops at start with the mixer's message, in a
# box and in stderr.txt, and status 1; with SOUNDS 0 and MUSIC 0, as the players' README.txt advises, it starts and ends
# normally, and the two settings stay as the player set them.
source "$(dirname "$0")/lib.sh"
start_display 800x600
install_release
ZK_AUDIO_DRIVER=

write_windows_config() {
    printf 'SCREEN_WIDTH: 800\r\nSCREEN_HEIGHT: 600\r\nBPP: 32\r\nFULLSCREEN: 0\r\nSOUNDS: %s\r\nMUSIC: %s\r\n' "$1" "$2" \
        >"$RELEASE/config.txt"
}

write_windows_config 128 100
start_wine_game
dismiss_message_box
expect_exit 1
message=$(tr -d '\n' <"$RELEASE/stderr.txt")
[[ "$message" == "Mix_OpenAudio: "?*$'\r\r' ]] ||
    fail "stderr.txt: expected the mixer's message and two CR LF, got [$(od -c "$RELEASE/stderr.txt" | head -6)]"
echo "without a sound device: $(head -n1 "$RELEASE/stderr.txt" | tr -d '\r')"
expect_windows_config 800 600 32 0 128 100

write_windows_config 0 0
start_wine_game
wait_for_window
wait_for_picture
key alt+F4
expect_exit 0
expect_no_output stderr.txt
expect_windows_config 800 600 32 0 0 0
echo PASS
