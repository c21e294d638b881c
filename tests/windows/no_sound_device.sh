#!/usr/bin/env bash
# On a machine without a sound device the game says so in stderr.txt, with no message box, and
# plays in silence; the volumes stay in config.txt as the player set them, for when a device is
# back. With SOUNDS 0 and MUSIC 0 it opens no sound device at all and has nothing to say.
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
wait_for_window
wait_for_picture
key Return
step_twice_and_quit
message=$(tr -d '\r' <"$RELEASE/stderr.txt")
[[ "$message" == "Mix_OpenAudio: "?*$'\n'"Playing without sound." ]] ||
    fail "stderr.txt: expected the mixer's message, got [$(od -c "$RELEASE/stderr.txt" | head -6)]"
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
