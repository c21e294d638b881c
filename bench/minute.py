#!/usr/bin/env python3
"""Plays a scripted minute of the real game with real key presses, for the frame-time spread
(run_spread.sh). Needs the game on $DISPLAY in an 800 x 600 window, its first menu up, and the
World of run_spread.sh: no walls, level 0 everywhere except sector (2, 7) at level 10.

The minute: the first menu, a new game, steps and a crossing to the right (with its slide),
the Escape menu and back, a crossing into the level-10 sector, where the figure steps
off the entry tile until every life is gone (falls and respawns), the end screen and Space,
then the second character steps and crosses to the left until the minute is over.

Every action is written to ACTIONS_LOG as "<CLOCK_MONOTONIC ns> <what>", the clock the swap
counter stamps frames with; the counter's own log (SWAP_LOG) tells when the end screen shows.
Usage: minute.py ACTIONS_LOG SWAP_LOG [SECONDS]
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import board  # noqa: E402

LOG = open(sys.argv[1], "a", buffering=1)
SWAP_LOG = sys.argv[2]
GRABS = open(sys.argv[1] + ".grabs", "a", buffering=1)
LENGTH = float(sys.argv[3]) if len(sys.argv) > 3 else 60.0


def act(what):
    LOG.write(f"{time.monotonic_ns()} {what}\n")


def screenshot():
    """A screen grab, noted as "<start-ns> <end-ns> grab": the X server is busy with it."""
    start = time.monotonic_ns()
    shot = board.screenshot()
    GRABS.write(f"{start} {time.monotonic_ns()} grab\n")
    return shot


def press(name, what):
    act(what)
    board.key(name)


def lives_shown(shot):
    count = 0
    for i in range(16):
        r, g, _ = board.pixel(shot, 652 + 32 * (i % 4), 600 - (364 - 32 * (i // 4)))
        count += r > 120 or g > 120
    return count


MARK = None  # the minimap's colour for the sector the figure is in
LEVEL10 = (2, 7)


def sector_shown(shot):
    """The sector the minimap marks, or None."""
    for sx in range(8):
        for sy in range(8):
            if board.pixel(shot, 627 + 21 * sx, 27 + 21 * (7 - sy)) == MARK:
                return (sx, sy)
    return None


def walk_and_cross(tile, way, deadline):
    """Walks over safe tiles to the edge column of `way` and steps over it; returns the entry
    tile in the next sector, or None when time ran out. A fall shows as one spare life less
    once the figure is back on the entry tile, which never falls."""
    column = 5 if way == "Right" else 0
    entry = tile
    lives = lives_shown(screenshot())
    while time.monotonic() < deadline:
        shot = screenshot()
        shown = lives_shown(shot)
        if shown < lives:
            act(f"fell; respawned on the entry tile ({shown} spare lives)")
            lives, tile = shown, entry
            continue
        if tile[0] == column:
            before = sector_shown(shot)
            press(way, f"cross {way}: sector effect and slide")
            time.sleep(0.9)
            if before is not None and sector_shown(screenshot()) == before:
                act("no crossing: the figure was a step short of the edge, now on it")
                continue
            return (5 - column, tile[1])
        safe = board.safe_cells(shot) | {entry}
        path = board.route_to(tile, safe, {(column, y) for y in range(6)})
        if not path:
            time.sleep(0.05)
            continue
        press(board.step_key(tile, path[0]), "step " + board.step_key(tile, path[0]))
        tile = path[0]
        time.sleep(0.2)
    return None


def end_screen_shown():
    """The swap counter tags the end screen's message picture with "e"."""
    with open(SWAP_LOG) as log:
        return any(line.startswith("swap ") and line.rstrip().endswith(" e") for line in log)


def fall_until_run_ends(entry, deadline):
    """In the level-10 sector: steps off the entry tile onto its right neighbour and waits
    there until the tile crumbles, again and again until no life is left and the end screen
    shows. A fall shows as the figure back on the entry tile after it had left it (the count
    of lives may not drop: a Heart can come up where the figure fell). A tile that holds out
    too long is left for the entry tile, so the figure only ever stands on one of the two."""
    while time.monotonic() < deadline and not end_screen_shown():
        if sector_shown(screenshot()) == (LEVEL10[0] - 1, LEVEL10[1]):  # crossed back by a Left
            press("Right", "back over the edge into the level-10 sector")
            time.sleep(0.9)
            continue
        press("Right", "step off the entry tile")
        give_up = time.monotonic() + 5
        left = fell = False
        while time.monotonic() < give_up and not end_screen_shown():
            time.sleep(0.05)
            on_entry = board.figure_on(screenshot(), entry)
            if not on_entry:
                left = True
            elif left:
                act(f"fell; respawned on the entry tile ({lives_shown(screenshot())} spare lives)")
                fell = True
                break
        if not fell and not end_screen_shown():
            press("Left", "back onto the entry tile")  # a dead figure only turns
        time.sleep(0.3)
    if end_screen_shown():
        act("the last life is gone: end screen")


def main():
    start = time.monotonic()
    end = start + LENGTH
    act("first menu")
    time.sleep(1.5)
    press("Return", "Return: new game, game music starts")
    time.sleep(1.0)
    global MARK
    MARK = board.pixel(screenshot(), 627, 27)  # sector (0, 7), where the first run starts
    tile = (0, 5)
    tile = walk_and_cross(tile, "Right", end) or tile
    press("Escape", "Escape: the menu")
    time.sleep(1.5)
    press("Down", "menu: Down")
    time.sleep(0.5)
    press("Up", "menu: Up")
    time.sleep(0.5)
    press("Escape", "Escape: back to play")
    time.sleep(0.8)
    tile = walk_and_cross(tile, "Right", end) or tile
    act("in the level-10 sector")
    fall_until_run_ends(tile, end)
    time.sleep(1.5)
    if not end_screen_shown():
        act("no end screen within the minute")
        return
    press("space", "Space: the next character, game music starts")
    time.sleep(1.0)
    tile = (5, 5)
    while time.monotonic() < end - 1:
        tile = walk_and_cross(tile, "Left", end - 1) or tile
    act("minute over")


if __name__ == "__main__":
    main()
