#!/usr/bin/env python3
"""Reads the Board off a screenshot and walks the figure with real key presses.

The play field is the left 600 x 600 pixels of an 800 x 600 window; tile (x, y) has its
90-pixel cell at (30 + 90x, 30 + 90y) from the bottom-left corner. A cell counts as safe when
a ring of points 20 pixels round its centre all show tile stone: young tiles (stages 1..7)
cover the ring; holes, the oldest stages and the cracks of a crumbling tile do not. The ring
keeps to the sides, away from the corners of the figure and item squares. Usage:
  board.py walk-right-edge START_X START_Y   walks to column 5 and steps over the right edge
"""
import math
import os
import subprocess
import sys
import time
from collections import deque

def screenshot():
    ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                         capture_output=True).stdout
    # Header: "P6", width, height, maxval, each followed by one whitespace byte.
    fields, position = [], 0
    while len(fields) < 4:
        while ppm[position:position + 1].isspace():
            position += 1
        end = position
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[position:end])
        position = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, ppm[position + 1:]

def pixel(shot, x, y):
    width, _, data = shot
    i = (y * width + x) * 3
    return data[i], data[i + 1], data[i + 2]

def is_stone(rgb):
    r, g, b = rgb
    return r > 120 and g > 90 and r > b + 40

RING = [(round(20 * math.cos(math.radians(a + side))), round(20 * math.sin(math.radians(a + side))))
        for side in (0, 90, 180, 270) for a in range(-30, 31, 6)]

def safe_cells(shot):
    safe = set()
    for x in range(6):
        for y in range(6):
            cx, cy = 30 + 90 * x + 45, 600 - (30 + 90 * y + 45)
            if all(is_stone(pixel(shot, cx + dx, cy + dy)) for dx, dy in RING):
                safe.add((x, y))
    return safe

def route_to(start, passable, targets):
    """Shortest path of cells from `start` (not included) to any of `targets`, stepping only on
    `passable` cells; None when there is none."""
    previous = {start: None}
    queue = deque([start])
    while queue:
        cell = queue.popleft()
        if cell in targets:
            path = []
            while cell != start:
                path.append(cell)
                cell = previous[cell]
            return path[::-1]
        for dx, dy in ((1, 0), (0, 1), (0, -1), (-1, 0)):
            nxt = (cell[0] + dx, cell[1] + dy)
            if nxt in passable and nxt not in previous:
                previous[nxt] = cell
                queue.append(nxt)
    return None

# With ZK_PAD_FIFO the test's pad steps instead: Right by the left stick, the rest by the D-pad.
PAD_STEPS = {"Right": ("a 0 30000", "a 0 0"), "Left": ("h 8", "h 0"), "Up": ("h 1", "h 0"), "Down": ("h 4", "h 0")}

def key(name):
    if "ZK_PAD_FIFO" not in os.environ:
        subprocess.run(["xdotool", "key", name], check=True)
        return
    with open(os.environ["ZK_PAD_FIFO"], "w") as pad:
        pad.write("%s\n%s\n" % PAD_STEPS[name])


def step_key(here, there):
    dx, dy = there[0] - here[0], there[1] - here[1]
    return {(1, 0): "Right", (-1, 0): "Left", (0, 1): "Up", (0, -1): "Down"}[(dx, dy)]

# The middle of each character's figure: red, cyan, gold. A dying or fallen figure shows none.
FIGURE_COLOURS = (
    lambda r, g, b: r > 130 and g < 90 and b < 90,
    lambda r, g, b: b > 180 and r < 120,
    lambda r, g, b: r > 200 and g > 150 and b < 100,
)

def figure_on(shot, tile, character=0):
    return FIGURE_COLOURS[character](*pixel(shot, 30 + 90 * tile[0] + 44, 600 - (30 + 90 * tile[1] + 45)))

def walk_right_edge(x, y, deadline=90):
    """Walks over safe tiles to column 5 and steps over the edge. The start tile is renewed
    every tick, so with no safe route the figure waits there; after a fall it starts again
    from there once it is back."""
    start = here = (x, y)
    end = time.time() + deadline
    while time.time() < end:
        shot = screenshot()
        if not figure_on(shot, here):
            time.sleep(0.1)
            if not figure_on(screenshot(), here):
                while not figure_on(screenshot(), start) and time.time() < end:
                    time.sleep(0.1)
                here = start
                continue
        if here[0] == 5:
            key("Right")
            return 0
        safe = safe_cells(shot) | {start}
        path = route_to(here, safe, {(5, y) for y in range(6)})
        if not path and here != start:
            path = route_to(here, safe, {start})
        if not path:
            time.sleep(0.1)  # wait for holes to refill
            continue
        key(step_key(here, path[0]))
        here = path[0]
        time.sleep(0.05)
    return 1


if __name__ == "__main__":
    if sys.argv[1] == "walk-right-edge":
        sys.exit(walk_right_edge(int(sys.argv[2]), int(sys.argv[3])))
    sys.exit(2)
