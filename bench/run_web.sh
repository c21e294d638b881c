#!/usr/bin/env bash
# The web build against the desktop build on this machine: frames and Board ticks per second in
# play (the figure on its start tile, which every tick restores), time to the title menu and
# the download's size.
#
# Desktop: the game under Xvfb (Mesa's llvmpipe), Return on the title menu, then frames from
# the swap counter and ticks read from the running game with gdb (game.boardTicks), over
# SECONDS. Web: tests/web/run --bench, headless Chromium with SwiftShader, the same counts
# read from the page.
#
# Usage: bench/run_web.sh [BUILD_DIR]   (configured with -DZK_BENCH=ON)
# Environment: SECONDS_COUNTED (default 10).
source "$(dirname "$0")/lib.sh" "${1:-}"
command -v gdb >/dev/null || { echo "missing tool: gdb" >&2; exit 2; }
COUNTED=${SECONDS_COUNTED:-10}

board_ticks() { gdb -p "$RUN_PID" -batch -ex 'print game.boardTicks' 2>/dev/null | sed -n 's/^\$1 = //p'; }

# desktop WIDTH HEIGHT: one count in play at that window size. Software rendering makes the
# full window slow here; the small one draws as fast as a desktop with a GPU.
desktop() {
    install_game 0 0
    sed -i "s/SCREEN_WIDTH: 800/SCREEN_WIDTH: $1/; s/SCREEN_HEIGHT: 600/SCREEN_HEIGHT: $2/" "$WORK/game/config.txt"
    start_display 800x600
    start_counted "$WORK/game.log" "$WORK/game/zembrak"
    wait_first_frame "$WORK/game.log"
    sleep 0.5
    key Return
    sleep 2
    local t0 t1 k0 k1 f0 f1
    t0=$(date +%s.%N); k0=$(board_ticks); read -r f0 _ < <($SWAPLOG last "$WORK/game.log")
    sleep "$COUNTED"
    t1=$(date +%s.%N); k1=$(board_ticks); read -r f1 _ < <($SWAPLOG last "$WORK/game.log")
    python3 -c "t=$t1-$t0; print('desktop $1x$2: %.1f frames/s, %.1f board ticks/s' % (($f1-$f0)/t, ($k1-$k0)/t))"
    stop_run
}

echo "== the desktop build: frames and Board ticks per second in play"
describe_machine
desktop 800 600
desktop 200 150

echo "== the web build in headless Chromium"
cd "$SOURCE_DIR"
ZK_WEB_OUT=build-web/bench tests/web/run --bench | grep -E '^(time to|in play)'
folder=$(ls -d build-web/release/zembrak-*-web)
echo "download (bytes, raw and gzip -9):"
for f in "$folder"/*; do printf '  %-12s %9d %9d\n' "$(basename "$f")" "$(stat -c%s "$f")" "$(gzip -9c "$f" | wc -c)"; done
printf '  %-12s %9d\n' zip "$(stat -c%s dist/"$(basename "$folder")".zip)"
