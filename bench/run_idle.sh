#!/usr/bin/env bash
# Idle cost: CPU used by the game process (utime + stime of all its threads, /proc/PID/stat)
# while it waits, as a share of one core over MEASURE_SECONDS:
#   paused      play, then the window loses keyboard focus. Xvfb has no window manager, so
#               the focus is moved to the root window (xdotool windowfocus), as a click on
#               the desktop would; SDL reports the loss and the game pauses in
#               waitWhileInactive. Checked: no frame is shown while measuring, and frames
#               come again once the focus is given back.
#   end screen  a World with level 10 everywhere and no walls; the figure steps right every
#               half second until all five lives are gone and the end screen waits for Space.
#               Checked: no frame while measuring, frames again after Space.
#   first menu  the title menu at start-up, no run in progress: the highlight blinks every
#               200 ms, so the menu shows about five frames a second and sleeps in between.
#   run menu    Escape during play: the highlight shows for a second and hides for 220 ms,
#               about 1.6 frames a second. Checked: Escape gives play back at its own pace.
# For the menus the frames shown while measuring are reported too, as frames per second.
# For reference it also reports the same figure during play.
#
# Usage: bench/run_idle.sh [BUILD_DIR]
# Environment: MEASURE_SECONDS (default 10), SOUND ("1 0": runs each state with the shipped
# SOUNDS 128 / MUSIC 100 on SDL's dummy audio driver, then with both 0; the music keeps
# playing while the game waits, so "1" includes the mixer's thread).
source "$(dirname "$0")/lib.sh" "${1:-}"

MEASURED=${MEASURE_SECONDS:-10}
SOUND_SETTINGS=${SOUND:-1 0}
start_display 800x600

echo "== idle cost: CPU share of one core while the game waits"
describe_machine
echo "measured: ${MEASURED}s per state"

LEVEL10_WORLD=$WORK/world-level10.txt
{
    echo "# no walls, level 10 everywhere"
    for _ in 1 2 3 4 5 6 7 8; do echo 0000000000000000; done
    for _ in 1 2 3 4 5 6 7 8; do echo '10;10;10;10;10;10;10;10;'; done
} >"$LEVEL10_WORLD"

frames() { $SWAPLOG frames "$LOG"; }

# cpu_share SECONDS: prints the game's CPU use in % of one core over that many seconds.
cpu_share() {
    local c0 c1 t0 t1
    c0=$(cpu_seconds "$RUN_PID"); t0=$(date +%s.%N)
    sleep "$1"
    c1=$(cpu_seconds "$RUN_PID"); t1=$(date +%s.%N)
    python3 -c "print('%.2f' % (100 * ($c1 - $c0) / ($t1 - $t0)))"
}

# wait_quiet QUIET LIMIT [KEY]: until no frame has been shown for QUIET seconds (pressing KEY
# every round while waiting); fails after LIMIT seconds.
wait_quiet() {
    local quiet=$1 limit=$2 press=${3:-} last still=0 now start
    last=$(frames); start=$(date +%s)
    while [ $(($(date +%s) - start)) -lt "$limit" ]; do
        [ -n "$press" ] && key "$press"
        sleep 0.5
        now=$(frames)
        if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; last=$now; fi
        [ $((still * 5)) -ge $((quiet * 10)) ] && return 0
    done
    return 1
}

# expect_frames_again WHAT: frames must come within 5 s.
expect_frames_again() {
    local before
    before=$(frames)
    for _ in $(seq 25); do
        sleep 0.2
        [ "$(frames)" -gt "$before" ] && { echo "  frames again after $1: yes"; return 0; }
    done
    echo "  frames again after $1: NO (the wait did not end as it should)"
}

start_play() {
    LOG=$WORK/idle-$1.log
    start_counted "$LOG" "$WORK/game/zembrak"
    wait_first_frame "$LOG"
    sleep 0.5
    key Return
    sleep 2
}

# shot NAME: a screenshot in the work folder (kept with KEEP_WORK=1), where ImageMagick is.
shot() { command -v import >/dev/null && import -window root "$WORK/$1.png" || true; }

