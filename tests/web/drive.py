#!/usr/bin/python3
"""Plays the web build in headless Chromium over the DevTools protocol, as a player would.
usage: drive.py URL OUTDIR MENU_PNG [--bench] [--broken URL_OF_A_BROKEN_COPY] [--server PID]
                [--served FOLDER_SERVED_AS_URL] [--verify PROGRAM (build/zembrak-verify)]
Checks: the title menu looks like the desktop's; Return starts a game; the arrows step and
score; Escape opens the menu; the best score outlives a closed tab and a reload; Quit keeps
the menu; the best game verifies on Linux and plays in the page through ?replay=; served by
zembrak-scores (beside the verifier), a game goes from the page onto the board and its Watch link
plays it to its end; from loading to the last reload, no uncaught error, rejected promise or
error line in the console, also in Firefox where installed (over WebDriver BiDi); a gamepad and
a phone's thumbs play; with --server (URL's server), the page plays once it stopped. Prints one
line per check; exit 1 when any fails."""
import asyncio, base64, json, os, re, shutil, subprocess, sys, tempfile, time, urllib.request
import websockets

URL, OUT, MENU_PNG = sys.argv[1:4]
BENCH = "--bench" in sys.argv
BROKEN_URL = sys.argv[sys.argv.index("--broken") + 1] if "--broken" in sys.argv else None
SERVED = sys.argv[sys.argv.index("--served") + 1] if "--served" in sys.argv else None
VERIFY = sys.argv[sys.argv.index("--verify") + 1] if "--verify" in sys.argv else "build/zembrak-verify"
SERVER = int(sys.argv[sys.argv.index("--server") + 1]) if "--server" in sys.argv else None
os.makedirs(OUT, exist_ok=True)
CHROME = ["chromium", "--headless=new", "--no-sandbox", "--use-gl=angle", "--use-angle=swiftshader",
          "--enable-unsafe-swiftshader", "--remote-debugging-port=0", "--user-data-dir=" + os.path.join(OUT, "profile"),
          "--no-first-run", "--no-default-browser-check", "--mute-audio", "about:blank"]
KEYS = {"Return": ("Enter", 13, "\r"), "Right": ("ArrowRight", 39, ""), "Left": ("ArrowLeft", 37, ""),
        "Down": ("ArrowDown", 40, ""), "Up": ("ArrowUp", 38, ""), "Escape": ("Escape", 27, ""), "f": ("f", 70, "f")}
results = []


def check(name, ok, detail=""):
    results.append(ok)
    print("%s %s%s" % ("ok  " if ok else "FAIL", name, (": " + detail) if detail else ""), flush=True)


class Page:
    def __init__(self, ws, log="console.log"):
        self.ws, self.next_id, self.waiting, self.lines = ws, 0, {}, []
        self.log = open(os.path.join(OUT, log), "w")

    async def reader(self):
        async for raw in self.ws:
            m = json.loads(raw)
            if "id" in m and m["id"] in self.waiting:
                self.waiting.pop(m["id"]).set_result(m)
            elif m.get("method") == "Runtime.consoleAPICalled":
                p = m["params"]
                self.note(p["type"], " ".join(str(a.get("value", a.get("description", ""))) for a in p["args"]))
            elif m.get("method") == "Runtime.exceptionThrown":  # rejected promises too
                d = m["params"]["exceptionDetails"]
                self.note("exception", "%s %s" % (d.get("text"), d.get("exception", {}).get("description", "")))
            elif m.get("method") == "Log.entryAdded":  # what the browser itself says
                e = m["params"]["entry"]
                self.note("browser-" + e["level"], "%s %s" % (e["text"], e.get("url", "")))

    def note(self, kind, text):
        self.lines.append((kind, text))
        self.log.write("%-9s %s\n" % (kind, text))
        self.log.flush()

    async def call(self, method, **params):
        self.next_id += 1
        fut = asyncio.get_running_loop().create_future()
        self.waiting[self.next_id] = fut
        await self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        m = await asyncio.wait_for(fut, 60)
        if "error" in m:
            raise RuntimeError("%s: %s" % (method, m["error"]))
        return m["result"]

    async def js(self, expr):
        r = await self.call("Runtime.evaluate", expression=expr, returnByValue=True, awaitPromise=True)
        return r["result"].get("value")

    async def key(self, name, pause=0.25):
        key, code, text = KEYS[name]
        common = dict(key=key, code=key if len(key) > 1 else "Key" + key.upper(), windowsVirtualKeyCode=code,
                      nativeVirtualKeyCode=code)
        await self.call("Input.dispatchKeyEvent", type="keyDown", text=text, **common)
        await self.call("Input.dispatchKeyEvent", type="keyUp", **common)
        await asyncio.sleep(pause)

    async def load(self, url):
        t = time.time()
        await self.call("Page.navigate", url=url)
        for _ in range(600):
            if await self.js("typeof Module === 'object' && !!Module.calledRun && "
                             "document.getElementById('status').hidden"):
                break
            await asyncio.sleep(0.1)
        else:
            raise TimeoutError("the game did not start")
        return time.time() - t

    async def shot(self, name):
        """The canvas alone, at its own 800 x 600 pixels."""
        r = await self.js("JSON.stringify(document.getElementById('canvas').getBoundingClientRect())")
        rect = json.loads(r)
        r = await self.call("Page.captureScreenshot", format="png", clip=dict(
            x=rect["x"], y=rect["y"], width=rect["width"], height=rect["height"], scale=800 / rect["width"]))
        path = os.path.join(OUT, name)
        open(path, "wb").write(base64.b64decode(r["data"]))
        return path

    async def best_saved(self):
        return await self.js("(function(){try{return FS.readFile('/save/hiscore.txt',{encoding:'utf8'}).trim()}"
                             "catch(e){return null}})()")


