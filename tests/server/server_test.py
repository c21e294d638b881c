#!/usr/bin/env python3
"""zembrak-scores as a player and a second server see it, on SQLite or on a PostgreSQL this
script starts itself: uploads and what is refused, the board, downloads, the page, the rate
limit, and two processes on one database.
  server_test.py SERVER sqlite|postgresql WORK [REAL_VERIFIER REPLAYS_FOLDER]"""
import concurrent.futures, glob, http.client, json, os, pwd, re, select, shutil, signal, socket, subprocess, sys, tempfile
import hashlib, threading, time
from urllib.parse import quote

SERVER, KIND, WORK = sys.argv[1:4]
VERSION = os.environ["ZK_VERSION"]  # the server's own: its board is shown first
REAL = sys.argv[4:6]
failures = []
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures.append(what)

# A verifier that keeps the contract: the body's first line says what to answer, and names the
# game when it has a sixth word; otherwise every file is a game of its own.
STAND_IN = os.path.join(WORK, "verify")
with open(STAND_IN, "w") as f:
    f.write("""#!/bin/sh
read -r kind score frames library version game <"$1"
case $kind in
ok|cheat) [ "$kind$STRICT" = cheatyes ] && { echo "refused: presses come too fast"; exit 1; }
    echo "verified: score $score, $frames frames, $library, version $version, 60.0 frames/s, 5.0 presses/s, game ${game:-$(sha256sum <"$1" | cut -c1-64)}" ;;
forever) while :; do :; done ;;
sleepy) sleep "$score"; echo "verified: score $score, 1 frames, glibc, version 1.1.0, 60.0 frames/s, 5.0 presses/s, game $(sha256sum <"$1" | cut -c1-64)" ;;
crash) kill -SEGV $$ ;;
*) echo "refused: not a replay"; exit 1 ;;
esac
""")
os.chmod(STAND_IN, 0o755)

def edited_header(path, field):
    """The replay with the best score it showed raised, or watched from its middle; its sum repaired."""
    data = open(path, "rb").read()
    def varint(at):
        value = shift = 0
        while data[at] & 0x80:
            value, shift, at = value | (data[at] & 0x7F) << shift, shift + 7, at + 1
        return value | data[at] << shift, at + 1
    at = 6 + data[5]
    for _ in range(5):  # the C library's first numbers, the seed
        at = varint(at)[1]
    counts_at = at = at + 1 + 192  # past full screen and the World
    counts = []
    for _ in range(6):  # watch from, calls, frames, score, best score shown, body length
        value, at = varint(at)
        counts.append(value)
    counts[0 if field == "where watching starts" else 4] = counts[1] // 2 if field == "where watching starts" else 99999
    out = bytearray(data[:counts_at])
    for value in counts:
        while value >= 0x80:
            out.append(value & 0x7F | 0x80)
            value >>= 7
        out.append(value)
    out += data[at:-4]
    total = 2166136261
    for byte in out:
        total = ((total ^ byte) * 16777619) & 0xFFFFFFFF
    return bytes(out + total.to_bytes(4, "little"))

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
    def signal_all(number):  # the postmaster and every process it started
        main = int(open(f"{home}/data/postmaster.pid").readline())
        for pid in [main] + [int(p) for p in os.listdir("/proc") if p.isdigit() and p != str(main)]:
            try:
                if pid == main or open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()[1] == str(main):
                    os.kill(pid, number)
            except (OSError, IndexError):
                pass
    def load(name, dump):
        run(f"{bindir}/createdb", "-h", home, "-U", "zembrak", name)
        subprocess.run(as_user + [f"{bindir}/psql", "-q", "-v", "ON_ERROR_STOP=1", "-h", home, "-U", "zembrak", name],
                       stdin=open(dump), check=True, stdout=subprocess.DEVNULL, cwd=home)
        return f"postgresql://zembrak@/{name}?host={home}"
    return f"postgresql://zembrak@/postgres?host={home}", stop, load, signal_all

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

def stop_server(process, when):
    process.send_signal(signal.SIGTERM)
    try:
        check(process.wait(10) == 0, f"a server stopped {when} exits with 0, not {process.returncode}")
    except subprocess.TimeoutExpired:
        process.kill()
        failures.append(f"a server stopped {when} keeps running")

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

