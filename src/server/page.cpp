#include "page.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "checks.h"

namespace scores {

// The page's upload script, web/page/upload.js, put in by CMake (upload_script.cpp).
extern const char kUploadScript[];

namespace {

// On a phone (narrower than 40em) each entry is a card of three lines: rank, name and score;
// platform, version and date; its buttons. Everything a thumb presses is at least 44 px.
const char kStyle[] = R"(<style>
body { font-family: sans-serif; max-width: 52em; margin: 0 auto; padding: 0.5em 1em; background: #111; color: #eee; line-height: 1.4; }
a { color: #8cf; }
code, h1 { overflow-wrap: anywhere; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: 0.2em 0.5em; text-align: left; border-bottom: 1px solid #333; }
.n { text-align: right; font-variant-numeric: tabular-nums; }
td.name { overflow-wrap: anywhere; }
a.button, button, input, nav a, td.name a { display: inline-flex; align-items: center; box-sizing: border-box; min-height: 44px; min-width: 44px; }
a.button, nav a, button { justify-content: center; padding: 0 0.8em; border: 1px solid #8cf; border-radius: 4px; text-decoration: none; background: none; color: #8cf; font: inherit; }
nav { display: flex; flex-wrap: wrap; gap: 0.5em; align-items: center; margin: 1em 0; }
nav a[aria-current] { background: #8cf; color: #111; }
.buttons { display: flex; gap: 0.5em; }
td.date { white-space: nowrap; }
form label { display: block; margin: 0.5em 0; }
form input { width: 100%; max-width: 24em; }
#result { min-height: 1.5em; }
dl { display: grid; grid-template-columns: auto 1fr; gap: 0.3em 1em; }
dd { margin: 0; overflow-wrap: anywhere; }
@media (max-width: 40em) {
  thead { display: none; }
  tr { display: grid; grid-template-columns: 2.5em 1fr 1fr auto; border-bottom: 1px solid #333; padding: 0.3em 0;
       grid-template-areas: "rank name name score" "rank platform version date" "rank replay replay replay"; }
  td { border: 0; padding: 0.1em 0.3em; }
  td.rank { grid-area: rank; } td.name { grid-area: name; } td.score { grid-area: score; }
  td.platform { grid-area: platform; } td.version { grid-area: version; } td.date { grid-area: date; }
  td.replay { grid-area: replay; } td.none { grid-column: 1 / -1; }
}
</style>
)";

std::string head(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           escapeHtml(title) + "</title>\n" + kStyle + "</head>\n<body>\n";
}

// The name field says the rules the server holds names to.
std::string nameField() {
    const std::string most = std::to_string(kMaxNameLength);
    return "<label>Name <input name=\"player\" maxlength=\"" + most + "\" required\n title=\"1 to " + most +
           " characters, at least one you can see; at most " + std::to_string(kMaxMarks) +
           " accents on a letter\"></label>\n";
}

const char kUploadForm[] = R"(<label>Replay <input name="replay" type="file" accept=".replay" required></label>
<button>Upload</button>
</form>
<p id="result" role="status"></p>
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
)";

// The form posts the file itself as the body, as the API wants it.
const char kUploadHandler[] = R"(
document.getElementById('upload').addEventListener('submit', function (event) {
  event.preventDefault();
  var fields = event.target.elements, result = document.getElementById('result');
  result.textContent = 'Checking the replay…';
  zkSendReplay('.', fields.namedItem('player').value, fields.namedItem('replay').files[0]).then(function (sent) {
    result.textContent = sent.text;
    if (sent.ok) setTimeout(function () { location.reload(); }, 1500);
  });
});
)";

// A query value: a version name may hold '+', which a query would read as a space.
std::string queryValue(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (isalnum(c) || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// The board of a version ("" for all) in a query.
std::string versionQuery(const std::string& version) {
    return "?version=" + (version.empty() ? std::string("all") : queryValue(version));
}

// The board's address for a version; `prefix` leads from the page back to the board's folder.
std::string boardLink(const std::string& prefix, const std::string& version, const std::string& current) {
    if (version == current) return prefix.empty() ? "./" : prefix;
    return prefix + versionQuery(version);
}

// Watch (when the page can play it) and Download, from a page `prefix` below the board.
std::string replayButtons(const Entry& entry, const std::string& prefix, bool webServed, const std::string& current) {
    const std::string tape = "replays/" + std::to_string(entry.id) + ".replay";
    std::string buttons = "<span class=\"buttons\">";
    // The page served beside the board plays its own version's replays only.
    if (webServed && entry.version == current)
        buttons += "<a class=\"button\" href=\"" + prefix + "index.html?replay=" + tape + "\">Watch</a>";
    return buttons + "<a class=\"button\" href=\"" + prefix + tape + "\" download>Download</a></span>";
}

// What a visitor can do with the games here, as far as this server makes it true.
std::string intro(const BoardView& view) {
    const std::string watch =
        view.watchable ? "Watch the games of version " + escapeHtml(view.current) + " here in your browser. " : "";
    return "<p>Every score here was played again by the server from its replay, through the game's own rules, "
           "and came out the same. " +
           watch +
           "Download any replay (<code>12.replay</code>, say) and watch it in the game of its version: "
           "<code>zembrak --replay 12.replay</code>.</p>\n";
}

std::string versionChoice(const BoardView& view) {
    std::vector<std::string> shown = view.versions;
    if (std::find(shown.begin(), shown.end(), view.current) == shown.end()) shown.push_back(view.current);
    sortNewestFirst(shown);
    shown.push_back("");
    std::string nav = "<nav aria-label=\"Versions\">Version:";
    for (const std::string& version : shown) {
        const std::string current = version == view.version ? " aria-current=\"page\"" : "";
        nav += " <a href=\"" + boardLink("", version, view.current) + "\"" + current + ">" +
               (version.empty() ? "All" : escapeHtml(version)) + "</a>";
    }
    return nav + "</nav>\n";
}

std::string boardRow(const Entry& entry, const BoardView& view) {
    const std::string id = std::to_string(entry.id);
    return "<tr><td class=\"n rank\">" + std::to_string(entry.rank) + "</td><td class=\"name\"><a href=\"scores/" + id +
           "\">" + escapeHtml(entry.name) + "</a></td><td class=\"n score\">" + std::to_string(entry.score) +
           "</td><td class=\"platform\">" + escapeHtml(platformOf(entry.library)) + "</td><td class=\"version\">" +
           escapeHtml(entry.version) + "</td><td class=\"date\">" + dateOf(entry.submitted) +
           "</td><td class=\"replay\">" + replayButtons(entry, "", view.watchable, view.current) + "</td></tr>\n";
}

std::string pageLinks(const BoardView& view) {
    const std::string base = versionQuery(view.version);
    std::string links;
    if (view.offset > 0) {
        const int64_t higher = view.offset > view.pageSize ? view.offset - view.pageSize : 0;
        links += "<a href=\"" + base + "&amp;offset=" + std::to_string(higher) + "\">Higher</a>";
    }
    if (view.more)
        links += "<a href=\"" + base + "&amp;offset=" + std::to_string(view.offset + view.pageSize) + "\">Lower</a>";
    return links.empty() ? "" : "<nav aria-label=\"Pages\">" + links + "</nav>\n";
}

// Orders versions as text once every run of digits is padded to the longest a version holds.
std::string sortKey(const std::string& version) {
    std::string key;
    for (size_t at = 0; at < version.size();) {
        const size_t run = std::min(version.find_first_not_of("0123456789", at), version.size()) - at;
        if (run == 0) {
            key += version[at++];
            continue;
        }
        key += std::string(run < 40 ? 40 - run : 0, '0') + version.substr(at, run);
        at += run;
    }
    return key;
}

// Seconds since 1970 in UTC, as strftime writes them.
std::string timeOf(int64_t seconds, const char* format) {
    const time_t when = static_cast<time_t>(seconds);
    tm parts;
    char text[32];
    if (gmtime_r(&when, &parts) == nullptr || strftime(text, sizeof text, format, &parts) == 0) return "";
    return text;
}

// A line of an entry's facts.
std::string fact(const std::string& name, const std::string& value) {
    return "<dt>" + name + "</dt><dd>" + value + "</dd>\n";
}

}  // namespace

void sortNewestFirst(std::vector<std::string>& versions) {
    std::sort(versions.begin(), versions.end(),
              [](const std::string& a, const std::string& b) { return sortKey(a) > sortKey(b); });
}

std::string dateOf(int64_t seconds) { return timeOf(seconds, "%Y-%m-%d"); }

std::string boardPage(const BoardView& view) {
    std::string page = head("Zembrak leaderboard") + "<h1>Zembrak leaderboard</h1>\n" + intro(view) +
                       versionChoice(view) +
                       "<table>\n<thead><tr><th>Rank</th><th>Name</th><th>Score</th><th>Platform</th><th>Version</th>"
                       "<th>Date</th><th>Replay</th></tr></thead>\n<tbody>\n";
    for (const Entry& entry : view.entries) page += boardRow(entry, view);
    if (view.entries.empty())
        page += "<tr><td class=\"none\" colspan=\"7\">No scores" +
                (view.version.empty() ? std::string() : " for version " + escapeHtml(view.version)) +
                " yet.</td></tr>\n";
    return page + "</tbody>\n</table>\n" + pageLinks(view) + "<h2>Add your best game</h2>\n<form id=\"upload\">\n" +
           nameField() + kUploadForm + "<script>\n" + kUploadScript + kUploadHandler + "</script>\n</body>\n</html>\n";
}

std::string entryPage(const Entry& entry, const std::string& current, bool watchable) {
    const std::string version = escapeHtml(entry.version);
    return head(entry.name + ": " + std::to_string(entry.score) + " in Zembrak") + "<h1>" + escapeHtml(entry.name) +
           "</h1>\n<dl>\n" + fact("Score", std::to_string(entry.score)) +
           fact("Rank", std::to_string(entry.rank) + " in version " + version) +
           fact("Platform", escapeHtml(platformOf(entry.library))) + fact("Version", version) +
           fact("Date", timeOf(entry.submitted, "%Y-%m-%d %H:%M UTC")) + fact("Frames", std::to_string(entry.frames)) +
           (entry.pace.empty() ? std::string() : fact("Pace", escapeHtml(entry.pace))) + "</dl>\n" +
           replayButtons(entry, "../", watchable, current) + "\n<nav><a href=\"" +
           boardLink("../", entry.version, current) + "\">The board of version " + version +
           "</a></nav>\n</body>\n</html>\n";
}

std::string missingEntryPage() {
    return head("No such entry") +
           "<h1>No such entry</h1>\n<p>The board holds no entry of that number.</p>\n<nav><a href=\"../\">The "
           "board</a></nav>\n</body>\n</html>\n";
}

}  // namespace scores
