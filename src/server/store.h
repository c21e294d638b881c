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
};

struct NewEntry {
    std::string name;
    int64_t score, frames;
    std::string library, version;
    int64_t submitted;
    std::string sha256;  // hexadecimal, of the tape
    std::string tape;
};

class Store {
   public:
    virtual ~Store() = default;
    // Counts one upload from `address` at `now` (seconds) unless it already sent `limit` in the
    // minute before: false then. Forgets attempts older than a minute, so the table stays small.
    virtual bool allowUpload(const std::string& address, int64_t now, int limit) = 0;
    // Whether a tape with this digest is on the board already.
    virtual bool hasTape(const std::string& sha256) = 0;
    // Stores the entry: its id and its rank on the whole board. False when the same tape got
    // there first.
    virtual bool add(const NewEntry& entry, int64_t& id, int64_t& rank) = 0;
    // The board from the best score down (equal scores in the order they came), ranked over the
    // version asked for or over all when it is empty.
    virtual std::vector<Entry> list(const std::string& version, int64_t limit, int64_t offset) = 0;
    // The tape of an entry; false when there is no such entry.
    virtual bool tape(int64_t id, std::string& bytes) = 0;
    // Entries stored.
    virtual int64_t count() = 0;
};

// "postgresql://…" or "postgres://…" for PostgreSQL; otherwise a path of an SQLite file, or
// "sqlite:PATH". Creates the tables when they are missing.
std::unique_ptr<Store> openStore(const std::string& url);

// The tables, the same for both databases but for the two column types named here.
std::string schemaSql(const std::string& idColumn, const std::string& blobType);

std::unique_ptr<Store> openSqlite(const std::string& path);
std::unique_ptr<Store> openPostgres(const std::string& url);

}  // namespace scores
