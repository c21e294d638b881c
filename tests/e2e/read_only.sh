#!/usr/bin/env bash
# Saving where the program's folder cannot be written, and saving through links: a read-only
# install keeps its files in the player's folders, writable files in a read-only folder are
# written in place, links and modes stay as they were, and "Could not save" appears exactly
# when a file was not saved. A write that fails half way (a full disk) leaves the old file whole
# and the save goes to the player's folder. Links planted by another user are not followed,
# pipes and endless files do not hold up the start, a game lost in somebody's folder writes
# nothing there, of two games exiting together the higher best score stays with its replay,
# and --record never replaces the game's own files.
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
[ -z "$(game_files | grep -vx config.txt)" ] || fail "files appeared beside the program: $(game_files)"
# The replay of the new best game is a new file, which the folder does not take: it goes to
# the player's folder, and nothing else does.
[ -s "$PLAYER_DATA/best.replay" ] || fail "best.replay not in the player's folder"
expect_eq "$(cd "$WORK/player" && find . -type f)" "./data/zembrak/best.replay" "files in the player's folders"
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

# A score folder shared by a group, where another member linked the two files to the player's
# notes and to a file of their choosing (root only: chown gives the links to that member).
if [ "$(id -u)" = 0 ]; then
    reinstall
    chmod 2775 "$WORK/game/data"
    printf 'my notes' >"$WORK/victim.txt"
    ln -sf "$WORK/victim.txt" "$WORK/game/data/hiscore.txt"
    ln -sf "$WORK/made.txt" "$WORK/game/config.txt"
    chown -h 4242 "$WORK/game/data/hiscore.txt" "$WORK/game/config.txt"
    play_one_step
    expect_output stdout 'Could not load hiscore from data\\hiscore.txtCould not load config from config.txt'
    expect_eq "$(cat "$WORK/victim.txt")" 'my notes' "the linked file"
    [ ! -e "$WORK/made.txt" ] || fail "the dangling link made its file"
    [ -L "$WORK/game/data/hiscore.txt" ] && [ -L "$WORK/game/config.txt" ] || fail "a planted link was replaced"
    expect_eq "$(cat "$PLAYER_DATA/hiscore.txt")" 2 "best score in the player's folder"
    [ -f "$PLAYER_CONFIG/config.txt" ] || fail "config.txt not in the player's folder"
    echo "ok: links planted by another user not followed"
else
    echo "skipped: planted links (needs root to give a link to another user)"
fi

# A pipe as the best score and an endless device as the configuration: the game starts, the
# pipe stays a pipe and both files go to the player's folder.
reinstall
mkfifo "$WORK/game/data/hiscore.txt"
ln -sf /dev/full "$WORK/game/config.txt"
start_game
wait_for_window
wait_for_picture
key alt+F4
expect_exit 0
expect_output stdout 'Could not load hiscore from data\\hiscore.txt'
[ -p "$WORK/game/data/hiscore.txt" ] || fail "the pipe was replaced"
expect_eq "$(cat "$PLAYER_DATA/hiscore.txt")" 0 "best score in the player's folder"
[ -s "$PLAYER_CONFIG/config.txt" ] || fail "config.txt not in the player's folder"
echo "ok: a pipe and /dev/full as the files"

# Started as a bare "zembrak" through PATH from a folder whose real path is longer than
# PATH_MAX, the game cannot find its own folder and stops for want of its World; the
# player's own config.txt and data/hiscore.txt there stay as they were.
reinstall
deep_name=$(printf 'd%.0s' $(seq 250))
in_deep() { (cd "$WORK/elsewhere" && for _ in $(seq 18); do cd "$deep_name"; done && "$@"); }
mkdir -p "$WORK/elsewhere"
(cd "$WORK/elsewhere" && for _ in $(seq 18); do mkdir "$deep_name" && cd "$deep_name"; done &&
    mkdir sub data && cp "$WORK/game/zembrak" sub/ && printf 'my notes' >config.txt && printf 'my notes' >data/hiscore.txt)
# As a shell started through PATH would, with the name alone as argv[0]; a relative path
# keeps execve below PATH_MAX (bash itself would make it absolute, hence perl).
# shellcheck disable=SC2016
ZK_START_PATH=sub/zembrak start_game_as bash -c 'for _ in $(seq 18); do cd "$1" || exit 90; done
    exec perl -e '\''exec { $ARGV[0] } "zembrak" or exit 91'\'' "$2"' bash "$deep_name"