def difference(a, b):
    """Root-mean-square difference of two pictures, 0 (same) to 1."""
    r = subprocess.run(["compare", "-metric", "RMSE", a, b, "null:"], capture_output=True, text=True)
    m = re.search(r"\(([\d.e-]+)\)", r.stderr)
    return float(m.group(1)) if m else 1.0


# The side panel's boxes for the score and the best score: the same digits at the same place.
SCORE_BOX, BEST_BOX = "140x26+630+394", "140x26+630+462"


def box_difference(a, box_a, b, box_b):
    """How far a box of one play picture differs from a box of another, 0 to 1."""
    crops = []
    for path, box in ((a, box_a), (b, box_b)):
        crop = "%s-%s.png" % (path[:-4], box.replace("+", "_"))
        subprocess.run(["convert", path, "-crop", box, "+repage", crop], check=True)
        crops.append(crop)
    return difference(*crops)


async def rates(p, seconds):
    """Browser frames per second, and the Board's ageing ticks per second."""
    await p.js("if (!window.zkFrames) { window.zkFrames = 1; (function f(){ zkFrames++; requestAnimationFrame(f); })() }")
    frames, ticks = await p.js("zkFrames"), await p.js("Module._zk_board_ticks()")
    t = time.time()
    await asyncio.sleep(seconds)
    frames, ticks = await p.js("zkFrames") - frames, await p.js("Module._zk_board_ticks()") - ticks
    elapsed = time.time() - t
    return frames / elapsed, ticks / elapsed


