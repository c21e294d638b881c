#!/usr/bin/env bash
# Start-up: from exec to the end of the first title-menu frame (the first SDL_GL_SwapBuffers),
# against the floor program that only starts SDL, opens the same OpenGL window and swaps once.
# zk_stamp_exec stamps CLOCK_MONOTONIC just before exec; the preloaded swap counter takes the
# time when the first swap returns. Runs alternate game, floor, ... after one unrecorded pair
# that warms the file cache. Reports the medians and the ratio game / floor, and the same for
# the CPU time each process had used by its first frame (all threads), which other work on
# the machine moves much less than the wall-clock time.
#
# Usage: bench/run_startup.sh [BUILD_DIR]
# Environment: ROUNDS (default 10), SOUND (1: the shipped SOUNDS 128 / MUSIC 100, so start-up
# opens the mixer on SDL's dummy driver and loads the effects and music; 0: both off).
source "$(dirname "$0")/lib.sh" "${1:-}"

ROUNDS=${ROUNDS:-10}
SOUND=${SOUND:-1}
if [ "$SOUND" = 1 ]; then install_game 128 100; else install_game 0 0; fi
start_display 800x600

echo "== start-up: exec to first title-menu frame vs floor (SDL + OpenGL window + one swap)"
describe_machine
echo "rounds: $ROUNDS, game sound: $SOUND"

# first_frame_ms PROGRAM [ARGS...]: prints "WALL_MS CPU_MS"
first_frame_ms() {
    local log=$WORK/start.log
    start_counted "$log" "$@"
    wait_first_frame "$log"
    stop_run
    echo "$($SWAPLOG first "$log") $($SWAPLOG firstcpu "$log")"
}

first_frame_ms "$WORK/game/zembrak" >/dev/null
first_frame_ms "$FLOOR_BIN" once >/dev/null

game_ms=()
floor_ms=()
game_cpu=()
floor_cpu=()
for round in $(seq "$ROUNDS"); do
    read -r game gamecpu < <(first_frame_ms "$WORK/game/zembrak")
    sleep 0.3
    read -r floor floorcpu < <(first_frame_ms "$FLOOR_BIN" once)
    sleep 0.3
    game_ms+=("$game")
    floor_ms+=("$floor")
    game_cpu+=("$gamecpu")
    floor_cpu+=("$floorcpu")
    echo "round $round: game $game ms (CPU $gamecpu ms), floor $floor ms (CPU $floorcpu ms)"
done

python3 - "$($SWAPLOG median "${game_ms[@]}")" "$($SWAPLOG median "${floor_ms[@]}")" \
    "$($SWAPLOG median "${game_cpu[@]}")" "$($SWAPLOG median "${floor_cpu[@]}")" <<'EOF'
import sys
game, floor, game_cpu, floor_cpu = map(float, sys.argv[1:])
print(f"median game:  {game:.1f} ms (CPU {game_cpu:.1f} ms)")
print(f"median floor: {floor:.1f} ms (CPU {floor_cpu:.1f} ms)")
print(f"ratio game / floor: {game / floor:.3f} (target <= 1.5)")
print(f"ratio of CPU used by the first frame, game / floor: {game_cpu / floor_cpu:.3f}")
EOF
