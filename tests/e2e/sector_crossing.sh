#!/usr/bin/env bash
# Real arrow keys walk the figure over the right edge of its start sector: the view slides to
# the next sector, whose frame has no left wall, and the minimap mark moves one cell right.
# The session is recorded: the recording and the kept best game replay to the best score.
# Then with a pad (SDL's virtual joystick, preloaded) A starts, the D-pad and stick walk, Start
# opens and closes the menu, presses of 80 and 240 ms move it one place, an unplugged pad
# pauses until a key, and the recording passes as a timedemo.
source "$(dirname "$0")/lib.sh"
new_install
write_world 0
ZK_ARGS="--record played.replay" show_game  # relative to the folder it starts from
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

recording="$WORK/elsewhere/played.replay"
[ -s "$recording" ] || fail "no recording in the folder the game started from"
[ -s "$WORK/game/data/best.replay" ] || fail "no best.replay beside hiscore.txt"
best=$(cat "$WORK/game/data/hiscore.txt")
[ "$best" -gt 0 ] || fail "the walk scored nothing"
config_before=$(cat "$WORK/game/config.txt")
# In a form no save writes, so a replay that saved would show.
printf '# mine\n%s' "$best" >"$WORK/game/data/hiscore.txt"

# timedemo FILE [SCORE]: runs it; prints the frame count, checks the line and the score (the best).
LINE='^timedemo: ([0-9]+) frames in [0-9]+\.[0-9]{3} s, [0-9]+\.[0-9] frames/s, score ([0-9]+)$'
timedemo() {
    local status
    status=$(run_game --timedemo "$1")
    expect_eq "$status" 0 "timedemo status of $1"
    expect_eq "$(wc -l <"$WORK/run.out")" 1 "timedemo lines on stdout"
    [[ "$(cat "$WORK/run.out")" =~ $LINE ]] || fail "timedemo line: $(cat "$WORK/run.out")"
    expect_eq "${BASH_REMATCH[2]}" "${2:-$best}" "timedemo score of $1"
    expect_eq "$(cat "$WORK/run.err")" "" "timedemo stderr"
    echo "${BASH_REMATCH[1]}"
}
frames=$(timedemo "$recording")
expect_eq "$(timedemo "$recording")" "$frames" "frames of the second timedemo"
timedemo "$WORK/game/data/best.replay" >/dev/null
# The replays kept from every build (Linux, Windows, the web page) play here to their scores.
for kept in short_walk windows_game web_game; do
    expected=$(sed -n 's/^score //p' "$(dirname "$0")/../replays/$kept.expected")
    cp "$(dirname "$0")/../replays/$kept.replay" "$WORK/elsewhere/"
    timedemo "$kept.replay" "$expected" >/dev/null
    echo "ok: $kept plays to score $expected"
done
# A replay's score is not the player's: the files stay as they were.
unchanged() {
    expect_eq "$(cat "$WORK/game/data/hiscore.txt")" "# mine
$best" "hiscore after the replays"
    expect_eq "$(cat "$WORK/game/config.txt")" "$config_before" "config after the replays"
}
unchanged

# A cut file is refused before anything is drawn: one line, status 1.
head -c "$(($(stat -c %s "$recording") / 2))" "$recording" >"$WORK/elsewhere/cut.replay"
expect_eq "$(run_game --timedemo cut.replay)" 1 "status for a cut replay"
expect_eq "$(cat "$WORK/run.err")" "Cannot play replay cut.replay: cut short or damaged." "message for a cut replay"
expect_eq "$(cat "$WORK/run.out")" "" "stdout for a cut replay"

# Watching: to its end at the recorded pace, status 0; Escape stops it early, status 0.
started=$(date +%s)
expect_eq "$(run_game --replay "$recording")" 0 "status at the end of a watched replay"
[ $(($(date +%s) - started)) -ge 3 ] || fail "the watched replay did not keep the recorded pace"
# Watched, a replay says so in its caption and at the foot of the panel, which is otherwise
# the panel of play.
ZK_CAPTION="Zembrak - Replay" ZK_ARGS="--replay $recording" show_game
PANEL_FOOT=200x56+600+544 PANEL_LIVES_LABEL=200x16+600+199
convert "$WORK/after.png" "$WORK/after.ppm"
replay_marked() {
    grab replay
    same_at after "$PANEL_LIVES_LABEL" replay "$PANEL_LIVES_LABEL" && ! same_at after "$PANEL_FOOT" replay "$PANEL_FOOT"
}
wait_for 20 "the Replay mark at the foot of the panel" replay_marked
key Escape
expect_exit 0 20
unchanged

# A file made never to end: the focus lost in the menu, then a wait for an event repeated four
# billion times. SIGTERM stops it all the same, status 0. And one that quits in the menu, with
# the whole game still on its tape.
python3 - "$recording" "$WORK/elsewhere/endless.replay" "$WORK/elsewhere/quit.replay" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()[:-4]
def varint(at):
    value = shift = 0
    while True:
        value, shift, at = value | (data[at] & 0x7F) << shift, shift + 7, at + 1
        if data[at - 1] < 0x80: return value, at