async def main():
    await without_webgl()
    await with_gamepad()
    await with_thumbs()
    if shutil.which("firefox-esr"):
        await firefox()
    chrome, ws_url = await connect([])
    try:
        async with websockets.connect(ws_url, max_size=None) as ws:
            p = Page(ws)
            reader = asyncio.create_task(p.reader())
            for domain in ("Runtime", "Page", "Log"):
                await p.call(domain + ".enable")
            await p.call("Emulation.setFocusEmulationEnabled", enabled=True)
            # 600 px of canvas and the line of controls under it.
            await p.call("Emulation.setDeviceMetricsOverride", width=800, height=640, deviceScaleFactor=1, mobile=False)
            seconds = await p.load(URL)
            print("time to the title menu: %.2f s" % seconds)
            await asyncio.sleep(1.0)
            r = await p.call("Page.captureScreenshot", format="png")
            open(os.path.join(OUT, "page.png"), "wb").write(base64.b64decode(r["data"]))
            menu = await p.shot("menu.png")
            d = difference(menu, MENU_PNG)
            check("the title menu looks like the desktop's", d < 0.1, "RMSE %.3f" % d)

            music = "(function(){var a=SDL.music&&SDL.music.audio;return a?!a.paused:null})()"
            before = await p.js(music)
            await p.key("Return", 1.0)
            after = await p.js(music)
            check("the music starts with the first key", before is not True and after is True,
                  "playing before %s, after %s" % (before, after))
            play = await p.shot("play.png")
            d = difference(play, menu)
            check("Return starts a game", d > 0.15, "RMSE %.3f from the menu" % d)
            if BENCH:  # the figure on its start tile, which every tick restores: no death
                await p.key("f")
                print("in play: %.1f browser frames/s, %.1f board ticks/s" % await rates(p, 10))
                await p.shot("fps.png")
            for k in ("Right", "Right", "Up", "Up", "Right", "Down"):
                await p.key(k)
            await asyncio.sleep(0.5)
            moved = await p.shot("moved.png")
            state = await p.js("document.activeElement.id + ' ' + window.scrollX + ' ' + window.scrollY")
            check("the keys go to the canvas and never scroll the page", state == "canvas 0 0", state)
            thumbs = await p.js("!!document.querySelector('#dpad, #thumbkeys')")
            check("no touch controls on a desktop without touch", thumbs is False, "controls %s" % thumbs)

            ticks = "Module._zk_board_ticks()"
            await p.js("window.dispatchEvent(new Event('blur'))")
            await asyncio.sleep(0.5)
            paused = await p.js(ticks)
            await asyncio.sleep(1.0)
            still = await p.js(ticks)
            await p.js("window.dispatchEvent(new Event('focus'))")
            await asyncio.sleep(1.0)
            going = await p.js(ticks)
            check("leaving the window pauses the game", paused == still and going > still,
                  "Board ticks %s, %s paused, %s after" % (paused, still, going))
            await p.key("Escape", 0.8)
            d = difference(await p.shot("escape.png"), menu)
            check("Escape opens the menu", d < 0.15, "RMSE %.3f from the title menu" % d)

            # The tab is closed without quitting: the best score still counts.
            # A headless tab cannot be hidden: the page is told it goes, as a closing tab is, and
            # then goes.
            await p.js("window.dispatchEvent(new Event('pagehide'))")
            await asyncio.sleep(1.0)
            await p.call("Page.navigate", url="about:blank")
            await asyncio.sleep(1.5)
            await p.load(URL)
            best = await p.best_saved()
            check("the arrows scored, and closing the tab kept the best score", best is not None and int(best) > 0,
                  "best %s" % best)
            # Quit: the game saves what it read back, and the menu stays.
            await asyncio.sleep(0.5)
            await p.key("Return", 1.0)
            reloaded = await p.shot("reloaded.png")
            # The best shown is the score the first game reached, and no longer 0. Some digits
            # look much like a 0 ("6", "8"), so "not 0" means clearly further from 0 than from it.
            same = box_difference(reloaded, BEST_BOX, moved, SCORE_BOX)
            zero = box_difference(reloaded, BEST_BOX, play, BEST_BOX)
            check("a reload brings back the best score", same < 0.03 and zero > same + 0.02,
                  "best %.3f from the first game's score, %.3f from a best of 0" % (same, zero))
            await p.key("Escape", 0.6)
            await p.key("Up")
            await p.key("Return", 0.8)
            d = difference(await p.shot("quit.png"), menu)
            check("Quit shows the title menu again", d < 0.15, "RMSE %.3f" % d)
            await p.call("Runtime.evaluate", expression="document.getElementById('fullscreen').click()", userGesture=True)
            await asyncio.sleep(1.0)
            full = json.loads(await p.js("(function(){var r=document.getElementById('canvas').getBoundingClientRect();"
                                         "return JSON.stringify({on:!!document.fullscreenElement,w:r.width,h:r.height,"
                                         "sw:innerWidth,sh:innerHeight,focus:document.activeElement.id})})()"))
            check("the full-screen button fills the screen at 4:3", full["on"] and abs(full["w"] / full["h"] - 4 / 3) < 0.01
                  and (abs(full["w"] - full["sw"]) < 1 or abs(full["h"] - full["sh"]) < 1) and full["focus"] == "canvas",
                  str(full))
            await p.shot("fullscreen.png")
            await watch_best_game(p)
            await watch_kept_replays(p)
            errors = ["%s %s" % (k, t) for k, t in p.lines if k in ("exception", "error", "assert", "browser-error")
                      and not t.endswith("/healthz")]  # a static host has no leaderboard: 404, no offer
            check("a quiet console: no uncaught error, rejected promise or error line", not errors,
                  "; ".join(errors)[:300])
            if SERVER:  # the files the browser kept since the first load
                os.kill(SERVER, 15)
                await asyncio.sleep(1.0)
                await p.load(URL)
                offline = await p.shot("offline-menu.png")
                await p.key("Return", 1.0)
                d = difference(await p.shot("offline-play.png"), offline)
                check("with its server stopped the page starts and plays", d > 0.15, "RMSE %.3f" % d)
            reader.cancel()
    finally:
        stop(chrome)
    if SERVED:
        await submitted_game()
    print("%d passed, %d failed" % (results.count(True), results.count(False)))
    return 0 if results and all(results) else 1


