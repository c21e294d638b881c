// The game's figures as page text beside the picture: readable on a phone, where the drawn
// digits are a few pixels tall, and spoken by screen readers. The picture keeps 4:3 in the room
// this strip and the offers beside it leave.
(function () {
  var RESULTS = ['This character reached the goal!', 'This character did not reach the goal.',
                 'No character reached the goal.', '1 character reached the goal.',
                 '2 characters reached the goal.', 'All 3 characters reached the goal!'];
  var ITEMS = ['Resume', 'New game', 'Controls', 'How to play', 'Items and score', 'Quit'];
  var figures = document.getElementById('figures'), result = document.getElementById('result');
  var beside = document.getElementById('beside');

  function put(element, text) {
    if (element.textContent !== text) element.textContent = text;
  }

  setInterval(function () {
    if (typeof Module !== 'object' || !Module.calledRun || !Module._zk_score) return;
    put(figures, 'Score ' + (Module._zk_score() >>> 0) + ' · Best ' + (Module._zk_best_score() >>> 0) +
        ' · Lives ' + Module._zk_lives() + ' · Sector level ' + Module._zk_sector_level());
    var shown = Module._zk_end_result(), item = Module._zk_menu_item();
    put(result, shown >= 0 ? RESULTS[shown] + ' Space, Start or Go on: ' + (shown < 2 ? 'the next character.' : 'the menu.')
                : item >= 0 ? 'Menu: ' + ITEMS[item] : '');
  }, 200);

  function makeRoom() {
    document.documentElement.style.setProperty('--beside', Math.ceil(beside.getBoundingClientRect().height) + 'px');
  }
  if (window.ResizeObserver) new ResizeObserver(makeRoom).observe(beside);
  makeRoom();
})();
