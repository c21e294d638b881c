#!/usr/bin/env bash
# An install the player cannot write to, as under Program Files: the game starts from the
# files beside it, keeps the settings and best score in %APPDATA%\Zembrak instead, leaves its
# own folder untouched, and reads the player's copies back at the next start; its output goes
# there too. The player's %APPDATA% lies in a folder named "Profil ř", as for a user name the
# ANSI code page cannot spell.
source "$(dirname "$0")/lib.sh"
trap 'chmod -R u+w "$WORK" 2>/dev/null || true; wine_cleanup' EXIT
start_display 800x600
install_release
appdata="$WORK/Profil ř/AppData"
mkdir -p "$appdata"
player="$appdata/Zembrak"
WINE_ENV=("APPDATA=$(windows_path "$appdata")")

printf 'SCREEN_WIDTH: 800\r\nSCREEN_HEIGHT: 600\r\nBPP: 32\r\nFULLSCREEN: 0\r\nSOUNDS: 128\r\nMUSIC: 100\r\n' \
    >"$RELEASE/config.txt"
printf '1234' >"$RELEASE/data/hiscore.txt"
WINE_AS=("${WITHOUT_OVERRIDE[@]}")
if [ ${#WINE_AS[@]} -gt 0 ]; then
    # As under Program Files: the files belong to someone else and only their access rights
    # refuse writing; Wine shows a file with any write permission bit as not read-only. The best
    # score is read-only besides.
    chown -R nobody "$RELEASE"
    chmod -R go-w "$RELEASE"
    chmod a-w "$RELEASE/data/hiscore.txt"
    # Asked as the game will be: Wine's server, which opens the files, keeps the capabilities
    # of the first Wine program.
    attributes=$("${WINE_AS[@]}" wine cmd /c attrib "$(windows_path "$RELEASE/config.txt")" 2>/dev/null | tr -d '\r')
    [[ "$attributes" == *Z:* && "${attributes%%Z:*}" != *R* ]] || fail "config.txt must not be read-only by its attributes: [$attributes]"
else
    chmod -R a-w "$RELEASE"
fi
(cd "$RELEASE" && find . -type f -exec md5sum {} + | sort) >"$WORK/installed.md5"
# Writing as the test's user must really be refused, or this proves nothing.
! "${WINE_AS[@]}" sh -c ': >"$1"' sh "$RELEASE/config.txt" 2>/dev/null || fail "config.txt is still writable"
! "${WINE_AS[@]}" sh -c ': >"$1"' sh "$RELEASE/probe" 2>/dev/null || fail "the install is still writable"

# Started without a console, as from the Start menu, and without a sound device: the game's
# word on that goes to stderr.txt in %APPDATA%\Zembrak, as the install takes no files.
WINE_START=1 ZK_AUDIO_DRIVER='' start_wine_game
wait_for_window
wait_for_picture
key alt+F4
expect_exit 0
grep -q '^Mix_OpenAudio: ' "$player/stderr.txt" 2>/dev/null || fail "no stderr.txt in %APPDATA%\\Zembrak"
(cd "$RELEASE" && find . -type f -exec md5sum {} + | sort) >"$WORK/after.md5"
cmp -s "$WORK/installed.md5" "$WORK/after.md5" || fail "the install changed: $(diff "$WORK/installed.md5" "$WORK/after.md5")"
[ -z "$(ls -A "$RELEASE" | grep -v -x -f <(sed 's|.*  \./||; s|/.*||' "$WORK/installed.md5"))" ] ||
    fail "files appeared in the install: $(ls -A "$RELEASE")"
expect_bytes "$player/hiscore.txt" 1234
cp "$player/config.txt" "$WORK/release_config" 2>/dev/null || fail "no config.txt in %APPDATA%\\Zembrak"
standard_config 800 600 32 0 128 100 | sed '$!s/$/\r/' >"$WORK/expected_config"
cmp -s "$WORK/expected_config" "$player/config.txt" || fail "config.txt in %APPDATA%\\Zembrak: $(od -c "$player/config.txt" | head -4)"
echo "saved in $player"

# The player's copy wins over the one beside the program from now on. Started by a path that
# mixes both separators, the last one a slash.
sed -i 's/^SCREEN_WIDTH: 800\r$/SCREEN_WIDTH: 640\r/; s/^SCREEN_HEIGHT: 600\r$/SCREEN_HEIGHT: 480\r/' "$player/config.txt"
start_wine_game "\"$(windows_program_path | sed 's|\\zembrak.exe$|/zembrak.exe|; s|^Z:\\|Z:/|')\""
wait_for_window
expect_window_size 640x480 "window size from the player's config.txt"
wait_for_picture
key alt+F4
expect_exit 0
expect_bytes "$player/hiscore.txt" 1234
echo PASS