async def watch_best_game(p):
    """The best game the page kept verifies on Linux to the best score, and ?replay= plays it
    in the page to its end, in step."""
    tape = await p.js("(function(){try{return Array.from(FS.readFile('/save/best.replay'))}catch(e){return []}})()")
    path = os.path.join(OUT, "best.replay")
    open(path, "wb").write(bytes(tape))
    best = await p.best_saved()
    r = subprocess.run([VERIFY, path], capture_output=True, text=True)
    check("the page's best game verifies on Linux to the best score", r.returncode == 0 and
          r.stdout.startswith("verified: score %s, " % best) and ", emscripten, " in r.stdout,
          "best %s: %s%s" % (best, r.stdout.strip(), r.stderr.strip()))
    if not SERVED:
        return
    shutil.copy(path, os.path.join(SERVED, "watched.replay"))
    await p.call("Page.navigate", url=URL + "?replay=watched.replay")
    heard = len(p.lines)
    text, titles = await replay_end(p)
    # The tab's titles are shown, not checked: in one run of three the title stayed "Zembrak".
    mixer = [t for _, t in p.lines[heard:] if "Mix_" in t or "channels in use" in t]
    check("?replay= plays the best game in the page to its end, its mixer quiet, the last line beside the picture",
          text.startswith("The replay is over") and not mixer and await beside_picture(p, "#replayover"),
          "%s (titles: %s) %s" % (text, ", ".join(sorted(map(str, titles))), "; ".join(mixer)[:200]))


async def beside_picture(p, selector):  # on the page, and no pixel shared with the picture
    return await p.js("(function(){var e=document.querySelector('%s'),c=document.getElementById('canvas');"
                      "if(!e)return false;var a=e.getBoundingClientRect(),b=c.getBoundingClientRect();"
                      "return a.height>0&&(a.top>=b.bottom||a.bottom<=b.top||a.left>=b.right||a.right<=b.left)})()"
                      % selector)


async def watch_kept_replays(p):
    """The replays kept from every build (Linux, Windows, the page) play in the page through
    ?replay= to their end in step, which is their kept score; the others end out of step."""
    if not SERVED:
        return
    kept = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "replays")
    for name in ("short_walk", "windows_game", "web_game"):
        score = open(os.path.join(kept, name + ".expected")).readline().split()[1]
        shutil.copy(os.path.join(kept, name + ".replay"), SERVED)
        await p.call("Page.navigate", url=URL + "?replay=%s.replay" % name)
        text, _ = await replay_end(p, 1800)
        check("?replay= plays the kept %s to its end, score %s" % (name, score),
              text.startswith("The replay is over"), text)


async def replay_end(p, polls=600):
    """What the page says once the replay it plays stops, and the tab's titles on the way."""
    text, titles = "", set()
    for _ in range(polls):
        titles.add(await p.js("document.title"))
        text = await p.js("(document.getElementById('replayover') || {}).textContent || "
                          "(document.getElementById('status').hidden ? '' : "
                          "document.getElementById('message').textContent)") or ""
        if "replay" in text or "stopped" in text:
            break
        await asyncio.sleep(0.1)
    return text, titles


