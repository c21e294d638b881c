// The page's thumb controls on a touch screen and its word on a gamepad. The game reads pads
// itself; touches go to it as the controls they press (its TouchControl numbers).
(function () {
  // The game's TouchControl names in its order (src/input/pad_input.h), put in by tools/web/build-release.
  var controls = '@TOUCH_CONTROLS@'.split(' ');
  var UP = controls.indexOf('TOUCH_UP'), DOWN = controls.indexOf('TOUCH_DOWN'), LEFT = controls.indexOf('TOUCH_LEFT'),
      RIGHT = controls.indexOf('TOUCH_RIGHT'), OK = controls.indexOf('TOUCH_OK'), MENU = controls.indexOf('TOUCH_MENU'),
      GO_ON = controls.indexOf('TOUCH_GO_ON');

  // With the touch's age: the game times a held button's repeats from the touch itself, not
  // from when a slow page got round to telling it.
  function send(control, down, e) {
    var age = e && e.timeStamp ? Math.max(0, Math.round(performance.now() - e.timeStamp)) : 0;
    if (typeof Module === 'object' && Module.calledRun && Module._zk_touch) Module._zk_touch(control, down ? 1 : 0, age);
  }

  // A gamepad shows itself to a page with its first button press.
  var note = document.createElement('div');
  note.id = 'padnote';
  note.setAttribute('role', 'status');
  document.body.appendChild(note);
  window.addEventListener('gamepadconnected', function () {
    note.textContent = 'Gamepad connected';
    note.className = 'shown';
    setTimeout(function () { note.className = ''; }, 4000);
  });

  // A pad reaches what lies beside the picture (the submit offer, Watch your best game): X, which
  // the game leaves alone, moves the page's focus through those controls, A presses the one in
  // focus and B goes back to the game. Meanwhile the game sees the pad at rest.
  var padsOfBrowser = navigator.getGamepads && navigator.getGamepads.bind(navigator);
  if (padsOfBrowser) {
    var beside = document.getElementById('beside'), was = [], resting = false;
    var inBeside = function () { return beside.contains(document.activeElement); };
    var atRest = function (pad) {
      return pad && { id: pad.id, index: pad.index, connected: pad.connected, mapping: pad.mapping, timestamp: pad.timestamp,
                      axes: pad.axes.map(function () { return 0; }),
                      buttons: pad.buttons.map(function () { return { pressed: false, value: 0 }; }) };
    };
    navigator.getGamepads = function () {
      var pads = padsOfBrowser();
      return inBeside() || resting ? Array.prototype.map.call(pads, atRest) : pads;
    };
    (function look() {
      var pad = padsOfBrowser()[0];
      if (pad) {
        var pressed = function (b) { return pad.buttons[b] && pad.buttons[b].pressed && !was[b]; };
        var controls = Array.prototype.slice.call(beside.querySelectorAll('input, button, a'));
        if (pressed(2) && controls.length) controls[(controls.indexOf(document.activeElement) + 1) % controls.length].focus();
        else if (pressed(0) && inBeside()) document.activeElement.click();
        else if (pressed(1) && inBeside()) { document.getElementById('canvas').focus(); resting = true; }
        if (!pad.buttons.some(function (b) { return b.pressed; })) resting = false;  // B let go: the game's again
        was = pad.buttons.map(function (b) { return b.pressed; });
      }
      requestAnimationFrame(look);
    })();
  }

  var touch = navigator.maxTouchPoints > 0 || window.matchMedia('(any-pointer: coarse)').matches;
  if (!touch) return;
  document.documentElement.classList.add('touch');

  function group(id, controls) {
    var box = document.createElement('div');
    box.id = id;
    controls.forEach(function (c) {
      var b = document.createElement('button');
      b.type = 'button';
      b.textContent = c[0];
      b.setAttribute('aria-label', c[1]);
      if (c[2] === 'full') {
        b.addEventListener('click', fullScreen);
      } else {
        var control = c[2], held = false;
        var press = function (e) {
          e.preventDefault();
          if (window.zkResumeSound) zkResumeSound();
          if (!held) send(control, held = true, e);
          b.classList.add('down');
        };
        var release = function (e) {
          e.preventDefault();
          if (held) send(control, held = false, e);
          b.classList.remove('down');
        };
        b.addEventListener('pointerdown', press);
        ['pointerup', 'pointercancel', 'pointerleave'].forEach(function (t) { b.addEventListener(t, release); });
      }
      box.appendChild(b);
    });
    document.body.appendChild(box);
  }

  // The whole page, controls and all; one tap.
  function fullScreen() {
    var page = document.documentElement;
    if (document.fullscreenElement) return;
    (page.requestFullscreen || page.webkitRequestFullscreen).call(page);
  }

  group('dpad', [['▲', 'Up', UP], ['◀', 'Left', LEFT], ['▶', 'Right', RIGHT], ['▼', 'Down', DOWN]]);
  group('thumbkeys', [['OK', 'OK', OK], ['Menu', 'Menu', MENU], ['Go on', 'Go on', GO_ON], ['Full screen', 'Full screen', 'full']]);

  // A swipe over the picture steps once its way.
  var canvas = document.getElementById('canvas'), start = null;
  canvas.addEventListener('touchstart', function (e) {
    e.preventDefault();
    if (window.zkResumeSound) zkResumeSound();
    start = e.touches.length === 1 ? { x: e.touches[0].clientX, y: e.touches[0].clientY } : null;
  }, { passive: false });
  canvas.addEventListener('touchmove', function (e) { e.preventDefault(); }, { passive: false });
  canvas.addEventListener('touchend', function (e) {
    e.preventDefault();
    if (!start || !e.changedTouches.length) return;
    var dx = e.changedTouches[0].clientX - start.x, dy = e.changedTouches[0].clientY - start.y;
    start = null;
    if (Math.max(Math.abs(dx), Math.abs(dy)) < 24) return;  // a tap, not a swipe
    var way = Math.abs(dx) > Math.abs(dy) ? (dx > 0 ? RIGHT : LEFT) : (dy > 0 ? DOWN : UP);
    send(way, true, e);
    send(way, false, e);
  }, { passive: false });
  // No menu, selection or zoom from a long press or a double tap anywhere on the page.
  document.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  document.addEventListener('dblclick', function (e) { e.preventDefault(); });
})();
