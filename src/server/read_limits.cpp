#include "read_limits.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

namespace scores {

namespace {

enum class Phase { head, body, answered };

struct Connection {
    bool watching = false;
    int socket = -1;
    size_t bytes = 0;
    Phase phase = Phase::head;
    double deadline = 0;  // of the head or the body being read
    double end = 0;       // of the whole connection
    bool cut = false;     // past a deadline: shut, and never given another
};
thread_local Connection current;

double now() {
    timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return time.tv_sec + time.tv_nsec / 1e9;
}

// The library's pool of worker threads, each connection watched while it is handled.
class WatchedPool : public httplib::TaskQueue {
   public:
    explicit WatchedPool(size_t threads) : pool_(threads) {}
    void enqueue(std::function<void()> task) override {
        pool_.enqueue([task] {
            beginConnection();
            task();
            endConnection();
        });
    }
    void shutdown() override { pool_.shutdown(); }

   private:
    httplib::ThreadPool pool_;
};

}  // namespace

void startWatchedWorkers(httplib::Server& server, size_t threads) {
    server.new_task_queue = [threads] { return new WatchedPool(threads); };
    server.set_keep_alive_timeout(static_cast<time_t>(kHeadSeconds));
}

void beginConnection() {
    const double start = now();
    current = Connection{true, -1, 0, Phase::head, start + kHeadSeconds, start + kMaxConnectionSeconds, false};
}

void endConnection() { current.watching = false; }

void beginRequest(uint64_t length) {
    current.bytes = 0;
    current.phase = Phase::body;
    const double body = static_cast<double>(std::min<uint64_t>(length, kMaxRequestBytes)) / kMinBodyBytesPerSecond;
    current.deadline = now() + kHeadSeconds + body;
}

void endRequest() { current.phase = Phase::answered; }

// Whether `fd` is the watched client's socket, learning it on the first wait or read; a new
// request's head deadline starts with the first wait or read after an answer.
static bool isClient(int fd) {
    if (!current.watching) return false;
    if (current.socket < 0) current.socket = fd;
    if (current.socket != fd) return false;
    if (current.phase == Phase::answered) {
        current.phase = Phase::head;
        current.bytes = 0;
        current.deadline = now() + kHeadSeconds;
    }
    return true;
}

// Whether the client's time is up. Once it is, the connection is shut both ways, so that the
// library neither answers nor waits for another request on it: it only closes it.
static bool late() {
    if (current.cut) return true;
    if (std::min(current.deadline, current.end) > now()) return false;
    current.cut = true;
    shutdown(current.socket, SHUT_RDWR);
    return true;
}

static double secondsLeft() { return std::min(current.deadline, current.end) - now(); }

}  // namespace scores

using scores::current;

// Every recv of the process comes here, the HTTP library's among them; the database client's
// reads on other sockets pass through untouched.
extern "C" ssize_t recv(int fd, void* buffer, size_t length, int flags) {
    const bool counted = scores::isClient(fd);
    if (counted) {
        if (current.bytes >= scores::kMaxRequestBytes || scores::late()) return 0;
        if (length > scores::kMaxRequestBytes - current.bytes) length = scores::kMaxRequestBytes - current.bytes;
    }
    const ssize_t got = syscall(SYS_recvfrom, fd, buffer, length, flags, nullptr, nullptr);
    if (counted && got > 0) current.bytes += static_cast<size_t>(got);
    return got;
}

// And every poll: a wait to read the client's socket lasts no longer than its deadline, and
// past it the socket reads as ready, so that the read that follows sees the client gone.
// <poll.h> marks the array write-only, though poll reads each entry's events.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
extern "C" int poll(pollfd* fds, nfds_t count, int timeoutMs) {
    if (count == 1 && (fds[0].events & POLLIN) && scores::isClient(fds[0].fd)) {
        if (scores::late()) {
            fds[0].revents = POLLIN;
            return 1;
        }
        const double left = scores::secondsLeft();
        const int leftMs = static_cast<int>(left * 1000) + 1;
        if (timeoutMs < 0 || timeoutMs > leftMs) {
            timespec wait = {leftMs / 1000, (leftMs % 1000) * 1000000L};
            const int ready = ppoll(fds, count, &wait, nullptr);
            if (ready != 0 || !scores::late()) return ready;
            fds[0].revents = POLLIN;
            return 1;
        }
    }
    timespec wait = {timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
    return ppoll(fds, count, timeoutMs < 0 ? nullptr : &wait, nullptr);
}
