// Sends a replay to a leaderboard and says, in the player's words, what became of it. The
// game's page (after a new best score) and the leaderboard's own page both send through it.
// server: the leaderboard's address without a trailing slash ('' for the page's own host, '.'
// for the page's own folder); tape: the replay's bytes (an array or a file). Resolves to {ok, text}, never rejects.
function zkSendReplay(server, name, tape) {
  return fetch(server + '/api/scores?name=' + encodeURIComponent(name.trim()), {
    method: 'POST', headers: { 'Content-Type': 'application/octet-stream' }, body: tape
  }).then(function (response) {
    return response.json().catch(function () { return { error: response.status + ' ' + response.statusText }; })
      .then(function (reply) {
        return { ok: response.ok, text: response.ok ? 'On the board: rank ' + reply.rank + ' with ' + reply.score + '.'
                                                    : 'Not taken: ' + (reply.error || response.status) + '.' };
      });
  }, function (error) {
    return { ok: false, text: 'The leaderboard did not answer: ' + error.message + '.' };
  });
}
