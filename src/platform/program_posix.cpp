#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/install_layout.h"
#include "platform/paths.h"
#include "platform/program.h"
#include "platform/trusted_links.h"

FILE* openGameFile(const char* gamePath, const char* mode) {
    char name[NAME_MAX + 1];
    const int folder = openTrustedFolder(nativePath(gamePath).text, name, sizeof name);
    if (folder < 0) {
        if (errno != ENOENT) errno = EACCES;
        return nullptr;
    }
    struct stat status;
    const int fd = openPlainFileAt(folder, name, O_RDONLY, &status);
    close(folder);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, mode);
    if (file == nullptr) close(fd);
    return file;
}

FILE* openNamedFile(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    FILE* file = fdopen(fd, "rb");
    if (file == nullptr) close(fd);
    return file;
}

FILE* openText(const char* text) { return fmemopen(const_cast<char*>(text), strlen(text), "r"); }

static int changeToDirectoryOf(char* programPath) {
    const int end = programDirectoryEnd(programPath);
    if (end < 0) return 0;
    const char separator = programPath[end];
    programPath[end] = '\0';
    const int changed = chdir(programPath) == 0;
    programPath[end] = separator;
    return changed;
}

// A system-wide install keeps its data in a folder of its own, found from the program's.
static int enterDataFolder() {
    const char* dataFolder = systemDataFolder();
    return dataFolder == nullptr || chdir(dataFolder) == 0;
}

int changeToProgramDirectory(char* programPath) {
    // The running program itself, links resolved: argv[0] may be a link in another folder, or
    // no path at all when started through PATH. A path that fills the buffer may be cut.
    char selfPath[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", selfPath, sizeof selfPath - 1);
    if (length > 0 && length < static_cast<ssize_t>(sizeof selfPath) - 1) {
        selfPath[length] = '\0';
        if (changeToDirectoryOf(selfPath)) return enterDataFolder();
    }
    return changeToDirectoryOf(programPath) && enterDataFolder();
}

void setEnvironment(const char* assignment) {
    char name[128];
    const char* equals = strchr(assignment, '=');
    if (equals == nullptr || static_cast<size_t>(equals - assignment) >= sizeof name) return;
    memcpy(name, assignment, equals - assignment);
    name[equals - assignment] = '\0';
    setenv(name, equals + 1, 1);
}

Build thisBuild() { return BUILD_LINUX; }

void endProgram() { exit(0); }

void saveWhenLeft(void (*)()) {}

// SDL turns SIGTERM into its quit request, which every loop of the game answers with a saved
// exit; passing the hang-up on takes that same road.
static void passOnAsTerminate(int) { raise(SIGTERM); }

void endOnHangUp() {
    static const int ENDING[] = {SIGHUP, SIGQUIT};
    for (int which : ENDING) {
        struct sigaction current;
        if (sigaction(which, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action;
        memset(&action, 0, sizeof action);
        action.sa_handler = passOnAsTerminate;
        sigemptyset(&action.sa_mask);
        sigaction(which, &action, nullptr);
    }
}

void ignoreClosedOutput() { signal(SIGPIPE, SIG_IGN); }

int absolutePath(const char* path, char* out, size_t size) {
    if (path[0] == '/') return snprintf(out, size, "%s", path) < static_cast<int>(size);
    char here[4096];
    if (getcwd(here, sizeof here) == nullptr) return 0;
    return snprintf(out, size, "%s/%s", here, path) < static_cast<int>(size);
}
