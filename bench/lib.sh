# Shared steps of the benchmark runners: a temp copy of the game with a windowed config, Xvfb
# displays (Mesa's llvmpipe renders), programs started with the swap counter preloaded.
# Usage: source lib.sh [BUILD_DIR]   (default: build/ at the top of the source tree)
set -euo pipefail

BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SOURCE_DIR=$(dirname "$BENCH_DIR")
BUILD_DIR=$(cd "${1:-$SOURCE_DIR/build}" && pwd)
GAME_BIN=$BUILD_DIR/zembrak
SHIM=$BUILD_DIR/bench/zk_swap_counter.so
FLOOR_BIN=$BUILD_DIR/bench/zk_floor
STAMP_BIN=$BUILD_DIR/bench/zk_stamp_exec
SWAPLOG="python3 $BENCH_DIR/swaplog.py"

for f in "$GAME_BIN" "$SHIM" "$FLOOR_BIN" "$STAMP_BIN"; do
    [ -e "$f" ] || { echo "missing $f: configure with -DZK_BENCH=ON and build first" >&2; exit 2; }
done
for tool in Xvfb xdotool python3; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done

WORK=$(mktemp -d /tmp/zk-bench-XXXXXX)
XVFB_PID=""  # the display started last
RUN_PID=""   # the program started last
STARTED_PIDS=()  # programs still running
DISPLAY_PIDS=()  # Xvfb servers

bench_cleanup() {
    local pid
    for pid in "${STARTED_PIDS[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    for pid in "${DISPLAY_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ "${KEEP_WORK:-0}" = 1 ]; then echo "work folder kept: $WORK" >&2; else rm -rf "$WORK"; fi
}
trap bench_cleanup EXIT

# install_game SOUNDS MUSIC [WORLD_FILE]: the program and its data in $WORK/game, windowed.
install_game() {
    rm -rf "$WORK/game"
    mkdir -p "$WORK/game"
    cp "$GAME_BIN" "$WORK/game/zembrak"
    # The copy the build put beside the program, so program and data match.
    if [ -d "$BUILD_DIR/data" ]; then cp -rL "$BUILD_DIR/data" "$WORK/game/data"; else cp -r "$SOURCE_DIR/data" "$WORK/game/data"; fi
    rm -f "$WORK/game/data/hiscore.txt"
    [ -n "${3:-}" ] && cp "$3" "$WORK/game/data/world.txt"
    printf 'SCREEN_WIDTH: 800\nSCREEN_HEIGHT: 600\nBPP: 32\nFULLSCREEN: 0\nSOUNDS: %s\nMUSIC: %s\n' \
        "$1" "$2" >"$WORK/game/config.txt"
}

# start_display [WxH]: a new Xvfb display, made the current DISPLAY; its pid in XVFB_PID.
start_display() {
    local size=${1:-800x600} number=$WORK/display-${#DISPLAY_PIDS[@]}
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$number" 2>/dev/null &
    XVFB_PID=$!
    DISPLAY_PIDS+=("$XVFB_PID")
    for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
    [ -s "$number" ] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(cat "$number")"
}

# start_counted LOG PROGRAM [ARGS...]: runs PROGRAM on the current DISPLAY from another folder
# with the swap counter preloaded and the exec time stamped; its pid in RUN_PID.
start_counted() {
    local log=$1
    shift
    rm -f "$log"
    mkdir -p "$WORK/elsewhere"
    (cd "$WORK/elsewhere" && exec env SDL_AUDIODRIVER=dummy ZK_SWAP_LOG="$log" LD_PRELOAD="$SHIM" \
        "$STAMP_BIN" "$@" >>"$WORK/stdout" 2>>"$WORK/stderr") &
    RUN_PID=$!
    STARTED_PIDS+=("$RUN_PID")
}

# wait_first_frame LOG [SECONDS]: until the counted program has shown its first frame.
wait_first_frame() {
    local log=$1 limit=${2:-30}
    for _ in $(seq $((limit * 50))); do
        [ -s "$log" ] && grep -q '^first ' "$log" && return 0
        kill -0 "$RUN_PID" 2>/dev/null || { echo "the program ended before its first frame" >&2; cat "$WORK/stderr" >&2; exit 1; }
        sleep 0.02
    done
    echo "no frame within ${limit}s" >&2
    exit 1
}

# stop_run [PID]: ends a program this script started (default: the last one) and forgets it,
# so that the clean-up at exit can never hit a later process given the same id.
stop_run() {
    local pid=${1:-$RUN_PID} kept=() p
    [ -n "$pid" ] || return 0
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    for p in "${STARTED_PIDS[@]}"; do [ "$p" = "$pid" ] || kept+=("$p"); done
    STARTED_PIDS=("${kept[@]}")
    [ "$pid" = "$RUN_PID" ] && RUN_PID=""
    return 0
}

game_window() { xdotool search --name '^Zembrak$' | head -1; }

key() { xdotool key --delay 60 "$@"; }

# CPU seconds (utime + stime) a process has used so far.
cpu_seconds() {
    awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); print ($12 + $13) / hz }' "/proc/$1/stat"
}

describe_machine() {
    echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
    local renderer
    renderer=$(glxinfo -B 2>/dev/null | sed -n 's/^OpenGL renderer string: //p' || true)
    echo "renderer: ${renderer:-unknown} under Xvfb"
    echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
}
