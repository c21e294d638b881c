// The page's thumb controls on a touch screen and its word on a gamepad. The game reads pads
// itself; touches go to it as the controls they press (its TouchControl numbers).
(function () {
  var UP = 0, DOWN = 1, LEFT = 2, RIGHT = 3, OK = 4, MENU = 5, GO_ON = 6;

  function send(control, down) {
    if (typeof Module === 'object' && Module.calledRun && Module._zk_touch) Module._zk_touch(control, down ? 1 : 0);
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
          if (!held) send(control, held = true);
          b.classList.add('down');
        };
        var release = function (e) {
          e.preventDefault();
          if (held) send(control, held = false);
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
    send(way, true);
    send(way, false);
  }, { passive: false });
  // No menu, selection or zoom from a long press or a double tap anywhere on the page.
  document.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  document.addEventListener('dblclick', function (e) { e.preventDefault(); });
})();
