#!/usr/bin/env python3
"""Lays out the shipped World: a maze of sector walls with loops, levels rising toward the goal.

Deterministic (fixed seed). Writes the World file to the path given, default data/world.txt.
Sector (0, 0) is the bottom-left goal sector; runs start in the other three corners.
"""
import argparse
import random
from collections import deque

SIZE = 8
SEED = 1987
EXTRA_OPENINGS = 14  # walls knocked out of the spanning maze, so routes branch and rejoin

def neighbours(x, y):
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        if 0 <= x + dx < SIZE and 0 <= y + dy < SIZE:
            yield x + dx, y + dy

def edge(a, b):
    return tuple(sorted((a, b)))

def spanning_maze(rng):
    open_edges, seen, stack = set(), {(0, 0)}, [(0, 0)]
    while stack:
        here = stack[-1]
        fresh = [n for n in neighbours(*here) if n not in seen]
        if not fresh:
            stack.pop()
            continue
        nxt = rng.choice(fresh)
        open_edges.add(edge(here, nxt))
        seen.add(nxt)
        stack.append(nxt)
    return open_edges

def all_edges():
    return {edge((x, y), n) for x in range(SIZE) for y in range(SIZE) for n in neighbours(x, y)}

STARTS = ((0, 7), (7, 7), (7, 0))

def distances(open_edges, sources):
    dist = {source: 0 for source in sources}
    queue = deque(sources)
    while queue:
        here = queue.popleft()
        for n in neighbours(*here):
            if n not in dist and edge(here, n) in open_edges:
                dist[n] = dist[here] + 1
                queue.append(n)
    return dist

def levels(open_edges, rng):
    """Calm (1) in the three start sectors, rising slowly at first and steeply near the goal;
    only the goal sector itself is level 10."""
    to_goal = distances(open_edges, [(0, 0)])
    from_start = distances(open_edges, list(STARTS))
    result = {}
    for cell in to_goal:
        progress = from_start[cell] / (from_start[cell] + to_goal[cell])
        noise = rng.choice((-1, 0, 0, 1)) if 0 < progress < 0.9 else 0
        result[cell] = max(1, min(9, round(1 + 8 * progress ** 1.5 + noise)))
    result[(0, 0)] = 10
    return result

def world_text(open_edges, level):
    lines = ["# Zembrak World: walls, then levels. Rows from the bottom (y = 0) up.",
             "# Wall rows: per sector a pair of left wall and bottom wall, 1 = wall."]
    for y in range(SIZE):
        pairs = []
        for x in range(SIZE):
            left = x == 0 or edge((x - 1, y), (x, y)) not in open_edges
            bottom = y == 0 or edge((x, y - 1), (x, y)) not in open_edges
            pairs.append(("1" if left else "0") + ("1" if bottom else "0"))
        lines.append("".join(pairs))
    lines.append("# Level rows: 0 calm .. 10 fierce, each field ended by ';'.")
    for y in range(SIZE):
        lines.append("".join(f"{level[(x, y)]};" for x in range(SIZE)))
    return "\n".join(lines) + "\n"

def main():
    parser = argparse.ArgumentParser(description="Writes the shipped World file (deterministic).")
    parser.add_argument("output", nargs="?", default="data/world.txt", help="where to write (default: %(default)s)")
    arguments = parser.parse_args()
    rng = random.Random(SEED)
    open_edges = spanning_maze(rng)
    closed = sorted(all_edges() - open_edges)
    open_edges |= set(rng.sample(closed, EXTRA_OPENINGS))
    with open(arguments.output, "w", newline="\n") as out:
        out.write(world_text(open_edges, levels(open_edges, rng)))

if __name__ == "__main__":
    main()
