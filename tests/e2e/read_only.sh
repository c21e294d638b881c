#!/usr/bin/env bash
# Saving that fails: in a read-only program folder the game says so for each file and still
# ends with status 0; files already there stay as they were, since each is written to a
# temporary file beside it and then renamed over it; a write that fails half way (a full
# disk) also leaves the old file whole and no temporary file behind.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_exit.sh"
trap 'chmod -R u+w "$WORK" 2>/dev/null || true; cleanup' EXIT
start_display

reinstall() {
    chmod -R u+w "$WORK/game" 2>/dev/null || true
    rm -rf "$WORK/game"
    install_game
}

make_read_only() { chmod a-w "$WORK/game" "$WORK/game/data"; }

# Writing as the test's user must really be refused, or the cases below prove nothing.
probe_write() { "${WITHOUT_OVERRIDE[@]}" sh -c ': >"$1"' sh "$1" 2>/dev/null; }

# Neither file there and nothing can be made: all four messages, in this order, on one line.
reinstall
rm -f "$WORK/game/config.txt"
make_read_only
! probe_write "$WORK/game/data/probe" || fail "the folder is still writable"
start_game_as "${WITHOUT_OVERRIDE[@]}"
wait_for_window
wait_for_picture
key alt+F4
expect_exit 0
expect_output stdout 'Could not load hiscore from data\\hiscore.txtCould not load config from config.txtCould not save hiscore to data\\hiscore.txtCould not save config to config.txt'
expect_output stderr ''
[ -z "$(ls -A "$WORK/game" | grep -vx -e data -e zembrak)" ] || fail "files appeared: $(ls -A "$WORK/game")"
[ ! -e "$WORK/game/data/hiscore.txt" ] && [ ! -e "$WORK/game/data/hiscore.txt.tmp" ] || fail "hiscore file appeared"
echo "ok: read-only folder, no files"

# Both files there and themselves writable, the folder not: the files cannot be replaced,
# so they stay byte for byte, although the game in progress beat the best score.
reinstall
write_config 0 128 0
printf 1 >"$WORK/game/data/hiscore.txt"
cp "$WORK/game/config.txt" "$WORK/config.before"
make_read_only
"${WITHOUT_OVERRIDE[@]}" test -w "$WORK/game/data/hiscore.txt" || fail "the old best score file should be writable"
start_game_as "${WITHOUT_OVERRIDE[@]}"
wait_for_window
wait_for_picture
key Return
wait_for_play
key Right
key alt+F4
expect_exit 0
expect_output stdout 'Could not save hiscore to data\\hiscore.txtCould not save config to config.txt'
expect_output stderr ''
expect_eq "$(cat "$WORK/game/data/hiscore.txt")" 1 "old best score"
cmp -s "$WORK/config.before" "$WORK/game/config.txt" || fail "config.txt changed"
echo "ok: read-only folder, old files kept whole"

# A full disk: the temporary files lead to /dev/full, so the writes fail on flushing.
reinstall
write_config 0 0 0
printf 1 >"$WORK/game/data/hiscore.txt"
cp "$WORK/game/config.txt" "$WORK/config.before"
ln -s /dev/full "$WORK/game/data/hiscore.txt.tmp"
ln -s /dev/full "$WORK/game/config.txt.tmp"
start_game
wait_for_window
wait_for_picture
key Return
wait_for_play
key Right
key alt+F4
expect_exit 0
expect_output stdout 'Could not save hiscore to data\\hiscore.txtCould not save config to config.txt'
expect_output stderr ''
expect_eq "$(cat "$WORK/game/data/hiscore.txt")" 1 "old best score"
cmp -s "$WORK/config.before" "$WORK/game/config.txt" || fail "config.txt changed"
[ ! -e "$WORK/game/data/hiscore.txt.tmp" ] && [ ! -L "$WORK/game/data/hiscore.txt.tmp" ] &&
    [ ! -L "$WORK/game/config.txt.tmp" ] || fail "a temporary file was left behind"
echo "ok: full disk, old files kept whole"

echo PASS
