#!/usr/bin/env bash
# The verifier's speed: ten minutes of play recorded headless by zk_record_session (the real
# rules; a player that crosses Sectors, dies and starts new games), at 60 frames a second as on
# a display's pace, at 500 as on an uncapped desktop, and as the web page plays (60 frames a
# second, the rules in 2 ms steps), each verified ROUNDS times by zembrak-verify on one core.
# Reports per recording the median wall time of a whole verification (process start included)
# and its CPU time, and how many times faster than the ten minutes that is; the aim is 200.
#
# Usage: bench/run_verify.sh [BUILD_DIR]   (configured with -DZK_BENCH=ON)
# Environment: ROUNDS (default 9)
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$(dirname "$BENCH_DIR")/build}" && pwd)
ROUNDS=${ROUNDS:-9}
RECORD=$BUILD_DIR/bench/zk_record_session
VERIFY=$BUILD_DIR/zembrak-verify
for f in "$RECORD" "$VERIFY"; do
    [ -x "$f" ] || { echo "missing $f: configure with -DZK_BENCH=ON and build first" >&2; exit 2; }
done
one_core=()
command -v taskset >/dev/null && one_core=(taskset -c 0)
work=$(mktemp -d /tmp/zk-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "== verifier speed: ten minutes of play, $ROUNDS verifications each, ${one_core[*]:-any core}"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
for recording in "16 linux" "2 linux" "16 web"; do
    read -r frame build <<<"$recording"
    tape=$work/ten-$frame-$build.replay
    "$RECORD" "$tape" "$frame" 10 "$build"
    python3 - "$tape" "$ROUNDS" "${one_core[@]}" "$VERIFY" <<'PY'
import os, resource, statistics, subprocess, sys, time
tape, rounds, command = sys.argv[1], int(sys.argv[2]), sys.argv[3:] + [sys.argv[1]]
walls, cpus, lines = [], [], set()
for _ in range(rounds):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    done = subprocess.run(command, capture_output=True, text=True)
    walls.append(time.perf_counter() - start)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpus.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    if done.returncode != 0:
        sys.exit("FAIL: %s" % (done.stdout + done.stderr).strip())
    lines.add(done.stdout.strip())
if len(lines) != 1:
    sys.exit("FAIL: the verifications differ: %s" % lines)
wall, cpu = statistics.median(walls), statistics.median(cpus)
print("%s (%d bytes)" % (lines.pop(), os.path.getsize(tape)))
print("  wall %.1f ms: %.0fx real time; CPU %.1f ms: %.0fx real time"
      % (wall * 1e3, 600 / wall, cpu * 1e3, 600 / max(cpu, 1e-3)))
PY
done
