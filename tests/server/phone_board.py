#!/usr/bin/python3
"""The board on a 390 px wide phone, in headless Chromium: each page (the board, all versions,
an entry, a missing entry) fits without scrolling sideways, and everything a thumb presses is
at least 44 px each way. Names of the widest letters, every platform, two versions.
  phone_board.py SERVER WORK"""
import asyncio, json, os, re, shutil, subprocess, sys, urllib.parse, urllib.request
import websockets

SERVER, WORK = sys.argv[1:3]
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(os.path.join(WORK, "web"))
open(os.path.join(WORK, "web", "index.html"), "w").write("<!DOCTYPE html><title>the game</title>\n")
verifier = os.path.join(WORK, "verify")
open(verifier, "w").write('#!/bin/sh\nread -r score library version <"$1"\n'
                          'echo "verified: score $score, 3677 frames, $library, version $version, 60.0 frames/s, 5.0 presses/s, '
                          'game $(sha256sum <"$1" | cut -c1-64)"\n')
os.chmod(verifier, 0o755)

# Every button and field on the page that is shown, and how wide the page is against the screen.
MEASURE = """(() => {
  const small = [...document.querySelectorAll('a, button, input, select, summary')]
    .filter(e => e.getClientRects().length).map(e => [e.outerHTML.slice(0, 70), e.getBoundingClientRect()])
    .filter(([, r]) => r.width < 44 || r.height < 44).map(([h, r]) => `${h} is ${r.width}x${r.height}`);
  return {wide: document.documentElement.scrollWidth, screen: innerWidth, small, buttons: document.querySelectorAll('a.button').length};
})()"""


async def measure(urls):
    chrome = subprocess.Popen(["chromium", "--headless=new", "--no-sandbox", "--remote-debugging-port=0",
                               "--user-data-dir=" + os.path.join(WORK, "profile"), "--no-first-run", "about:blank"],
                              stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
    try:
        port = next(m.group(1) for line in chrome.stderr if (m := re.search(r"ws://127.0.0.1:(\d+)/", line)))
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
        async with websockets.connect(next(t for t in targets if t["type"] == "page")["webSocketDebuggerUrl"]) as ws:
            calls = iter(range(1, 1 << 30))
            async def call(method, **params):
                sent = next(calls)
                await ws.send(json.dumps({"id": sent, "method": method, "params": params}))
                while (reply := json.loads(await asyncio.wait_for(ws.recv(), 30))).get("id") != sent:
                    pass
                return reply["result"]
            js = lambda expression: call("Runtime.evaluate", expression=expression, returnByValue=True)
            await call("Emulation.setDeviceMetricsOverride", width=390, height=844, deviceScaleFactor=3, mobile=True)
            found = []
            for url in urls:
                await call("Page.navigate", url=url)
                while (await js("location.href + document.readyState"))["result"]["value"] != url + "complete":
                    await asyncio.sleep(0.05)
                found.append((await js(MEASURE))["result"]["value"])
            return found
    finally:
        chrome.kill()
        chrome.wait()


server = subprocess.Popen([SERVER, "--listen", "127.0.0.1:0", "--database", os.path.join(WORK, "scores.sqlite"),
                           "--verifier", verifier, "--web", os.path.join(WORK, "web")], stdout=subprocess.PIPE, text=True)
failures = []
try:
    origin = re.search(r"listening on (http://\S+/)", server.stdout.readline()).group(1)
    # name, score, C library, version
    for name, score, library, version in [("Ｗ" * 24, 987654321, "glibc", "1.1.0"), ("W" * 24, 3000, "msvcrt", "1.1.0"),
                                          ("Mmmmmmmmmmmmmmmmmmmmmmmm", 1200, "emscripten", "1.1.0"),
                                          ("Old", 900, "glibc", "1.0.0")]:
        request = urllib.request.Request(origin + "api/scores?name=" + urllib.parse.quote(name),
                                         f"{score} {library} {version}\n".encode(),
                                         {"Content-Type": "application/octet-stream"})
        urllib.request.urlopen(request).read()
    # what, path, Watch and Download buttons (the older version's replay downloads only)
    pages = [("the board", "", 6), ("every version", "?version=all", 7), ("an entry", "scores/1", 2), ("a name of 24 Ws", "scores/2", 2), ("an older entry", "scores/4", 1),
             ("a missing entry", "scores/99", 0)]
    for (what, path, buttons), seen in zip(pages, asyncio.run(measure([origin + path for _, path, _ in pages]))):
        ok = seen["wide"] <= seen["screen"] == 390 and not seen["small"] and seen["buttons"] == buttons
        print(("ok: " if ok else "FAIL: ") + f"{what} at 390 px: {seen}", flush=True)
        if not ok:
            failures.append(what)
finally:
    server.terminate()
    server.wait(10)
print("PASS" if not failures else f"FAILED: {len(failures)}")
sys.exit(1 if failures else 0)
