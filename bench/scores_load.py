#!/usr/bin/env python3
"""Load on the leaderboard server: for SECONDS, UPLOADERS threads post new replays and READERS
threads read the board at any depth and download replays, all over 127.0.0.1, against SQLite or
against a PostgreSQL started here. Prints uploads and reads per second, p50 and p99 latency, and
the rows stored against the uploads accepted.
  scores_load.py SERVER sqlite|postgresql [SECONDS] [--fill ENTRIES] [--uploaders N] [--readers N]
--fill puts that many entries on the board first, straight into the database (short tapes,
scores spread over 0-99999, as after years of play), so that reads are timed on a full board.
The server runs a stand-in verifier that answers at once from the body's first line, so the
figures are the server's and the database's; the real verifier's speed is measured apart."""
import argparse, atexit, glob, http.client, os, random, re, shutil, subprocess, tempfile, threading, time

arguments = argparse.ArgumentParser()
arguments.add_argument("server")
arguments.add_argument("kind", choices=["sqlite", "postgresql"])
arguments.add_argument("seconds", type=float, nargs="?", default=30)
arguments.add_argument("--fill", type=int, default=0)
arguments.add_argument("--uploaders", type=int, default=4)
arguments.add_argument("--readers", type=int, default=4)
arguments = arguments.parse_args()
SERVER, KIND, SECONDS = arguments.server, arguments.kind, arguments.seconds
UPLOADERS, READERS = arguments.uploaders, arguments.readers
work = tempfile.mkdtemp(prefix="zk-load-")
os.chmod(work, 0o755)

verifier = os.path.join(work, "verify")
with open(verifier, "w") as f:
    f.write('#!/bin/sh\nread -r kind score frames <"$1"\n'
            'echo "verified: score $score, $frames frames, glibc, version 1.1.0, 60.0 frames/s, 5.0 presses/s, '
            'game $(sha256sum <"$1" | cut -c1-64)"\n')
os.chmod(verifier, 0o755)

stop_database = lambda: None
def clean_up():
    """The database stopped and its folder removed, however the run ends."""
    try:
        stop_database()
    finally:
        shutil.rmtree(work, ignore_errors=True)
atexit.register(clean_up)
if KIND == "postgresql":
    bindir, as_user = max(glob.glob("/usr/lib/postgresql/*/bin"), key=lambda d: int(d.split("/")[4])), []
    if os.geteuid() == 0:
        as_user = ["runuser", "-u", "nobody", "--"]
        shutil.chown(work, "nobody")
    run = lambda *a: subprocess.run(as_user + list(a), check=True, stdout=subprocess.DEVNULL, cwd=work)
    run(f"{bindir}/initdb", "-D", f"{work}/data", "-A", "trust", "-U", "zembrak")
    run(f"{bindir}/pg_ctl", "-D", f"{work}/data", "-l", f"{work}/log", "-w", "start",
        "-o", f"-k {work} -c listen_addresses=''")
    database = f"postgresql://zembrak@/postgres?host={work}"
    stop_database = lambda: run(f"{bindir}/pg_ctl", "-D", f"{work}/data", "-m", "fast", "stop")
    sql = lambda text: run(f"{bindir}/psql", "-q", "-v", "ON_ERROR_STOP=1", "-h", work, "-U", "zembrak", "postgres",
                           "-c", text)
    numbers = f"generate_series(1, {arguments.fill}) AS n(i)"
    fake_digest, fake_tape = "lpad(to_hex(i), 64, '0')", "decode(repeat('ab', 256), 'hex')"
else:
    import sqlite3
    database = os.path.join(work, "scores.sqlite")
    sql = lambda text: sqlite3.connect(database, timeout=60, isolation_level=None).executescript(text).close()
    numbers = f"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {arguments.fill}) SELECT i FROM n) AS n"
    fake_digest, fake_tape = "printf('%064x', i)", "zeroblob(256)"

def start_server():
    process = subprocess.Popen([SERVER, "--listen", "127.0.0.1:0", "--database", database, "--verifier", verifier,
                                "--trust-forwarded"], stdout=subprocess.PIPE, text=True)
    port = int(re.search(r":(\d+)/", process.stdout.readline()).group(1))
    threading.Thread(target=process.stdout.read, daemon=True).start()  # its line for each upload
    return process, port

