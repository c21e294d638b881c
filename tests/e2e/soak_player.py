#!/usr/bin/env python3
"""The soak's random player (run by soak.sh, which passes its settings in the environment):
walks, goes through the menu and its pages, closes end screens and takes the focus away and
back, checking the graphics held after each rebuild and the resident memory's trend."""
import os, random, subprocess, sys, time

from board import pixel, screenshot

pid = int(os.environ["GAME_PID"])
seconds = float(os.environ["SOAK_SECONDS"])
cycles_wanted = int(os.environ["SOAK_CYCLES"])
seed = int(os.environ["SOAK_SEED"])
growth_allowed = float(os.environ["SOAK_GROWTH"])
game_window, root_window = os.environ["GAME_WINDOW"], os.environ["ROOT_WINDOW"]
rebuild_at_least = int(os.environ["REBUILD_AT_LEAST"])
rng = random.Random(seed)
task = "/proc/%d/task/%d" % (pid, pid)

def stop(message):
    print("soak: " + message, flush=True)
    sys.exit(1)

def alive():
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False

def read_bytes():
    with open(task + "/io") as f:
        return int(next(line for line in f if line.startswith("rchar:")).split()[1])

def gl_counts():  # textures held, display lists held, deletes of names not held
    with open(os.environ["GL_COUNTS"]) as f:
        return tuple(int(n) for n in f.read().split())

def rss_kb():
    with open("/proc/%d/status" % pid) as f:
        return int(next(line for line in f if line.startswith("VmRSS:")).split()[1])

last_key = 0.0

def key(*names):
    global last_key
    subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True)
    last_key = time.monotonic()

# The menu's labels sit in one column; everything round it is the same picture every time.
LABEL_ROWS = (275, 320, 366, 411, 457, 502)  # Resume, New game, three pages, Quit
QUIT = 5
MENU_POINTS = [(x, y) for x in range(10, 800, 20) for y in range(10, 600, 20)
               if not (260 <= x <= 530 and 225 <= y <= 550)]

def close(a, b):
    return all(abs(p - q) <= 12 for p, q in zip(a, b))

def is_play(shot):
    r, g, b = pixel(shot, 745, 140)  # a minimap cell
    return r > 150 and g > 120 and b < 80

def is_menu(shot):
    same = sum(close(pixel(shot, x, y), pixel(menu_reference, x, y)) for x, y in MENU_POINTS)
    return same >= 0.95 * len(MENU_POINTS)

def highlighted_row(shot):
    rows = [k for k, y in enumerate(LABEL_ROWS)
            if all(pixel(shot, x, y)[0] > 200 and pixel(shot, x, y)[1] > 150 for x in (302, 320))]
    return rows[0] if len(rows) == 1 else None

def classify(shot):
    if is_play(shot):
        return "play"
    if is_menu(shot):
        return "menu"
    return "other"

# The highlight blinks: looks again until it shows.
def menu_selection():
    for _ in range(30):
        shot = screenshot()
        if not is_menu(shot):
            return None
        row = highlighted_row(shot)
        if row is not None:
            return row
        time.sleep(0.05)
    return None

# Return is the one key that can end the game (on Quit): it is pressed only when two looks
# a moment apart, both after the last key, show the menu with the same other item chosen.
def menu_step():
    time.sleep(max(0.0, last_key + 0.3 - time.monotonic()))
    row = menu_selection()
    if row is None:
        return
    if row == QUIT:
        key("Up")
        return
    # Mostly back to play: Return on Resume or New game, towards them from a page item.
    roll = rng.random()
    if roll < (0.7 if row <= 1 else 0.3):
        time.sleep(0.3)
        if menu_selection() == row:
            key("Return")
    elif row >= 2 and roll < 0.8:  # Up from Resume, or from New game with no game running, chooses Quit
        key("Up")
    elif row != 4:  # Down from the last page would choose Quit
        key("Down")

ARROWS = ("Left", "Right", "Up", "Down")

def play_step():
    roll = rng.random()
    if roll < 0.88:
        key(*[rng.choice(ARROWS) for _ in range(rng.randint(1, 4))])
    elif roll < 0.91:
        key("Escape")
    elif roll < 0.95:
        key("f")
    else:
        key("space")

def other_step():  # a picture page, an end screen, a sliding view
    roll = rng.random()
    if roll < 0.5:
        key("space")
    elif roll < 0.8:
        key(rng.choice(ARROWS))
    elif roll < 0.9:
        key("Escape")
    else:
        key("f")

rebuilds = []

