#!/usr/bin/env python3
"""zembrak-scores as a player and a second server see it, on SQLite or on a PostgreSQL this
script starts itself: uploads and what is refused, the board, downloads, the page, the rate
limit, and two processes on one database.
  server_test.py SERVER sqlite|postgresql WORK [REAL_VERIFIER REPLAYS_FOLDER]"""
import concurrent.futures, glob, http.client, json, os, pwd, re, shutil, signal, socket, subprocess, sys, tempfile
import threading, time

SERVER, KIND, WORK = sys.argv[1:4]
REAL = sys.argv[4:6]
failures = []
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures.append(what)

# A verifier that keeps the contract: the body's first line says what to answer.
STAND_IN = os.path.join(WORK, "verify")
with open(STAND_IN, "w") as f:
    f.write("""#!/bin/sh
read -r kind score frames library version <"$1"
case $kind in
ok) echo "verified: score $score, $frames frames, $library, version $version" ;;
forever) while :; do :; done ;;
crash) kill -SEGV $$ ;;
*) echo "refused: not a replay"; exit 1 ;;
esac
""")
os.chmod(STAND_IN, 0o755)

def start_postgres():
    """Debian's PostgreSQL in the work folder, on a socket folder of its own, as nobody when root."""
    bindir = max(glob.glob("/usr/lib/postgresql/*/bin"), key=lambda d: int(d.split("/")[4]))
    home = tempfile.mkdtemp(prefix="zk-pg-")
    os.chmod(home, 0o755)
    as_user = []
    if os.geteuid() == 0:
        as_user = ["runuser", "-u", "nobody", "--"]
        os.chown(home, pwd.getpwnam("nobody").pw_uid, -1)
    run = lambda *args: subprocess.run(as_user + list(args), check=True, stdout=subprocess.DEVNULL, cwd=home)
    run(f"{bindir}/initdb", "-D", f"{home}/data", "-A", "trust", "-U", "zembrak", "--no-sync")
    run(f"{bindir}/pg_ctl", "-D", f"{home}/data", "-l", f"{home}/log", "-w", "start",
        "-o", f"-k {home} -c listen_addresses='' -c fsync=off")
    def stop():
        subprocess.run(as_user + [f"{bindir}/pg_ctl", "-D", f"{home}/data", "-m", "immediate", "stop"],
                       stdout=subprocess.DEVNULL, cwd=home)
        shutil.rmtree(home, True)
    return f"postgresql://zembrak@/postgres?host={home}", stop

servers = []
def start_server(database, *options):
    process = subprocess.Popen([SERVER, "--listen", "127.0.0.1:0", "--database", database, *options],
                               stdout=subprocess.PIPE, stderr=open(os.path.join(WORK, "server.err"), "a"), text=True)
    servers.append(process)
    line = process.stdout.readline()
    port = re.search(r"listening on http://127\.0\.0\.1:(\d+)/", line)
    if not port:
        sys.exit(f"FAIL: the server did not start: {line!r}")
    threading.Thread(target=process.stdout.read, daemon=True).start()  # a line for each upload
    return int(port.group(1))

def request(port, method, path, body=None, headers=None, address="10.0.0.1"):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
    connection.request(method, path, body=body, headers={"X-Forwarded-For": address, **(headers or {})})
    reply = connection.getresponse()
    data = reply.read()
    connection.close()
    try:
        return reply.status, json.loads(data) if "json" in reply.getheader("Content-Type", "") else data
    except ValueError:
        return reply.status, data

OCTETS = {"Content-Type": "application/octet-stream"}
def upload(port, name, body, address="10.0.0.1", headers=OCTETS):
    return request(port, "POST", "/api/scores?name=" + name, body, headers, address)

if KIND == "postgresql":
    database, stop_postgres = start_postgres()
else:
    database, stop_postgres = os.path.join(WORK, "scores.sqlite"), lambda: None