def fill(entries):
    """Entries as uploads would leave them, and the counts the board ranks from, rebuilt."""
    score = "(i * 7919) % 100000" if KIND == "sqlite" else "(i::bigint * 7919) % 100000"
    sql(f"INSERT INTO scores (name, score, frames, library, version, submitted, sha256, game, tape) "
        f"SELECT 'Filler' || i, {score}, 3 * {score}, 'glibc', '1.1.0', 1796000000 + i, {fake_digest}, "
        f"{fake_digest}, {fake_tape} FROM {numbers}")
    counts = ["DELETE FROM board_counts"]
    for level in range(0, 61, 4):
        for version in ("''", "version"):
            group = "" if version == "''" else "version, "
            counts.append(f"INSERT INTO board_counts (version, level, prefix, n) SELECT {version}, {level}, "
                          f"score >> {level}, COUNT(*) FROM scores WHERE removed IS NULL "
                          f"GROUP BY {group}score >> {level}")
    sql(";".join(counts))
    sql("VACUUM ANALYZE" if KIND == "postgresql" else "ANALYZE")

if arguments.fill:
    server, port = start_server()  # it makes the tables
    # Answering first: a server stopped before its loop starts may miss the signal.
    probe = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
    probe.request("GET", "/healthz")
    probe.getresponse().read()
    server.terminate()
    server.wait()
    began = time.monotonic()
    fill(arguments.fill)
    print(f"{KIND}: {arguments.fill} entries put on the board in {time.monotonic() - began:.0f} s")
server, port = start_server()

def call(method, path, body=None, address="127.0.0.1"):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
    started = time.perf_counter()
    connection.request(method, path, body=body, headers={"Content-Type": "application/octet-stream",
                                                          "X-Forwarded-For": address})
    reply = connection.getresponse()
    reply.read()
    connection.close()
    return reply.status, time.perf_counter() - started

results = {"upload": [], "board read": [], "page read": [], "replay read": []}
statuses = {}
sent = []
lock = threading.Lock()
deadline = time.monotonic() + SECONDS

def uploader(number):
    count = 0
    while time.monotonic() < deadline:
        count += 1
        score = random.randrange(1, 100000)
        # A new player each time: the limit of ten a minute is per address.
        body = f"ok {score} {score * 3}\n".encode() + os.urandom(3000)
        # One upload in ten sends again a replay some thread sent before: it must be stored once.
        with lock:
            if sent and random.random() < 0.1:
                body = random.choice(sent)
            elif len(sent) < 1000:
                sent.append(body)
        status, seconds = call("POST", f"/api/scores?name=Player{number}-{count}", body,
                               f"10.{number}.{count // 256 % 256}.{count % 256}")
        with lock:
            results["upload"].append(seconds)
            statuses[status] = statuses.get(status, 0) + 1

def reader(number):
    count = 0
    while time.monotonic() < deadline:
        count += 1
        # Any page of the board, the deepest as likely as the first.
        offset = random.randrange(0, arguments.fill + 100)
        kind, path = random.choice([("board read", f"/api/scores?limit=50&offset={offset}"),
                                    ("page read", f"/?offset={offset}"),
                                    ("replay read", f"/replays/{random.randrange(1, 50)}.replay")])
        status, seconds = call("GET", path, address=f"10.{100 + number}.{count // 256 % 256}.{count % 256}")
        with lock:
            results[kind].append(seconds)

threads = [threading.Thread(target=uploader, args=(i,)) for i in range(UPLOADERS)]
threads += [threading.Thread(target=reader, args=(i,)) for i in range(READERS)]
started = time.monotonic()
for thread in threads:
    thread.start()
for thread in threads:
    thread.join()
elapsed = time.monotonic() - started

def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(len(values) * p))] * 1000 if values else float("nan")

connection = http.client.HTTPConnection("127.0.0.1", port)
connection.request("GET", "/healthz")
stored = int(re.search(rb'"entries": (\d+)', connection.getresponse().read()).group(1))
server.terminate()
server.wait()
accepted = statuses.get(201, 0)
print(f"{KIND}: {elapsed:.1f} s, {UPLOADERS} uploading and {READERS} reading threads")
for kind, values in results.items():
    print(f"  {kind}s: {len(values) / elapsed:.1f}/s, p50 {percentile(values, 0.5):.1f} ms, "
          f"p99 {percentile(values, 0.99):.1f} ms")
print(f"  answers to uploads: {dict(sorted(statuses.items()))}")
print(f"  entries on the board {stored}, filled {arguments.fill} and uploads accepted {accepted}: "
      f"{'equal' if stored == arguments.fill + accepted else 'DIFFERENT'}")
