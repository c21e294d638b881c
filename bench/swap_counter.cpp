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
// With ZK_SWAP_DETAIL=1 it also writes, for the frame-time spread (bench/run_spread.sh):
//
//   swap <count> <end-ns> <in-swap-ns> <cpu-ns> <runq-ns> <all-cpu-ns> <all-runq-ns> <wait-end-ns> <tags>
//                                  every swap: when it returned, how long the swap itself
//                                  took, the main thread's CPU time and its time waiting for a
//                                  core (/proc/thread-self/schedstat) since the previous swap,
//                                  the same summed over all the threads there were at the first
//                                  swap (the renderer's among them),
//                                  when the last blocking wait (SDL_WaitEvent, SDL_Delay) since
//                                  then returned (0: none), and what the frame drew: m menu
//                                  background, p picture page, e end-screen message, - none
//   call <name> <start-ns> <ns> [what]
//                                  main-thread calls that may stall a frame: Mix_PlayMusic,
//                                  Mix_PlayChannelTimed, glTexImage2D, glNewList, glGenLists,
//                                  and files opened (fopen, open) with their path
//
// The display-list numbers come from the game's own lists (render/lists.h), counted from the
// base that glGenLists returned. All times are CLOCK_MONOTONIC, like Python's
// time.monotonic_ns(), so a driving script can stamp its actions on the same clock.
//
// Each line is one write(2) on an O_APPEND descriptor, so a reader sees whole lines and a
// process killed with SIGKILL loses at most the frames since its last line.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

using SwapFunction = void (*)();

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
    const int length =
        snprintf(line, sizeof line, "first %lld %d %lld\n", sinceStart, static_cast<int>(getpid()), cpuNs);
    writeLine(line, length);
}

// --- Detail mode -------------------------------------------------------------------------

bool detail = false;
pid_t mainThread = 0;
int schedstatFd = -1;
unsigned listBase = 0;
char tags[8] = "";
long long lastCpuNs = 0, lastRunqNs = 0, lastWaitEndNs = 0;

bool onMainThread() { return detail && static_cast<pid_t>(syscall(SYS_gettid)) == mainThread; }

long long threadCpuNs() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// schedstat: time on a core, then time spent runnable but waiting for one.
void readSchedstat(int fd, long long& onCpu, long long& waiting) {
    char text[96] = "";
    long long cpu = 0, wait = 0;
    if (fd >= 0 && pread(fd, text, sizeof text - 1, 0) > 0) sscanf(text, "%lld %lld", &cpu, &wait);
    onCpu += cpu;
    waiting += wait;
}

long long runqueueNs() {
    long long onCpu = 0, waiting = 0;
    readSchedstat(schedstatFd, onCpu, waiting);
    return waiting;
}

int taskFds[32];
int taskCount = -1;  // not yet looked up
long long lastAllCpuNs = 0, lastAllRunqNs = 0;

void openTasks() {
    taskCount = 0;
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) return;
    while (dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.' || taskCount == 32) continue;
        char path[300];
        snprintf(path, sizeof path, "/proc/self/task/%s/schedstat", entry->d_name);
        taskFds[taskCount] = open(path, O_RDONLY | O_CLOEXEC);
        if (taskFds[taskCount] >= 0) ++taskCount;
    }
    closedir(tasks);
}

void allThreads(long long& onCpu, long long& waiting) {
    onCpu = waiting = 0;
    for (int i = 0; i < taskCount; ++i) readSchedstat(taskFds[i], onCpu, waiting);
}

void addTag(char tag) {
    const size_t length = strlen(tags);
    if (strchr(tags, tag) == nullptr && length < sizeof tags - 1) {
        tags[length] = tag;
        tags[length + 1] = 0;
    }
}

void writeSwap(long long end, long long inSwap) {
    const long long cpu = threadCpuNs(), runq = runqueueNs();
    const bool first = taskCount < 0;
    if (first) openTasks();
    long long allCpu, allRunq;
    allThreads(allCpu, allRunq);
    if (first) lastAllCpuNs = allCpu, lastAllRunqNs = allRunq;
    char line[200];
    const int length = snprintf(line, sizeof line, "swap %llu %lld %lld %lld %lld %lld %lld %lld %s\n", frames, end,
                                inSwap, cpu - lastCpuNs, runq - lastRunqNs, allCpu - lastAllCpuNs,
                                allRunq - lastAllRunqNs, lastWaitEndNs, tags[0] ? tags : "-");
    writeLine(line, length);
    lastCpuNs = cpu;
    lastRunqNs = runq;
    lastAllCpuNs = allCpu;
    lastAllRunqNs = allRunq;
    lastWaitEndNs = 0;
    tags[0] = 0;
}

void writeCall(const char* name, long long start, const char* what = "") {
    char line[512];
    const int length = snprintf(line, sizeof line, "call %s %lld %lld %s\n", name, start, monotonicNs() - start, what);
    writeLine(line, length);
}

template <typename F>
F next(F& cached, const char* name) {
    if (cached == nullptr) cached = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
    if (cached == nullptr) {
        fprintf(stderr, "swap_counter: %s not found\n", name);
        abort();
    }
    return cached;
}