async def submitted_game():
    """The web build served beside the leaderboard: a game played in the page goes on the board
    with the page's best score, and its Watch link there plays it to its end."""
    said, work = os.path.join(OUT, "scores.log"), tempfile.mkdtemp()
    server = subprocess.Popen([os.path.join(os.path.dirname(VERIFY), "zembrak-scores"), "--listen", "127.0.0.1:0",
                               "--database", os.path.join(work, "scores.sqlite"), "--verifier",
                               os.path.abspath(VERIFY), "--web", SERVED], stdout=open(said, "w"), stderr=subprocess.STDOUT)
    chrome, p = await opened(FAKE_PAD)
    try:
        await p.call("Emulation.setFocusEmulationEnabled", enabled=True)
        while not (origin := re.search(r"listening on (http://\S+/)", open(said).read())) and server.poll() is None:
            await asyncio.sleep(0.1)
        origin = origin.group(1)
        await p.load(origin + "index.html")
        await asyncio.sleep(1.0)
        await p.key("Return", 1.0)
        for k in ("Right", "Right", "Up", "Up", "Right", "Down", "Escape", "Down"):
            await p.key(k)
        await p.key("Return", 1.5)  # New Game: the game played ends and raises the best
        best = await p.js("Module._zk_best_score()")
        sizes = await p.js("Array.from(document.querySelectorAll('#leaderboard input, #leaderboard button'))"
                           ".map(function(e){return Math.round(e.getBoundingClientRect().height)})")
        check("the submit offer lies beside the picture with controls 44 px tall", await beside_picture(
              p, "#leaderboard") and sizes and min(sizes) >= 44, "heights %s" % sizes)
        await p.js("document.querySelector('#leaderboard input[name=name]').focus()")
        await p.call("Input.insertText", text="Web player")
        await p.js("document.querySelector('#leaderboard button[type=submit]').click()")
        for _ in range(100):
            answer = await p.js("document.querySelector('#leaderboard [role=status]').textContent") or ""
            if answer and answer != "Sending…":
                break
            await asyncio.sleep(0.1)
        # A pad reaches the offer: X takes the focus to its name field, where Start is the page's;
        # B gives the pad back to the game, whose Start opens the menu.
        async def pad(*buttons):
            for button, down in ((b, d) for b in buttons for d in ("true", "false")):
                await p.js("zkPad(%d, %s)" % (button, down))
                await asyncio.sleep(0.2)
        for _ in range(6):  # X round to the name field (the first X also shows the pad to the game)
            if await pad(2) or await p.js("document.activeElement.name === 'name'"): break
        reached = await pad(9) or await p.js("[document.activeElement.name, Module._zk_menu_item()]")
        back = await pad(1, 9) or await p.js("[document.activeElement.id, Module._zk_menu_item()]")
        await pad(9)
        check("a pad's X reaches the submit offer, where the game sees no Start, and B gives the pad back",
              reached == ["name", -1] and back == ["canvas", 0], "in the offer %s, after B %s" % (reached, back))
        await p.key("Escape", 0.8)
        await p.key("Down")
        await p.key("Return", 1.5)  # another new game: the offer goes
        check("the submit offer goes when a new game starts", await p.js("!document.getElementById('leaderboard')"))
        board = json.load(urllib.request.urlopen(origin + "api/scores"))["scores"]
        check("a game played in the page is submitted and goes on the board with the page's best score",
              answer.startswith("On the board") and [(e["name"], e["score"], e["platform"]) for e in board] ==
              [("Web player", best, "web")] and best > 0, "best %s; the page: %s; the board: %s" % (best, answer, board))
        await p.call("Page.navigate", url=origin)
        await asyncio.sleep(1.0)
        watch = await p.js("(function(){var a=document.querySelector('tr a[href*=\"replay=\"]');"
                           "if(a)a.click();return a&&a.closest('tr').innerText})()")
        text, _ = await replay_end(p)
        check("its Watch link on the board plays it in the page to its end", "Web player" in (watch or "") and
              text.startswith("The replay is over"), "%s: %s" % (watch, text))
    finally:
        server.terminate()
        server.wait(10)
        shutil.rmtree(work, True)
        stop(chrome)


def stop(chrome):
    chrome.terminate()
    try:
        chrome.wait(10)
    except subprocess.TimeoutExpired:
        chrome.kill()


async def connect(flags, profile="profile"):
    chrome = subprocess.Popen([f.replace("/profile", "/" + profile) for f in CHROME[:-1]] + flags + ["about:blank"],
                              stderr=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, text=True)
    port = None
    for line in chrome.stderr:
        m = re.search(r"DevTools listening on ws://127.0.0.1:(\d+)/", line)
        if m:
            port = m.group(1)
            break
    targets = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json/list" % port))
    return chrome, [t for t in targets if t["type"] == "page"][0]["webSocketDebuggerUrl"]


async def page_message(url, flags):
    """What the page says over the canvas a few seconds after loading."""
    chrome, ws_url = await connect(flags)
    try:
        async with websockets.connect(ws_url, max_size=None) as ws:
            p = Page(ws, "console-%s.log" % ("without-webgl" if flags else "broken"))
            reader = asyncio.create_task(p.reader())
            await p.call("Page.navigate", url=url)
            for _ in range(30):  # what it says once it stops loading
                await asyncio.sleep(0.5)
                text = await p.js("document.getElementById('status').hidden ? '' : "
                                  "document.getElementById('message').textContent")
                if text and not text.startswith("Loading"):  # said, and not while the status hides
                    break
            reader.cancel()
            return text or ""
    finally:
        stop(chrome)


