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

// A verifier started on a tape: its process (a group of its own) and the pipe of its output.
struct Child {
    pid_t pid = -1;
    Fd output;
};

// Starts `verifier /dev/fd/3` with the tape on descriptor 3, within the limits.
bool startVerifier(const std::string& verifier, const std::string& tape, const VerifyLimits& limits, Child& child,
                   std::string& why) {
    // The tape as an anonymous file the child reads through /dev/fd/3: nothing on disk to clean.
    Fd file, write;
    file.fd = memfd_create("replay", MFD_CLOEXEC);
    int pipeFds[2];
    if (file.fd < 0 || !writeAll(file.fd, tape) || lseek(file.fd, 0, SEEK_SET) != 0 || pipe2(pipeFds, O_CLOEXEC) != 0) {
        why = std::string("cannot hand the replay to the verifier: ") + strerror(errno);
        return false;
    }
    child.output.fd = pipeFds[0];
    write.fd = pipeFds[1];
    const std::string path = "/dev/fd/3";
    char* const argv[] = {const_cast<char*>(verifier.c_str()), const_cast<char*>(path.c_str()), nullptr};
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) {
        why = std::string("cannot open /dev/null: ") + strerror(errno);
        return false;
    }

    child.pid = fork();
    if (child.pid == 0) {
        // Only calls that are safe between fork and exec in a threaded program. A group of its
        // own, so that whatever it starts is stopped with it.
        setpgid(0, 0);
        // The server takes its stop signals on a thread of its own: the verifier gets them back.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        const rlimit cpu = {rlim_t(limits.cpuSeconds), rlim_t(limits.cpuSeconds) + 1};
        setrlimit(RLIMIT_CPU, &cpu);
        if (limits.memoryMiB > 0) {
            const rlimit memory = {rlim_t(limits.memoryMiB) << 20, rlim_t(limits.memoryMiB) << 20};
            setrlimit(RLIMIT_AS, &memory);
        }
        const rlimit noCores = {0, 0};
        setrlimit(RLIMIT_CORE, &noCores);
        if (dup2(devNull, 0) < 0 || dup2(write.fd, 1) < 0 || dup2(devNull, 2) < 0) _exit(126);
        if (file.fd == 3 ? fcntl(3, F_SETFD, 0) < 0 : dup2(file.fd, 3) < 0) _exit(126);
        // The server's sockets and database connections stay with the server.
        close_range(4, ~0u, 0);
        execv(verifier.c_str(), argv);
        _exit(127);
    }
    close(devNull);
    if (child.pid < 0) {
        why = std::string("cannot start the verifier: ") + strerror(errno);
        return false;
    }
    setpgid(child.pid, child.pid);  // as the child does itself: whichever comes first
    return true;
}

// Its output, at most a few kilobytes of it, until it ends or the wall clock runs out; then
// its end, which may come after it closed its output. Killed when the wall clock runs out.
void readVerifier(Child& child, double wallSeconds, std::string& output, int& status, bool& timedOut) {
    const double deadline = nowSeconds() + wallSeconds;
    timedOut = false;
    for (;;) {
        const double left = deadline - nowSeconds();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd ready = {child.output.fd, POLLIN, 0};
        const int n = poll(&ready, 1, static_cast<int>(left * 1000) + 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) continue;
        char buffer[4096];
        const ssize_t got = read(child.output.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (output.size() < 4096) output.append(buffer, static_cast<size_t>(got));
    }
    if (timedOut) kill(-child.pid, SIGKILL);
    status = 0;
    for (;;) {
        const pid_t ended = waitpid(child.pid, &status, timedOut ? 0 : WNOHANG);
        if (ended == child.pid || (ended < 0 && errno != EINTR)) break;
        if (ended == 0 && nowSeconds() >= deadline) {
            kill(-child.pid, SIGKILL);
            timedOut = true;
        } else if (ended == 0) {
            usleep(2000);
        }
    }
}

// What the verifier's end and output say of the replay.
Verified judge(const std::string& verifier, int status, bool timedOut, const std::string& output, Verdict& verdict,
               std::string& why) {
    if (timedOut) {
        why = "the replay did not end within the verifier's time limit";
        return Verified::no;
    }
    // The processor-time limit sends SIGXCPU, and SIGKILL a second later to a child that ignores it.
    if (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL)) {
        why = "the replay did not end within the verifier's processor time";
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

}  // namespace

bool VerifierTurns::take() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (running_ < verifiers_) {
        ++running_;
        return true;
    }
    if (inLine_ >= waiting_) return false;
    ++inLine_;
    free_.wait(lock, [this] { return running_ < verifiers_; });
    --inLine_;
    ++running_;
    return true;
}

void VerifierTurns::giveBack() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        --running_;
    }
    free_.notify_one();
}

Verified verifyTape(const std::string& verifier, const std::string& tape, const VerifyLimits& limits, Verdict& verdict,
                    std::string& why) {
    Child child;
    if (!startVerifier(verifier, tape, limits, child, why)) return Verified::failed;
    std::string output;
    int status = 0;
    bool timedOut = false;
    readVerifier(child, limits.wallSeconds, output, status, timedOut);
    return judge(verifier, status, timedOut, output, verdict, why);
}

}  // namespace scores
