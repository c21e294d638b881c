#!/usr/bin/env python3
"""Frame-time spread from a detail log of the swap counter (ZK_SWAP_DETAIL=1, see
swap_counter.cpp) and the actions log of minute.py. Usage: spread.py SWAP_LOG ACTIONS_LOG

A frame is the time from the previous swap, or from the end of a blocking wait when one
returned in between (SDL_WaitEvent: focus loss, a page, the end screen's Space; SDL_Delay: the
menu's sleep), to the end of its own swap. Not frames, and left out: the menu's and the
pages' pictures, and the end screen's message picture, which follows its half-second pause.
Frames over 50 ms are listed with what the main thread did (CPU, time waiting for a core,
time inside the swap, slow calls) and the script's last action before them.
"""
import statistics
import sys

LONG_MS = 50


def read(path_swaps, path_actions):
    swaps, calls = [], []
    for line in open(path_swaps):
        f = line.split()
        if f[0] == "swap":
            swaps.append(dict(n=int(f[1]), end=int(f[2]), inswap=int(f[3]), cpu=int(f[4]), runq=int(f[5]),
                              allcpu=int(f[6]), allrunq=int(f[7]), waitend=int(f[8]), tags=f[9]))
        elif f[0] == "call":
            calls.append(dict(name=f[1], start=int(f[2]), ns=int(f[3]), what=" ".join(f[4:])))
    actions = []
    for line in open(path_actions):
        stamp, _, what = line.rstrip("\n").partition(" ")
        actions.append((int(stamp), what))
    return swaps, calls, actions


def frames(swaps, t0, t1):
    out = []
    for prev, cur in zip(swaps, swaps[1:]):
        if cur["end"] < t0 or cur["end"] > t1:
            continue
        start = max(prev["end"], cur["waitend"])
        kind = "play"
        if "m" in cur["tags"] or "p" in cur["tags"]:
            kind = "menu"
        elif "e" in cur["tags"]:
            kind = "end screen pause"
        out.append(dict(start=start, end=cur["end"], ms=(cur["end"] - start) / 1e6, kind=kind, swap=cur))
    return out


def last_action(actions, stamp):
    before = [a for a in actions if a[0] <= stamp]
    return before[-1] if before else (stamp, "(none)")


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def main():
    swaps, calls, actions = read(sys.argv[1], sys.argv[2])
    t0, t1 = actions[0][0], actions[-1][0]
    all_frames = frames(swaps, t0, t1)
    play = [f for f in all_frames if f["kind"] == "play"]
    ms = [f["ms"] for f in play]
    print(f"scripted minute: {(t1 - t0) / 1e9:.1f} s, {len(play)} play frames "
          f"(left out: {sum(f['kind'] == 'menu' for f in all_frames)} menu and page pictures, "
          f"{sum(f['kind'] == 'end screen pause' for f in all_frames)} end-screen pauses)")
    print(f"frame time: median {statistics.median(ms):.2f} ms, 99th percentile {percentile(ms, 0.99):.2f} ms, "
          f"maximum {max(ms):.2f} ms; over {LONG_MS} ms: {sum(m > LONG_MS for m in ms)}")
    for name in ("Mix_PlayMusic", "Mix_PlayChannelTimed", "glTexImage2D", "glNewList", "fopen", "open"):
        during = [c for c in calls if c["name"] == name and t0 <= c["start"] <= t1]
        if during:
            print(f"  calls during the minute: {name} x{len(during)}, longest {max(c['ns'] for c in during) / 1e6:.2f} ms")
    for f in play:
        if f["ms"] <= LONG_MS:
            continue
        s = f["swap"]
        slow = [c for c in calls if f["start"] <= c["start"] <= f["end"] and c["ns"] > 1e6]
        stamp, what = last_action(actions, f["end"])
        cause = []
        span = f["end"] - f["start"]
        if s["allrunq"] > 0.5 * span or s["runq"] > 0.25 * span:
            cause.append("the game's threads waited for a core (load)")
        elif s["inswap"] > 0.5 * span:
            cause.append("inside the swap")
        cause += [f"{c['name']} {c['ns'] / 1e6:.1f} ms {c['what']}".strip() for c in slow]
        print(f"  long frame at {(f['end'] - t0) / 1e9:6.2f} s: {f['ms']:.1f} ms; main thread CPU {s['cpu'] / 1e6:.1f} ms, "
              f"waiting {s['runq'] / 1e6:.1f} ms; all threads CPU {s['allcpu'] / 1e6:.1f} ms, waiting "
              f"{s['allrunq'] / 1e6:.1f} ms; in swap {s['inswap'] / 1e6:.1f} ms: "
              f"{'; '.join(cause) or 'work on the main thread'}; "
              f"{(f['end'] - stamp) / 1e6:.0f} ms after: {what}")


if __name__ == "__main__":
    main()