async def firefox():
    """Firefox loads, plays, pauses and reloads the page without an error in its console. It
    runs in a window of its own display (headless, it finds no GL for WebGL), over WebDriver BiDi."""
    profile, said = os.path.join(OUT, "firefox"), os.path.join(OUT, "firefox.err")
    os.makedirs(profile, exist_ok=True)
    open(os.path.join(profile, "user.js"), "w").write('user_pref("webgl.force-enabled", true);\n')  # no GPU here
    screen = subprocess.Popen(["Xvfb", "-displayfd", "1", "-nolisten", "tcp"], stdout=subprocess.PIPE, text=True)
    fox = subprocess.Popen(["firefox-esr", "--no-remote", "--profile", profile, "--remote-debugging-port=0"],
                           stderr=open(said, "w"), env=dict(os.environ, DISPLAY=":" + screen.stdout.readline().strip()))
    try:
        while not re.search(r"BiDi listening on (ws://\S+)", open(said).read()):
            await asyncio.sleep(0.1)
        async with websockets.connect(re.search(r"BiDi listening on (ws://\S+)", open(said).read()).group(1) + "/session",
                                      max_size=None) as ws:
            p, music = Page(ws, "console-firefox.log"), []
            async def call(method, **params):  # the console's lines on the way are noted
                p.next_id += 1
                await ws.send(json.dumps({"id": p.next_id, "method": method, "params": params}))
                while (m := json.loads(await ws.recv())).get("id") != p.next_id:
                    p.note(m["params"]["level"], m["params"]["text"])
                return m.get("result", m)
            await call("session.new", capabilities={})
            await call("session.subscribe", events=["log.entryAdded"])
            context = (await call("browsingContext.getTree"))["contexts"][0]["context"]
            js = lambda expr: call("script.evaluate", expression=expr, target={"context": context}, awaitPromise=True)
            for step, where in (("navigate", {"url": URL}), ("reload", {})):
                await call("browsingContext." + step, context=context, wait="complete", **where)
                while not (await js("!!(Module.calledRun && document.getElementById('status').hidden)"))["result"]["value"]:
                    await asyncio.sleep(0.1)
                await call("input.performActions", context=context, actions=[{"type": "key", "id": "keys", "actions": [
                    {"type": t, "value": k} for k in "\ue007\ue014\ue014\ue013" for t in ("keyDown", "keyUp")]}])
                await asyncio.sleep(1.0)  # Return, Right, Right and Up played; then a pause
                music.append((await js("!!(SDL.music && SDL.music.audio && !SDL.music.audio.paused)"))["result"]["value"])
                await js("window.dispatchEvent(new Event('blur')); window.dispatchEvent(new Event('focus'))")
            errors = [t for k, t in p.lines if k == "error"]
            check("Firefox: the game starts, its music with the first key, and the console stays quiet",
                  all(music) and not errors, "music playing %s; %s" % (music, "; ".join(errors)[:300]))
    finally:
        stop(fox)
        stop(screen)


async def without_webgl():
    text = await page_message(URL, ["--disable-3d-apis"])
    check("a clear message when WebGL is missing", "needs WebGL" in text, text)
    if BROKEN_URL:
        text = await page_message(BROKEN_URL, [])
        check("a broken data file stops the game with the reason on the page",
              "The game stopped" in text and "world.txt" in text, text)


async def opened(before_load=None, profile="profile", **metrics):
    chrome, ws_url = await connect([], profile)
    p = Page(await websockets.connect(ws_url, max_size=None))
    p.task = asyncio.create_task(p.reader())
    for method in ("Runtime.enable", "Page.enable"):
        await p.call(method)
    await p.call("Emulation.setDeviceMetricsOverride", **(metrics or dict(width=800, height=640, deviceScaleFactor=1,
                                                                          mobile=False)))
    if before_load:
        await p.call("Page.addScriptToEvaluateOnNewDocument", source=before_load)
    return chrome, p


# A standard-layout pad that, as in browsers, shows itself with its first button press.
FAKE_PAD = """var zkGamepad = {id: 'Test pad', index: 0, connected: true, mapping: 'standard', timestamp: 1,
  axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, function () { return {pressed: false, value: 0}; })};
navigator.getGamepads = function () { return [zkGamepad.shown ? zkGamepad : null, null, null, null]; };
function zkPad(button, down, x) {
  if (button >= 0) zkGamepad.buttons[button] = {pressed: down, value: down ? 1 : 0}; else zkGamepad.axes[0] = x;
  zkGamepad.timestamp++;
  if (!zkGamepad.shown) { zkGamepad.shown = true; window.dispatchEvent(new Event('gamepadconnected')); }
}"""


