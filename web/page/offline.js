// Keeps the game's files in the browser, so the page starts and plays with no network.
if ('serviceWorker' in navigator && window.isSecureContext) {
  navigator.serviceWorker.register('sw.js').catch(function (e) { console.warn('No offline copy: ' + e); });
}
