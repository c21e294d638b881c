#include "host_tools.h"

#include <chrono>
#include <cstring>
#include <future>
#include <iostream>
#include <thread>

#include "answers.h"
#include "database.h"
#include "options.h"
#include "store.h"
#include "verify.h"

namespace scores {

namespace {

const char kUsage[] =
    "usage: zembrak-scores remove ID --reason TEXT [--database URL]\n"
    "       zembrak-scores restore ID [--database URL]\n"
    "       zembrak-scores reverify [--database URL] [--verifier PATH] [--verifiers N] [--verify-cpu SECONDS]\n"
    "                               [--verify-memory MIB]\n"
    "       zembrak-scores backup FILE [--database URL]\n";

// What a tool was given: its own words, and the server's options for the rest.
struct ToolArguments {
    std::string tool, target, reason;
    Options options;
};

[[noreturn]] void usage(const std::string& why) {
    std::cerr << "zembrak-scores: " << why << "\n" << kUsage;
    exit(2);
}

ToolArguments parseTool(int argc, char** argv) {
    ToolArguments arguments;
    arguments.tool = argv[1];
    std::vector<char*> rest{argv[0]};
    for (int i = 2; i < argc; ++i) {
        if (strcmp(argv[i], "--reason") == 0 && i + 1 < argc) {
            arguments.reason = argv[++i];
        } else if (argv[i][0] != '-' && arguments.target.empty()) {
            arguments.target = argv[i];
        } else {
            rest.push_back(argv[i]);
            // The value of a server option goes with it.
            if (argv[i][0] == '-' && i + 1 < argc && strcmp(argv[i], "--trust-forwarded") != 0)
                rest.push_back(argv[++i]);
        }
    }
    rest.push_back(nullptr);
    arguments.options = parseOptions(static_cast<int>(rest.size()) - 1, rest.data());
    const bool wantsTarget = arguments.tool != "reverify";
    if (!wantsTarget && !arguments.target.empty()) usage("reverify plays every stored tape: it takes no ID");
    if (wantsTarget && arguments.target.empty())
        usage(arguments.tool + (arguments.tool == "backup" ? " needs the FILE to write" : " needs the entry's ID"));
    return arguments;
}

int64_t entryId(const std::string& text) {
    int64_t id = 0;
    if (!parseCount(text, INT64_MAX / 2, id) || id == 0)
        usage("an entry is named by its number, as in /replays/ID.replay");
    return id;
}

int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int report(Change change, const std::string& entry, const char* done, const char* already) {
    if (change == Change::noSuchEntry) {
        std::cerr << "zembrak-scores: no entry " << entry << std::endl;
        return 1;
    }
    std::cout << entry << (change == Change::done ? done : already) << std::endl;
    return 0;
}

int removeEntry(Store& store, const ToolArguments& arguments) {
    if (arguments.reason.empty()) usage("remove needs --reason TEXT, kept with the entry");
    const int64_t id = entryId(arguments.target);
    return report(store.remove(id, arguments.reason, nowSeconds()), "#" + std::to_string(id),
                  " is off the board; its game stays refused", " was off the board already");
}

int restoreEntry(Store& store, const ToolArguments& arguments) {
    const int64_t id = entryId(arguments.target);
    return report(store.restore(id), "#" + std::to_string(id), " is back on the board", " was on the board already");
}

// What the verifier said of one stored tape.
struct Replayed {
    Verified verified;
    Verdict verdict;
    std::string why;
};

struct Tally {
    int64_t played = 0, verify = 0, takenOff = 0, keys = 0;
    std::string takenOffIds;
};

void takeOff(Store& store, int64_t id, const std::string& why, Tally& tally) {
    if (store.remove(id, "reverify: " + why, nowSeconds()) != Change::done) return;
    std::cout << "#" << id << " taken off the board: " << why << std::endl;
    ++tally.takenOff;
    tally.takenOffIds += (tally.takenOffIds.empty() ? "#" : ", #") + std::to_string(id);
}

// One tape's verdict applied: a tape that no longer verifies, or verifies to another score,
// leaves the board; its game's key is brought up to date, and of two entries of one game the
// later leaves the board. False when the verifier could not be run at all.
bool applyVerdict(Store& store, const Stored& stored, const Replayed& replayed, Tally& tally) {
    ++tally.played;
    const std::string entry = "#" + std::to_string(stored.id);
    if (replayed.verified == Verified::failed) {
        std::cerr << "zembrak-scores: " << replayed.why << std::endl;
        return false;
    }
    if (replayed.verified == Verified::no) {
        if (stored.removed) std::cout << entry << " (off the board) does not verify: " << replayed.why << std::endl;
        takeOff(store, stored.id, replayed.why, tally);
        return true;
    }
    ++tally.verify;
    store.setPace(stored.id, verdictPace(replayed.verdict));
    if (replayed.verdict.score != stored.score)
        takeOff(store, stored.id,
                "verifies to " + std::to_string(replayed.verdict.score) + ", not " + std::to_string(stored.score),
                tally);
    const std::string& key = replayed.verdict.gameKey;
    if (key == stored.game) return true;
    const int64_t other = store.rekey(stored.id, key);
    if (other == 0 || other > stored.id) ++tally.keys;  // the key is this entry's now
    if (other != 0)
        takeOff(store, std::max(other, stored.id), "copy of #" + std::to_string(std::min(other, stored.id)), tally);
    return true;
}

// Every stored tape played again, as many at once as the server would (--verifiers, or one a
// core), the verdicts applied in the order the entries came.
int reverify(Store& store, const Options& options) {
    const int64_t atOnce =
        options.verifiers > 0 ? options.verifiers : std::max(1u, std::thread::hardware_concurrency());
    Tally tally;
    for (int64_t after = 0;;) {
        const std::vector<Stored> batch = store.storedAfter(after, atOnce);
        if (batch.empty()) break;
        std::vector<std::future<Replayed>> replays;
        for (const Stored& stored : batch)
            replays.push_back(std::async(std::launch::async, [&options, &stored] {
                Replayed replayed;
                replayed.verified =
                    verifyTape(options.verifier, stored.tape, options.limits, replayed.verdict, replayed.why);
                return replayed;
            }));
        for (size_t i = 0; i < batch.size(); ++i)
            if (!applyVerdict(store, batch[i], replays[i].get(), tally)) return 1;
        after = batch.back().id;
    }
    std::cout << "reverify: " << tally.played << " stored, " << tally.verify << " verify, " << tally.takenOff
              << " taken off the board" << (tally.takenOffIds.empty() ? "" : " (" + tally.takenOffIds + ")") << ", "
              << tally.keys << " game keys updated" << std::endl;
    return 0;
}

int backup(const ToolArguments& arguments) {
    if (isPostgres(arguments.options.database)) {
        std::cerr << "zembrak-scores: backup copies an SQLite board; for PostgreSQL use pg_dump (see the README)"
                  << std::endl;
        return 2;
    }
    backupSqlite(sqlitePath(arguments.options.database), arguments.target);
    std::cout << "the board is copied to " << arguments.target << std::endl;
    return 0;
}

}  // namespace

bool isHostTool(const char* word) {
    for (const char* tool : {"remove", "restore", "reverify", "backup"})
        if (strcmp(word, tool) == 0) return true;
    return false;
}

int runHostTool(int argc, char** argv) {
    const ToolArguments arguments = parseTool(argc, argv);
    try {
        if (arguments.tool == "backup") return backup(arguments);
        const std::unique_ptr<Store> store = openStore(arguments.options.database);
        if (arguments.tool == "remove") return removeEntry(*store, arguments);
        if (arguments.tool == "restore") return restoreEntry(*store, arguments);
        return reverify(*store, arguments.options);
    } catch (const std::exception& error) {
        std::cerr << "zembrak-scores: " << error.what() << std::endl;
        return 1;
    }
}

}  // namespace scores
