#!/usr/bin/env bash
# The leaderboard server pushed: uploads a second with the real verifier on this machine's
# cores (the kept replays and 24 ten-minute games recorded headless by zk_record_session, linux
# and web builds, frame lengths 10 to 21 ms, each uploaded once from 4 clients at once), then an
# ordinary client's waits under 64 slow connections and 10 slow uploads (bench/scores_guard.py).
# Numbers only.
#
# Usage: bench/run_scores_guard.sh [BUILD_DIR]   (configured with -DZK_BENCH=ON -DZK_SERVER=ON)
# Environment: SIEGE_SECONDS (default 60)
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$(dirname "$BENCH_DIR")/build}" && pwd)
for f in "$BUILD_DIR/bench/zk_record_session" "$BUILD_DIR/zembrak-verify" "$BUILD_DIR/zembrak-scores"; do
    [ -x "$f" ] || { echo "missing $f: configure with -DZK_BENCH=ON -DZK_SERVER=ON and build first" >&2; exit 2; }
done
work=$(mktemp -d /tmp/zk-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
for build in linux web; do
    for frame in $(seq 10 21); do
        "$BUILD_DIR/bench/zk_record_session" "$work/$build-$frame.replay" "$frame" 10 "$build"
    done
done
python3 "$BENCH_DIR/scores_guard.py" "$BUILD_DIR/zembrak-scores" verify "$BUILD_DIR/zembrak-verify" "$work"/*.replay "$BENCH_DIR"/../tests/replays/*.replay
python3 "$BENCH_DIR/scores_guard.py" "$BUILD_DIR/zembrak-scores" siege "${SIEGE_SECONDS:-60}"
