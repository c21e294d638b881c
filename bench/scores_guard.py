#!/usr/bin/env python3
"""What the leaderboard server gives when pushed, on SQLite, over 127.0.0.1. Numbers only.
  scores_guard.py SERVER verify VERIFIER REPLAY...   uploads a second with the real verifier:
      every replay uploaded once, from 4 clients at once, the server playing at most one a core
  scores_guard.py SERVER siege [SECONDS]   an ordinary client's waits (a board read every 0.25 s)
      while 64 connections trickle a header line every 2 s, reconnecting when cut, and 10
      clients upload over and over, each body sent in 3 s, each replay playing until the
      verifier's processor-time limit (a stand-in verifier that spins)."""
import http.client, os, re, shutil, socket, subprocess, sys, tempfile, threading, time

SERVER, MODE = sys.argv[1:3]
work = tempfile.mkdtemp(prefix="zk-guard-")
lock = threading.Lock()

def start(verifier, *options):
    process = subprocess.Popen([SERVER, "--listen", "127.0.0.1:0", "--database", f"{work}/scores.sqlite",
                                "--verifier", verifier, "--trust-forwarded", "--verify-memory", "0", *options],
                               stdout=subprocess.PIPE, text=True)
    port = int(re.search(r":(\d+)/", process.stdout.readline()).group(1))
    threading.Thread(target=process.stdout.read, daemon=True).start()
    return process, port

def call(port, method, path, body=None, address="10.0.0.1"):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=120)
    started = time.perf_counter()
    connection.request(method, path, body, {"Content-Type": "application/octet-stream", "X-Forwarded-For": address})
    reply = connection.getresponse()
    reply.read()
    connection.close()
    return reply.status, time.perf_counter() - started

def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(len(values) * p))] * 1000 if values else float("nan")

def verify_rate(verifier, replays):
    server, port = start(verifier)
    waiting, statuses = list(replays), {}
    def client(number):
        while True:
            with lock:
                if not waiting:
                    return
                replay = waiting.pop()
            for attempt in range(1000):
                status, _ = call(port, "POST", "/api/scores?name=Bench", open(replay, "rb").read(),
                                 f"10.{number}.{attempt // 256}.{attempt % 256}")
                with lock:
                    statuses[status] = statuses.get(status, 0) + 1
                if status != 503:
                    break
                time.sleep(0.2)  # every verifier busy: as Retry-After says, later
    began = time.monotonic()
    clients = [threading.Thread(target=client, args=(i,)) for i in range(4)]
    [c.start() for c in clients]
    [c.join() for c in clients]
    elapsed = time.monotonic() - began
    server.terminate()
    server.wait()
    played = len(replays)
    print(f"real verifier, {os.cpu_count()} cores: {played} replays in {elapsed:.1f} s, "
          f"{played / elapsed:.2f} uploads/s; answers {dict(sorted(statuses.items()))}")

def siege(seconds):
    spinner = os.path.join(work, "spin")
    with open(spinner, "w") as f:
        f.write("#!/bin/sh\nwhile :; do :; done\n")
    os.chmod(spinner, 0o755)
    server, port = start(spinner, "--verify-cpu", "5")
    deadline = time.monotonic() + seconds
    cuts, uploads, waits = [0], {}, []
    def slow_head():
        while time.monotonic() < deadline:
            client = socket.create_connection(("127.0.0.1", port))
            try:
                client.sendall(b"GET /api/scores HTTP/1.1\r\nHost: x\r\n")
                while time.monotonic() < deadline:
                    time.sleep(2)
                    client.sendall(b"X-Slow: 1\r\n")
            except OSError:
                with lock:
                    cuts[0] += 1
            client.close()
    def slow_upload(number):
        count = 0
        while time.monotonic() < deadline:
            count += 1
            body = b"spin\n" + os.urandom(7000)
            try:
                client = socket.create_connection(("127.0.0.1", port), timeout=120)
                client.sendall(f"POST /api/scores?name=Slow HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: 10.9.{number}.{count}"
                               f"\r\nContent-Type: application/octet-stream\r\nContent-Length: {len(body)}\r\n\r\n".encode())
                for at in range(0, len(body), len(body) // 6):
                    time.sleep(0.5)
                    client.sendall(body[at:at + len(body) // 6])
                status = int(client.recv(100).split()[1])
            except (OSError, IndexError, ValueError):
                status = "no answer"
            with lock:
                uploads[status] = uploads.get(status, 0) + 1
            client.close()
    threads = [threading.Thread(target=slow_head, daemon=True) for _ in range(64)]
    threads += [threading.Thread(target=slow_upload, args=(i,), daemon=True) for i in range(10)]
    [t.start() for t in threads]
    time.sleep(2)
    while time.monotonic() < deadline:
        waits.append(call(port, "GET", "/api/scores?limit=50", address="10.1.1.1")[1])
        time.sleep(0.25)
    server.terminate()
    server.wait()
    print(f"siege {seconds:.0f} s, 64 slow heads and 10 slow uploads: an ordinary client's {len(waits)} board reads "
          f"waited p50 {percentile(waits, 0.5):.1f} ms, p99 {percentile(waits, 0.99):.1f} ms, "
          f"worst {max(waits) * 1000:.1f} ms; slow heads cut {cuts[0]} times; slow uploads answered {uploads}")

try:
    if MODE == "verify":
        verify_rate(sys.argv[3], sys.argv[4:])
    else:
        siege(float(sys.argv[3]) if len(sys.argv) > 3 else 60)
finally:
    shutil.rmtree(work, ignore_errors=True)