__attribute__((constructor)) void openLog() {
    if (const char* period = getenv("ZK_SWAP_PERIOD_MS")) periodNs = atoll(period) * 1000000LL;
    if (const char* path = getenv("ZK_SWAP_LOG")) logFd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (const char* on = getenv("ZK_SWAP_DETAIL")) detail = logFd >= 0 && atoi(on) != 0;
    if (detail) {
        mainThread = static_cast<pid_t>(syscall(SYS_gettid));
        schedstatFd = open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
        lastCpuNs = threadCpuNs();
        lastRunqNs = runqueueNs();
    }
}

__attribute__((destructor)) void closeLog() {
    if (logFd < 0) return;
    if (frames > 0) writeFrames(monotonicNs());
    close(logFd);
    logFd = -1;
}

}  // namespace

extern "C" void SDL_GL_SwapBuffers() {
    static SwapFunction realSwap = nullptr;
    const long long start = monotonicNs();
    next(realSwap, "SDL_GL_SwapBuffers")();
    const long long now = monotonicNs();
    ++frames;
    if (detail) writeSwap(now, now - start);
    if (frames == 1) {
        writeFirst(now);
        writeFrames(now);
    } else if (now - lastLineNs >= periodNs) {
        writeFrames(now);
    }
}

// The wrappers below only pass the call on unless ZK_SWAP_DETAIL is set; then, on the main
// thread, they note what the frame did.

struct Mix_Music;
struct Mix_Chunk;
union SDL_Event;

extern "C" int Mix_PlayMusic(Mix_Music* music, int loops) {
    static int (*real)(Mix_Music*, int) = nullptr;
    if (!onMainThread()) return next(real, "Mix_PlayMusic")(music, loops);
    const long long start = monotonicNs();
    const int result = next(real, "Mix_PlayMusic")(music, loops);
    writeCall("Mix_PlayMusic", start);
    return result;
}

extern "C" int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int ticks) {
    static int (*real)(int, Mix_Chunk*, int, int) = nullptr;
    if (!onMainThread()) return next(real, "Mix_PlayChannelTimed")(channel, chunk, loops, ticks);
    const long long start = monotonicNs();
    const int result = next(real, "Mix_PlayChannelTimed")(channel, chunk, loops, ticks);
    writeCall("Mix_PlayChannelTimed", start);
    return result;
}

extern "C" int SDL_WaitEvent(SDL_Event* event) {
    static int (*real)(SDL_Event*) = nullptr;
    const int result = next(real, "SDL_WaitEvent")(event);
    if (onMainThread()) lastWaitEndNs = monotonicNs();
    return result;
}

extern "C" void SDL_Delay(unsigned ms) {
    static void (*real)(unsigned) = nullptr;
    next(real, "SDL_Delay")(ms);
    if (onMainThread()) lastWaitEndNs = monotonicNs();
}

extern "C" void glCallList(unsigned list) {
    static void (*real)(unsigned) = nullptr;
    next(real, "glCallList")(list);
    if (!detail || list < listBase) return;
    const unsigned n = list - listBase;
    if (n == 63) addTag('m');
    if (n >= 49 && n <= 51) addTag('p');
    if (n >= 55 && n <= 62) addTag('e');
}

extern "C" unsigned glGenLists(int range) {
    static unsigned (*real)(int) = nullptr;
    const long long start = monotonicNs();
    listBase = next(real, "glGenLists")(range);
    if (onMainThread()) writeCall("glGenLists", start);
    return listBase;
}

extern "C" void glNewList(unsigned list, unsigned mode) {
    static void (*real)(unsigned, unsigned) = nullptr;
    const long long start = monotonicNs();
    next(real, "glNewList")(list, mode);
    if (onMainThread()) writeCall("glNewList", start);
}

extern "C" void glTexImage2D(unsigned target, int level, int internalFormat, int width, int height, int border,
                             unsigned format, unsigned type, const void* pixels) {
    static void (*real)(unsigned, int, int, int, int, int, unsigned, unsigned, const void*) = nullptr;
    const long long start = monotonicNs();
    next(real, "glTexImage2D")(target, level, internalFormat, width, height, border, format, type, pixels);
    if (onMainThread()) writeCall("glTexImage2D", start);
}

extern "C" FILE* fopen(const char* path, const char* mode) {
    static FILE* (*real)(const char*, const char*) = nullptr;
    const long long start = monotonicNs();
    FILE* file = next(real, "fopen")(path, mode);
    if (onMainThread()) writeCall("fopen", start, path);
    return file;
}

extern "C" FILE* fopen64(const char* path, const char* mode) {
    static FILE* (*real)(const char*, const char*) = nullptr;
    const long long start = monotonicNs();
    FILE* file = next(real, "fopen64")(path, mode);
    if (onMainThread()) writeCall("fopen", start, path);
    return file;
}

static int openWith(const char* name, const char* path, int flags, va_list args) {
    static int (*realOpen)(const char*, int, ...) = nullptr;
    static int (*realOpen64)(const char*, int, ...) = nullptr;
    const int mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, int) : 0;
    const long long start = monotonicNs();
    const int fd = name[4] == '6' ? next(realOpen64, name)(path, flags, mode) : next(realOpen, name)(path, flags, mode);
    if (onMainThread()) writeCall("open", start, path);
    return fd;
}

extern "C" int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = openWith("open", path, flags, args);
    va_end(args);
    return fd;
}

extern "C" int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = openWith("open64", path, flags, args);
    va_end(args);
    return fd;
}