def raw(port, path, address="10.0.0.1", method="GET", body=None, headers=None):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
    connection.request(method, path, body, headers={"X-Forwarded-For": address, **(headers or {})})
    reply = connection.getresponse()
    return reply.status, reply.getheader("Retry-After"), reply.read().decode()

def timed(call):
    started = time.monotonic()
    return call(), time.monotonic() - started

OCTETS = {"Content-Type": "application/octet-stream"}
def upload(port, name, body, address="10.0.0.1", headers=OCTETS):
    return request(port, "POST", "/api/scores?name=" + name, body, headers, address)

if KIND == "postgresql":
    database, stop_postgres, load_dump, signal_postgres = start_postgres()
    hang, resume = lambda: signal_postgres(signal.SIGSTOP), lambda: signal_postgres(signal.SIGCONT)
else:
    import sqlite3
    database, stop_postgres = os.path.join(WORK, "scores.sqlite"), lambda: None
    holder = sqlite3.connect(database, isolation_level=None, check_same_thread=False)
    hang, resume = lambda: holder.execute("BEGIN IMMEDIATE"), lambda: holder.execute("ROLLBACK")
try:
    port = start_server(database, "--verifier", STAND_IN, "--trust-forwarded", "--verify-cpu", "1")
    # Every byte value after the verifier's line, as in a real replay.
    tape = lambda score, extra="", lib="glibc": f"ok {score} {score * 3} {lib} {VERSION}\n{extra}".encode() + bytes(range(256))
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
        ("a joiner between two emoji", "%F0%9F%91%A9%E2%80%8D%F0%9F%92%BB", tape(32), None, 201, {}),
        ("a tower of 23 accents, cut to 2", "Zo" + "%CC%81" * 23, tape(33), None, 201, {}),
        ("every character HTML and JSON escape", quote("a<>&\"'\\b"), tape(35), None, 201, {}),
        ("no content type", "Nic", tape(34), {"Accept": "*/*"}, 201, {}),
        ("a verifier asleep 2 s, within the wall limit", "Sol", b"sleepy 2\n", None, 201, {"score": 2}),
        ("25 characters", "%C3%A9" * 25, tape(21), None, 400, {}),
        *[(f"only U+{code} and spaces", "%20".join([quote(chr(int(code, 16)))] * 2), tape(40), None, 400, {})
          for code in "200D 200C 034F 3164 2800 115F 1160 FFA0 FE0F E0041 2066 17B4 0301".split()],
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
    check(scores == [3000, 1200, 1200, 35, 34, 33, 32, 20, 19, 15, 10, 5, 2], f"the board from the best down: {scores}")
    check([e["rank"] for e in board["scores"]][:3] == [1, 2, 2] and board["scores"][1]["id"] < board["scores"][2]["id"],
          "equal scores share a rank, the earlier entry first")
    names = {entry["name"] for entry in board["scores"]}
    check("é" * 24 in names and "<script>x()</script>" in names and "Zo\u0301\u0301" in names,
          f"names stored trimmed and whole, towers of accents cut: {names}")
    check(board["scores"][0]["platform"] == "Linux" and board["scores"][0]["version"] == VERSION, "platform, version")
    # path, status, (score, rank) of each entry listed
    reads = [("/api/scores?limit=1&offset=1", 200, [(1200, 2)]), ("/api/scores?limit=2&offset=2", 200, [(1200, 2), (35, 4)]),
             ("/api/scores?offset=12", 200, [(2, 13)]), ("/api/scores?offset=13", 200, []),
             ("/api/scores?version=0.9", 200, []), ("/api/scores?limit=many", 400, None),
             ("/api/scores?limit=501", 400, None), ("/api/scores?limit=0", 200, []), ("/api/scores?limit=500", 200, None)]
    for path, status, expected in reads:
        got, answer = request(port, "GET", path)
        listed = [(e["score"], e["rank"]) for e in answer["scores"]] if got == 200 else None
        check(got == status and (expected is None or listed == expected), f"{path}: {listed}")
    got, body = request(port, "GET", f"/replays/{ids['first upload']}.replay")
    check(got == 200 and body == tape(1200), "the replay downloads as it was uploaded")
    check(request(port, "GET", "/replays/999999.replay")[0] == 404, "no such replay: 404")
    check(request(port, "OPTIONS", "/api/scores")[0] == 204, "a web game served elsewhere may ask to post")
    got, health = request(port, "GET", "/healthz")
    check(got == 200 and health["entries"] == len(ids), f"healthz counts {len(ids)} entries: {health}")

    # The pages: this version's board first, any other one choice away; a page for each entry. No
    # web build is served here: no Watch, a Download for each.
    got, old = upload(port, "Old", b"ok 40 7 msvcrt 0.9+1\n", "10.3.0.1")
    check(got == 201 and old["rank"] == 1, f"an older version's game ranks on its own board: {old}")
    ids["an older version"] = old["id"]
    entry = lambda what: f'href="scores/{ids[what]}"'
    first, web, script = entry("first upload"), entry("a game from the web page"), entry("a name in <script>, kept as it is")
    # path, status, what the page holds, what it must not
    pages = [("/", 200, [first, web, ">" + VERSION + "<", 'href="?version=0.9%2B1"', 'href="?version=all"',
                         f'href="replays/{ids["first upload"]}.replay" download', "&lt;script&gt;x()", "%APPDATA%"],
              [f'scores/{old["id"]}"', "Watch", "<script>x"]),
             ("/?version=0.9%2B1", 200, [f'href="scores/{old["id"]}"', ">40<", ">Windows<"], [first]),
             ("/?version=all", 200, [f'scores/{old["id"]}"', first, web], []),
             ("/?version=%3Cb%3E", 200, ["No scores for version &lt;b&gt; yet"], ["<b>", first]),
             (f"/scores/{old['id']}", 200, [">40<", ">1 in version 0.9+1<", ">Windows<", ">7<", ">60.0 frames/s, 5.0 presses/s<",
                                            f'href="../replays/{old["id"]}.replay" download', 'href="../?version=0.9%2B1"'],
              ["Watch"]),
             (f"/scores/{ids['a name in <script>, kept as it is']}", 200, ["<h1>&lt;script&gt;x()&lt;/script&gt;</h1>", ">10<"],
              ["<script>x"]),
             (f"/scores/{ids['first upload']}", 200, [">2 in version " + VERSION + "<", 'href="../"'], []),
             ("/scores/999999", 404, ["No such entry"], [])]
    for path, status, holds, lacks in pages:
        got, page = request(port, "GET", path)
        page = page.decode() if isinstance(page, bytes) else str(page)
        missing, wrong = [h for h in holds if h not in page], [h for h in lacks if h in page]
        check(got == status and not missing and not wrong, f"{path}: {status}, lacks {missing}, holds {wrong}")
    page, json_text = request(port, "GET", "/")[1].decode(), raw(port, "/api/scores")[2]
    check("a&lt;&gt;&amp;&quot;&#39;\\b" in page and '"a\\u003c\\u003e\\u0026\\"\'\\\\b"' in json_text,
          "< > & \" ' \\ escaped in the page's HTML and the API's JSON as sent")

    # Ten uploads a minute from one address, counted whatever became of them.
    statuses = [upload(port, "Flo", f"refused {i}\n".encode(), "10.9.9.9")[0] for i in range(11)]
    check(statuses == [422] * 10 + [429], f"the eleventh upload in a minute is refused: {statuses}")
    check(upload(port, "Gus", tape(30), "10.9.9.10")[0] == 201, "another address is not held up")

    # Two processes on one database, uploads through both at once: each new tape stored once.
    second = start_server(database, "--verifier", STAND_IN, "--trust-forwarded")
    jobs = [(p, f"ok {100 + i} 1 glibc {VERSION}\n".encode(), f"10.1.{i}.{p % 2}") for i in range(12)
            for p in (port, second)]
    with concurrent.futures.ThreadPoolExecutor(8) as pool:
        results = list(pool.map(lambda job: upload(job[0], "Twin", job[1], job[2])[0], jobs))
    pairs = [sorted(results[i:i + 2]) for i in range(0, len(results), 2)]
    check(all(pair == [201, 409] for pair in pairs), f"the same tape through both servers: one 201, one 409: {pairs}")
    stored = request(second, "GET", "/healthz")[1]["entries"]
    check(stored == len(ids) + 1 + 12, f"rows stored equal uploads accepted: {stored}")

    # The host's tools, beside the running servers on their database.
    def host(*words, env=None):
        done = subprocess.run([SERVER, *words, "--database", database], capture_output=True, text=True, timeout=60,
                              env={**os.environ, **(env or {})})
        return done.returncode, done.stdout + done.stderr
    board_ids = lambda offset=0: [e["id"] for e in request(port, "GET", f"/api/scores?limit=500&offset={offset}")[1]["scores"]]
    kay = lambda extra: f"ok 2500 7500 glibc 1.1.0 {'ab' * 32}\n{extra}".encode()
    got, answer = upload(port, "Kay", kay("full screen"), "10.3.0.3")
    check(upload(port, "Lee", kay("windowed"), "10.3.0.4")[1] == {"error": f"this game is on the board already as entry "
          f"#{answer['id']}", "id": answer["id"]}, "the same game in other bytes is a copy: 409 with the first id")
    host("remove", str(answer["id"]), "--reason", "a bot's game")
    check(upload(port, "Mo", kay("menu keys after the end"), "10.3.0.5")[1].get("id") == answer["id"],
          "a removed game in other bytes is refused too")
    best, on_board = ids["a better score ranks first"], board_ids()
    code, said = host("remove", str(best), "--reason", "a bot's game")
    check(code == 0 and board_ids() == on_board[1:] and board_ids(1) == on_board[2:]
          and request(port, "GET", "/healthz")[1]["entries"] == len(on_board) - 1
          and request(port, "GET", f"/replays/{best}.replay")[0] == 404,
          f"remove takes an entry off the board: {said}")
    got, answer = upload(port, "Bo", tape(3000), "10.3.0.1")
    check(got == 409 and answer.get("id") == best and f"#{best}" in answer["error"],
          f"a removed entry's game uploaded again is refused: {got} {answer}")
    check([host("remove", "999999", "--reason", "x")[0], host("remove", str(best))[0]] == [1, 2],
          "remove: no such entry, no reason")
    code, said = host("restore", str(best))
    check(code == 0 and board_ids() == on_board and board_ids(1) == on_board[1:],
          f"restore puts it back at its rank: {said}")
    # A tape the verifier took that a stricter one refuses: reverify takes it off, and only it.
    got, answer = upload(port, "Cheat", b"cheat 5000 15000 glibc 1.1.0\n", "10.3.0.2")
    code, said = host("reverify", "--verifier", STAND_IN, env={"STRICT": "yes"})
    check(got == 201 and code == 0 and f"#{answer['id']} taken off the board: refused: presses come too fast" in said
          and board_ids() == on_board and "1 taken off the board" in said, f"reverify takes off what no longer verifies: {said}")
    copy = os.path.join(WORK, "copy.sqlite")
    code, said = host("backup", copy)
    if KIND == "sqlite":
        import sqlite3
        kept = sqlite3.connect(copy).execute("SELECT COUNT(*) FROM scores").fetchone()[0]
        check(code == 0 and kept == len(on_board) + 2 and host("backup", copy)[0] == 1,
              f"backup copies every entry, and never over a file: {kept} {said}")
    else:
        check(code == 2 and "pg_dump" in said, f"backup points PostgreSQL hosts to pg_dump: {said}")

    # A board written before schema versions upgrades in place with every row.
    fixture = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "scores-v1.")
    if KIND == "postgresql":
        old = load_dump("old", fixture + "pgsql")
    else:
        old = os.path.join(WORK, "old.sqlite")
        shutil.copy(fixture + "sqlite", old)
    upgraded = start_server(old, "--verifier", STAND_IN, "--trust-forwarded")
    listed = [(e["id"], e["name"], e["score"], e["rank"], e["version"])
              for e in request(upgraded, "GET", "/api/scores")[1]["scores"]]
    check(listed == [(2, "Bo", 3000, 1, "1.1.0"), (1, "Ada", 1200, 2, "1.1.0"), (3, "Cy", 1200, 2, "1.1.0"),
                     (5, "Old", 700, 4, "1.0.0"), (4, "élève", 50, 5, "1.1.0"), (6, "Zero", 0, 6, "1.1.0")],
          f"every entry of the old board, ranked as before: {listed}")
    ada = b"ok 1200 3600 glibc 1.1.0\nfirst\n" + bytes(range(256))
    got, answer = upload(upgraded, "Ada", ada, "10.4.0.1")
    check(request(upgraded, "GET", "/replays/1.replay")[1] == ada and got == 409 and answer["id"] == 1,
          f"an old entry's tape is kept, and refused again: {answer}")
    got, answer = upload(upgraded, "New", tape(800), "10.4.0.2")
    versions = [e["rank"] for e in request(upgraded, "GET", "/api/scores?version=1.0.0")[1]["scores"]]
    check((got, answer.get("id"), answer.get("rank"), versions) == (201, 7, 4, [1]),
          f"a new entry after them; ranks per version: {answer} {versions}")
    # Old entries have no game key until reverify: a copy of one in other bytes gets in, and
    # reverify takes it off.
    got, answer = upload(upgraded, "Copy", f"ok 1200 3600 glibc 1.1.0 {hashlib.sha256(ada).hexdigest()}\n".encode(),
                         "10.4.0.3")
    code, said = subprocess.run([SERVER, "reverify", "--database", old, "--verifier", STAND_IN], capture_output=True,
                                text=True, timeout=60).stdout.splitlines()[-2:], None
    check(code == [f"#{answer.get('id')} taken off the board: copy of #1", "reverify: 8 stored, 8 verify, 1 taken off "
                   f"the board (#{answer.get('id')}), 6 game keys updated"], f"reverify after the upgrade: {code}")

    # Limits, each alone deciding. The CPU limit (1 s) stops a spinning verifier, not the wall's 13 s.
    got, answer = upload(port, "Eve", b"forever\n", "10.5.0.3")
    check(got == 422 and "processor time" in answer["error"], f"a spinning verifier stopped by its CPU limit: {answer}")
    # A head trickled a line a second is cut at its deadline (5 s), and so is a body of 9 bytes sent a byte a
    # second (5 s and 9 bytes at 32 KiB/s); a head or body done in 3 s is answered, and others are served.
    def trickle(pieces, head=b"GET /healthz HTTP/1.1\r\nHost: x\r\n", piece=b"X-Slow: 1\r\n", end=b"\r\n"):
        client, started = socket.create_connection(("127.0.0.1", port)), time.monotonic()
        client.sendall(head)
        for _ in range(pieces):
            time.sleep(1)
            if select.select([client], [], [], 0)[0]:
                return client.recv(100), time.monotonic() - started
            client.sendall(piece)
        client.sendall(end)
        return client.recv(100), time.monotonic() - started
    post = lambda length: f"POST /api/scores?name=Slo HTTP/1.1\r\nContent-Length: {length}\r\n\r\n".encode()
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        slow, done = pool.submit(trickle, 9), pool.submit(trickle, 3)
        slow_body, body_done = pool.submit(trickle, 9, post(9), b"x", b""), pool.submit(trickle, 3, post(3), b"x", b"")
        time.sleep(2)
        (got, _), took = timed(lambda: request(port, "GET", "/healthz"))
        check(got == 200 and took < 2, f"another client is served while heads trickle: {got} in {took:.2f} s")
        check(done.result()[0].startswith(b"HTTP/1.1 200"), f"a head finished in 3 s is answered: {done.result()}")
        check(body_done.result()[0].startswith(b"HTTP/1.1 422"), f"a body sent in 3 s is read: {body_done.result()}")
        for what, cut in (("head", slow), ("body", slow_body)):
            check(cut.result()[0] == b"" and cut.result()[1] > 4.5, f"a {what} past 5 s is cut: {cut.result()}")
    # One verifier and one place in line: the third upload at once is turned away for later.
    busy = start_server(database, "--verifier", STAND_IN, "--trust-forwarded", "--verifiers", "1", "--verify-queue", "1")
    with concurrent.futures.ThreadPoolExecutor(3) as pool:
        sleepers = [pool.submit(raw, busy, "/api/scores?name=Zed", f"10.6.0.{i}", "POST", f"sleepy 3 {i}\n", OCTETS)
                    for i in range(3) if not time.sleep(0.4)]
        answers = sorted((f.result()[0], f.result()[1] or "") for f in sleepers)
    check(answers[:2] == [(201, "")] * 2 and answers[2][0] == 503 and int(answers[2][1]) > 0,
          f"a full line of verifiers answers 503 with Retry-After: {answers}")
    # Reads: 12 a minute from one address, the whole minute's share at once, then one every 5 s.
    reader = start_server(database, "--verifier", STAND_IN, "--trust-forwarded", "--reads-per-minute", "12")
    statuses = [raw(reader, "/healthz", "10.7.0.1")[:2] for _ in range(13)]
    check(statuses == [(200, None)] * 12 + [(429, "10")], f"the 13th read at once is refused: {statuses[-2:]}")
    time.sleep(5.1)
    check([raw(reader, "/healthz", a)[0] for a in ("10.7.0.1", "10.7.0.2")] == [200, 200], "the share comes back")
    # Without its verifier the server says it could not check; a second server on a taken port does not start.
    lost = start_server(database, "--verifier", os.path.join(WORK, "none"), "--trust-forwarded")
    check(upload(lost, "Vic", tape(60), "10.8.0.1")[0] == 500, "a missing verifier: 500")
    rival = subprocess.run([SERVER, "--listen", f"127.0.0.1:{port}", "--database", database], capture_output=True,
                           timeout=10, text=True)
    check(rival.returncode == 1 and "cannot listen" in rival.stderr, f"a taken address: {rival.stderr!r}")
    # A database that hangs (PostgreSQL stopped, SQLite locked by another writer): 503 within 5 s, then back.
    hang()
    (got, _), took = timed(lambda: upload(port, "Hal", tape(50), "10.5.0.1"))
    check(got == 503 and took < 5, f"an upload while the database hangs: {got} after {took:.1f} s")
    if KIND == "postgresql":
        (got, _), took = timed(lambda: request(port, "GET", "/healthz"))
        check(got == 503 and took < 5, f"healthz while the database hangs: {got} after {took:.1f} s")
    resume()
    back = next((i for i in range(10) if time.sleep(0.5) or upload(port, "Hal", tape(50), "10.5.0.2")[0] == 201), None)
    check(back is not None, f"the server is back by itself once the database is, try {back}")

    # A version's board past one page: a link down from the first page, one back up from the second.
    for i in range(101):
        upload(port, "Page", f"ok {i + 1} 1 glibc 0.8\n".encode(), f"10.12.{i}.1")
    for path, holds, lacks in [("/?version=0.8", ['href="?version=0.8&amp;offset=100">Lower'], ["Higher"]),
                               ("/?version=0.8&offset=100", ['href="?version=0.8&amp;offset=0">Higher'], ["Lower"])]:
        page = request(port, "GET", path, address="10.8.200.1")[1].decode()
        rows = page.count('href="scores/')
        check(rows == (100 if "offset" not in path else 1) and all(h in page for h in holds) and
              not any(h in page for h in lacks), f"{path}: {rows} entries and its links")

    # The real verifier, when built: the stored replays go on the board with their scores.
    if REAL:
        real = start_server(database, "--verifier", REAL[0], "--verify-memory", "0", "--trust-forwarded")
        for replay in sorted(f for f in os.listdir(REAL[1]) if f.endswith(".replay")):
            expected = int(open(os.path.join(REAL[1], replay[:-7] + ".expected")).read().split()[1])
            got, answer = upload(real, "Real", open(os.path.join(REAL[1], replay), "rb").read(), "10.2.0.1")
            check(got == 201 and answer["score"] == expected, f"{replay} verifies to {expected}: {got} {answer}")
        got, answer = upload(real, "Real", open(os.path.join(REAL[1], replay), "rb").read()[:-9], "10.2.0.2")
        check(got == 422, f"{replay} cut short does not verify: {got} {answer}")
        # Near-copies: a header field that changes nothing in play edited, the checksum made whole.
        first = upload(real, "Real", open(os.path.join(REAL[1], "short_walk.replay"), "rb").read(), "10.2.0.3")[1]
        for index, field in enumerate(("the best score shown", "where watching starts")):
            got, answer = upload(real, "Near", edited_header(os.path.join(REAL[1], "short_walk.replay"), field),
                                 f"10.2.1.{index}")
            check(got == 409 and answer.get("id") == first.get("id"), f"a copy with {field} edited: 409 {answer}")
    # A stop signal the moment a server says it listens, before its loop may have begun.
    for _ in range(3):
        start_server(database)
        stop_server(servers.pop(), "as it starts")
    check(all(process.poll() is None for process in servers), "no server process died")
finally:
    for process in servers:
        stop_server(process, "by SIGTERM")
    stop_postgres()
print("PASS" if not failures else f"FAILED: {len(failures)}")
sys.exit(1 if failures else 0)
