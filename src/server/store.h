// Where the leaderboard keeps its entries: SQLite in one file, or PostgreSQL shared by any
// number of server processes. Both keep the same tables and answer the same questions; every
// method may be called from many threads at once and throws std::runtime_error when the
// database fails.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace scores {

struct Entry {
    int64_t id = 0, rank = 0;
    std::string name;
    int64_t score = 0, frames = 0;
    std::string library, version;
    int64_t submitted = 0;  // seconds since 1970, UTC
    std::string pace;       // as the verifier measured it; empty for entries stored before it did
};

struct NewEntry {
    std::string name;
    int64_t score, frames;
    std::string library, version;
    int64_t submitted;
    std::string sha256;  // hexadecimal, of the tape
    std::string game;    // the verifier's key of the game played: one entry per game
    std::string pace;    // the verifier's words for the pace of play
    std::string tape;
};

// The entry an upload repeats: the same bytes, or the same game in other bytes.
struct Earlier {
    int64_t id = 0;
    bool removed = false;  // taken off the board by its host: the game stays refused
};

// A stored entry as the host's tools see it, on the board or off it.
struct Stored {
    int64_t id = 0, score = 0;
    std::string game;  // empty when not known yet, or given up to the earlier entry it copies
    bool removed = false;
    std::string tape;
};

enum class Change { done, noSuchEntry, already };

class Store {
   public:
    virtual ~Store() = default;
    // Counts one upload from `address` at `now` (seconds) unless it already sent `limit` in the
    // minute before: false then. Forgets attempts older than a minute, so the table stays small.
    virtual bool allowUpload(const std::string& address, int64_t now, int limit) = 0;
    // The entry stored with these bytes or this game (none when empty), on the board or off it;
    // false when none.
    virtual bool findEarlier(const std::string& sha256, const std::string& game, Earlier& earlier) = 0;
    // Stores the entry: its id and its rank on its version's board, the one the page shows
    // first. False, with the entry it
    // repeats, when the same bytes or the same game got there first.
    virtual bool add(const NewEntry& entry, int64_t& id, int64_t& rank, Earlier& earlier) = 0;
    // The board from the best score down (equal scores in the order they came, sharing a rank),
    // ranked over the version asked for or over all when it is empty. Costs the same on any page
    // of any board.
    virtual std::vector<Entry> list(const std::string& version, int64_t limit, int64_t offset) = 0;
    // The rank a score has on the board of `version` (all when empty): one more than the
    // entries above it.
    virtual int64_t rankOf(int64_t score, const std::string& version) = 0;
    // One entry on the board, ranked among the entries of its version; false when there is no
    // such entry on it.
    virtual bool entry(int64_t id, Entry& entry) = 0;
    // Every version with entries on the board, once each, in no particular order.
    virtual std::vector<std::string> versions() = 0;
    // The tape of an entry on the board; false when there is no such entry on it.
    virtual bool tape(int64_t id, std::string& bytes) = 0;
    // Entries on the board.
    virtual int64_t count() = 0;

    // The host's tools. An entry taken off the board stays stored, with the reason and the
    // time, and its game stays refused; back on the board it ranks as before.
    virtual Change remove(int64_t id, const std::string& reason, int64_t now) = 0;
    virtual Change restore(int64_t id) = 0;
    // Up to `limit` stored entries after `afterId`, in the order they came, with their tapes.
    virtual std::vector<Stored> storedAfter(int64_t afterId, int64_t limit) = 0;
    // Gives entry `id` the key its game has now. When another entry holds that key, the earlier
    // of the two keeps it and the other's id is returned (0 when none): the later is a copy.
    virtual int64_t rekey(int64_t id, const std::string& game) = 0;
    // Notes the pace the current verifier measured in entry `id`'s game.
    virtual void setPace(int64_t id, const std::string& pace) = 0;
};

// "postgresql://…" or "postgres://…" for PostgreSQL; otherwise a path of an SQLite file, or
// "sqlite:PATH". Brings the tables to the current schema, creating them when missing.
std::unique_ptr<Store> openStore(const std::string& url);
bool isPostgres(const std::string& url);
// The SQLite file a database address names.
std::string sqlitePath(const std::string& url);

// The schema version this program writes; each one up to it is a migration run at start.
int schemaVersion();

}  // namespace scores
