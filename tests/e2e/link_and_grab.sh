#!/usr/bin/env bash
# Where the game runs: started by the path of a link in another folder (as an installed
# command is), it still finds its data and saves beside the real program; and its window
# holds the pointer, so a pointer sent to the screen's corner stays inside the window.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_exit.sh"
start_display 1024x768

new_install 0 0 0 640 480
mkdir -p "$WORK/bin"
ln -s ../game/zembrak "$WORK/bin/zembrak"
ZK_START_PATH="$WORK/bin/zembrak" show_game

read -r left top width height < <(xwininfo -id "$(game_window)" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
expect_eq "$width x $height" "640 x 480" "window size"
xdotool mousemove 0 0
sleep 0.3
eval "$(xdotool getmouselocation --shell)"
{ [ "$X" -ge "$left" ] && [ "$X" -lt $((left + width)) ] && [ "$Y" -ge "$top" ] && [ "$Y" -lt $((top + height)) ]; } ||
    fail "pointer left the window: at $X,$Y, window at $left,$top size ${width}x$height"
echo "ok: the pointer stays in the window"

key alt+F4
expect_exit 0
expect_output stderr ''
[ -f "$WORK/game/config.txt" ] && [ -f "$WORK/game/data/hiscore.txt" ] || fail "files not saved beside the program"
[ -z "$(ls -A "$WORK/bin" | grep -vx zembrak)" ] || fail "files appeared beside the link: $(ls -A "$WORK/bin")"
echo "ok: started through a link, data found and files saved beside the program"
echo PASS
