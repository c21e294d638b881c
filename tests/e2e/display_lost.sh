#!/usr/bin/env bash
# The X server goes away in the middle of a game: the game says so, saves both files (the
# score of the game in progress included), and ends with status 1 instead of lingering.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_exit.sh"
start_display

new_install
printf 1 >"$WORK/game/data/hiscore.txt"
show_game
key Return
wait_for_play
key Right
sleep 0.5
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=""
expect_exit 1 30
expect_output stdout ''
expect_output stderr 'Lost the connection to the display.\n'
expect_saved 2 800 600 32 0 0 0
echo PASS