# Focus away and back; keys pressed in between count for nothing. The cycle ends once the
# graphics were read again.
def focus_cycle():
    counts = gl_counts()
    if counts != counts_at_start:
        stop("after %d focus cycles the game holds %d textures and %d display lists and deleted %d names it "
             "did not hold; after start-up %d, %d and %d" % ((len(rebuilds),) + counts + counts_at_start))
    before = read_bytes()
    subprocess.run(["xdotool", "windowfocus", root_window], check=True)
    time.sleep(rng.uniform(0.0, 0.3))
    if rng.random() < 0.3:
        key(rng.choice(ARROWS + ("space",)))
    subprocess.run(["xdotool", "windowfocus", game_window], check=True)
    target = rebuilds[0] if rebuilds else rebuild_at_least
    limit = time.monotonic() + 120
    settled_since, last = None, before
    while True:
        if not alive():
            stop("the game ended during focus cycle %d" % (len(rebuilds) + 1))
        now_bytes = read_bytes()
        if now_bytes - before >= rebuild_at_least:
            if now_bytes != last:
                settled_since = time.monotonic()
            if rebuilds and now_bytes - before >= target:
                break
            if time.monotonic() - settled_since > 1.0:
                break
        last = now_bytes
        if time.monotonic() > limit:
            stop("focus cycle %d: the graphics were not rebuilt (read %d bytes)"
                 % (len(rebuilds) + 1, now_bytes - before))
        time.sleep(0.02)
    rebuilds.append(read_bytes() - before)

counts_at_start = gl_counts()
if counts_at_start[0] == 0 or counts_at_start[1] == 0:
    stop("the GL counter saw no textures or display lists: %s" % (counts_at_start,))
menu_reference = screenshot()
if not is_menu(menu_reference):
    stop("the title menu was not showing at the start")
start = time.monotonic()
samples, visits, next_sample, next_report = [], {"play": 0, "menu": 0, "other": 0}, 0.0, 15.0
cycle_times = []
while True:
    elapsed = time.monotonic() - start
    if elapsed >= next_sample:
        samples.append((elapsed, rss_kb()))
        next_sample += 2.0
    if elapsed >= next_report:
        print("soak: %4.0fs  %3d focus cycles  RSS %d kB" % (elapsed, len(rebuilds), samples[-1][1]), flush=True)
        next_report += 15.0
    if not alive():
        stop("the game ended after %.0fs" % elapsed)
    if elapsed >= seconds and len(rebuilds) >= cycles_wanted:
        break
    # Cycles spread over the first 90 % of the time; a slow machine does the rest after it.
    if len(rebuilds) < cycles_wanted and (elapsed >= seconds or len(rebuilds) < cycles_wanted * elapsed / (0.9 * seconds)):
        began = time.monotonic()
        focus_cycle()
        cycle_times.append(time.monotonic() - began)
        continue
    state = classify(screenshot())
    visits[state] += 1
    # Only the menu needs a look before each key: elsewhere no key sent can end the game.
    if state == "play":
        for _ in range(rng.randint(1, 6)):
            play_step()
    elif state == "other":
        other_step()
    else:
        menu_step()

elapsed = time.monotonic() - start
samples.append((elapsed, rss_kb()))
# The resident memory swings by some megabytes as buffers come and go; the medians of a
# stretch after the first minute and of the last stretch show a trend, single samples not.
baseline_at = min(60.0, seconds / 3)
window = max(6.0, min(20.0, seconds / 6))
def median(values):
    values = sorted(values)
    return values[len(values) // 2]
baseline = median([rss for t, rss in samples if baseline_at <= t <= baseline_at + window])
final = median([rss for t, rss in samples if t >= elapsed - window])
after = [rss for t, rss in samples if t >= baseline_at]
growth = 100.0 * (final - baseline) / baseline
print("soak: %.0fs of play; looks at the screen: %d in play, %d in the menu, %d elsewhere"
      % (elapsed, visits["play"], visits["menu"], visits["other"]))
print("soak: %d focus cycles, each rebuild read %d..%d bytes, a cycle took %.2f s on average (longest %.2f s)"
      % (len(rebuilds), min(rebuilds), max(rebuilds), sum(cycle_times) / len(cycle_times), max(cycle_times)))
print("soak: RSS at start %d kB; median over %.0f..%.0fs %d kB; median over the last %.0fs %d kB (%+.1f %%); "
      "from %.0fs on %d..%d kB"
      % (samples[0][1], baseline_at, baseline_at + window, baseline, window, final, growth, baseline_at,
         min(after), max(after)))
counts = gl_counts()
print("soak: the game holds %d textures and %d display lists after start-up and after its last rebuild (%d, %d)"
      % (counts_at_start[0], counts_at_start[1], counts[0], counts[1]))
if counts != counts_at_start:
    stop("at the end the game holds %d textures and %d display lists and deleted %d names it did not hold; "
         "after start-up %d, %d and %d" % (counts + counts_at_start))
if visits["play"] == 0:
    stop("the random player never got into play")
if growth > growth_allowed:
    stop("resident memory grew by %.1f %% after the first %.0fs (allowed %.0f %%)" % (growth, baseline_at, growth_allowed))
