#include "store.h"

#include <functional>
#include <mutex>

#include "database.h"

namespace scores {

namespace {

// One SQL text for both databases: $N parameters, RANK(), RETURNING.
const char kCountRecent[] = "SELECT COUNT(*) FROM upload_attempts WHERE address = $1 AND at > $2";
const char kRecordAttempt[] = "INSERT INTO upload_attempts (address, at) VALUES ($1, $2)";
const char kForgetAttempts[] = "DELETE FROM upload_attempts WHERE at <= $1";
const char kHasTape[] = "SELECT id FROM scores WHERE sha256 = $1";
const char kInsert[] =
    "INSERT INTO scores (name, score, frames, library, version, submitted, sha256, tape) "
    "VALUES ($1, $2, $3, $4, $5, $6, $7, $8) RETURNING id";
const char kRankOf[] = "SELECT 1 + COUNT(*) FROM scores WHERE score > $1";
const char kList[] =
    "SELECT id, rank, name, score, frames, library, version, submitted FROM ("
    "SELECT id, RANK() OVER (ORDER BY score DESC) AS rank, name, score, frames, library, version, submitted "
    "FROM scores WHERE version = $1 OR $1 = '') AS board ORDER BY rank, id LIMIT $2 OFFSET $3";
const char kTape[] = "SELECT tape FROM scores WHERE id = $1";
const char kCount[] = "SELECT COUNT(*) FROM scores";

int64_t number(const std::string& text) { return std::stoll(text); }

// Connections kept for the next request; one that failed is dropped, so a database that went
// away and came back is reached again.
class Pool {
   public:
    explicit Pool(std::function<std::unique_ptr<Database>()> connect) : connect_(std::move(connect)) {}

    class Lease {
       public:
        Lease(Pool& pool, std::unique_ptr<Database> db) : pool_(pool), db_(std::move(db)) {}
        ~Lease() {
            if (db_ && std::uncaught_exceptions() == exceptions_) pool_.giveBack(std::move(db_));
        }
        Database* operator->() { return db_.get(); }
        Database& operator*() { return *db_; }

       private:
        Pool& pool_;
        std::unique_ptr<Database> db_;
        int exceptions_ = std::uncaught_exceptions();
    };

    Lease take() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!idle_.empty()) {
                std::unique_ptr<Database> db = std::move(idle_.back());
                idle_.pop_back();
                return Lease(*this, std::move(db));
            }
        }
        return Lease(*this, connect_());
    }

   private:
    void giveBack(std::unique_ptr<Database> db) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (idle_.size() < 32) idle_.push_back(std::move(db));
    }

    std::function<std::unique_ptr<Database>()> connect_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Database>> idle_;
};

class SqlStore : public Store {
   public:
    explicit SqlStore(std::function<std::unique_ptr<Database>()> connect) : pool_(std::move(connect)) {
        pool_.take()->createTables();
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

    bool hasTape(const std::string& sha256) override {
        return !pool_.take()->query(kHasTape, {textParam(sha256)}).empty();
    }

    bool add(const NewEntry& entry, int64_t& id, int64_t& rank) override {
        auto db = pool_.take();
        try {
            id = number(
                db->query(kInsert, {textParam(entry.name), intParam(entry.score), intParam(entry.frames),
                                    textParam(entry.library), textParam(entry.version), intParam(entry.submitted),
                                    textParam(entry.sha256), blobParam(entry.tape)})[0][0]);
        } catch (const UniqueViolation&) {
            return false;
        }
        rank = number(db->query(kRankOf, {intParam(entry.score)})[0][0]);
        return true;
    }

    std::vector<Entry> list(const std::string& version, int64_t limit, int64_t offset) override {
        std::vector<Entry> entries;
        for (const Row& row : pool_.take()->query(kList, {textParam(version), intParam(limit), intParam(offset)})) {
            Entry entry;
            entry.id = number(row[0]);
            entry.rank = number(row[1]);
            entry.name = row[2];
            entry.score = number(row[3]);
            entry.frames = number(row[4]);
            entry.library = row[5];
            entry.version = row[6];
            entry.submitted = number(row[7]);
            entries.push_back(entry);
        }
        return entries;
    }

    bool tape(int64_t id, std::string& bytes) override {
        const std::vector<Row> rows = pool_.take()->query(kTape, {intParam(id)});
        if (rows.empty()) return false;
        bytes = rows[0][0];
        return true;
    }

    int64_t count() override { return number(pool_.take()->query(kCount, {})[0][0]); }

   private:
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

std::string schemaSql(const std::string& idColumn, const std::string& blobType) {
    return "CREATE TABLE IF NOT EXISTS scores ("
           " id " +
           idColumn +
           ","
           " name TEXT NOT NULL,"
           " score BIGINT NOT NULL,"
           " frames BIGINT NOT NULL,"
           " library TEXT NOT NULL,"
           " version TEXT NOT NULL,"
           " submitted BIGINT NOT NULL,"
           " sha256 TEXT NOT NULL UNIQUE,"
           " tape " +
           blobType +
           " NOT NULL);"
           // The board read from the index alone, without the rows and their tapes.
           "CREATE INDEX IF NOT EXISTS scores_board ON scores (score DESC, id, name, frames, library, version, "
           "submitted);"
           "CREATE TABLE IF NOT EXISTS upload_attempts (address TEXT NOT NULL, at BIGINT NOT NULL);"
           "CREATE INDEX IF NOT EXISTS upload_attempts_by_address ON upload_attempts (address, at);"
           "CREATE INDEX IF NOT EXISTS upload_attempts_by_time ON upload_attempts (at);";
}

std::unique_ptr<Store> openSqlite(const std::string& path) {
    return std::make_unique<SqlStore>([path] { return connectSqlite(path); });
}

std::unique_ptr<Store> openPostgres(const std::string& url) {
    return std::make_unique<SqlStore>([url] { return connectPostgres(url); });
}

std::unique_ptr<Store> openStore(const std::string& url) {
    if (url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0) return openPostgres(url);
    if (url.rfind("sqlite:", 0) == 0) return openSqlite(url.substr(7));
    return openSqlite(url);
}

}  // namespace scores
