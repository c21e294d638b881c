#!/usr/bin/env python3
"""Debian's nginx with packaging/zembrak-scores.nginx, on 127.0.0.1 without TLS, in front of two
zembrak-scores processes on one SQLite file: uploads and reads through it, its limits, and a
process gone.
  nginx_front.py SERVER SITE_FILE WORK"""
import http.client, os, pwd, re, shutil, signal, socket, subprocess, sys, threading, time

SERVER, SITE, WORK = sys.argv[1:4]
failures, processes, said, nginx = [], [], [], None
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
os.chmod(WORK, 0o755)

def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures.append(what)

verifier = os.path.join(WORK, "verify")
with open(verifier, "w") as f:
    f.write('#!/bin/sh\nread -r score <"$1"\necho "verified: score $score, 1 frames, glibc, version 1.1.0, '
            '60.0 frames/s, 5.0 presses/s, game $(sha256sum <"$1" | cut -c1-64)"\n')
os.chmod(verifier, 0o755)

def start_server():
    process = subprocess.Popen([SERVER, "--listen", "127.0.0.1:0", "--database", f"{WORK}/scores.sqlite",
                                "--verifier", verifier, "--trust-forwarded"], stdout=subprocess.PIPE, text=True)
    processes.append(process)
    port, lines = int(re.search(r":(\d+)/", process.stdout.readline()).group(1)), []
    threading.Thread(target=lambda: lines.extend(process.stdout), daemon=True).start()
    said.append(lines)
    return port

def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]

def request(method, path, body=None, headers=None):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
    connection.request(method, path, body, headers or {})
    reply = connection.getresponse()
    return reply.status, reply.read()

try:
    first, second, port = start_server(), start_server(), free_port()
    # The site as shipped, but plain HTTP on a free port of 127.0.0.1 and these two servers.
    site = open(SITE).read().replace("127.0.0.1:8081", f"127.0.0.1:{first}").replace("127.0.0.1:8082", f"127.0.0.1:{second}")
    site = re.sub(r"server \{\n    listen 80;.*?\n\}\n", "", site, flags=re.S)
    site = re.sub(r"    listen 443 ssl http2;\n    listen \[::\]:443 ssl http2;\n", f"    listen 127.0.0.1:{port};\n", site)
    site = re.sub(r"    ssl_.*\n", "", site)
    open(f"{WORK}/site.conf", "w").write(site)
    temp = " ".join(f"{kind}_temp_path {WORK}/{kind};" for kind in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
    open(f"{WORK}/nginx.conf", "w").write(f"worker_processes 1; pid {WORK}/nginx.pid; daemon off;\n"
                                          f"events {{ worker_connections 256; }}\n"
                                          f"http {{ access_log off; {temp} include {WORK}/site.conf; }}\n")
    user = None
    if os.geteuid() == 0:  # unprivileged, as a host runs it
        user = "nobody"
        os.chown(WORK, pwd.getpwnam(user).pw_uid, -1)
    nginx = subprocess.Popen(["/usr/sbin/nginx", "-p", WORK, "-c", f"{WORK}/nginx.conf", "-e", f"{WORK}/error.log"],
                             user=user)
    for _ in range(100):
        if socket.socket().connect_ex(("127.0.0.1", port)) == 0:
            break
        time.sleep(0.1)

    # Uploads: whatever address a client claims, the servers count the one nginx saw.
    answers = [request("POST", "/api/scores?name=Ngi", f"{100 + i}\n".encode(),
                       {"Content-Type": "application/octet-stream", "X-Forwarded-For": f"10.0.0.{i}"})
               for i in range(11)]
    statuses = [status for status, _ in answers]
    check(statuses == [201] * 10 + [429] and b"uploads a minute" in answers[-1][1],
          f"the servers count ten uploads a minute from one client through the front: {answers[-1]}")
    status, board = request("GET", "/api/scores")
    check(status == 200 and board.count(b'"name": "Ngi"') == 10, f"the board through the front: {board[:200]!r}")
    check(request("GET", "/replays/1.replay")[1] == b"100\n", "a replay downloads through the front")
    added = [sum(line.startswith("added #") for line in lines) for lines in said]
    check(min(added) > 0, f"both server processes took uploads: {added}")
    check(request("POST", "/api/scores?name=Big", b"1" * (1024 * 1024 + 1),
                  {"Content-Type": "application/octet-stream"})[0] == 413, "a body over 1 MiB stops at the front")
    # One process gone: every read is still answered, by the other.
    processes[0].send_signal(signal.SIGKILL)
    reads = [request("GET", "/api/scores?limit=1")[0] for _ in range(6)]
    check(reads == [200] * 6, f"reads with one server process gone: {reads}")
    print(open(f"{WORK}/error.log").read()[-2000:] if failures else "", end="")
finally:
    if nginx:
        nginx.terminate()  # the master stops its workers
        nginx.wait(10)
    for process in processes:
        process.kill()
        process.wait()
print("PASS" if not failures else f"FAILED: {len(failures)}")
sys.exit(1 if failures else 0)
