#!/usr/bin/env bash
# Escape during a run opens the title menu with "resume" selected; Escape again goes back to
# the game as it was. "New game" chosen during the run of the second character starts over
# with character 0 in the start sector, score 0 and four spare lives, and the abandoned score
# becomes the best. (The blink's intervals: screen_tests.)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_screens.sh"
new_install
write_world 10
show_game
expect_blink_on 1
first_menu=$BLINK_DARK

key Return
wait_until_differs "$first_menu" play0 "$RIGHT_EDGE"
cp "$WORK/play0.ppm" "$WORK/play.ppm"
lose_run play Right 0 5 result
key space
wait_until_differs result played "$RIGHT_EDGE"
same_at play0 "$(map_mark 0 7)" played "$(map_mark 7 7)" ||
    fail "character 1 does not start in sector (7, 7)"
if same play0 played "$SCORE_DIGITS"; then fail "no score from the steps of character 0"; fi

key Escape
wait_until_differs played run_menu "$RIGHT_EDGE"
expect_blink_on 0
same "$BLINK_DARK" "$first_menu" ||
    fail "the menu during a run differs from the first one beyond the highlight"

key Escape
wait_until_differs "$BLINK_LIT" resumed "$RIGHT_EDGE"
same played resumed "$PANEL" || fail "the side panel after resuming differs from before the menu"
same played resumed "$(figure_cell 5 5)" || fail "the figure after resuming is not where it stood"

key Escape
wait_until_differs resumed run_menu2 "$RIGHT_EDGE"
key Down
expect_blink_on 1
key Return
wait_until_differs "$BLINK_LIT" restarted "$RIGHT_EDGE"
same play0 restarted "$SCORE_DIGITS" || fail "the score after a new game is not 0"
expect_eq "$(spare_lives restarted)" 4 "spare lives after a new game"
same play0 restarted "$LIVES_BOX" ||
    fail "the spare-life icons after a new game are not those of character 0"
same play0 restarted "$(map_mark 0 7)" && same play0 restarted "$(map_mark 7 7)" ||
    fail "the minimap does not mark the start sector (0, 7) after a new game"
[ "$(differing_share played "$SCORE_DIGITS" restarted "$BEST_DIGITS")" -le 2 ] ||
    fail "the best score does not show the abandoned score"

key alt+F4
expect_exit 0
[ "$(cat "$WORK/game/data/hiscore.txt")" -gt 0 ] || fail "the abandoned score was not saved as the best"
echo PASS
