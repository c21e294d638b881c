#!/usr/bin/env bash
# Replays under Wine: a game recorded by the Windows release (--record, a path relative to the
# folder it starts from) and the best game it kept replay there with --timedemo to the best
# score, twice to the same frame count, and verify on Linux to it. Replays recorded by the Linux
# build and the kept ones of every build (Linux, Windows, the web page) play there to their scores.
source "$(dirname "$0")/lib.sh"
start_display 800x600

# A replay from the Linux build: a new game and Alt+F4.
install_game
write_config 0 0 0
ZK_ARGS="--record linux.replay" show_game
key Return
sleep 1
key alt+F4
expect_exit 0
[ -s "$WORK/elsewhere/linux.replay" ] || fail "the Linux build recorded nothing"

install_release
printf 'SCREEN_WIDTH: 800\r\nSCREEN_HEIGHT: 600\r\nBPP: 32\r\nFULLSCREEN: 0\r\nSOUNDS: 0\r\nMUSIC: 0' >"$RELEASE/config.txt"
start_wine_game "\"$(windows_program_path)\" --record played.replay"
wait_for_window
wait_for_picture
key Return
step_twice_and_quit
best=$(cat "$RELEASE/data/hiscore.txt")
[ "$best" -gt 0 ] || fail "the steps scored nothing"
[ -s "$WORK/elsewhere/played.replay" ] || fail "no recording in the folder the game started from"
[ -s "$RELEASE/data/best.replay" ] || fail "no best.replay beside hiscore.txt"

# wine_timedemo REPLAY [SCORE]: the line the timedemo wrote to stdout.txt; checks its score (the best).
wine_timedemo() {
    start_wine_game "\"$(windows_program_path)\" --timedemo $1"
    expect_exit 0 120
    local line
    line=$(tr -d '\r' <"$RELEASE/stdout.txt")
    [[ "$line" =~ ^timedemo:\ ([0-9]+)\ frames\ in\ [0-9.]+\ s,\ [0-9.]+\ frames/s,\ score\ ([0-9]+)$ ]] ||
        fail "timedemo line: [$line]"
    expect_eq "${BASH_REMATCH[2]}" "${2:-$best}" "timedemo score of $1"
    expect_no_output stderr.txt
    echo "${BASH_REMATCH[1]}"
}
frames=$(wine_timedemo played.replay)
expect_eq "$(wine_timedemo played.replay)" "$frames" "frames of the second timedemo"
# Both verify on Linux to the best score, with the Windows build's random numbers; the whole
# recording in as many frames as its timedemo showed.
verify=$(dirname "$ZK_PROGRAM")/zembrak-verify
line=$("$verify" "$WORK/elsewhere/played.replay") || fail "not verified: $line"
[[ "$line" == "verified: score $best, $frames frames, msvcrt, version "* ]] || fail "verified: [$line]"
line=$("$verify" "$RELEASE/data/best.replay") || fail "not verified: $line"
[[ "$line" == "verified: score $best, "*" frames, msvcrt, version "* ]] || fail "verified: [$line]"
# The game reads its command line in the system's code page, which cannot spell the folder's
# name: the best game is passed from a folder it can.
cp "$RELEASE/data/best.replay" "$WORK/elsewhere/best.replay"
wine_timedemo best.replay >/dev/null
expect_eq "$(cat "$RELEASE/data/hiscore.txt")" "$best" "best score after the replays"

# The other builds' replays draw their random numbers as they were drawn: the Linux one above to
# the score the verifier gives it, the kept ones to the scores they were kept with.
line=$("$verify" "$WORK/elsewhere/linux.replay") || fail "the Linux replay does not verify: $line"
[[ "$line" =~ ^verified:\ score\ ([0-9]+), ]] || fail "verified: [$line]"
wine_timedemo linux.replay "${BASH_REMATCH[1]}" >/dev/null
for kept in short_walk windows_game web_game; do
    expected=$(sed -n 's/^score //p' "$(dirname "$0")/../replays/$kept.expected")
    cp "$(dirname "$0")/../replays/$kept.replay" "$WORK/elsewhere/"
    wine_timedemo "$kept.replay" "$expected" >/dev/null
    echo "ok: $kept plays to score $expected"
done
echo PASS
