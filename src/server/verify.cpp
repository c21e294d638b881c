#include "verify.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace scores {

namespace {

// A file descriptor closed when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) close(fd);
    }
};

bool writeAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

double nowSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// The first line of what the verifier said, without anything a log or a JSON answer should not
// carry: printable ASCII only, at most 200 characters.
std::string firstLine(const std::string& output) {
    std::string line;
    for (char c : output) {
        if (c == '\n' || line.size() == 200) break;
        if (c >= 0x20 && c < 0x7F) line += c;
    }
    return line;
}

}  // namespace

Verified verifyTape(const std::string& verifier, const std::string& tape, const VerifyLimits& limits, Verdict& verdict,
                    std::string& why) {
    // The tape as an anonymous file the child reads through /dev/fd/3: nothing on disk to clean.
    Fd file, out[2];
    file.fd = memfd_create("replay", MFD_CLOEXEC);
    int pipeFds[2];
    if (file.fd < 0 || !writeAll(file.fd, tape) || lseek(file.fd, 0, SEEK_SET) != 0 || pipe2(pipeFds, O_CLOEXEC) != 0) {
        why = std::string("cannot hand the replay to the verifier: ") + strerror(errno);
        return Verified::failed;
    }
    out[0].fd = pipeFds[0];
    out[1].fd = pipeFds[1];
    const std::string path = "/dev/fd/3";
    char* const argv[] = {const_cast<char*>(verifier.c_str()), const_cast<char*>(path.c_str()), nullptr};
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) {
        why = std::string("cannot open /dev/null: ") + strerror(errno);
        return Verified::failed;
    }

    const pid_t child = fork();
    if (child == 0) {
        // Only calls that are safe between fork and exec in a threaded program. A group of its
        // own, so that whatever it starts is stopped with it.
        setpgid(0, 0);
        const rlimit cpu = {rlim_t(limits.cpuSeconds), rlim_t(limits.cpuSeconds) + 1};
        setrlimit(RLIMIT_CPU, &cpu);
        if (limits.memoryMiB > 0) {
            const rlimit memory = {rlim_t(limits.memoryMiB) << 20, rlim_t(limits.memoryMiB) << 20};
            setrlimit(RLIMIT_AS, &memory);
        }
        const rlimit noCores = {0, 0};
        setrlimit(RLIMIT_CORE, &noCores);
        if (dup2(devNull, 0) < 0 || dup2(out[1].fd, 1) < 0 || dup2(devNull, 2) < 0) _exit(126);
        if (file.fd == 3 ? fcntl(3, F_SETFD, 0) < 0 : dup2(file.fd, 3) < 0) _exit(126);
        // The server's sockets and database connections stay with the server.
        close_range(4, ~0u, 0);
        execv(verifier.c_str(), argv);
        _exit(127);
    }
    close(devNull);
    if (child < 0) {
        why = std::string("cannot start the verifier: ") + strerror(errno);
        return Verified::failed;
    }
    setpgid(child, child);  // as the child does itself: whichever comes first
    close(out[1].fd);
    out[1].fd = -1;

    // Its output, at most a few kilobytes of it, until it ends or the wall clock runs out.
    std::string output;
    const double deadline = nowSeconds() + limits.wallSeconds;
    bool timedOut = false;
    for (;;) {
        const double left = deadline - nowSeconds();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd ready = {out[0].fd, POLLIN, 0};
        const int n = poll(&ready, 1, static_cast<int>(left * 1000) + 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) continue;
        char buffer[4096];
        const ssize_t got = read(out[0].fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (output.size() < 4096) output.append(buffer, static_cast<size_t>(got));
    }
    // Its end, which may come after it closed its output; killed when the wall clock runs out.
    if (timedOut) kill(-child, SIGKILL);
    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(child, &status, timedOut ? 0 : WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR)) break;
        if (ended == 0 && nowSeconds() >= deadline) {
            kill(-child, SIGKILL);
            timedOut = true;
        } else if (ended == 0) {
            usleep(2000);
        }
    }

    if (timedOut || (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL))) {
        why = "the replay did not end within the verifier's time limit";
        return Verified::no;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        why = "cannot run the verifier " + verifier;
        return Verified::failed;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        if (parseVerdict(firstLine(output), verdict)) return Verified::yes;
        why = "the verifier's answer was not understood: " + firstLine(output);
        return Verified::failed;
    }
    if (WIFSIGNALED(status)) {
        why = std::string("the verifier stopped on ") + strsignal(WTERMSIG(status));
        return Verified::no;
    }
    why = firstLine(output);
    if (why.empty()) why = "the replay does not verify";
    return Verified::no;
}

}  // namespace scores
