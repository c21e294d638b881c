#!/usr/bin/env bash
# Every way out of the game ends in its exit handler: Alt+F4 in play, in the menu, on a
# picture page and while paused, the Quit item, a window manager's close, SIGTERM, SIGHUP and
# SIGQUIT all end with status 0, the graphics released and both files written, the best score
# raised by a game still in progress; also when its output goes to a pipe nobody reads.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_exit.sh"
start_display
build_gl_counter

# fresh_game BEST FULLSCREEN SOUNDS MUSIC [COMMAND...]: a new copy of the game, best score
# BEST ("" for no file), started (after COMMAND) and showing the title menu with the keyboard
# focus.
fresh_game() {
    rm -rf "$WORK/game" "$WORK/gl_counts"
    new_install "$2" "$3" "$4"
    [ -z "$1" ] || printf '%s' "$1" >"$WORK/game/data/hiscore.txt"
    ZK_ASAN_EXTRA=$GL_COUNTER_ASAN show_game "${@:5}" "${GL_COUNTER[@]}"
    # Focus the window: only then does taking the focus away tell the game anything.
    focus_back
}

# A new game that scored: one step right from the start tile, whatever lies there, is worth
# 2 points at the start (a fall afterwards takes nothing away). On a busy machine the key
# repeat now and then makes two or three steps of the press: the score is "2 or a little more".
play_and_score() {
    key Return
    wait_for_play
    key Right
}

# finished NAME BEST FULLSCREEN SOUNDS MUSIC [STDOUT]; BEST "scored" stands for the score of
# play_and_score.
finished() {
    local best=$2
    expect_exit 0
    expect_output stderr ''
    expect_output stdout "${6:-}"
    expect_gl_held 0 0  # the exit handler released the graphics
    if [ "$best" = scored ]; then
        best=$(cat "$WORK/game/data/hiscore.txt" && echo .)
        [[ $best =~ ^[0-9]+\.$ ]] && [ "${best%.}" -ge 2 ] && [ "${best%.}" -le 10 ] && [ $((${best%.} % 2)) = 0 ] ||
            fail "best score: expected the score of the game, 2 or a little more, got [${best%.}]"
        best=${best%.}
    fi
    expect_saved "$best" 800 600 32 "$3" "$4" "$5"
    echo "ok: $1"
}

fresh_game 7 0 0 0
key alt+F4
finished "Alt+F4 in the title menu keeps the best score" 7 0 0 0

fresh_game 1 0 128 100
play_and_score
key alt+F4
finished "Alt+F4 in play saves the score of the game in progress" scored 0 128 100

fresh_game 1 0 0 0
play_and_score
key Escape
wait_for_menu
key alt+F4
finished "Alt+F4 in the menu during a game" scored 0 0 0

# The menu opens on Resume during a game: two steps down is the first picture page.
fresh_game 1 0 0 0
play_and_score
key Escape
wait_for_menu
key Down Down Return
wait_until_waiting
key alt+F4
finished "Alt+F4 on a picture page" scored 0 0 0

# Up from Resume wraps round to Quit. A lower score leaves the best score as it was.
fresh_game 1000 0 128 0
play_and_score
key Escape
wait_for_menu
key Up Return
finished "the Quit item, the best score higher than the game's" 1000 0 128 0

# In full screen a regained focus rebuilds the graphics, which reads every picture again.
fresh_game 1 1 0 100
play_and_score
focus_away
wait_until_waiting
before=$(main_read_bytes)
focus_back
wait_until_drawing
rebuild_at_least=$(($(stat -c %s "$WORK/game/data/menu.jpg") + $(stat -c %s "$WORK/game/data/konec.jpg")))
[ $(($(main_read_bytes) - before)) -ge "$rebuild_at_least" ] || fail "the graphics were not rebuilt on regained focus"
focus_away
wait_until_waiting
key alt+F4
finished "Alt+F4 while paused in full screen" scored 1 0 100

fresh_game 1 0 0 0
play_and_score
close_window
finished "the window closed in play" scored 0 0 0

fresh_game 1 0 128 100
play_and_score
focus_away
wait_until_waiting
close_window
finished "the window closed while paused" scored 0 128 100

fresh_game "" 0 0 0
key Down Return
wait_until_waiting
close_window
finished "the window closed on a picture page, no best score before" 0 0 0 0 'Could not load hiscore from data\\hiscore.txt'

fresh_game 1 0 0 0
play_and_score
focus_away
wait_until_waiting
kill -TERM "$GAME_PID"
finished "SIGTERM while paused" scored 0 0 0

# Closing the terminal that started the game, or losing the ssh session.
fresh_game 1 0 0 0
play_and_score
kill -HUP "$GAME_PID"
finished "SIGHUP in play ends like SIGTERM" scored 0 0 0

fresh_game 1 0 0 0
play_and_score
kill -QUIT "$GAME_PID"
finished "SIGQUIT in play ends like SIGTERM" scored 0 0 0

# `zembrak | true`: the reader of its output is gone before the game prints anything.
fresh_game "" 0 0 0 python3 -c 'import os, sys; r, w = os.pipe(); os.close(r); os.dup2(w, 1); os.execvp(sys.argv[1], sys.argv[1:])'
play_and_score
key alt+F4
finished "output to a closed pipe" scored 0 0 0

echo PASS
