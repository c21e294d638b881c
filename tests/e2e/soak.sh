#!/usr/bin/env bash
# A long run in full screen with sound and music: a seeded random player walks the figure,
# goes through the menu and its pages, closes end screens with Space, toggles the frame rate
# and again and again takes the focus away and gives it back, which pauses the game and
# rebuilds its graphics. Checked: the game holds as many textures and display lists after
# every rebuild as after start-up; the resident memory does not grow after the first minute;
# at the end Alt+F4 gives status 0, the graphics released, both files written and no
# sanitizer report. docs/SOAK.md has longer runs.
#   SOAK_SECONDS  length of the random play (default 180)
#   SOAK_CYCLES   focus cycles in it (default 100 for 180 s, in proportion otherwise); if the
#                 machine is slow the run goes on until all are done
#   SOAK_SEED     seed of the random player (default 1); printed, so a failure can be repeated
#   SOAK_GROWTH   allowed growth of the resident memory in percent (default 10)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_exit.sh"

SOAK_SECONDS=${SOAK_SECONDS:-180}
SOAK_CYCLES=${SOAK_CYCLES:-$(((SOAK_SECONDS * 100 + 179) / 180))}
SOAK_SEED=${SOAK_SEED:-1}
SOAK_GROWTH=${SOAK_GROWTH:-10}
echo "soak: ${SOAK_SECONDS}s, ${SOAK_CYCLES} focus cycles, seed ${SOAK_SEED}"

new_install 1 128 100
build_gl_counter

start_display
# Steadier resident memory, so that a trend shows: glibc raises its mmap threshold as large
# blocks are freed, after which the decoded pictures of each rebuild come from the heap and
# the memory moves between levels some 10 % apart; a fixed threshold hands them back at once.
# In the sanitizer build a small quarantine does the same for freed memory held back for
# use-after-free checks.
ZK_ASAN_EXTRA=quarantine_size_mb=16:$GL_COUNTER_ASAN show_game env MALLOC_MMAP_THRESHOLD_=131072 "${GL_COUNTER[@]}"
focus_back

export GAME_PID SOAK_SECONDS SOAK_CYCLES SOAK_SEED SOAK_GROWTH
export GAME_WINDOW ROOT_WINDOW REBUILD_AT_LEAST GL_COUNTS="$WORK/gl_counts"
GAME_WINDOW=$(game_window)
ROOT_WINDOW=$(root_window)
# A rebuild reads every picture again; the two largest alone are this much.
REBUILD_AT_LEAST=$(($(stat -c %s "$WORK/game/data/menu.jpg") + $(stat -c %s "$WORK/game/data/konec.jpg")))

python3 "$(dirname "$0")/soak_player.py" || fail "the random player stopped"

key alt+F4
expect_exit 0
expect_no_sanitizer_report
expect_gl_held 0 0  # the exit handler released the graphics
if [ -s "$WORK/stderr" ]; then echo "stderr:"; cat "$WORK/stderr"; fi
best=$(cat "$WORK/game/data/hiscore.txt" && echo .)
[[ $best =~ ^[0-9]+\.$ ]] || fail "best score file: $(od -c "$WORK/game/data/hiscore.txt")"
expect_saved "${best%.}" 800 600 32 1 128 100
echo "soak: best score ${best%.}"
echo PASS
