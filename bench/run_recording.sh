#!/usr/bin/env bash
# What the in-memory recording costs a live frame, in one run: zk_recording_bench times the
# real frame without drawing, recording on and off; run_frame.sh then measures the whole
# frame as the player gets it. The difference of the first two is the recording's cost, and
# its share of the whole frame is reported.
# Usage: bench/run_recording.sh [BUILD_DIR]   Environment: PAIRS (default 4) for run_frame.sh.
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=${1:-$(dirname "$BENCH_DIR")/build}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

echo "== what the in-memory recording costs a live frame" >&2
"$BUILD_DIR/bench/zk_recording_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_format=json --benchmark_out="$out" --benchmark_out_format=json >/dev/null
frame=$(PAIRS=${PAIRS:-4} "$BENCH_DIR/run_frame.sh" "$BUILD_DIR" | tee /dev/stderr |
    sed -n 's/^median game: .* = \([0-9.]*\) ms\/frame; CPU \([0-9.]*\) ms\/frame$/\1 \2/p')
python3 - "$out" $frame <<'PY'
import json, sys
rows = {b["name"]: b["cpu_time"] for b in json.load(open(sys.argv[1]))["benchmarks"] if b["name"].endswith("_median")}
off = rows["BM_LiveFrame/recording:0_median"]
on = rows["BM_LiveFrame/recording:1_median"]
wall_ms, cpu_ms = float(sys.argv[2]), float(sys.argv[3])
cost = on - off
print(f"frame without drawing: {off:.1f} ns CPU with the recording off, {on:.1f} ns on (medians of 3)")
print(f"the recording costs {cost:.1f} ns a frame: {100 * cost / (wall_ms * 1e6):.4f} % of the live frame's "
      f"{wall_ms:.3f} ms, {100 * cost / (cpu_ms * 1e6):.4f} % of its {cpu_ms:.3f} ms CPU")
PY