expect_exit 1
# (The sanitizer build warns first that it cannot read the program's name either.)
grep -qxF 'ERROR opening file data\world.txt' "$WORK/stderr" || fail "no message about the World file"
expect_eq "$(in_deep cat config.txt data/hiscore.txt)" 'my notesmy notes' "the player's own files"
expect_eq "$(in_deep ls -A . data | tr '\n' ' ')" '.: config.txt data sub  data: hiscore.txt ' "files in the player's folder"
# With a World there too, a fatal error later on (a screen too large) writes nothing either.
in_deep cp "$WORK/game/data/world.txt" data/
in_deep sh -c 'printf "SCREEN_WIDTH: 99999\nSCREEN_HEIGHT: 600\nBPP: 32\nFULLSCREEN: 0\nSOUNDS: 0\nMUSIC: 0" >config.txt'
before=$(in_deep ls -lA --time-style=+%s.%N . data)
# shellcheck disable=SC2016
ZK_START_PATH=sub/zembrak start_game_as bash -c 'for _ in $(seq 18); do cd "$1" || exit 90; done
    exec perl -e '\''exec { $ARGV[0] } "zembrak" or exit 91'\'' "$2"' bash "$deep_name"
expect_exit 1
grep -q 'out of range' "$WORK/stderr" || fail "no message about the screen size"
expect_eq "$(in_deep ls -lA --time-style=+%s.%N . data)" "$before" "the player's folder after a fatal error"
rm -rf "$WORK/elsewhere"
echo "ok: no folder of its own, nothing written"

# Two games exiting together, twenty times (a logout ends both): one scored, the other, started
# with the older best score, did not. They take turns, so every time the higher score stays,
# and best.replay is the game that made it.
reinstall
write_config 0 0 0
for round in $(seq 20); do
    printf 1 >"$WORK/game/data/hiscore.txt"
    rm -f "$WORK/game/data/best.replay"
    start_game
    wait_for_window
    wait_for_picture
    key Return
    wait_for_play
    key Right
    first=$GAME_PID
    start_game
    for _ in $(seq 300); do [ "$(xdotool search --name '^Zembrak$' 2>/dev/null | wc -l)" -ge 2 ] && break || sleep 0.1; done
    kill -TERM "$first" "$GAME_PID"
    wait "$first" || fail "round $round: the first game ended with status $?"
    expect_exit 0
    best=$(cat "$WORK/game/data/hiscore.txt")
    [ "$best" -ge 2 ] || fail "round $round: the higher score was lost: [$best]"
    expect_eq "$(run_game --timedemo "$WORK/game/data/best.replay")" 0 "round $round: timedemo of best.replay"
    expect_eq "$(sed -n 's/.*, score //p' "$WORK/run.out")" "$best" "round $round: score of best.replay"
done
echo "ok: two games exiting together twenty times, the higher score and its replay kept"

# --record aimed at the game's own files, by any path: one line, status 1, the files whole.
reinstall
write_config 0 0 0
printf 5 >"$WORK/game/data/hiscore.txt"
mkdir -p "$PLAYER_DATA"
printf 'mine' >"$PLAYER_DATA/best.replay"
mkdir -p "$WORK/elsewhere"
ln -s "$WORK/game/data" "$WORK/elsewhere/data-link"
for target in "$WORK/game/config.txt" data-link/hiscore.txt "$WORK/game/data/../data/best.replay" \
    "$PLAYER_DATA/best.replay"; do
    expect_eq "$(run_game --record "$target")" 1 "status for --record $target"
    grep -qx "Cannot record to .*: it is one of the game's own files." "$WORK/run.err" ||
        fail "message for --record $target: $(cat "$WORK/run.err")"
done
expect_eq "$(cat "$WORK/game/data/hiscore.txt" "$PLAYER_DATA/best.replay")" 5mine "the game's files"
[ ! -e "$WORK/game/data/best.replay" ] || fail "best.replay was made"
# What a recording killed while it was written left is removed by the next one there.
printf x >"$WORK/elsewhere/rec.replay.zk-Ab12Cd"
touch -d '1 hour ago' "$WORK/elsewhere/rec.replay.zk-Ab12Cd"
ZK_ARGS="--record rec.replay" start_game
wait_for_window
kill -TERM "$GAME_PID"
expect_exit 0
[ -s "$WORK/elsewhere/rec.replay" ] && [ ! -e "$WORK/elsewhere/rec.replay.zk-Ab12Cd" ] || fail "rec.replay: $(ls "$WORK/elsewhere")"
echo "ok: --record refuses the game's own files and clears what a killed one left"

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
    expect_output stdout ''
    expect_output stderr ''
    expect_eq "$(cat "$WORK/seen.hiscore")" 1 "old best score"
    expect_eq "$(cat "$WORK/seen.files" | tr '\n' ' ')" "filler hiscore.txt " "files on the full disk"
    expect_eq "$(cat "$PLAYER_DATA/hiscore.txt")" 2 "best score in the player's folder"
    echo "ok: full disk, old file whole, the save in the player's folder"
else
    echo "skipped: full disk (needs root and mount namespaces)"
fi

echo PASS
