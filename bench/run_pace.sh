#!/usr/bin/env bash
# The pace of honest play as the verifier measures it: the real game under Xvfb (Mesa's
# llvmpipe, as fast as it draws), played through xdotool as a person plays, recorded with
# --record and verified; then the kept replays. Prints each verdict's pace (the most frames and
# key presses in a second of the replay's clock) beside the verifier's limits.
#
# The session: the menu, a walk at a person's pace, an arrow held for three seconds (SDL's own
# repeat, 12.5 a second), then the fastest tapping a person manages (two keys in turn, 16 a
# second), then Alt+F4.
# Usage: bench/run_pace.sh [BUILD_DIR]
set -euo pipefail
SOURCE_DIR=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=$(cd "${1:-$SOURCE_DIR/build}" && pwd)
for tool in Xvfb xdotool; do command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }; done
WORK=$(mktemp -d /tmp/zk-pace-XXXXXX)
XVFB_PID="" GAME_PID=""
cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ "${KEEP_WORK:-0}" = 1 ] && echo "kept $WORK" >&2 || rm -rf "$WORK"
}
trap cleanup EXIT

mkdir -p "$WORK/game"
cp "$BUILD_DIR/zembrak" "$WORK/game/"
cp -rL "$BUILD_DIR/data" "$WORK/game/data"
rm -f "$WORK/game/data/hiscore.txt" "$WORK/game/data/best.replay"
printf 'SCREEN_WIDTH: 800\nSCREEN_HEIGHT: 600\nBPP: 32\nFULLSCREEN: 0\nSOUNDS: 0\nMUSIC: 0\n' >"$WORK/game/config.txt"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$WORK/display")"

(cd "$WORK/game" && SDL_AUDIODRIVER=dummy exec ./zembrak --record "$WORK/played.replay") &
GAME_PID=$!
for _ in $(seq 300); do xdotool search --name '^Zembrak$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 2
xdotool key Return
sleep 1
for _ in $(seq 40); do  # a walk: a step every 150 to 400 ms
    xdotool key "$(shuf -n1 -e Left Right Up Down)"
    sleep "0.$((RANDOM % 25 + 15))"
done
# Each part in play: past an end screen (Space) and from the menu into a game (Return), which
# play ignores.
into_play() { xdotool key space && sleep 0.3 && xdotool key Return && sleep 0.5; }
into_play
xdotool keydown Right && sleep 3 && xdotool keyup Right
into_play
for _ in $(seq 24); do xdotool key --delay 62 Left Right; done
sleep 0.5
xdotool key alt+F4
wait "$GAME_PID" || true
GAME_PID=""

echo "== the verifier's pace of honest play; its limits (src/verify/judge.cpp):"
sed -n 's/^static const [a-z0-9_]* \([A-Z_]*\) = \([0-9]*\);/    \1 \2/p' "$SOURCE_DIR/src/verify/judge.cpp"
echo "recorded under Xvfb: $("$BUILD_DIR/zembrak-verify" "$WORK/played.replay")"
for replay in "$SOURCE_DIR"/tests/replays/*.replay; do
    echo "$(basename "$replay"): $("$BUILD_DIR/zembrak-verify" "$replay")"
done
