#include "options.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "checks.h"

namespace scores {

namespace {

const char kUsage[] =
    "usage: zembrak-scores [--listen ADDRESS:PORT] [--database URL] [--verifier PATH] [--web FOLDER]\n"
    "                      [--trust-forwarded] [--verify-cpu SECONDS] [--verify-memory MIB]\n"
    "                      [--verifiers N] [--verify-queue N] [--reads-per-minute N]\n";

[[noreturn]] void usage(const std::string& why) {
    std::cerr << "zembrak-scores: " << why << "\n" << kUsage;
    exit(2);
}

// The folder of the running program, for the verifier installed beside it.
std::string programFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    path[length] = '\0';
    std::string folder(path);
    return folder.substr(0, folder.rfind('/'));
}

// The address in $ZEMBRAK_SCORES_DATABASE, where a password stays out of the process list;
// else scores.sqlite in the state folder systemd made, or in $XDG_DATA_HOME/zembrak-scores,
// made as needed.
std::string defaultDatabase() {
    if (const char* named = getenv("ZEMBRAK_SCORES_DATABASE"); named && named[0] != '\0') return named;
    if (const char* state = getenv("STATE_DIRECTORY"); state && state[0] == '/') {
        const std::string first(state, strcspn(state, ":"));
        return first + "/scores.sqlite";
    }
    std::string base;
    if (const char* xdg = getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.local/share";
    } else {
        usage("set HOME or XDG_DATA_HOME, or name a database with --database");
    }
    const std::string folder = base + "/zembrak-scores";
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    return folder + "/scores.sqlite";
}

// ADDRESS:PORT, the address in brackets when it is IPv6.
void parseListen(const std::string& address, Options& options) {
    int64_t number;
    const size_t colon = address.rfind(':');
    if (colon == std::string::npos || !parseCount(address.substr(colon + 1), 65535, number))
        usage("--listen wants ADDRESS:PORT, e.g. 127.0.0.1:8080 or [::]:8080");
    options.host = address.substr(0, colon);
    if (options.host.size() >= 2 && options.host.front() == '[' && options.host.back() == ']')
        options.host = options.host.substr(1, options.host.size() - 2);
    options.port = static_cast<int>(number);
}

void parseCpu(const std::string& seconds, VerifyLimits& limits) {
    int64_t number;
    if (!parseCount(seconds, 3600, number) || number == 0) usage("--verify-cpu wants 1 to 3600 seconds");
    limits.cpuSeconds = static_cast<int>(number);
    limits.wallSeconds = static_cast<int>(3 * number + 10);
}

void parseMemory(const std::string& mebibytes, VerifyLimits& limits) {
    int64_t number;
    if (!parseCount(mebibytes, 1 << 20, number)) usage("--verify-memory wants MiB, 0 for no limit");
    limits.memoryMiB = static_cast<long>(number);
}

// A number from `low` to `high` for `option`.
int parseBounded(const std::string& option, const std::string& text, int low, int high) {
    int64_t number;
    if (!parseCount(text, high, number) || number < low)
        usage(option + " wants " + std::to_string(low) + " to " + std::to_string(high));
    return static_cast<int>(number);
}

}  // namespace

Options parseOptions(int argc, char** argv) {
    Options options;
    // More verifiers than cores only share them, each taking longer.
    const int cores = std::max(1, static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)));
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage(option + " needs a value");
            return argv[++i];
        };
        if (option == "--listen") {
            parseListen(value(), options);
        } else if (option == "--database") {
            options.database = value();
        } else if (option == "--verifier") {
            options.verifier = value();
        } else if (option == "--web") {
            options.web = value();
        } else if (option == "--trust-forwarded") {
            options.trustForwarded = true;
        } else if (option == "--verify-cpu") {
            parseCpu(value(), options.limits);
        } else if (option == "--verify-memory") {
            parseMemory(value(), options.limits);
        } else if (option == "--verifiers") {
            options.verifiers = parseBounded(option, value(), 1, cores);
        } else if (option == "--verify-queue") {
            options.verifyQueue = parseBounded(option, value(), 0, 1000);
        } else if (option == "--reads-per-minute") {
            options.readsPerMinute = parseBounded(option, value(), 1, 1000000);
        } else if (option == "--help" || option == "-h") {
            std::cout << "zembrak-scores: a leaderboard of verified replays (man zembrak-scores)\n" << kUsage;
            exit(0);
        } else {
            usage("unknown option " + option);
        }
    }
    if (options.verifiers == 0) options.verifiers = cores;
    if (options.verifier.empty()) options.verifier = programFolder() + "/zembrak-verify";
    if (options.database.empty()) options.database = defaultDatabase();
    return options;
}

}  // namespace scores
