// Runs before the game, after pre.js. index.html?replay=URL plays the replay at URL as
// --replay does on the desktop, and index.html?best the best game the page kept. After a game
// that raised the best score, the page offers to submit best.replay to the leaderboard: the
// server named by the page's <meta name="zembrak-leaderboard" content="https://..."> (empty:
// the page's own), once it answers /healthz. Offers and notes go beside the picture, never over it.
(function () {
  var params = new URLSearchParams(location.search);
  var watchBest = params.has('best');
  var replayUrl = params.get('replay');

  function note(text) {
    document.getElementById('message').textContent = text;
    document.getElementById('progress').hidden = true;
    document.getElementById('status').hidden = false;
  }

  function element(tag, attributes, text) {
    var made = document.createElement(tag);
    for (var name in attributes) made.setAttribute(name, attributes[name]);
    if (text) made.textContent = text;
    return made;
  }

  // A link back to the game itself, without the replay.
  function playLink() {
    var url = new URL(location.href);
    url.searchParams.delete('replay');
    url.searchParams.delete('best');
    return element('a', { href: url.href, style: 'color: #fff' }, 'Play the game');
  }

  function beside(made) {
    document.getElementById('beside').appendChild(made);
    return made;
  }

  // The best game the page handed over on "Watch your best game"; else, after a reload, the one
  // in the saves folder, which pre.js loads before the game starts.
  var handed = watchBest && sessionStorage.getItem('zembrak-best');
  if (replayUrl || watchBest) {
    Module['arguments'] = ['--replay', watchBest && !handed ? '/save/best.replay' : '/watched.replay'];
    Module['preRun'] = Module['preRun'] || [];
    if (handed) Module['preRun'].push(function () {
      FS.writeFile('/watched.replay', Uint8Array.from(atob(handed), function (c) { return c.charCodeAt(0); }));
    });
    if (replayUrl && !watchBest) Module['preRun'].push(function () {
      addRunDependency('replay');
      fetch(replayUrl).then(function (response) {
        if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
        return response.arrayBuffer();
      }).then(function (bytes) {
        FS.writeFile('/watched.replay', new Uint8Array(bytes));
        removeRunDependency('replay');
      }).catch(function (error) {
        note('The replay could not be fetched: ' + error.message + '. ');
        document.getElementById('message').appendChild(playLink());
      });
    });
    // The replay ends the game at its end, or on Escape: the page says so beside the picture
    // it leaves, instead of freezing.
    var quit = Module['quit'];
    Module['quit'] = function (code, toThrow) {
      if (code === 0) beside(element('p', { id: 'replayover', role: 'status' }, 'The replay is over. ')).appendChild(playLink());
      return quit ? quit(code, toThrow) : (function () { throw toThrow; })();
    };
    // The end is thrown to unwind the game's loop; it is no error for the console.
    window.addEventListener('unhandledrejection', function (e) {
      if (e.reason && e.reason.name === 'ExitStatus' && e.reason.status === 0) e.preventDefault();
    });
    return;
  }

  function server() {
    var meta = document.querySelector('meta[name="zembrak-leaderboard"]');
    return ((meta && meta.content) || '').replace(/\/+$/, '');
  }

  // The form takes its own keys and clicks: the game and the page's focus keeping never see them.
  function keepToItself(form) {
    ['keydown', 'keyup', 'keypress', 'mousedown'].forEach(function (kind) {
      form.addEventListener(kind, function (event) { event.stopPropagation(); });
    });
  }

  // A leaderboard on a static host is none: the offer waits for one that answers.
  function leaderboardAnswers() {
    return fetch(server() + '/healthz', { cache: 'no-store' }).then(function (r) { return r.ok; },
                                                                   function () { return false; });
  }

  var form = null;
  function offer(best) {
    if (form) form.remove();
    form = element('form', { id: 'leaderboard' });
    form.games = Module['_zk_games_started']();
    var name = element('input', { type: 'text', name: 'name', maxlength: '24', required: '',
      placeholder: 'Your name', 'aria-label': 'Your name',
      title: '1 to 24 characters, at least one you can see; at most two accents on a letter' });
    var answer = element('span', { role: 'status', style: 'margin-left: 1em' });
    form.append('New best score ' + best + '. ', name, element('button', { type: 'submit' }, 'Submit to the leaderboard'),
                element('button', { type: 'button', name: 'close' }, 'Close'), answer);
    keepToItself(form);
    form.elements.close.addEventListener('click', function () { form.remove(); document.getElementById('canvas').focus(); });
    form.addEventListener('submit', function (event) {
      event.preventDefault();
      // Writes hiscore.txt and best.replay now, as a hidden page would.
      Module['_zk_page_left']();
      var tape;
      try { tape = FS.readFile('/save/best.replay'); } catch (e) { answer.textContent = 'No best game to submit.'; return; }
      answer.textContent = 'Sending…';
      zkSendReplay(server(), name.value, tape).then(function (sent) { answer.textContent = sent.text; });
    });
    beside(form);
  }

  function kept() {
    try { FS.stat('/save/best.replay'); return true; } catch (e) { return false; }
  }

  // Once a best game is kept (on file, or played since the page opened), the page can play it:
  // saved first, and handed to the page it opens.
  var watch = null;
  function offerWatching(played) {
    if (watch || !(played || kept())) return;
    var url = new URL(location.href);
    url.searchParams.set('best', '');
    watch = beside(element('a', { id: 'watchbest', href: url.href.replace(/best=$/, 'best') }, 'Watch your best game'));
    watch.addEventListener('click', function (event) {
      event.preventDefault();
      Module['_zk_page_left']();
      if (!kept()) { watch.textContent = 'No best game kept yet'; return; }
      var tape = FS.readFile('/save/best.replay'), text = '';
      for (var i = 0; i < tape.length; i += 8192) text += String.fromCharCode.apply(null, tape.subarray(i, i + 8192));
      sessionStorage.setItem('zembrak-best', btoa(text));
      location.href = watch.href;
    });
  }

  // The best score rises when a game ends better than every earlier one; the next new game
  // takes the offer away.
  var known = null;
  setInterval(function () {
    if (!Module['calledRun'] || !Module['_zk_best_score']) return;
    var best = Module['_zk_best_score']() >>> 0;
    if (form && Module['_zk_games_started']() > form.games) { form.remove(); form = null; }
    if (known !== null && best > known) leaderboardAnswers().then(function (yes) { if (yes) offer(best); });
    offerWatching(known !== null && best > known);
    known = best;
  }, 500);
})();
