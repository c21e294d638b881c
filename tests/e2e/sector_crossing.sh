#!/usr/bin/env bash
# Real arrow keys walk the figure over the right edge of its start sector: the view slides to
# the next sector, whose frame has no left wall, and the minimap mark moves one cell right.
source "$(dirname "$0")/lib.sh"
new_install
write_world 0
show_game
key Return  # new game: character 0 in sector (0, 7), tile (0, 5)
sleep 1
shot before
# The start sector lies on the World's left border: its frame has a left wall there.
frame_left_before=$(pixel before 12 300)
mark_old_before=$(pixel before 627 27)
python3 "$(dirname "$0")/board.py" walk-right-edge 0 5 || fail "could not reach the right edge"
sleep 1.5
shot after
[ "$(pixel after 12 300)" != "$frame_left_before" ] || fail "the new sector still shows a left wall"
[ "$(pixel after 627 27)" != "$(pixel after 648 27)" ] || fail "minimap mark not in the new cell"
[ "$(pixel after 648 27)" = "$mark_old_before" ] || fail "the mark in cell (1, 7) differs from the old mark"

# A held key repeats: holding F turns the frame rate on and off again and again.
source "$(dirname "$0")/lib_screens.sh"
FPS_DIGITS=80x18+660+517
grab fps_off "$FPS_DIGITS"
xdotool keydown f
sleep 0.3
toggles=""
for i in $(seq 15); do
    grab fps$i "$FPS_DIGITS"
    if same fps_off fps$i; then toggles="${toggles}0"; else toggles="${toggles}1"; fi
done
xdotool keyup f
[[ $toggles == *0* && $toggles == *1* ]] || fail "holding F showed the frame rate as [$toggles]: no key repeat"
key alt+F4
expect_exit 0
echo PASS