def put(value):
    out = b''
    while value >= 0x80: out, value = out + bytes([value & 0x7F | 0x80]), value >> 7
    return out + bytes([value])
at = 6 + data[5]
for _ in range(5): _, at = varint(at)
at += 1 + 192
head, counts = data[:at], []
for _ in range(6): value, at = varint(at); counts.append(value)
def write(path, ops, calls):
    body = ops + data[at:]
    out = head + b''.join(put(v) for v in counts[:1] + [counts[1] + calls] + counts[2:5]) + put(len(body)) + body
    h = 2166136261
    for byte in out: h = ((h ^ byte) * 16777619) & 0xFFFFFFFF
    open(path, 'wb').write(out + h.to_bytes(4, 'little'))
runs = 2**32 - 1  # the menu's two clock readings, its poll, then a wait and its run
write(sys.argv[2], b'\xC0\xC0\x82\x01\x00\x02\x83\x01\x00\x02\x84' + put(runs), 4 + runs)
write(sys.argv[3], b'\xC0\xC0\x82\x0C', 3)  # the same readings, then the window closed
PY
expect_eq "$(run_game --timedemo quit.replay)" 1 "status for a replay that quits before its end"
[[ "$(cat "$WORK/run.err")" =~ ^Replay\ quit.replay\ went\ out\ of\ step\ after\ 3\ of\ [0-9]+\ calls$ ]] ||
    fail "message for a replay that quits before its end: $(cat "$WORK/run.err")"
expect_eq "$(cat "$WORK/run.out")" "" "stdout for a replay that quits before its end"
ZK_ARGS="--timedemo endless.replay" show_game
sleep 1
kill -TERM "$GAME_PID"
expect_exit 0 20
unchanged

# The pad: a fresh game on a pad only, recorded.
[ -f "${ZK_PAD_SHIM:-}" ] || fail "no pad shim in ZK_PAD_SHIM"
write_world 0 && rm -f "$WORK/game/data/hiscore.txt" "$WORK/elsewhere/played.replay"
mkfifo "$WORK/pad"
export ZK_PAD_FIFO="$WORK/pad" ZK_ASAN_EXTRA=verify_asan_link_order=0
ZK_ARGS="--record played.replay" show_game env ZK_TEST_PAD="$WORK/pad" LD_PRELOAD="$ZK_PAD_SHIM"
exec 7>"$WORK/pad"  # held open, so the pad stays plugged in between presses
# press "b N"|KEY: a press and release of pad button N, or of a key.
press() { if [[ $1 == b* ]]; then echo "$1 1" >&7 && echo "$1 0" >&7; else key "$1"; fi; }
grab pad_menu
press "b 0"  # A: new game
wait_until_differs pad_menu pad_play "$RIGHT_EDGE"
python3 "$(dirname "$0")/board.py" walk-right-edge 0 5 || fail "the pad could not reach the right edge"
sleep 1.5 && grab pad_after
same pad_play pad_after "$(map_mark 1 7)" && fail "the pad's walk did not reach sector (1, 7)"
press "b 7"  # Start: the menu
wait_until_differs pad_after pad_run_menu "$RIGHT_EDGE"
for shown in after run_menu after run_menu; do  # Start, Start, Start, Start: play, menu, play, menu
    press "b 7" && sleep 0.8 && grab "start_$shown" && same "start_$shown" "pad_$shown" "$RIGHT_EDGE" || fail "no $shown"
done
lit_now() { for _ in $(seq 60); do grab lit && [ -n "$(lit_labels lit)" ] && lit_labels lit && return; sleep 0.03; done; }
place=$(lit_now)
for press in "h 4 0.08" "h 4 0.24" "a 1 30000 0.08" "a 1 30000 0.24"; do  # D-pad, stick; seconds held
    echo "${press% *}" >&7 && sleep "${press##* }" && echo "${press% * *} 0" >&7 && sleep 0.6
    [ "$(lit_now)" = $((++place % 6)) ] || fail "the pad's $press did not move the menu one place"
done
echo unplug >&7 && sleep 2
press Escape && sleep 1 && grab pad_unpaused  # ends the pause the lost pad made, and nothing else
same pad_run_menu pad_unpaused "$RIGHT_EDGE" || fail "Escape acted through the pause of an unplugged pad"
press Escape
wait_until_differs pad_run_menu pad_resumed "$RIGHT_EDGE"
same pad_after pad_resumed "$(map_mark 1 7)" || fail "after the pause Escape does not go back to the game"
key alt+F4
expect_exit 0
best=$(cat "$WORK/game/data/hiscore.txt")
[ "$best" -gt 0 ] || fail "the pad's walk scored nothing"
timedemo "$recording" >/dev/null
echo PASS
