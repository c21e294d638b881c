// Preloaded into the game (or the floor program) to count its frames without touching it:
// wraps SDL_GL_SwapBuffers and appends lines to the file named by ZK_SWAP_LOG.
//
//   first <ns-after-start> <pid> <cpu-ns>
//                                  once, right after the first swap returned; the start is
//                                  ZK_BENCH_T0 (CLOCK_MONOTONIC ns set by zk_stamp_exec just
//                                  before exec), or -1 when that variable is missing; cpu-ns is
//                                  the user + system time of all the process's threads so far
//   frames <count> <mono-ns>       at most every ZK_SWAP_PERIOD_MS (default 100) while frames
//                                  are being shown, and once more at exit
//
// Each line is one write(2) on an O_APPEND descriptor, so a reader sees whole lines and a
// process killed with SIGKILL loses at most the frames since its last line.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using SwapFunction = void (*)();

SwapFunction realSwap = nullptr;
int logFd = -1;
unsigned long long frames = 0;
long long lastLineNs = 0;
long long periodNs = 100LL * 1000 * 1000;

long long monotonicNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void writeLine(const char* text, int length) {
    if (logFd < 0 || length <= 0) return;
    ssize_t written = write(logFd, text, static_cast<size_t>(length));
    (void)written;
}

void writeFrames(long long now) {
    char line[96];
    const int length = snprintf(line, sizeof line, "frames %llu %lld\n", frames, now);
    writeLine(line, length);
    lastLineNs = now;
}

void writeFirst(long long now) {
    long long sinceStart = -1;
    if (const char* t0 = getenv("ZK_BENCH_T0")) sinceStart = now - atoll(t0);
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    const long long cpuNs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000000LL +
                            (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1000LL;
    char line[128];
    const int length = snprintf(line, sizeof line, "first %lld %d %lld\n", sinceStart, static_cast<int>(getpid()), cpuNs);
    writeLine(line, length);
}

__attribute__((constructor)) void openLog() {
    if (const char* period = getenv("ZK_SWAP_PERIOD_MS")) periodNs = atoll(period) * 1000000LL;
    if (const char* path = getenv("ZK_SWAP_LOG")) logFd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

__attribute__((destructor)) void closeLog() {
    if (logFd < 0) return;
    if (frames > 0) writeFrames(monotonicNs());
    close(logFd);
    logFd = -1;
}

}  // namespace

extern "C" void SDL_GL_SwapBuffers() {
    if (realSwap == nullptr) {
        realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
        if (realSwap == nullptr) {
            fprintf(stderr, "swap_counter: SDL_GL_SwapBuffers not found\n");
            abort();
        }
    }
    realSwap();
    const long long now = monotonicNs();
    ++frames;
    if (frames == 1) {
        writeFirst(now);
        writeFrames(now);
    } else if (now - lastLineNs >= periodNs) {
        writeFrames(now);
    }
}
