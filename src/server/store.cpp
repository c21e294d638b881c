#include "store.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "database.h"

namespace scores {

namespace {

// One SQL text for both databases: $N parameters, RETURNING, ON CONFLICT.
const char kCountRecent[] = "SELECT COUNT(*) FROM upload_attempts WHERE address = $1 AND at > $2";
const char kRecordAttempt[] = "INSERT INTO upload_attempts (address, at) VALUES ($1, $2)";
const char kForgetAttempts[] = "DELETE FROM upload_attempts WHERE at <= $1";
const char kEarlier[] =
    "SELECT id, CASE WHEN removed IS NULL THEN 0 ELSE 1 END FROM scores WHERE sha256 = $1 OR game = $2 "
    "ORDER BY id LIMIT 1";
const char kInsert[] =
    "INSERT INTO scores (name, score, frames, library, version, submitted, sha256, game, tape, pace) "
    "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10) RETURNING id";
const char kPage[] =
    "SELECT id, name, score, frames, library, version, submitted FROM scores "
    "WHERE removed IS NULL AND score <= $1 ORDER BY score DESC, id LIMIT $2 OFFSET $3";
const char kVersionPage[] =
    "SELECT id, name, score, frames, library, version, submitted FROM scores "
    "WHERE removed IS NULL AND version = $4 AND score <= $1 ORDER BY score DESC, id LIMIT $2 OFFSET $3";
const char kChildren[] =
    "SELECT prefix, n FROM board_counts WHERE version = $1 AND level = $2 AND prefix BETWEEN $3 AND $4 "
    "ORDER BY prefix DESC";
const char kEntry[] =
    "SELECT id, name, score, frames, library, version, submitted, COALESCE(pace, '') FROM scores "
    "WHERE id = $1 AND removed IS NULL";
// The root of each version's tree that still counts an entry.
const char kVersions[] = "SELECT version FROM board_counts WHERE level = $1 AND version <> '' AND n > 0";
const char kHighestLevel[] =
    "SELECT level FROM board_counts WHERE version = $1 AND prefix > 0 AND n > 0 ORDER BY level DESC LIMIT 1";
const char kTape[] = "SELECT tape FROM scores WHERE id = $1 AND removed IS NULL";
const char kOnBoard[] = "SELECT score, version, CASE WHEN removed IS NULL THEN 0 ELSE 1 END FROM scores WHERE id = $1";
const char kRemove[] = "UPDATE scores SET removed = $2, removed_at = $3 WHERE id = $1";
const char kRestore[] = "UPDATE scores SET removed = NULL, removed_at = NULL WHERE id = $1";
const char kStoredAfter[] =
    "SELECT id, score, COALESCE(game, ''), CASE WHEN removed IS NULL THEN 0 ELSE 1 END, tape FROM scores "
    "WHERE id > $1 ORDER BY id LIMIT $2";
const char kKeyHolder[] = "SELECT id FROM scores WHERE game = $1 AND id <> $2";
const char kSetKey[] = "UPDATE scores SET game = $2 WHERE id = $1";
const char kSetPace[] = "UPDATE scores SET pace = $2 WHERE id = $1";
const char kDropKey[] = "UPDATE scores SET game = NULL WHERE id = $1";
const char kReadSchemaVersion[] = "SELECT MAX(version) FROM schema_version";
const char kSetSchemaVersion[] = "INSERT INTO schema_version (version) VALUES ($1)";

// Ranks come from a tree of counts, so that no read walks the board. Level L counts the
// entries whose score shifted right by L bits is `prefix`, on the board of each version and
// on the whole board (version ''): 16 levels of 4 bits, from single scores up to one node.
constexpr int kLevelBits = 4;
constexpr int kTopLevel = 60;
constexpr int64_t kDigitMask = (1 << kLevelBits) - 1;

// Adds $2 to the count of score $3 >> level at every level ($3 to $18), on the whole board and
// on version $1's. In the same order everywhere, so that two writers never wait on each other.
std::string countsSql() {
    std::string sql = "INSERT INTO board_counts (version, level, prefix, n) VALUES ";
    for (int level = 0, param = 3; level <= kTopLevel; level += kLevelBits, ++param) {
        const std::string values = std::to_string(level) + ", $" + std::to_string(param) + ", $2)";
        sql += (level ? ", ('', " : "('', ") + values + ", ($1, " + values;
    }
    return sql + " ON CONFLICT (version, level, prefix) DO UPDATE SET n = board_counts.n + excluded.n";
}

// The entries above a score on version $1's board: at each level, the siblings greater than
// the score's own prefix, $2 to $3 at level 0, $4 to $5 at level 4 and so on.
std::string aboveSql() {
    std::string sql = "SELECT COALESCE(SUM(n), 0) FROM (";
    for (int level = 0, param = 2; level <= kTopLevel; level += kLevelBits, param += 2) {
        sql += std::string(level ? " UNION ALL " : "") +
               "SELECT n FROM board_counts WHERE version = $1 AND level = " + std::to_string(level) +
               " AND prefix BETWEEN $" + std::to_string(param) + " AND $" + std::to_string(param + 1);
    }
    return sql + ") AS above";
}

const std::string kCounts = countsSql();
const std::string kAbove = aboveSql();

// The tables as the first servers made them.
std::string firstSchema(const Database& db) {
    return std::string("CREATE TABLE IF NOT EXISTS scores (id ") + db.idColumn() +
           ", name TEXT NOT NULL, score BIGINT NOT NULL, frames BIGINT NOT NULL, library TEXT NOT NULL,"
           " version TEXT NOT NULL, submitted BIGINT NOT NULL, sha256 TEXT NOT NULL UNIQUE, tape " +
           db.blobType() +
           " NOT NULL);"
           "CREATE INDEX IF NOT EXISTS scores_board ON scores (score DESC, id, name, frames, library, version, "
           "submitted);"
           "CREATE TABLE IF NOT EXISTS upload_attempts (address TEXT NOT NULL, at BIGINT NOT NULL);"
           "CREATE INDEX IF NOT EXISTS upload_attempts_by_address ON upload_attempts (address, at);"
           "CREATE INDEX IF NOT EXISTS upload_attempts_by_time ON upload_attempts (at);";
}

// One entry per game, entries taken off the board, and ranks from the tree of counts. Entries
// stored before have no game key until `reverify` gives them the verifier's; their bytes stay
// refused meanwhile.
std::string secondSchema(const Database&) {
    std::string sql =
        "ALTER TABLE scores ADD COLUMN game TEXT;"
        "ALTER TABLE scores ADD COLUMN removed TEXT;"
        "ALTER TABLE scores ADD COLUMN removed_at BIGINT;"
        "CREATE UNIQUE INDEX scores_game ON scores (game);"
        "DROP INDEX scores_board;"
        "CREATE INDEX scores_board ON scores (score DESC, id) WHERE removed IS NULL;"
        "CREATE INDEX scores_board_by_version ON scores (version, score DESC, id) WHERE removed IS NULL;"
        "CREATE TABLE board_counts (version TEXT NOT NULL, level INTEGER NOT NULL, prefix BIGINT NOT NULL,"
        " n BIGINT NOT NULL, PRIMARY KEY (version, level, prefix));";
    for (int level = 0; level <= kTopLevel; level += kLevelBits) {
        const std::string prefix = "score >> " + std::to_string(level);
        const std::string from = std::to_string(level) + ", " + prefix + ", COUNT(*) FROM scores GROUP BY ";
        sql += "INSERT INTO board_counts (version, level, prefix, n) SELECT '', " + from + prefix + ";";
        sql +=
            "INSERT INTO board_counts (version, level, prefix, n) SELECT version, " + from + "version, " + prefix + ";";
    }
    return sql;
}

// The versions on the board found from the top of their trees, without reading the rest.
std::string thirdSchema(const Database&) {
    return "CREATE INDEX board_counts_by_level ON board_counts (level, version);";
}

// The pace the verifier measured, for an entry's page; `reverify` fills it in for older entries.
std::string fourthSchema(const Database&) { return "ALTER TABLE scores ADD COLUMN pace TEXT;"; }

// Every schema's changes from the one before, in order. One that has shipped never changes:
// boards written by it are upgraded by the ones after.
using Migration = std::string (*)(const Database&);
const Migration kMigrations[] = {firstSchema, secondSchema, thirdSchema, fourthSchema};
constexpr int kSchemaVersion = sizeof kMigrations / sizeof kMigrations[0];

int64_t number(const std::string& text) { return std::stoll(text); }

// A row of id, name, score, frames, library, version, submitted; the rank is the caller's.
Entry entryOf(const Row& row) {
    Entry entry;
    entry.id = number(row[0]);
    entry.name = row[1];
    entry.score = number(row[2]);
    entry.frames = number(row[3]);
    entry.library = row[4];
    entry.version = row[5];
    entry.submitted = number(row[6]);
    return entry;
}

// Connections kept for the next request; one that failed is dropped, so a database that went
// away and came back is reached again. At most kMaxOpen are open: more would only queue in the
// database. After one did not answer in time, every request is answered at once with the
// fault for a short rest, instead of each waiting out its own timeout.
class Pool {
   public:
    explicit Pool(std::function<std::unique_ptr<Database>()> connect) : connect_(std::move(connect)) {}

