#!/usr/bin/env python3
"""Frame-time spread from a detail log of the swap counter (ZK_SWAP_DETAIL=1, see
swap_counter.cpp) and the actions log of minute.py. Usage: spread.py SWAP_LOG ACTIONS_LOG

A frame is the time from the previous swap, or from the end of a blocking wait when one
returned in between (SDL_WaitEvent: focus loss, a page, the end screen's Space; SDL_Delay: the
menu's sleep), to the end of its own swap. Not frames, and left out: the menu's and the
pages' pictures, and the end screen's message picture, which follows its half-second pause.
Frames over 50 ms are grouped by what the game was doing (from the script's last action) and
their cause; with -v each is listed with what the main thread did (CPU, time waiting for a
core, time inside the swap, slow calls). The script's screen grabs (ACTIONS_LOG.grabs) keep the
X server busy, and a swap waits for it. Usage: spread.py SWAP_LOG ACTIONS_LOG [-v]
"""
import statistics
import sys

LONG_MS = 50
VERBOSE = "-v" in sys.argv
GRABS = []


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
    grabs = []
    try:
        for line in open(path_actions + ".grabs"):
            start, end, _ = line.split()
            grabs.append((int(start), int(end)))
    except FileNotFoundError:
        pass
    return swaps, calls, actions, grabs


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


def doing(actions, frame):
    """What the game was doing, from the script's last action before the frame."""
    stamp, what = last_action(actions, frame["end"])
    after = (frame["end"] - stamp) / 1e6
    if what.startswith("cross") and after < 700:
        return "sector slide"
    if what.startswith("fell") and after < 1000:
        return "just respawned"
    if what.startswith(("Return: new game", "Space")) and after < 1000:
        return "a run starting (music)"
    if what.startswith("Escape: back") and after < 1000:
        return "back from the menu"
    if what.startswith("step off") or what.startswith("fell"):
        return "falling in the level-10 sector"
    return "steps and standing"


def cause_of(frame):
    s, span = frame["swap"], frame["end"] - frame["start"]
    if s["allrunq"] > 0.5 * span or s["runq"] > 0.25 * span:
        return "waited for a core (outside load)"
    if s["inswap"] > 0.5 * span:
        if any(start < frame["end"] and end > frame["start"] for start, end in GRABS):
            return "inside the swap, the X server busy with the script's screen grab"
        return "inside the swap (the X server)"
    return "work on the main thread"


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def main():
    paths = [a for a in sys.argv[1:] if a != "-v"]
    global GRABS
    swaps, calls, actions, GRABS = read(paths[0], paths[1])
    t0, t1 = actions[0][0], actions[-1][0]
    all_frames = frames(swaps, t0, t1)
    play = [f for f in all_frames if f["kind"] == "play"]
    ms = [f["ms"] for f in play]
    print(f"scripted minute: {(t1 - t0) / 1e9:.1f} s, {len(play)} play frames "
          f"(left out: {sum(f['kind'] == 'menu' for f in all_frames)} menu and page pictures, "
          f"{sum(f['kind'] == 'end screen pause' for f in all_frames)} end-screen pauses)")
    print(f"frame time: median {statistics.median(ms):.2f} ms, 99th percentile {percentile(ms, 0.99):.2f} ms, "
          f"maximum {max(ms):.2f} ms; over {LONG_MS} ms: {sum(m > LONG_MS for m in ms)}")
    main_ms = [f["swap"]["cpu"] / 1e6 for f in play]
    all_ms = [f["swap"]["allcpu"] / 1e6 for f in play]
    print(f"CPU per frame, which outside load moves little: main thread median {statistics.median(main_ms):.2f} ms, "
          f"99th percentile {percentile(main_ms, 0.99):.2f}, maximum {max(main_ms):.2f}; all threads median "
          f"{statistics.median(all_ms):.2f} ms, 99th percentile {percentile(all_ms, 0.99):.2f}, maximum {max(all_ms):.2f}")
    causes = [cause_of(f) for f in play if f["ms"] > LONG_MS]
    if causes:
        print("frames over %d ms by cause: %s" % (LONG_MS, ", ".join(
            f"{causes.count(c)} {c}" for c in sorted(set(causes), key=causes.count, reverse=True))))
    long = [f for f in play if f["ms"] > LONG_MS]
    if long:
        groups = {}
        for f in long:
            key = (doing(actions, f), cause_of(f))
            groups.setdefault(key, []).append(f["ms"])
        print("frames over %d ms by what the game was doing:" % LONG_MS)
        for (what, cause), values in sorted(groups.items(), key=lambda g: -len(g[1])):
            print(f"  {what}: {len(values)} ({cause}), up to {max(values):.0f} ms")
    for name in ("Mix_PlayMusic", "Mix_PlayChannelTimed", "glTexImage2D", "glNewList", "fopen", "open"):
        during = [c for c in calls if c["name"] == name and t0 <= c["start"] <= t1]
        if during:
            print(f"  calls during the minute: {name} x{len(during)}, longest {max(c['ns'] for c in during) / 1e6:.2f} ms")
    if VERBOSE:
        print("every frame over %d ms:" % LONG_MS)
    for f in play:
        if f["ms"] <= LONG_MS or not VERBOSE:
            continue
        s = f["swap"]
        slow = [c for c in calls if f["start"] <= c["start"] <= f["end"] and c["ns"] > 1e6]
        stamp, what = last_action(actions, f["end"])
        cause = [cause_of(f)]
        cause += [f"{c['name']} {c['ns'] / 1e6:.1f} ms {c['what']}".strip() for c in slow]
        print(f"  long frame at {(f['end'] - t0) / 1e9:6.2f} s: {f['ms']:.1f} ms; main thread CPU {s['cpu'] / 1e6:.1f} ms, "
              f"waiting {s['runq'] / 1e6:.1f} ms; all threads CPU {s['allcpu'] / 1e6:.1f} ms, waiting "
              f"{s['allrunq'] / 1e6:.1f} ms; in swap {s['inswap'] / 1e6:.1f} ms: "
              f"{'; '.join(cause) or 'work on the main thread'}; "
              f"{(f['end'] - stamp) / 1e6:.0f} ms after: {what}")


if __name__ == "__main__":
    main()