async def with_gamepad():
    chrome, p = await opened(FAKE_PAD)
    try:
        await p.load(URL)

        async def press(button):
            for down in ("true", "false"):
                await p.js("zkPad(%d, %s)" % (button, down))
                await asyncio.sleep(0.15)
            await asyncio.sleep(0.8)

        await press(0)  # shows the pad to the page
        note = await p.js("document.getElementById('padnote').textContent")
        check("the page says when a gamepad connects", note == "Gamepad connected", repr(note))

        async def shown(*buttons):  # what the menu shows after each press, and the spare lives
            return [await press(b) or await p.js("[Module._zk_menu_item(), Module._zk_lives()]") for b in buttons]

        title = await shown(9, 9, 9, 15, 14)  # Start thrice, then the D-pad's Right and Left
        await press(0)
        play = await p.shot("pad-play.png")

        for button in (15, 15, 12):  # D-pad right, right, up
            await press(button)
        for x in (0.9, 0.2):  # the left stick right, then back inside its dead zone
            await p.js("zkPad(-1, false, %s)" % x)
            await asyncio.sleep(0.3)
        steps = box_difference(play, SCORE_BOX, await p.shot("pad-stepped.png"), SCORE_BOX)
        await press(9)  # Start
        d = difference(await p.shot("pad-start.png"), MENU_PNG)
        check("a gamepad's A starts a game, its D-pad and stick step and score, Start opens the menu",
              difference(play, MENU_PNG) > 0.15 and steps > 0.02 and d < 0.15, "menu RMSE %.3f" % d)
        await press(9)
        lives = await p.js("Module._zk_lives()")
        played = await shown(9, 9, 9)
        check("Start, Start, Start (then Right, Left): nothing in the title menu; in play menu, play, menu",
              title == [[1, 0]] * 5 and played == [[0, lives], [-1, lives], [0, lives]],
              "title menu %s; in play %s" % (title, played))
    finally:
        p.task.cancel()
        stop(chrome)


WATCH = """window.zkSeen = [%s]; clearInterval(window.zkWatch);
window.zkWatch = setInterval(function () { var v = %s; if (zkSeen[zkSeen.length - 1] !== v) zkSeen.push(v); }, 5);"""


async def steps_of(p, figure, press, cycle=0):
    """Steps a press made: `figure`'s moves forward in a cycle of `cycle`, or (a score) its rises,
    one a step whatever it earned, from every change the page sees between frames."""
    await p.js(WATCH % (figure, figure))
    await press()
    await asyncio.sleep(1.0)
    seen = await p.js("clearInterval(zkWatch), zkSeen")
    moves = [(b - a) % cycle if cycle else 1 for a, b in zip(seen, seen[1:])]
    return sum(moves)


