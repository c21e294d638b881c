#!/usr/bin/env python3
"""Reads the files the swap counter writes (see swap_counter.cpp) and does the runners' sums.

  swaplog.py rate LOG SECONDS     frames per second over the last SECONDS of the log
  swaplog.py frames LOG           frames counted so far
  swaplog.py last LOG             the last sample: "FRAMES MONO_NS"
  swaplog.py first LOG            ms from exec to the end of the first swap
  swaplog.py firstcpu LOG         CPU ms the process had used by then (all its threads)
  swaplog.py median VALUE...      median of the values
"""
import statistics
import sys


def samples(path):
    out = []
    with open(path) as log:
        for line in log:
            fields = line.split()
            if len(fields) == 3 and fields[0] == "frames":
                out.append((int(fields[1]), int(fields[2])))
    return out


def rate(path, seconds):
    points = samples(path)
    if len(points) < 2:
        raise SystemExit(f"{path}: too few samples")
    last_frames, last_ns = points[-1]
    start = last_ns - int(seconds * 1e9)
    # The earliest sample inside the window; the window then spans from it to the last one.
    first_frames, first_ns = next(p for p in points if p[1] >= start)
    if last_ns - first_ns < 0.5 * seconds * 1e9:
        raise SystemExit(f"{path}: the samples cover only {(last_ns - first_ns) / 1e9:.2f}s")
    return (last_frames - first_frames) / ((last_ns - first_ns) / 1e9)


def first(path, field=1):
    with open(path) as log:
        for line in log:
            fields = line.split()
            if fields and fields[0] == "first":
                ns = int(fields[field])
                if ns < 0:
                    raise SystemExit(f"{path}: no start stamp (ZK_BENCH_T0 missing)")
                return ns / 1e6
    raise SystemExit(f"{path}: no first frame")


def main(argv):
    command = argv[1]
    if command == "rate":
        print(f"{rate(argv[2], float(argv[3])):.1f}")
    elif command == "frames":
        points = samples(argv[2])
        print(points[-1][0] if points else 0)
    elif command == "last":
        points = samples(argv[2])
        print(*(points[-1] if points else (0, 0)))
    elif command == "first":
        print(f"{first(argv[2]):.1f}")
    elif command == "firstcpu":
        print(f"{first(argv[2], 3):.1f}")
    elif command == "median":
        print(f"{statistics.median(float(v) for v in argv[2:]):.4g}")
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