    class Lease {
       public:
        Lease(Pool& pool, std::unique_ptr<Database> db) : pool_(pool), db_(std::move(db)) {}
        Lease(Lease&& other) : pool_(other.pool_), db_(std::move(other.db_)) {}
        ~Lease() {
            if (db_) pool_.giveBack(std::move(db_), std::uncaught_exceptions() == exceptions_);
        }
        Database* operator->() { return db_.get(); }
        Database& operator*() { return *db_; }

       private:
        Pool& pool_;
        std::unique_ptr<Database> db_;
        int exceptions_ = std::uncaught_exceptions();
    };

    Lease take() {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto deadline = Clock::now() + kWait;
        for (;;) {
            if (Clock::now() < restUntil_) throw NotAnswering("the database did not answer a moment ago");
            if (!idle_.empty()) {
                std::unique_ptr<Database> db = std::move(idle_.back());
                idle_.pop_back();
                return Lease(*this, std::move(db));
            }
            if (open_ < kMaxOpen) break;
            if (freed_.wait_until(lock, deadline) == std::cv_status::timeout)
                throw NotAnswering("every connection to the database is busy");
        }
        ++open_;
        lock.unlock();
        try {
            return Lease(*this, connect_());
        } catch (const NotAnswering&) {
            dropped(true);
            throw;
        } catch (...) {
            dropped(false);
            throw;
        }
    }