async def with_thumbs():
    portrait = dict(width=390, height=844, deviceScaleFactor=1, mobile=True,
                    screenOrientation=dict(type="portraitPrimary", angle=0))
    landscape = dict(portrait, width=844, height=390, screenOrientation=dict(type="landscapePrimary", angle=90))
    chrome, p = await opened(profile="profile-thumbs", **portrait)  # its saves stay its own
    try:
        await p.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
        await p.load(URL)

        async def places():  # x, y, width, height and tag of the picture, the two groups and each control
            return json.loads(await p.js(
                "(function () { var r = {}; document.querySelectorAll('#canvas, #dpad, #thumbkeys, button[aria-label]')"
                ".forEach(function (e) { var b = e.getBoundingClientRect(); r[e.getAttribute('aria-label') || e.id] ="
                " [b.x, b.y, b.width, b.height, e.tagName]; }); return JSON.stringify(r); })()"))

        async def touch(*points):
            for kind, (x, y) in zip(["touchStart"] + ["touchMove"] * 2, points):
                await p.call("Input.dispatchTouchEvent", type=kind, touchPoints=[dict(x=x, y=y)])
                await asyncio.sleep(0.05)
            await p.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
            await asyncio.sleep(0.6)

        async def tap(label, ms=50):  # timed as a phone times its touches, however slow the page answers
            x, y, w, h, _ = (await places())[label]
            start = asyncio.ensure_future(p.call("Input.dispatchTouchEvent", type="touchStart",
                                                 touchPoints=[dict(x=x + w / 2, y=y + h / 2)]))
            await asyncio.sleep(ms / 1000)
            await p.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
            await start

        async def to_new_game():  # from wherever the game is, through the menu
            for _ in range(15):
                end, item = await p.js("[Module._zk_end_result(), Module._zk_menu_item()]")
                await tap("Go on" if end >= 0 else "Menu" if item < 0 else "Down" if item != 1 else "OK")
                await asyncio.sleep(0.6)
                if item == 1 and end < 0:
                    return

        async def tile_of(ms, way):  # never back, so each tile scores; an item may add a rise
            lives = await p.js("Module._zk_lives()")
            tiles = await steps_of(p, "Module._zk_score()", lambda: tap(way, ms))
            if tiles == 0:  # a tap while the character falls (a second) moves nothing: its life goes after
                await asyncio.sleep(1.2)
                return "fell" if await p.js("Module._zk_lives()") != lives else 0
            return tiles

        # The tap table: menu places and play tiles per press, the CPU held back and not.
        lengths, table, fair = (50, 120, 250), [], True
        await tap("OK") or await asyncio.sleep(1.0)  # a game: its frame rate sets the throttling
        for rate in (1, 2, 3, 4, 6, 8):  # the least throttling that holds play to some 20 frames a second
            await p.call("Emulation.setCPUThrottlingRate", rate=rate)
            if (await rates(p, 1.5))[0] <= 24:
                break
        for rate in (rate, 1):
            await tap("Menu")  # the menu of a run: six items
            await asyncio.sleep(0.6)
            await p.call("Emulation.setCPUThrottlingRate", rate=rate)
            row = [await steps_of(p, "Module._zk_menu_item()", lambda: tap("Down", ms), 6) for ms in lengths]
            held = await steps_of(p, "Module._zk_menu_item()", lambda: tap("Down", 600), 6)
            await to_new_game()
            fps = (await rates(p, 1.5))[0]
            tiles = [await tile_of(ms, way) for ms, way in zip(lengths, ("Right", "Down", "Right"))]
            table.append("CPU /%g, %.0f frames/s in play: menu %s, hold 600 ms %d; play %s" % (rate, fps, row, held, tiles))
            fair = fair and row == [1, 1, 1] and held >= 2 and all(t == "fell" or t >= 1 for t in tiles)
        await p.call("Emulation.setCPUThrottlingRate", rate=1)
        check("taps of %s ms step once in the menu and in play, held back and not; a 600 ms hold repeats" %
              (lengths,), fair, "; ".join(table))
        await to_new_game()
        for name, metrics in (("portrait", portrait), ("landscape", landscape)):
            await p.call("Emulation.setDeviceMetricsOverride", **metrics)
            await asyncio.sleep(0.8)
            r = await p.call("Page.captureScreenshot", format="png")
            open(os.path.join(OUT, name + ".png"), "wb").write(base64.b64decode(r["data"]))
            at = await places()
            (x, y, w, h, _), pad, keys = at["canvas"], at["dpad"], at["thumbkeys"]
            placed = (min(pad[1], keys[1]) >= y + h - 1 if name == "portrait" else
                      pad[0] + pad[2] <= x + 1 and keys[0] >= x + w - 1)
            buttons = all(at.get(a, "?")[-1] == "BUTTON" for a in ("Up", "Down", "Left", "Right", "OK", "Menu", "Go on"))
            before = await p.shot("touch-%s-before.png" % name)
            for way in ("Right", "Up"):
                await tap(way)
                await asyncio.sleep(0.6)
            await touch((x + w / 2, y + h / 2), (x + w / 2 - 60, y + h / 2), (x + w / 2 - 120, y + h / 2))  # left
            await touch((x + w / 2, y + h / 2), (x + w / 2, y + h / 2 - 60), (x + w / 2, y + h / 2 - 120))  # up
            steps = box_difference(before, SCORE_BOX, await p.shot("touch-%s.png" % name), SCORE_BOX)
            page = await p.js("[scrollX, scrollY, document.documentElement.scrollWidth - innerWidth,"
                              " document.documentElement.scrollHeight - innerHeight]")
            text = await p.js("['figures', 'result'].map(function (id) { var e = document.getElementById(id);"
                              " return [parseFloat(getComputedStyle(e).fontSize), e.textContent]; })")
            check("%s: buttons named Up, Down, Left, Right, OK, Menu, Go on %s the picture step and score with swipes;"
                  " nothing scrolls; score, best, lives and Sector level read beside it at 14 CSS px or more"
                  % (name, "below" if name == "portrait" else "beside"), buttons and placed and w > 250 and steps > 0.02
                  and page == [0, 0, 0, 0] and min(t[0] for t in text) >= 14 and "Sector level" in text[0][1] and
                  await beside_picture(p, "#figures"), "picture %dx%d at %d,%d (its digits %.1f px), scroll and "
                  "overflow %s; text %s" % (w, h, x, y, h * 26 / 600, page, text))
        # Menu, then New Game: the best rises. A static host answers no /healthz: no submit
        # offer, but the page plays the best game it kept.
        await to_new_game()
        await asyncio.sleep(1.0)
        offered = await p.js("[!!document.getElementById('leaderboard'), "
                             "(document.getElementById('watchbest') || {offsetHeight: 0}).offsetHeight]")
        await p.js("document.getElementById('watchbest').click()")
        heard = len(p.lines)
        text, _ = await replay_end(p)
        mixer = [t for _, t in p.lines[heard:] if "Mix_" in t or "channels in use" in t]
        check("a static host: no submit offer; Watch your best game (%s px tall) plays it to its end, the mixer quiet"
              % offered[1], offered[0] is False and offered[1] >= 44 and text.startswith("The replay is over")
              and not mixer, "%s %s" % (text, "; ".join(mixer)[:200]))
    finally:
        p.task.cancel()
        stop(chrome)


sys.exit(asyncio.run(main()))
