#!/usr/bin/env bash
# Saving where the program's folder cannot be written, and saving through links: a read-only
# install keeps its files in the player's folders, writable files in a read-only folder are
# written in place, links and modes stay as they were, and "Could not save" appears exactly
# when a file was not saved. A write that fails half way (a full disk) leaves the old file whole.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_exit.sh"
trap 'chmod -R u+w "$WORK" 2>/dev/null || true; cleanup' EXIT
start_display

reinstall() {
    chmod -R u+w "$WORK/game" 2>/dev/null || true
    rm -rf "$WORK/game" "$WORK/player" "$WORK/shared"
    install_game
}

make_read_only() { chmod a-w "$WORK/game" "$WORK/game/data"; }

# Writing as the test's user must really be refused, or the cases below prove nothing.
probe_write() { "${WITHOUT_OVERRIDE[@]}" sh -c ': >"$1"' sh "$1" 2>/dev/null; }

# Starts, begins a game, takes one step (one step from the start scores 2), and quits.
play_one_step() {
    start_game_as "$@"
    wait_for_window
    wait_for_picture
    key Return
    wait_for_play
    key Right
    key alt+F4
    expect_exit 0
}

game_files() { ls -A "$WORK/game" | grep -vx -e data -e zembrak || true; }

# A read-only install with neither file: the player's folders take both, with the usual
# content, and nothing appears beside the program.
reinstall
rm -f "$WORK/game/config.txt"
make_read_only
! probe_write "$WORK/game/data/probe" || fail "the folder is still writable"
start_game_as "${WITHOUT_OVERRIDE[@]}"
wait_for_window
wait_for_picture
key alt+F4
expect_exit 0
expect_output stdout 'Could not load hiscore from data\\hiscore.txtCould not load config from config.txt'
expect_output stderr ''
[ -z "$(game_files)" ] || fail "files appeared beside the program: $(game_files)"
[ ! -e "$WORK/game/data/hiscore.txt" ] || fail "hiscore file appeared"
standard_config 800 600 32 1 128 100 >"$WORK/expected_config"
cmp -s "$WORK/expected_config" "$PLAYER_CONFIG/config.txt" || fail "player config.txt: $(cat "$PLAYER_CONFIG/config.txt")"
expect_eq "$(cat "$PLAYER_DATA/hiscore.txt")" 0 "player best score"
echo "ok: read-only install, saved in the player's folders"

# The same where no player folder can be made: all four messages, in this order, on one line.
# (Without HOME the user database would still name a home folder: the real one.)
reinstall
rm -f "$WORK/game/config.txt"
make_read_only
start_game_as "${WITHOUT_OVERRIDE[@]}" env XDG_CONFIG_HOME=/proc/zembrak-none XDG_DATA_HOME=/proc/zembrak-none
wait_for_window
wait_for_picture
key alt+F4
expect_exit 0
expect_output stdout 'Could not load hiscore from data\\hiscore.txtCould not load config from config.txtCould not save hiscore to data\\hiscore.txtCould not save config to config.txt'
[ -z "$(game_files)" ] && [ ! -e "$WORK/player" ] || fail "files appeared"
echo "ok: read-only install without a player folder, both save messages"

# Both files there and themselves writable, the folder not (a shared score file): they are
# written in place, and the new best score is kept.
reinstall
write_config 0 128 0
printf 1 >"$WORK/game/data/hiscore.txt"
chmod 664 "$WORK/game/data/hiscore.txt"
make_read_only
"${WITHOUT_OVERRIDE[@]}" test -w "$WORK/game/data/hiscore.txt" || fail "the old best score file should be writable"
play_one_step "${WITHOUT_OVERRIDE[@]}"
expect_output stdout ''
expect_output stderr ''
expect_eq "$(cat "$WORK/game/data/hiscore.txt")" 2 "best score"
expect_eq "$(stat -c %a "$WORK/game/data/hiscore.txt")" 664 "mode of hiscore.txt"
[ -z "$(game_files | grep -vx config.txt)" ] && [ ! -e "$WORK/player" ] || fail "files appeared"
echo "ok: writable files in a read-only folder, saved in place"

# A best score kept elsewhere through a link, as packagers do, and a private config.txt: the
# link stays a link, the file behind it gets the score, and both keep their modes.
reinstall
write_config 0 0 0
chmod 600 "$WORK/game/config.txt"
mkdir -p "$WORK/shared"
printf 1 >"$WORK/shared/hiscore.txt"
chmod 664 "$WORK/shared/hiscore.txt"
ln -s ../../shared/hiscore.txt "$WORK/game/data/hiscore.txt"
play_one_step
expect_output stdout ''
[ -L "$WORK/game/data/hiscore.txt" ] || fail "the link was replaced"
expect_eq "$(cat "$WORK/shared/hiscore.txt")" 2 "best score behind the link"
expect_eq "$(stat -c %a "$WORK/shared/hiscore.txt")" 664 "mode of the shared file"
expect_eq "$(stat -c %a "$WORK/game/config.txt")" 600 "mode of config.txt"
expect_eq "$(ls -A "$WORK/shared")" hiscore.txt "files beside the shared one"
echo "ok: link and modes kept"

# A full disk, made with a small file system of its own (root only): the score file lies
# there behind a link, the temporary file cannot be filled, and the old file stays whole.
if [ "$(id -u)" = 0 ] && unshare -m true 2>/dev/null; then
    reinstall
    write_config 0 0 0
    mkdir -p "$WORK/full"
    ln -s "$WORK/full/hiscore.txt" "$WORK/game/data/hiscore.txt"
    # shellcheck disable=SC2016
    play_one_step unshare -m sh -c 'full=$1 seen=$2; shift 2
        mount -t tmpfs -o size=8k tmpfs "$full" && printf 1 >"$full/hiscore.txt" || exit 90
        cat /dev/zero >"$full/filler" 2>/dev/null
        "$@"; status=$?
        cat "$full/hiscore.txt" >"$seen.hiscore"; ls -A "$full" >"$seen.files"
        exit $status' sh "$WORK/full" "$WORK/seen"
    expect_output stdout 'Could not save hiscore to data\\hiscore.txt'
    expect_output stderr ''
    expect_eq "$(cat "$WORK/seen.hiscore")" 1 "old best score"
    expect_eq "$(cat "$WORK/seen.files" | tr '\n' ' ')" "filler hiscore.txt " "files on the full disk"
    echo "ok: full disk reported, old file whole"
else
    echo "skipped: full disk (needs root and mount namespaces)"
fi

echo PASS
