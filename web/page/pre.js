// Runs before the game: the saves folder in IndexedDB, loaded before main() reads it; the
// copy back after each save; the save when the page is hidden or closed; music after the
// first key (browsers start no sound before the player acts).
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  FS.mkdir('/save');
  FS.mount(IDBFS, {}, '/save');
  addRunDependency('saves');
  FS.syncfs(true, function (err) {
    if (err) console.warn('Could not read the saved files: ' + err);
    removeRunDependency('saves');
  });
});

// One copy to IndexedDB at a time; a save made meanwhile is copied once the running one ends.
var zkSyncRunning = false, zkSyncAgain = false;
function zkSyncSaves() {
  if (zkSyncRunning) { zkSyncAgain = true; return; }
  zkSyncRunning = true;
  FS.syncfs(false, function (err) {
    zkSyncRunning = false;
    if (err) console.warn('Could not keep the saved files: ' + err);
    else console.log('saves kept');
    if (zkSyncAgain) { zkSyncAgain = false; zkSyncSaves(); }
  });
}

function zkPageLeft() {
  if (Module['calledRun'] && Module['_zk_page_left']) Module['_zk_page_left']();
}
document.addEventListener('visibilitychange', function () { if (document.hidden) zkPageLeft(); });
window.addEventListener('pagehide', zkPageLeft);

// The browser refuses to play before the player's first key or click; the music the game
// starts earlier is picked up then (below), so the refusal is no error worth a console line.
(function () {
  var play = HTMLMediaElement.prototype.play;
  HTMLMediaElement.prototype.play = function () {
    var started = play.apply(this, arguments);
    if (started && started.catch) started.catch(function (e) { if (e.name !== 'NotAllowedError') console.error(e); });
    return started;
  };
})();

function zkResumeSound() {
  if (typeof SDL === 'undefined') return;
  if (SDL.audioContext && SDL.audioContext.state === 'suspended') SDL.audioContext.resume();
  var music = SDL.music && SDL.music.audio;
  if (music && music.paused) music.play();
}
window.addEventListener('keydown', zkResumeSound, true);
window.addEventListener('mousedown', zkResumeSound, true);
