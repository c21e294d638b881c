#!/usr/bin/env bash
# The frame against its own drawing: the timedemo of the recorded minute
# (tests/replays/bench_minute.replay) against a replay of the very OpenGL calls it made,
# recorded once with apitrace and played back with `glretrace --benchmark` on the same kind of
# display (Xvfb, 800 x 600, Mesa's llvmpipe). Rounds alternate the game and the retrace; each
# gives wall seconds and CPU seconds (every thread, llvmpipe's included). Game / retrace is what
# the rules, the replay and SDL cost beside the drawing: 1.0 means nothing measurable.
#
# Usage: bench/run_retrace.sh [BUILD_DIR]
# Environment: ROUNDS (default 4); TRACE=FILE keeps the trace there for later runs.
source "$(dirname "$0")/lib.sh" "${1:-}"

for tool in apitrace glretrace; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool (Debian's apitrace)" >&2; exit 2; }
done
ROUNDS=${ROUNDS:-4}
TRACE=${TRACE:-$WORK/minute.trace}
install_game 0 0
cp "$SOURCE_DIR/tests/replays/bench_minute.replay" "$WORK/game/minute.replay"
export SDL_AUDIODRIVER=dummy

start_display 800x600
echo "== the frame against its own drawing: timedemo of the recorded minute vs glretrace of its GL calls, 800x600"
describe_machine
echo "rounds: $ROUNDS"

# timed OUTPUT COMMAND...: runs COMMAND in the game's folder, its output to OUTPUT, and prints
# "wall user+system" seconds of it and its threads.
timed() {
    local out=$1
    shift
    (cd "$WORK/game" && /usr/bin/time -f '%e %U %S' -o "$out.time" "$@" >"$out" 2>"$out.err") ||
        { echo "FAIL: $* gave status $?" >&2; cat "$out.err" >&2; exit 1; }
    awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$out.time"
}

echo "recording the GL calls to $TRACE"
timed "$WORK/trace.out" apitrace trace -o "$TRACE" ./zembrak --timedemo minute.replay >/dev/null
ROWS=$WORK/rounds.txt
: >"$ROWS"
for round in $(seq "$ROUNDS"); do
    read -r gameWall gameCpu < <(timed "$WORK/game.out" ./zembrak --timedemo minute.replay)
    line=$(cat "$WORK/game.out")
    [[ "$line" =~ ^timedemo:\ ([0-9]+)\ frames\ in\ ([0-9.]+)\ s ]] || { echo "FAIL: timedemo line: $line" >&2; exit 1; }
    frames=${BASH_REMATCH[1]} gameSeconds=${BASH_REMATCH[2]}
    read -r retraceWall retraceCpu < <(timed "$WORK/retrace.out" glretrace --benchmark "$TRACE")
    retraced=$(sed -n 's/^Rendered \([0-9]*\) frames in \([0-9.]*\) secs.*/\1 \2/p' "$WORK/retrace.out")
    [ -n "$retraced" ] || { echo "FAIL: glretrace said: $(cat "$WORK/retrace.out")" >&2; exit 1; }
    read -r retraceFrames retraceSeconds <<<"$retraced"
    echo "$gameSeconds $retraceSeconds $gameCpu $retraceCpu" >>"$ROWS"
    echo "round $round: game $frames frames in $gameSeconds s (cpu $gameCpu s, wall $gameWall s);" \
        "retrace $retraceFrames frames in $retraceSeconds s (cpu $retraceCpu s, wall $retraceWall s)"
done

python3 - "$ROWS" <<'PY'
import statistics, sys
rows = [list(map(float, line.split())) for line in open(sys.argv[1])]
def median(k): return statistics.median(r[k] for r in rows)
print(f"median game:    {median(0):.2f} s, cpu {median(2):.2f} s")
print(f"median retrace: {median(1):.2f} s, cpu {median(3):.2f} s")
print(f"game / retrace: {median(0) / median(1):.3f} from the medians, "
      f"{statistics.median(r[0] / r[1] for r in rows):.3f} median of the rounds; "
      f"cpu {median(2) / median(3):.3f}")
PY
