// Runs before the game, after pre.js. index.html?replay=URL plays the replay at URL as
// --replay does on the desktop. After a game that raised the best score, the page offers to
// submit best.replay to the leaderboard: the server named by the page's
// <meta name="zembrak-leaderboard" content="https://..."> (empty: the page's own).
(function () {
  var replayUrl = new URLSearchParams(location.search).get('replay');

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
    return element('a', { href: url.href, style: 'color: #fff' }, 'Play the game');
  }

  if (replayUrl) {
    Module['arguments'] = ['--replay', '/watched.replay'];
    Module['preRun'] = Module['preRun'] || [];
    Module['preRun'].push(function () {
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
    // The replay ends the game at its end, or on Escape: the page says so instead of freezing.
    var quit = Module['quit'];
    Module['quit'] = function (code, toThrow) {
      if (code === 0) {
        note('The replay is over. ');
        document.getElementById('message').appendChild(playLink());
      }
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

  var form = null;
  function offer(best) {
    if (form) form.remove();
    form = element('form', { id: 'leaderboard',
      style: 'position: absolute; top: 0; left: 0; right: 0; padding: 0.5em; background: rgba(0,0,0,0.8); text-align: center' });
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
    document.getElementById('stage').appendChild(form);
  }

  // The best score rises when a game ends better than every earlier one.
  var known = null;
  setInterval(function () {
    if (!Module['calledRun'] || !Module['_zk_best_score']) return;
    var best = Module['_zk_best_score']() >>> 0;
    if (known !== null && best > known) offer(best);
    known = best;
  }, 500);
})();
