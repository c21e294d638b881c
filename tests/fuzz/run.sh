#!/usr/bin/env bash
# Runs a fuzz target without ever writing into the source tree.
#   run.sh fuzz   TARGET SEEDS WORK SECONDS [libFuzzer options]  fuzz a scratch copy of the seeds
#   run.sh replay TARGET FOLDER WORK                             run each saved input once
# Crash inputs land in WORK/artifacts; one worth keeping goes into regressions/<target>/.
set -euo pipefail
mode=$1 target=$2 source=$3 work=$4
shift 4
mkdir -p "$work/corpus" "$work/artifacts"

case $mode in
fuzz)
    seconds=$1
    shift
    # The scratch corpus keeps what earlier runs found; the seeds are copied over it each time.
    cp -R "$source/." "$work/corpus/"
    exec "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" "$@" "$work/corpus"
    ;;
replay)
    inputs=()
    if [ -d "$source" ]; then
        while IFS= read -r -d '' file; do inputs+=("$file"); done \
            < <(find "$source" -maxdepth 1 -type f ! -name '.*' -print0 | sort -z)
    fi
    if [ ${#inputs[@]} -eq 0 ]; then
        echo "no saved inputs in $source"
        exit 0
    fi
    exec "$target" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/artifacts/" "${inputs[@]}"
    ;;
*)
    echo "usage: run.sh fuzz|replay TARGET FOLDER WORK [SECONDS] [options]" >&2
    exit 2
    ;;
esac
