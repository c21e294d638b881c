// How much one connection may send, and for how long. The HTTP library keeps every header line
// it is sent, without a limit on their number, and waits on a client as long as it trickles,
// each read given its own timeout: the server counts what each connection's reads bring in and
// when, and past the limits the client is taken to have hung up.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <cstdint>

namespace scores {

// Headers and body of one request, bytes.
constexpr size_t kMaxRequestBytes = 1024 * 1024 + 64 * 1024;
// From the first byte of a connection to its last, however many requests it carries.
constexpr double kMaxConnectionSeconds = 60;
// From a connection's start, or the end of its last answer, to the end of the next request's
// head; an idle connection closes after as long.
constexpr double kHeadSeconds = 5;
// The slowest body taken: a replay at most 1 MiB arrives within half a minute.
constexpr double kMinBodyBytesPerSecond = 32 * 1024;
// Worker threads: a slow connection holds one until its deadline, so there are many more of
// them than the verifiers and database connections they wait for.
constexpr size_t kWorkers = 128;

// The server's worker threads, each connection watched while one of them handles it.
void startWatchedWorkers(httplib::Server& server, size_t threads);

// Around the handling of one connection on a worker thread: the first socket it waits on is
// the client's.
void beginConnection();
void endConnection();
// Called when a request's head is in: its body of `length` bytes has its own deadline, and the
// bytes of the request count from nothing.
void beginRequest(uint64_t length);
// Called when the answer is ready: the next request's head has its deadline from the next wait.
void endRequest();

}  // namespace scores
