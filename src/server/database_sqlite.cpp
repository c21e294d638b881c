// The store's connection to an SQLite file, shared by the server's threads through the pool
// and by other processes on the same machine through SQLite's own locking.
#include <sqlite3.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

#include <climits>
#include <map>

#include "database.h"

namespace scores {

namespace {

constexpr int kBusyMs = 3000;
constexpr double kStatementSeconds = 3.5;

double now() {
    timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return time.tv_sec + time.tv_nsec / 1e9;
}

class Sqlite : public Database {
   public:
    explicit Sqlite(const std::string& path) {
        const int status = sqlite3_open_v2(path.c_str(), &db_,
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (status != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
            sqlite3_close(db_);
            throw std::runtime_error("cannot open " + path + ": " + why);
        }
        // Another process or thread writing waits its turn instead of failing, though not for
        // longer than a client should wait for its answer; nor does any statement run longer.
        sqlite3_busy_timeout(db_, kBusyMs);
        sqlite3_progress_handler(db_, 10000, stopWhenLate, this);
        run("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON;");
    }

    ~Sqlite() override {
        for (auto& cached : statements_) sqlite3_finalize(cached.second);
        sqlite3_close(db_);
    }

    std::vector<Row> query(const char* sql, const std::vector<Param>& params) override {
        deadline_ = now() + kStatementSeconds;
        sqlite3_stmt* statement = prepared(sql);
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        for (size_t i = 0; i < params.size(); ++i) {
            const std::string name = "$" + std::to_string(i + 1);
            const int index = sqlite3_bind_parameter_index(statement, name.c_str());
            if (index == 0) throw std::runtime_error("no parameter " + name + " in " + sql);
            const Param& param = params[i];
            if (param.kind == Param::integer)
                sqlite3_bind_int64(statement, index, param.number);
            else if (param.kind == Param::blob)
                sqlite3_bind_blob64(statement, index, param.value.data(), param.value.size(), SQLITE_TRANSIENT);
            else
                sqlite3_bind_text64(statement, index, param.value.data(), param.value.size(), SQLITE_TRANSIENT,
                                    SQLITE_UTF8);
        }
        std::vector<Row> rows;
        for (;;) {
            const int status = sqlite3_step(statement);
            if (status == SQLITE_DONE) break;
            if (status != SQLITE_ROW) {
                const int extended = sqlite3_extended_errcode(db_);
                const std::string why = sqlite3_errmsg(db_);
                sqlite3_reset(statement);
                if (extended == SQLITE_CONSTRAINT_UNIQUE) throw UniqueViolation(why);
                throw std::runtime_error("SQLite: " + why);
            }
            Row row;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                const void* bytes = sqlite3_column_blob(statement, column);
                row.emplace_back(static_cast<const char*>(bytes),
                                 bytes ? static_cast<size_t>(sqlite3_column_bytes(statement, column)) : 0);
            }
            rows.push_back(std::move(row));
        }
        sqlite3_reset(statement);
        return rows;
    }

    void run(const char* sql) override {
        deadline_ = now() + kStatementSeconds;
        char* error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string why = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error("SQLite: " + why);
        }
    }

    // The whole file is locked for writing: one process counts at a time.
    void beginCounting(const std::string&) override { run("BEGIN IMMEDIATE"); }
    void beginWriting() override { run("BEGIN IMMEDIATE"); }
    // In WAL mode a reading transaction sees the file as it was at its first read.
    void beginReading() override { run("BEGIN"); }
    void beginMigrating() override { run("BEGIN IMMEDIATE"); }
    void waitAsLongAsNeeded() override {
        unlimited_ = true;
        sqlite3_busy_timeout(db_, INT_MAX);
    }
    const char* idColumn() const override { return "INTEGER PRIMARY KEY AUTOINCREMENT"; }
    const char* blobType() const override { return "BLOB"; }

   private:
    static int stopWhenLate(void* self) {
        const Sqlite* sqlite = static_cast<Sqlite*>(self);
        return !sqlite->unlimited_ && now() > sqlite->deadline_;
    }

    sqlite3_stmt* prepared(const char* sql) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) return found->second;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db_));
        statements_[sql] = statement;
        return statement;
    }

    sqlite3* db_ = nullptr;
    double deadline_ = 0;
    bool unlimited_ = false;
    std::map<const char*, sqlite3_stmt*> statements_;
};

}  // namespace

std::unique_ptr<Database> connectSqlite(const std::string& path) { return std::make_unique<Sqlite>(path); }

void backupSqlite(const std::string& path, const std::string& copy) {
    if (access(copy.c_str(), F_OK) == 0) throw std::runtime_error(copy + " exists already; name a new file");
    // Under another name until it is whole, so that a copy cut short is never taken for one.
    const std::string partial = copy + ".partial";
    sqlite3 *from = nullptr, *to = nullptr;
    std::string why;
    if (sqlite3_open_v2(path.c_str(), &from, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_open_v2(partial.c_str(), &to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        why = sqlite3_errmsg(to ? to : from);
    } else {
        sqlite3_busy_timeout(from, 10000);
        // One step: in WAL mode the copy reads one moment of the file while servers go on writing.
        sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
        if (!backup || sqlite3_backup_step(backup, -1) != SQLITE_DONE) why = sqlite3_errmsg(backup ? from : to);
        if (backup && sqlite3_backup_finish(backup) != SQLITE_OK && why.empty()) why = sqlite3_errmsg(to);
    }
    sqlite3_close(from);
    if (sqlite3_close(to) != SQLITE_OK && why.empty()) why = "cannot close " + partial;
    if (why.empty() && rename(partial.c_str(), copy.c_str()) != 0) why = "cannot name the copy " + copy;
    if (!why.empty()) {
        unlink(partial.c_str());
        throw std::runtime_error("backup of " + path + ": " + why);
    }
}

}  // namespace scores
