#!/usr/bin/env bash
# Frame cost: the game's real frame in steady play against the floor program (two textured
# quads covering the view, and the swap), side by side in one run, 800 x 600, Mesa's llvmpipe
# under Xvfb.
#
# Both programs run at once, each on its own Xvfb display, and take turns: one is stopped
# (SIGSTOP) while the other runs a slice (SIGCONT, SETTLE seconds to settle, then SLICE
# seconds counted), game then floor, floor then game, and so on for PAIRS pairs. Short turns
# without start-ups in between keep each pair under the same load from whatever else runs on
# the machine. The game takes the stop as one long frame (one rule tick) and plays on.
#
# The game: Return on the title menu starts a new game, and the figure stays on its start
# tile; every rule tick restores that tile, so play goes on without input or death.
#
# Reports per pair and as medians: frames/s of each, the ratio game frame time / floor frame
# time (= floor frames/s / game frames/s), and the CPU time per frame (the program with its
# llvmpipe threads, plus its Xvfb, which takes in every frame), which contention moves less.
#
# Usage: bench/run_frame.sh [BUILD_DIR]
# Environment: PAIRS (default 10), SLICE (3), SETTLE (0.5), WARMUP (2), SOUND (0: config
# SOUNDS/MUSIC 0; 1: the shipped 128/100, the mixer playing into SDL's dummy audio driver).
source "$(dirname "$0")/lib.sh" "${1:-}"

PAIRS=${PAIRS:-10}
SLICE=${SLICE:-3}
SETTLE=${SETTLE:-0.5}
WARMUP=${WARMUP:-2}
SOUND=${SOUND:-0}
if [ "$SOUND" = 1 ]; then install_game 128 100; else install_game 0 0; fi
export ZK_SWAP_PERIOD_MS=0  # a line every frame: slices start and end on exact frames

start_display 800x600
echo "== frame cost: game in play vs floor (two textured quads + swap), 800x600"
describe_machine
echo "pairs: $PAIRS, slices of ${SLICE}s after ${SETTLE}s, game sound: $SOUND"

GAME_DISPLAY=$DISPLAY GAME_XVFB=$XVFB_PID GAME_LOG=$WORK/game.log
start_counted "$GAME_LOG" "$WORK/game/zembrak"
GAME_PID=$RUN_PID
wait_first_frame "$GAME_LOG"
sleep 0.5
key Return
sleep "$WARMUP"
kill -STOP "$GAME_PID"

start_display 800x600
FLOOR_XVFB=$XVFB_PID FLOOR_LOG=$WORK/floor.log
start_counted "$FLOOR_LOG" "$FLOOR_BIN" frames
FLOOR_PID=$RUN_PID
wait_first_frame "$FLOOR_LOG"
sleep "$WARMUP"
kill -STOP "$FLOOR_PID"

# slice PID XVFB_PID LOG: runs the program one slice; prints
# "FRAMES_PER_S CPU_MS_PER_FRAME XVFB_MS_PER_FRAME".
slice() {
    local pid=$1 xvfb=$2 log=$3 f0 t0 c0 x0 f1 t1 c1 x1
    kill -CONT "$pid"
    sleep "$SETTLE"
    read -r f0 t0 < <($SWAPLOG last "$log"); c0=$(cpu_seconds "$pid"); x0=$(cpu_seconds "$xvfb")
    sleep "$SLICE"
    read -r f1 t1 < <($SWAPLOG last "$log"); c1=$(cpu_seconds "$pid"); x1=$(cpu_seconds "$xvfb")
    kill -STOP "$pid"
    [ "$f1" -gt "$f0" ] || { echo "no frames shown in a slice" >&2; return 1; }
    python3 -c "
f = $f1 - $f0
print('%.1f %.3f %.3f' % (f / (($t1 - $t0) / 1e9), 1000 * ($c1 - $c0) / f, 1000 * ($x1 - $x0) / f))"
}

PAIR_LINES=$WORK/pairs.txt
: >"$PAIR_LINES"
for pair in $(seq "$PAIRS"); do
    if [ $((pair % 2)) = 1 ]; then
        game=$(slice "$GAME_PID" "$GAME_XVFB" "$GAME_LOG")
        floor=$(slice "$FLOOR_PID" "$FLOOR_XVFB" "$FLOOR_LOG")
    else
        floor=$(slice "$FLOOR_PID" "$FLOOR_XVFB" "$FLOOR_LOG")
        game=$(slice "$GAME_PID" "$GAME_XVFB" "$GAME_LOG")
    fi
    echo "$game $floor" >>"$PAIR_LINES"
    read -r gr gc gx fr fc fx <<<"$game $floor"
    echo "pair $pair: game $gr frames/s (CPU/frame ${gc} ms + Xvfb ${gx} ms), floor $fr frames/s" \
        "(CPU/frame ${fc} ms + Xvfb ${fx} ms), ratio $(python3 -c "print('%.3f' % ($fr / $gr))")"
done

# Still playing at the end, not paused or dying: frames come while it runs.
kill -CONT "$GAME_PID"
before=$($SWAPLOG frames "$GAME_LOG")
sleep 1
[ "$($SWAPLOG frames "$GAME_LOG")" -gt "$before" ] || echo "WARNING: the game stopped showing frames" >&2
DISPLAY=$GAME_DISPLAY import -window root "$WORK/game-at-end.png" 2>/dev/null || true

python3 - "$PAIR_LINES" <<'EOF'
import statistics, sys
rows = [list(map(float, line.split())) for line in open(sys.argv[1])]
game = statistics.median(r[0] for r in rows)
floor = statistics.median(r[3] for r in rows)
game_cpu = statistics.median(r[1] + r[2] for r in rows)
floor_cpu = statistics.median(r[4] + r[5] for r in rows)
pair_ratio = statistics.median(r[3] / r[0] for r in rows)
cpu_ratio = statistics.median((r[1] + r[2]) / (r[4] + r[5]) for r in rows)
print(f"median game:  {game:.1f} frames/s = {1000 / game:.3f} ms/frame; CPU {game_cpu:.3f} ms/frame")
print(f"median floor: {floor:.1f} frames/s = {1000 / floor:.3f} ms/frame; CPU {floor_cpu:.3f} ms/frame")
print(f"ratio game frame time / floor frame time: {floor / game:.3f} from the medians, "
      f"{pair_ratio:.3f} median of the pairs (target <= 1.25)")
print(f"ratio game CPU per frame / floor CPU per frame: {cpu_ratio:.3f} median of the pairs")
EOF
