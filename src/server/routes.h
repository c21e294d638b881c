// Every path the server answers: the API, the board page, the replays, /healthz, and the
// checks every request passes before its route.
#pragma once

#include <httplib.h>

#include "options.h"
#include "store.h"

namespace scores {

// Uploads from one address in a minute.
constexpr int kUploadsPerMinute = 10;
// Entries on a page of the board, and at most in one API read.
constexpr int64_t kPageSize = 100;
constexpr int64_t kMaxListed = 500;

// Puts the routes on `server`, reading and writing `store`. False, with a message on stderr,
// when the web folder to serve is not a folder.
bool addRoutes(httplib::Server& server, Store& store, const Options& options);

}  // namespace scores