   private:
    using Clock = std::chrono::steady_clock;
    static constexpr int kMaxOpen = 16;
    static constexpr auto kWait = std::chrono::seconds(2);
    static constexpr auto kRest = std::chrono::seconds(1);

    // A connection back from a lease: kept when the lease ended well, dropped when it threw.
    void giveBack(std::unique_ptr<Database> db, bool well) {
        if (!well) {
            const bool hung = db->hung();
            db.reset();
            return dropped(hung);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        idle_.push_back(std::move(db));
        freed_.notify_one();
    }

    void dropped(bool notAnswering) {
        std::lock_guard<std::mutex> lock(mutex_);
        --open_;
        if (notAnswering) restUntil_ = Clock::now() + kRest;
        freed_.notify_one();
    }

    std::function<std::unique_ptr<Database>()> connect_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<Database>> idle_;
    int open_ = 0;
    Clock::time_point restUntil_;
};

// Runs `work` in a transaction begun by `begin`: committed when it returns, rolled back when it
// throws.
template <typename Work>
auto inTransaction(Database& db, void (Database::*begin)(), Work work) {
    (db.*begin)();
    try {
        auto result = work();
        db.run("COMMIT");
        return result;
    } catch (...) {
        try {
            db.run("ROLLBACK");
        } catch (...) {
        }
        throw;
    }
}

void moveCounts(Database& db, int64_t score, const std::string& version, int64_t by) {
    std::vector<Param> params{textParam(version), intParam(by)};
    for (int level = 0; level <= kTopLevel; level += kLevelBits) params.push_back(intParam(score >> level));
    db.query(kCounts.c_str(), params);
}

int64_t entriesAbove(Database& db, int64_t score, const std::string& version) {
    std::vector<Param> params{textParam(version)};
    for (int level = 0; level <= kTopLevel; level += kLevelBits) {
        params.push_back(intParam((score >> level) + 1));
        params.push_back(intParam((score >> level) | kDigitMask));
    }
    return number(db.query(kAbove.c_str(), params)[0][0]);
}

// The score of the entry `offset` places below the top of version `version`'s board, and how
// many entries of that score come before it there: down the tree, one level at a time. False
// past the end of the board.
bool findPlace(Database& db, const std::string& version, int64_t offset, int64_t& score, int64_t& within) {
    // Above the highest level holding a score's prefix other than 0 the way down is all 0s:
    // for scores below 2^20, five levels instead of sixteen.
    const std::vector<Row> highest = db.query(kHighestLevel, {textParam(version)});
    int64_t node = 0;
    for (int level = highest.empty() ? 0 : static_cast<int>(number(highest[0][0])); level >= 0; level -= kLevelBits) {
        const std::vector<Row> children =
            db.query(kChildren, {textParam(version), intParam(level), intParam(node << kLevelBits),
                                 intParam((node << kLevelBits) | kDigitMask)});
        bool found = false;
        for (const Row& child : children) {
            const int64_t count = number(child[1]);
            if (offset < count) {
                node = number(child[0]);
                found = true;
                break;
            }
            offset -= count;
        }
        if (!found) return false;
    }
    score = node;
    within = offset;
    return true;
}

bool findEarlierIn(Database& db, const std::string& sha256, const std::string& game, Earlier& earlier) {
    const std::vector<Row> rows = db.query(kEarlier, {textParam(sha256), textParam(game)});
    if (rows.empty()) return false;
    earlier.id = number(rows[0][0]);
    earlier.removed = rows[0][1] == "1";
    return true;
}

// Brings the tables to the current schema, each migration not run yet in turn, all in one
// transaction: a failure leaves the board as it was.
void migrate(Database& db) {
    inTransaction(db, &Database::beginMigrating, [&] {
        db.run("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
        const std::vector<Row> rows = db.query(kReadSchemaVersion, {});
        const int64_t at = rows.empty() || rows[0][0].empty() ? 0 : number(rows[0][0]);
        if (at > kSchemaVersion)
            throw std::runtime_error("the database has schema " + std::to_string(at) + ", newer than this server's " +
                                     std::to_string(kSchemaVersion) + ": run the newer zembrak-scores");
        for (int64_t step = at; step < kSchemaVersion; ++step) db.run(kMigrations[step](db).c_str());
        if (at < kSchemaVersion) {
            db.run("DELETE FROM schema_version");
            db.query(kSetSchemaVersion, {intParam(kSchemaVersion)});
        }
        return at;
    });
}

class SqlStore : public Store {
   public:
    // Migrates on a connection of its own, without the time limits of a request's.
    explicit SqlStore(std::function<std::unique_ptr<Database>()> connect) : pool_(connect) {
        const std::unique_ptr<Database> db = connect();
        db->waitAsLongAsNeeded();
        migrate(*db);
    }

    bool allowUpload(const std::string& address, int64_t now, int limit) override {
        auto db = pool_.take();
        forgetOld(*db, now);
        db->beginCounting(address);
        try {
            const int64_t recent = number(db->query(kCountRecent, {textParam(address), intParam(now - 60)})[0][0]);
            const bool allowed = recent < limit;
            if (allowed) db->query(kRecordAttempt, {textParam(address), intParam(now)});
            db->run("COMMIT");
            return allowed;
        } catch (...) {
            db->run("ROLLBACK");
            throw;
        }
    }

    bool findEarlier(const std::string& sha256, const std::string& game, Earlier& earlier) override {
        return findEarlierIn(*pool_.take(), sha256, game, earlier);
    }

    bool add(const NewEntry& entry, int64_t& id, int64_t& rank, Earlier& earlier) override {
        auto db = pool_.take();
        try {
            inTransaction(*db, &Database::beginWriting, [&] {
                id = number(db->query(
                    kInsert,
                    {textParam(entry.name), intParam(entry.score), intParam(entry.frames), textParam(entry.library),
                     textParam(entry.version), intParam(entry.submitted), textParam(entry.sha256),
                     textParam(entry.game), blobParam(entry.tape), textParam(entry.pace)})[0][0]);
                moveCounts(*db, entry.score, entry.version, 1);
                rank = entriesAbove(*db, entry.score, entry.version) + 1;
                return true;
            });
            return true;
        } catch (const UniqueViolation&) {
        }
        if (!findEarlierIn(*db, entry.sha256, entry.game, earlier))
            throw std::runtime_error("an entry refused as a copy has no original");
        return false;
    }

    std::vector<Entry> list(const std::string& version, int64_t limit, int64_t offset) override {
        auto db = pool_.take();
        return inTransaction(*db, &Database::beginReading, [&] {
            std::vector<Entry> entries;
            int64_t score = 0, within = 0;
            if (limit <= 0 || !findPlace(*db, version, offset, score, within)) return entries;
            std::vector<Param> params{intParam(score), intParam(limit), intParam(within)};
            if (!version.empty()) params.push_back(textParam(version));
            const std::vector<Row> rows = db->query(version.empty() ? kPage : kVersionPage, params);
            // The first row's rank counts the entries above its score; a later row's, those above it.
            int64_t rank = offset - within + 1;
            for (const Row& row : rows) {
                Entry entry = entryOf(row);
                if (!entries.empty() && entry.score != entries.back().score)
                    rank = offset + static_cast<int64_t>(entries.size()) + 1;
                entry.rank = rank;
                entries.push_back(entry);
            }
            return entries;
        });
    }

    int64_t rankOf(int64_t score, const std::string& version) override {
        return entriesAbove(*pool_.take(), score, version) + 1;
    }

    bool entry(int64_t id, Entry& entry) override {
        auto db = pool_.take();
        return inTransaction(*db, &Database::beginReading, [&] {
            const std::vector<Row> rows = db->query(kEntry, {intParam(id)});
            if (rows.empty()) return false;
            entry = entryOf(rows[0]);
            entry.pace = rows[0][7];
            entry.rank = entriesAbove(*db, entry.score, entry.version) + 1;
            return true;
        });
    }

    std::vector<std::string> versions() override {
        std::vector<std::string> found;
        for (const Row& row : pool_.take()->query(kVersions, {intParam(kTopLevel)})) found.push_back(row[0]);
        return found;
    }

    bool tape(int64_t id, std::string& bytes) override {
        const std::vector<Row> rows = pool_.take()->query(kTape, {intParam(id)});
        if (rows.empty()) return false;
        bytes = rows[0][0];
        return true;
    }

    // The root of the whole board's tree.
    int64_t count() override {
        const std::vector<Row> rows =
            pool_.take()->query(kChildren, {textParam(""), intParam(kTopLevel), intParam(0), intParam(kDigitMask)});
        int64_t entries = 0;
        for (const Row& row : rows) entries += number(row[1]);
        return entries;
    }

    Change remove(int64_t id, const std::string& reason, int64_t now) override {
        return putOnBoard(id, false, [&](Database& db) {
            db.query(kRemove, {intParam(id), textParam(reason), intParam(now)});
        });
    }

    Change restore(int64_t id) override {
        return putOnBoard(id, true, [&](Database& db) { db.query(kRestore, {intParam(id)}); });
    }

    std::vector<Stored> storedAfter(int64_t afterId, int64_t limit) override {
        std::vector<Stored> stored;
        for (const Row& row : pool_.take()->query(kStoredAfter, {intParam(afterId), intParam(limit)})) {
            Stored entry;
            entry.id = number(row[0]);
            entry.score = number(row[1]);
            entry.game = row[2];
            entry.removed = row[3] == "1";
            entry.tape = row[4];
            stored.push_back(std::move(entry));
        }
        return stored;
    }

    int64_t rekey(int64_t id, const std::string& game) override {
        auto db = pool_.take();
        return inTransaction(*db, &Database::beginWriting, [&]() -> int64_t {
            const std::vector<Row> holders = db->query(kKeyHolder, {textParam(game), intParam(id)});
            const int64_t holder = holders.empty() ? 0 : number(holders[0][0]);
            if (holder != 0 && holder < id) {
                db->query(kDropKey, {intParam(id)});
                return holder;
            }
            if (holder != 0) db->query(kDropKey, {intParam(holder)});
            db->query(kSetKey, {intParam(id), textParam(game)});
            return holder;
        });
    }

    void setPace(int64_t id, const std::string& pace) override {
        pool_.take()->query(kSetPace, {intParam(id), textParam(pace)});
    }

   private:
    // Takes entry `id` off the board or puts it back (`onBoard`), with its counts, by `mark`.
    template <typename Mark>
    Change putOnBoard(int64_t id, bool onBoard, Mark mark) {
        auto db = pool_.take();
        return inTransaction(*db, &Database::beginWriting, [&] {
            const std::vector<Row> rows = db->query(kOnBoard, {intParam(id)});
            if (rows.empty()) return Change::noSuchEntry;
            if ((rows[0][2] == "0") == onBoard) return Change::already;
            mark(*db);
            moveCounts(*db, number(rows[0][0]), rows[0][1], onBoard ? 1 : -1);
            return Change::done;
        });
    }

    // Attempts older than a minute, at most once every ten seconds from each process.
    void forgetOld(Database& db, int64_t now) {
        {
            std::lock_guard<std::mutex> lock(sweepMutex_);
            if (now - lastSweep_ < 10) return;
            lastSweep_ = now;
        }
        db.query(kForgetAttempts, {intParam(now - 60)});
    }

    Pool pool_;
    std::mutex sweepMutex_;
    int64_t lastSweep_ = 0;
};

}  // namespace

int schemaVersion() { return kSchemaVersion; }

bool isPostgres(const std::string& url) {
    return url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0;
}

std::string sqlitePath(const std::string& url) { return url.rfind("sqlite:", 0) == 0 ? url.substr(7) : url; }

std::unique_ptr<Store> openStore(const std::string& url) {
    if (isPostgres(url)) return std::make_unique<SqlStore>([url] { return connectPostgres(url); });
    const std::string path = sqlitePath(url);
    return std::make_unique<SqlStore>([path] { return connectSqlite(path); });
}

}  // namespace scores
