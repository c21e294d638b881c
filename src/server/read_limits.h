// How much one connection may send, and for how long. The HTTP library keeps every header line
// it is sent, without a limit on their number, and waits on a client as long as it trickles:
// the server counts what each connection's reads bring in, and past the limits the client is
// taken to have hung up.
#pragma once

#include <httplib.h>

#include <cstddef>

namespace scores {

// Headers and body of one request, bytes.
constexpr size_t kMaxRequestBytes = 1024 * 1024 + 64 * 1024;
// From the first byte of a connection to its last, however many requests it carries.
constexpr double kMaxConnectionSeconds = 60;

// The server's worker threads, each connection watched while one of them handles it.
void startWatchedWorkers(httplib::Server& server, size_t threads);

// Around the handling of one connection on a worker thread: the first socket it reads from is
// the client's.
void beginConnection();
void endConnection();
// Called when a request's headers are in: the bytes of the next one count from nothing.
void beginRequest();

}  // namespace scores
