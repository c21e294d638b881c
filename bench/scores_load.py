#!/usr/bin/env python3
"""Load on the leaderboard server: for SECONDS, UPLOADERS threads post new replays and READERS
threads read the board and download replays, all over 127.0.0.1, against SQLite or against a
PostgreSQL started here. Prints uploads and reads per second, p50 and p99 latency, and the rows
stored against the uploads accepted.
  scores_load.py SERVER sqlite|postgresql [SECONDS]
The server runs a stand-in verifier that answers at once from the body's first line, so the
figures are the server's and the database's; the real verifier's speed is measured apart."""
import glob, http.client, os, random, re, shutil, subprocess, sys, tempfile, threading, time

SERVER, KIND = sys.argv[1:3]
SECONDS = float(sys.argv[3]) if len(sys.argv) > 3 else 30
UPLOADERS, READERS = 4, 4
work = tempfile.mkdtemp(prefix="zk-load-")
os.chmod(work, 0o755)

verifier = os.path.join(work, "verify")
with open(verifier, "w") as f:
    f.write('#!/bin/sh\nread -r kind score frames <"$1"\n'
            'echo "verified: score $score, $frames frames, glibc, version 1.1.0"\n')
os.chmod(verifier, 0o755)

stop_database = lambda: None
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
else:
    database = os.path.join(work, "scores.sqlite")

server = subprocess.Popen([SERVER, "--listen", "127.0.0.1:0", "--database", database, "--verifier", verifier,
                           "--trust-forwarded"], stdout=subprocess.PIPE, text=True)
port = int(re.search(r":(\d+)/", server.stdout.readline()).group(1))
threading.Thread(target=server.stdout.read, daemon=True).start()  # its line for each upload

def call(method, path, body=None, address="127.0.0.1"):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
    started = time.perf_counter()
    connection.request(method, path, body=body, headers={"Content-Type": "application/octet-stream",
                                                          "X-Forwarded-For": address})
    reply = connection.getresponse()
    reply.read()
    connection.close()
    return reply.status, time.perf_counter() - started

results = {"upload": [], "read": []}
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
    while time.monotonic() < deadline:
        path = random.choice(["/api/scores?limit=50", "/", f"/replays/{random.randrange(1, 50)}.replay"])
        status, seconds = call("GET", path)
        with lock:
            results["read"].append(seconds)

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
stop_database()
shutil.rmtree(work, ignore_errors=True)
accepted = statuses.get(201, 0)
print(f"{KIND}: {elapsed:.1f} s, {UPLOADERS} uploading and {READERS} reading threads")
for kind in ("upload", "read"):
    values = results[kind]
    print(f"  {kind}s: {len(values) / elapsed:.1f}/s, p50 {percentile(values, 0.5):.1f} ms, "
          f"p99 {percentile(values, 0.99):.1f} ms")
print(f"  answers to uploads: {dict(sorted(statuses.items()))}")
print(f"  rows stored {stored}, uploads accepted {accepted}: {'equal' if stored == accepted else 'DIFFERENT'}")
