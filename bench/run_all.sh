#!/usr/bin/env bash
# Every benchmark in turn, one after another (they would disturb each other side by side).
# Usage: bench/run_all.sh [BUILD_DIR]
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=${1:-$(dirname "$BENCH_DIR")/build}

echo "== rule step and sector slide"
"$BUILD_DIR/bench/zk_rules_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
echo
"$BENCH_DIR/run_frame.sh" "$BUILD_DIR"
echo
"$BENCH_DIR/run_recording.sh" "$BUILD_DIR"
echo
SOUND=1 PAIRS=4 "$BENCH_DIR/run_frame.sh" "$BUILD_DIR"
echo
"$BENCH_DIR/run_timedemo.sh" "$BUILD_DIR"
echo
"$BENCH_DIR/run_retrace.sh" "$BUILD_DIR"
echo
"$BENCH_DIR/run_startup.sh" "$BUILD_DIR"
echo
"$BENCH_DIR/run_idle.sh" "$BUILD_DIR"
echo
"$BENCH_DIR/run_spread.sh" "$BUILD_DIR"
echo
"$BENCH_DIR/run_verify.sh" "$BUILD_DIR"
