#!/usr/bin/env bash
# Frame-time spread: a scripted minute of play (bench/minute.py: steps, crossings with their
# slides, the Escape menu and back, falls and respawns, an end screen and Space) with real
# key presses, every frame timed by the swap counter in detail mode. Reports per round the
# median, 99th percentile and maximum frame time, and every frame over 50 ms with what the
# game was doing (bench/spread.py), plus the load average the round ran under.
#
# Usage: bench/run_spread.sh [BUILD_DIR]
# Environment: ROUNDS (default 3), LENGTH (seconds of play per round, 60), SOUND (1: the
# shipped SOUNDS 128 / MUSIC 100 on SDL's dummy audio driver, so music starts count; 0: off),
# COLD (1: Mesa's shader cache off).
source "$(dirname "$0")/lib.sh" "${1:-}"

ROUNDS=${ROUNDS:-3}
LENGTH=${LENGTH:-60}
SOUND=${SOUND:-1}
for tool in import; do command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }; done

WORLD=$WORK/world-minute.txt
{
    echo "# no walls; level 0 everywhere but sector (2, 7), at level 10"
    for _ in 1 2 3 4 5 6 7 8; do echo 0000000000000000; done
    for _ in 1 2 3 4 5 6 7; do echo '0;0;0;0;0;0;0;0;'; done
    echo '0;0;10;0;0;0;0;0;'
} >"$WORLD"

start_display 800x600
echo "== frame-time spread: a scripted minute of play, 800x600, sound $SOUND"
describe_machine
export ZK_SWAP_DETAIL=1 ZK_SWAP_PERIOD_MS=1000
# COLD=1: Mesa's on-disk shader cache off, so every first use of a drawing state compiles, as
# on a machine that has never run the game.
[ "${COLD:-0}" = 1 ] && export MESA_SHADER_CACHE_DISABLE=true
for round in $(seq "$ROUNDS"); do
    if [ "$SOUND" = 1 ]; then install_game 128 100 "$WORLD"; else install_game 0 0 "$WORLD"; fi
    LOG=$WORK/spread-$round.log ACTIONS=$WORK/actions-$round.log
    start_counted "$LOG" "$WORK/game/zembrak"
    wait_first_frame "$LOG"
    sleep 0.5
    load_before=$(cut -d' ' -f1 /proc/loadavg)
    python3 "$BENCH_DIR/minute.py" "$ACTIONS" "$LOG" "$LENGTH" >"$WORK/minute-$round.out" 2>&1 || true
    load_after=$(cut -d' ' -f1 /proc/loadavg)
    stop_run
    echo "-- round $round (load average $load_before at the start, $load_after at the end)"
    python3 "$BENCH_DIR/spread.py" "$LOG" "$ACTIONS"
done
