// The leaderboard page: the board, the upload form and where each game keeps best.replay.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store.h"

namespace scores {

// `entries` start at `offset`; `more` when the board goes on below them.
std::string boardPage(const std::vector<Entry>& entries, int64_t offset, int64_t pageSize, bool more);

// "2026-12-08" for seconds since 1970, in UTC.
std::string dateOf(int64_t seconds);

}  // namespace scores
