#!/usr/bin/env bash
# Frame cost by timedemo: the same recorded minute of play (tests/replays/bench_minute.replay:
# the title menu, three crossings with their slides, five falls, the end screen, the second
# character on the way) replayed as fast as the game draws, against the floor program (two
# textured quads covering the view, and the swap) in the same run, 800 x 600, Mesa's llvmpipe
# under Xvfb.
#
# Rounds alternate: the timedemo runs to its end and prints its own line; then the floor runs
# for as long as the timedemo took (after SETTLE seconds), counted by the swap counter. The
# timedemo's frame count and score are the same every round (exact; a difference prints FAIL).
#
# Usage: bench/run_timedemo.sh [BUILD_DIR]
# Environment: ROUNDS (default 6), SETTLE (0.5).
source "$(dirname "$0")/lib.sh" "${1:-}"

ROUNDS=${ROUNDS:-6}
SETTLE=${SETTLE:-0.5}
MINUTE=$SOURCE_DIR/tests/replays/bench_minute.replay
install_game 0 0
cp "$MINUTE" "$WORK/minute.replay"
export ZK_SWAP_PERIOD_MS=0

start_display 800x600
echo "== frame cost by timedemo: the recorded minute vs floor (two textured quads + swap), 800x600"
describe_machine
echo "rounds: $ROUNDS"

ROWS=$WORK/rounds.txt
: >"$ROWS"
for round in $(seq "$ROUNDS"); do
    line=$(cd "$WORK" && SDL_AUDIODRIVER=dummy "$WORK/game/zembrak" --timedemo minute.replay) ||
        { echo "FAIL: timedemo status $?" >&2; exit 1; }
    [[ "$line" =~ ^timedemo:\ ([0-9]+)\ frames\ in\ ([0-9.]+)\ s,\ ([0-9.]+)\ frames/s,\ score\ ([0-9]+)$ ]] ||
        { echo "FAIL: timedemo line: $line" >&2; exit 1; }
    frames=${BASH_REMATCH[1]} seconds=${BASH_REMATCH[2]} rate=${BASH_REMATCH[3]} score=${BASH_REMATCH[4]}
    if [ "$round" = 1 ]; then
        first="$frames $score"
    elif [ "$frames $score" != "$first" ]; then
        echo "FAIL: round $round gave $frames frames, score $score; round 1 gave $first"
    fi

    log=$WORK/floor-$round.log
    start_counted "$log" "$FLOOR_BIN" frames
    wait_first_frame "$log"
    sleep "$SETTLE"
    read -r f0 t0 < <($SWAPLOG last "$log")
    sleep "$seconds"
    read -r f1 t1 < <($SWAPLOG last "$log")
    stop_run
    floor=$(python3 -c "print('%.1f' % (($f1 - $f0) / (($t1 - $t0) / 1e9)))")
    echo "$rate $floor" >>"$ROWS"
    echo "round $round: $line; floor $floor frames/s, ratio $(python3 -c "print('%.3f' % ($floor / $rate))")"
done

python3 - "$ROWS" <<'PY'
import statistics, sys
rows = [list(map(float, line.split())) for line in open(sys.argv[1])]
game = statistics.median(r[0] for r in rows)
floor = statistics.median(r[1] for r in rows)
pair = statistics.median(r[1] / r[0] for r in rows)
print(f"median timedemo: {game:.1f} frames/s = {1000 / game:.3f} ms/frame")
print(f"median floor:    {floor:.1f} frames/s = {1000 / floor:.3f} ms/frame")
print(f"ratio game frame time / floor frame time: {floor / game:.3f} from the medians, {pair:.3f} median of the rounds")
PY