# measure_still NAME: CPU share while no frame is shown; prints "NAME: X %".
measure_still() {
    local before share
    before=$(frames)
    share=$(cpu_share "$MEASURED")
    if [ "$(frames)" != "$before" ]; then
        echo "  $1: $share % of one core, but frames were shown meanwhile: not waiting"
    else
        echo "  $1: $share % of one core (no frame shown)"
    fi
}

# renderer_seconds PID: CPU seconds used so far by the renderer's threads (Mesa's llvmpipe).
renderer_seconds() {
    local hz total=0 task
    hz=$(getconf CLK_TCK)
    for task in /proc/"$1"/task/*; do
        grep -q '^llvmpipe' "$task/comm" 2>/dev/null || continue
        total=$((total + $(awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "$task/stat")))
    done
    python3 -c "print($total / $hz)"
}

# measure_menu NAME: CPU share while a menu waits, the renderer threads' part of it, and the
# frames shown meanwhile (its blink), from the swap log's own stamps.
measure_menu() {
    local f0 t0 f1 t1 c0 c1 r0 r1 w0 w1
    read -r f0 t0 < <($SWAPLOG last "$LOG")
    c0=$(cpu_seconds "$RUN_PID"); r0=$(renderer_seconds "$RUN_PID"); w0=$(date +%s.%N)
    sleep "$MEASURED"
    c1=$(cpu_seconds "$RUN_PID"); r1=$(renderer_seconds "$RUN_PID"); w1=$(date +%s.%N)
    read -r f1 t1 < <($SWAPLOG last "$LOG")
    python3 -c "
w = $w1 - $w0
print('  $1: %.2f %% of one core (renderer threads %.2f, the rest %.2f), %.2f frames/s shown' % (
    100 * ($c1 - $c0) / w, 100 * ($r1 - $r0) / w, 100 * (($c1 - $c0) - ($r1 - $r0)) / w,
    ($f1 - $f0) / (($t1 - $t0) / 1e9) if $t1 > $t0 else 0))"
}

# expect_play_pace WHAT: frames come faster than any menu blinks (5 a second), as in play,
# even on a loaded machine.
expect_play_pace() {
    local before after
    sleep 0.5
    before=$(frames)
    sleep 2
    after=$(frames)
    if [ $((after - before)) -gt 20 ]; then echo "  play after $1: yes"; else echo "  play after $1: NO ($((after - before)) frames in 2 s)"; fi
}

ROOT_WINDOW=$(xwininfo -root | awk '/Window id:/ { print $4 }')

for sound in $SOUND_SETTINGS; do
    if [ "$sound" = 1 ]; then volumes="128 100"; else volumes="0 0"; fi
    echo "-- SOUNDS/MUSIC: $volumes"

    install_game $volumes
    LOG=$WORK/idle-menu-$sound.log
    start_counted "$LOG" "$WORK/game/zembrak"
    wait_first_frame "$LOG"
    sleep 1
    measure_menu "first menu (no run in progress)"
    shot "first-menu-sound$sound"
    key Return
    expect_play_pace "Return on new game"
    key Escape
    sleep 1
    measure_menu "menu during a run (Escape from play)"
    shot "run-menu-sound$sound"
    key Escape
    expect_play_pace "Escape (resume)"
    stop_run

    install_game $volumes
    start_play "pause-$sound"
    echo "  in play (for reference): $(cpu_share 3) % of one core"
    xdotool windowfocus "$ROOT_WINDOW"
    if wait_quiet 1 10; then
        measure_still "paused (focus on the root window)"
        shot "paused-sound$sound"
        xdotool windowfocus "$(game_window)"
        expect_frames_again "focus given back"
    else
        echo "  paused: NOT REACHED, frames kept coming after the focus moved to the root window"
    fi
    stop_run

    install_game $volumes "$LEVEL10_WORLD"
    start_play "end-$sound"
    if wait_quiet 2 120 Right; then
        sleep 1  # the Right presses still queued are read and dropped by the end screen
        measure_still "end screen waiting for Space"
        shot "end-screen-sound$sound"
        key space
        expect_frames_again "Space"
    else
        echo "  end screen: NOT REACHED within 120 s"
    fi
    stop_run
done
echo "target: under 2 % of one core"
