// The leaderboard's pages for people: the board of a version with the upload form and where
// each game keeps best.replay, and a page for each entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store.h"

namespace scores {

// One page of the board as the server found it.
struct BoardView {
    std::vector<Entry> entries;  // starting at `offset`
    int64_t offset = 0, pageSize = 0;
    bool more = false;  // the board goes on below them
    // The version shown ("" for all of them), the server's own, and those stored.
    std::string version, current;
    std::vector<std::string> versions;
    // Whether the web build is served beside the board, to play the current version's replays.
    bool watchable = false;
};

std::string boardPage(const BoardView& view);

// One entry; `watchable` as for the board.
std::string entryPage(const Entry& entry, const std::string& current, bool watchable);

// The page for an entry that is not there.
std::string missingEntryPage();

// Versions from the newest down: 1.10.0 before 1.9.2, numbers compared as numbers.
void sortNewestFirst(std::vector<std::string>& versions);

// "2026-12-08" for seconds since 1970, in UTC.
std::string dateOf(int64_t seconds);

}  // namespace scores
