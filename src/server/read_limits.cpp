#include "read_limits.h"

#include <sys/socket.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace scores {

namespace {

struct Connection {
    bool watching = false;
    int socket = -1;
    size_t bytes = 0;
    double deadline = 0;
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
}

void beginConnection() { current = Connection{true, -1, 0, now() + kMaxConnectionSeconds}; }

void endConnection() { current.watching = false; }

void beginRequest() { current.bytes = 0; }

}  // namespace scores

using scores::current;

// Every recv of the process comes here, the HTTP library's among them; the database client's
// reads on other sockets pass through untouched.
extern "C" ssize_t recv(int fd, void* buffer, size_t length, int flags) {
    const bool counted = current.watching && (current.socket < 0 || current.socket == fd);
    if (counted) {
        current.socket = fd;
        if (current.bytes >= scores::kMaxRequestBytes || scores::now() > current.deadline) return 0;
        if (length > scores::kMaxRequestBytes - current.bytes) length = scores::kMaxRequestBytes - current.bytes;
    }
    const ssize_t got = syscall(SYS_recvfrom, fd, buffer, length, flags, nullptr, nullptr);
    if (counted && got > 0) current.bytes += static_cast<size_t>(got);
    return got;
}
