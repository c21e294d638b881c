#include "page.h"

#include <ctime>

#include "checks.h"

namespace scores {

namespace {

const char kHead[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Zembrak leaderboard</title>
<style>
body { font-family: sans-serif; max-width: 50em; margin: 2em auto; padding: 0 1em; background: #111; color: #eee; }
a { color: #8cf; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: 0.3em 0.6em; text-align: left; border-bottom: 1px solid #333; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
form { margin: 1em 0; }
#result { min-height: 1.5em; }
</style>
</head>
<body>
<h1>Zembrak leaderboard</h1>
<p>Every score here was played again by the server from its replay, through the game's own rules,
and came out the same. Watch any of them.</p>
<table>
<thead><tr><th>Rank</th><th>Name</th><th>Score</th><th>Platform</th><th>Date</th><th></th></tr></thead>
<tbody>
)";

// The form posts the file itself as the body, as the API wants it.
const char kTail[] = R"(<h2>Add your best game</h2>
<form id="upload">
<label>Name <input name="player" maxlength="24" required
 title="1 to 24 characters, at least one you can see; at most two accents on a letter"></label>
<label>Replay <input name="replay" type="file" accept=".replay" required></label>
<button>Upload</button>
</form>
<p id="result"></p>
<p>The game keeps the replay of your best game as <code>best.replay</code>:</p>
<ul>
<li>Linux, installed system-wide or from the Debian package: <code>~/.local/share/zembrak/best.replay</code>
(<code>$XDG_DATA_HOME/zembrak/</code>)</li>
<li>Linux, played from its own folder (<code>./play</code>, a build folder, a copy): <code>data/best.replay</code>
beside the program</li>
<li>Windows: <code>%APPDATA%\Zembrak\best.replay</code></li>
<li>In a web browser: in the browser's storage for the page; after a game that raised your best
score the page offers to submit it here.</li>
</ul>
<script>
document.getElementById('upload').addEventListener('submit', async (event) => {
  event.preventDefault();
  const fields = event.target.elements, result = document.getElementById('result');
  const file = fields.namedItem('replay').files[0];
  if (!file) return;
  result.textContent = 'Checking the replay…';
  try {
    const answer = await fetch('api/scores?name=' + encodeURIComponent(fields.namedItem('player').value), {
      method: 'POST', headers: {'Content-Type': 'application/octet-stream'}, body: file});
    const reply = await answer.json();
    if (answer.status === 201) {
      result.textContent = 'Verified: score ' + reply.score + ', rank ' + reply.rank + '.';
      setTimeout(() => location.reload(), 1500);
    } else {
      result.textContent = 'Not added: ' + reply.error;
    }
  } catch (error) {
    result.textContent = 'Not added: ' + error;
  }
});
</script>
</body>
</html>
)";

}  // namespace

std::string dateOf(int64_t seconds) {
    const time_t when = static_cast<time_t>(seconds);
    tm parts;
    char text[32];
    if (gmtime_r(&when, &parts) == nullptr || strftime(text, sizeof text, "%Y-%m-%d", &parts) == 0) return "";
    return text;
}

std::string boardPage(const std::vector<Entry>& entries, int64_t offset, int64_t pageSize, bool more) {
    std::string page = kHead;
    for (const Entry& entry : entries) {
        const std::string platform = platformOf(entry.library);
        // The web game plays only replays its own C library recorded; the others still download.
        const std::string watch = platform != "web" ? ""
                                                    : "<a href=\"index.html?replay=/replays/" +
                                                          std::to_string(entry.id) + ".replay\">Watch</a>";
        page += "<tr><td class=\"n\">" + std::to_string(entry.rank) + "</td><td>" + escapeHtml(entry.name) +
                "</td><td class=\"n\">" + std::to_string(entry.score) + "</td><td>" + escapeHtml(platform) +
                "</td><td>" + dateOf(entry.submitted) + "</td><td>" + watch + "</td></tr>\n";
    }
    if (entries.empty()) page += "<tr><td colspan=\"6\">No scores yet.</td></tr>\n";
    page += "</tbody>\n</table>\n<p>";
    if (offset > 0)
        page += "<a href=\"?offset=" + std::to_string(offset > pageSize ? offset - pageSize : 0) + "\">Higher</a> ";
    if (more) page += "<a href=\"?offset=" + std::to_string(offset + pageSize) + "\">Lower</a>";
    return page + "</p>\n" + kTail;
}

}  // namespace scores