try:
    port = start_server(database, "--verifier", STAND_IN, "--trust-forwarded", "--verify-cpu", "1")
    # Every byte value after the verifier's line, as in a real replay.
    tape = lambda score, extra="", lib="glibc": f"ok {score} {score * 3} {lib} 1.1.0\n{extra}".encode() + bytes(range(256))
    big = tape(5, "x" * (1024 * 1024))[: 1024 * 1024]
    # name, body, headers, status, what the answer holds
    uploads = [
        ("first upload", "Ada", tape(1200), None, 201, {"rank": 1, "score": 1200}),
        ("a better score ranks first", "Bo", tape(3000), None, 201, {"rank": 1, "score": 3000}),
        ("an equal score shares the rank", "Cy", tape(1200, "again"), None, 201, {"rank": 2}),
        ("the same tape again", "Dee", tape(1200), None, 409, {}),
        ("a name in <script>, kept as it is", "%3Cscript%3Ex()%3C%2Fscript%3E", tape(10), None, 201, {}),
        ("24 characters of another script, trimmed", "%20" + "%C3%A9" * 24 + "%E3%80%80", tape(20), None, 201, {}),
        ("a body of exactly 1 MiB", "Max", big, None, 201, {"score": 5}),
        ("a short name after 200 spaces", "%20" * 200 + "Ida", tape(19), None, 201, {}),
        ("a game from the web page", "Wes", tape(15, lib="emscripten"), None, 201, {}),
        ("25 characters", "%C3%A9" * 25, tape(21), None, 400, {}),
        ("a name of spaces", "%20%20", tape(22), None, 400, {}),
        ("no name", "", tape(23), None, 400, {}),
        ("a tab in the name", "a%09b", tape(24), None, 400, {}),
        ("a right-to-left override", "a%E2%80%AEb", tape(25), None, 400, {}),
        ("bytes that are not UTF-8", "a%FFb", tape(26), None, 400, {}),
        ("an empty body", "Eve", b"", None, 400, {}),
        ("a form instead of a replay", "Eve", tape(27), {"Content-Type": "text/plain"}, 400, {}),
        ("one byte over 1 MiB", "Eve", big + b"x", None, 413, {}),
        ("a replay that does not verify", "Eve", b"garbage\n", None, 422, {}),
        ("a replay that never ends", "Eve", b"forever\n", None, 422, {}),
        ("a verifier that crashes", "Eve", b"crash\n", None, 422, {}),
        ("a body in chunks", "Eve", iter([tape(28)]), {**OCTETS, "Transfer-Encoding": "chunked"}, 411, {}),
        ("a body declared at 1 GiB", "Eve", None, {**OCTETS, "Content-Length": str(1 << 30)}, 413, {}),
    ]
    ids = {}
    for index, (what, name, body, headers, status, holds) in enumerate(uploads):
        started = time.monotonic()
        got, answer = upload(port, name, body, f"10.0.{index}.1", headers or OCTETS)
        ok = got == status and isinstance(answer, dict) and all(answer.get(k) == v for k, v in holds.items())
        ok = ok and (status != 201 or isinstance(answer.get("id"), int)) and (status == 201 or "error" in answer)
        check(ok and time.monotonic() - started < 20, f"{what}: {status} (got {got} {answer!r})")
        if got == 201:
            ids[what] = answer["id"]

    # Header lines without end: the server stops reading, its memory stays where it was.
    rss = lambda: int(re.search(r"VmRSS:\s+(\d+)", open(f"/proc/{servers[0].pid}/status").read()).group(1))
    before = rss()
    for _ in range(4):
        flood = socket.create_connection(("127.0.0.1", port))
        try:
            flood.sendall(b"GET /healthz HTTP/1.1\r\n" + (b"X-Long: " + b"a" * 8000 + b"\r\n") * 8000)
        except OSError:
            pass
        flood.close()
    check(rss() - before < 32 * 1024, f"four floods of 64 MB of headers: {rss() - before} kB more memory")

    # The board as the API lists it, and the tapes as they went in.
    status, board = request(port, "GET", "/api/scores")
    scores = [entry["score"] for entry in board["scores"]]
    check(scores == [3000, 1200, 1200, 20, 19, 15, 10, 5], f"the board from the best down: {scores}")
    check([e["rank"] for e in board["scores"]][:3] == [1, 2, 2], "equal scores share a rank")
    names = {entry["name"] for entry in board["scores"]}
    check("é" * 24 in names and "<script>x()</script>" in names, f"names stored trimmed and whole: {names}")
    check(board["scores"][0]["platform"] == "Linux" and board["scores"][0]["version"] == "1.1.0", "platform, version")
    reads = [("/api/scores?limit=1&offset=1", 200, [1200]), ("/api/scores?version=0.9", 200, []),
             ("/api/scores?limit=many", 400, None), ("/api/scores?limit=501", 400, None)]
    for path, status, expected in reads:
        got, answer = request(port, "GET", path)
        check(got == status and (expected is None or [e["score"] for e in answer["scores"]] == expected), path)
    got, body = request(port, "GET", f"/replays/{ids['first upload']}.replay")
    check(got == 200 and body == tape(1200), "the replay downloads as it was uploaded")
    check(request(port, "GET", "/replays/999999.replay")[0] == 404, "no such replay: 404")
    check(request(port, "OPTIONS", "/api/scores")[0] == 204, "a web game served elsewhere may ask to post")
    got, health = request(port, "GET", "/healthz")
    check(got == 200 and health["entries"] == len(ids), f"healthz counts {len(ids)} entries: {health}")

    # The page: the name escaped, Watch links to the web game for its own replays, where best.replay is kept.
    got, page = request(port, "GET", "/")
    page = page.decode()
    check("&lt;script&gt;x()&lt;/script&gt;" in page and "<script>x" not in page, "the page escapes names")
    watch = lambda what: f'href="index.html?replay=/replays/{ids[what]}.replay">Watch' in page
    check(watch("a game from the web page") and not watch("a better score ranks first") and "%APPDATA%" in page
          and "best.replay" in page, "Watch links for the web game's own replays, and where best.replay is")

    # Ten uploads a minute from one address, counted whatever became of them.
    statuses = [upload(port, "Flo", f"refused {i}\n".encode(), "10.9.9.9")[0] for i in range(11)]
    check(statuses == [422] * 10 + [429], f"the eleventh upload in a minute is refused: {statuses}")
    check(upload(port, "Gus", tape(30), "10.9.9.10")[0] == 201, "another address is not held up")

    # Two processes on one database, uploads through both at once: each new tape stored once.
    second = start_server(database, "--verifier", STAND_IN, "--trust-forwarded")
    jobs = [(p, f"ok {100 + i} 1 glibc 1.1.0\n".encode(), f"10.1.{i}.{p % 2}") for i in range(12)
            for p in (port, second)]
    with concurrent.futures.ThreadPoolExecutor(8) as pool:
        results = list(pool.map(lambda job: upload(job[0], "Twin", job[1], job[2])[0], jobs))
    pairs = [sorted(results[i:i + 2]) for i in range(0, len(results), 2)]
    check(all(pair == [201, 409] for pair in pairs), f"the same tape through both servers: one 201, one 409: {pairs}")
    stored = request(second, "GET", "/healthz")[1]["entries"]
    check(stored == len(ids) + 1 + 12, f"rows stored equal uploads accepted: {stored}")

    # The real verifier, when built: the stored replays go on the board with their scores.
    if REAL:
        real = start_server(database, "--verifier", REAL[0], "--verify-memory", "0", "--trust-forwarded")
        for replay in sorted(f for f in os.listdir(REAL[1]) if f.endswith(".replay")):
            expected = int(open(os.path.join(REAL[1], replay[:-7] + ".expected")).read().split()[1])
            got, answer = upload(real, "Real", open(os.path.join(REAL[1], replay), "rb").read(), "10.2.0.1")
            check(got == 201 and answer["score"] == expected, f"{replay} verifies to {expected}: {got} {answer}")
        got, answer = upload(real, "Real", open(os.path.join(REAL[1], replay), "rb").read()[:-9], "10.2.0.2")
        check(got == 422, f"{replay} cut short does not verify: {got} {answer}")
    check(all(process.poll() is None for process in servers), "no server process died")
finally:
    for process in servers:
        process.send_signal(signal.SIGTERM)
        try:
            check(process.wait(10) == 0, f"a server stopped by SIGTERM exits with 0, not {process.returncode}")
        except subprocess.TimeoutExpired:
            process.kill()
            failures.append("a server did not stop on SIGTERM")
    stop_postgres()
print("PASS" if not failures else f"FAILED: {len(failures)}")
sys.exit(1 if failures else 0)
