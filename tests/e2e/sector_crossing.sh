#!/usr/bin/env bash
# Real arrow keys walk the figure over the right edge of its start sector: the view slides to
# the next sector, whose frame has no left wall, and the minimap mark moves one cell right.
source "$(dirname "$0")/lib.sh"
install_game
write_config 0 0 0
{
    echo "# no walls, level 0 everywhere"
    for _ in 1 2 3 4 5 6 7 8; do echo 0000000000000000; done
    for _ in 1 2 3 4 5 6 7 8; do echo '0;0;0;0;0;0;0;0;'; done
} >"$WORK/game/data/world.txt"
start_display
start_game
wait_for_window
wait_for_picture
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
key alt+F4
expect_exit 0
echo PASS
