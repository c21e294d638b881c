#!/usr/bin/env python3
"""Plays a run of the real game to the goal with real key presses, to check that the shipped
World can be finished by a careful player. Needs a running game on $DISPLAY in an 800 x 600
window, with a new game just started. Plays all three characters. Usage: playtest.py [WORLD_FILE]

It reads the Board off the screen (tests/e2e/board.py), plans the sector route through open
walls, walks to the right edge tile over safe tiles and crosses; after a fall it goes on from
the respawn tile. Prints one line per sector and the outcome.
"""
import os
import subprocess
import sys
import time
from collections import deque

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import board  # noqa: E402

STEP = {"Right": (1, 0), "Left": (-1, 0), "Up": (0, 1), "Down": (0, -1)}

def read_world(path):
    lines = [l.rstrip("\r\n") for l in open(path) if l.strip() and not l.startswith("#")]
    wall_left, wall_bottom = {}, {}
    for y in range(8):
        row = lines[y].ljust(16, "0")
        for x in range(8):
            wall_left[(x, y)] = row[2 * x] == "1"
            wall_bottom[(x, y)] = row[2 * x + 1] == "1"
    return wall_left, wall_bottom

def open_ways(sector, walls):
    wall_left, wall_bottom = walls
    x, y = sector
    if x < 7 and not wall_left[(x + 1, y)]: yield "Right", (x + 1, y)
    if x > 0 and not wall_left[(x, y)]: yield "Left", (x - 1, y)
    if y < 7 and not wall_bottom[(x, y + 1)]: yield "Up", (x, y + 1)
    if y > 0 and not wall_bottom[(x, y)]: yield "Down", (x, y - 1)

def next_way(sector, walls):
    previous = {sector: None}
    queue = deque([sector])
    while queue:
        here = queue.popleft()
        if here == (0, 0):
            while previous[here][0] != sector:
                here = previous[here][0]
            return previous[here][1]
        for way, there in open_ways(here, walls):
            if there not in previous:
                previous[there] = (here, way)
                queue.append(there)
    return None

def lives_shown(shot):
    count = 0
    for i in range(16):
        x = 652 + 32 * (i % 4)
        y = 600 - (364 - 32 * (i // 4))
        r, g, b = board.pixel(shot, x, y)
        if r > 120 or g > 120:
            count += 1
    return count

def edge_cells(way):
    return {"Right": [(5, y) for y in range(6)], "Left": [(0, y) for y in range(6)],
            "Up": [(x, 5) for x in range(6)], "Down": [(x, 0) for x in range(6)]}[way]

def play(world_path, sector, tile, character=0, limit=600):
    walls = read_world(world_path)
    respawn = tile
    shot = board.screenshot()
    lives = lives_shown(shot)
    end = time.time() + limit
    print(f"start in sector {sector} on tile {tile} with {lives} spare lives", flush=True)
    while time.time() < end:
        shot = board.screenshot()
        if not board.figure_on(shot, tile, character):
            time.sleep(0.05)
            shot = board.screenshot()
            if not board.figure_on(shot, tile, character):
                if lives == 0:
                    print(f"  fell in sector {sector} with no spare life left: run over", flush=True)
                    return 1
                # Fallen: wait for the respawn on the entry tile, one life less.
                while lives_shown(board.screenshot()) >= lives:
                    time.sleep(0.1)
                lives -= 1
                print(f"  fell in sector {sector}; {lives} spare lives left", flush=True)
                tile = respawn
                time.sleep(0.1)
                continue
        if sector == (0, 0):
            targets = [(0, 0)]
            way = None
        else:
            way = next_way(sector, walls)
            targets = edge_cells(way)
        if tile in targets:
            if way is None:
                print("reached the goal", flush=True)
                return 0
            board.key(way)
            dx, dy = STEP[way]
            sector = (sector[0] + dx, sector[1] + dy)
            tile = {"Right": (0, tile[1]), "Left": (5, tile[1]), "Up": (tile[0], 0), "Down": (tile[0], 5)}[way]
            respawn = tile
            print(f"crossed {way} into sector {sector}", flush=True)
            time.sleep(0.75)
            continue
        safe = board.safe_cells(shot) | {respawn}  # the entry tile is renewed every tick
        safe |= {(0, 0)} if sector == (0, 0) else set()  # the goal shows its marker, not stone
        path = board.route_to(tile, safe, set(targets))
        if not path and tile != respawn:
            path = board.route_to(tile, safe, {respawn})  # wait on the one tile that never falls
        if not path:
            time.sleep(0.05)
            continue
        board.key(board.step_key(tile, path[0]))
        tile = path[0]
        time.sleep(0.02)
    print("ran out of time", flush=True)
    return 1

STARTS = (((0, 7), (0, 5)), ((7, 7), (5, 5)), ((7, 0), (5, 0)))

if __name__ == "__main__":
    world = sys.argv[1] if len(sys.argv) > 1 else "data/world.txt"
    reached = 0
    for character, (sector, tile) in enumerate(STARTS):
        reached += play(world, sector, tile, character) == 0
        time.sleep(1.5)  # the frozen picture, then the result
        board.key("space")
        time.sleep(1.0)
    print(f"{reached} of 3 characters reached the goal")
