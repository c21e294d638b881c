#!/usr/bin/env bash
# Sound through SDL's disk audio driver, which writes the mixed output (raw 16-bit samples,
# 0 for silence) to a file as it plays, in real time:
#  - effects on, music off: silence until the first step, then the step is heard;
#  - effects off, music on: the title music plays in the menu;
#  - no sound device (a driver that is not there, one that cannot open its output): the game
#    says why on stderr, plays in silence, and keeps the volumes for when the device is back.
# (Which effect each event plays, the volumes and a kind switched off: sound_tests.)
# The mixer reports its failures on stdout as "Mix_...: ..." lines; there must be none.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_screens.sh"
install_game
write_world 0
start_display
export SDL_AUDIODRIVER=disk

# run_with SOUNDS MUSIC NAME: starts the game with these volumes, recording to $WORK/NAME.raw.
run_with() {
    write_config 0 "$1" "$2"
    export SDL_DISKAUDIOFILE="$WORK/$3.raw"
    show_game
    grab menu
}

size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# sound_bytes FILE [OFFSET]: how many bytes of the recording (from OFFSET on) are not zero.
sound_bytes() { tail -c +$((${2:-0} + 1)) "$1" | tr -d '\000' | wc -c; }

# wait_for_sound FILE OFFSET WHAT: polls until the recording holds sound after OFFSET.
wait_for_sound() {
    local end=$((SECONDS + 30))
    while [ $SECONDS -lt $end ]; do
        [ "$(sound_bytes "$1" "$2")" -gt 0 ] && return 0
        sleep 0.2
    done
    fail "$3 not heard within 30s ($(($(size "$1") - $2)) bytes recorded)"
}

finish() {
    key alt+F4
    expect_exit 0
    if grep '^Mix_' "$WORK/stdout"; then fail "mixer errors with $1"; fi
}

run_with 128 0 effects
recording=$WORK/effects.raw
wait_for 30 "recording with effects on" test -s "$recording"
key Return
wait_until_differs menu play "$RIGHT_EDGE"
before_step=$(size "$recording")
expect_eq "$(head -c "$before_step" "$recording" | tr -d '\000' | wc -c)" 0 "sound before the first step"
key Right
wait_for_sound "$recording" "$before_step" "the step"
finish "effects on"

run_with 0 100 music
wait_for_sound "$WORK/music.raw" 0 "the title music"
finish "music on"

write_world 3  # a step scores
for driver in nonexistent disk; do
    SDL_AUDIODRIVER=$driver run_with 128 100 "missing/$driver"
    key Return
    wait_until_differs menu play "$RIGHT_EDGE"
    key Right
    wait_until_differs play stepped "$SCORE_DIGITS" 10
    finish "no sound device ($driver)"
    grep -q '^Mix_OpenAudio: .' "$WORK/stderr" || fail "no word of the missing sound device ($driver)"
    expect_eq "$(grep -E '^(SOUNDS|MUSIC):' "$WORK/game/config.txt" | tr '\n' ' ')" "SOUNDS: 128 MUSIC: 100 " \
        "volumes kept ($driver)"
done
echo PASS
