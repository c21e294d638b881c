// One connection to SQLite or PostgreSQL, as much as the leaderboard's store needs: statements
// with numbered parameters ($1, $2… in the order they first appear), rows of text back.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace scores {

struct Param {
    enum Kind { text, integer, blob } kind;
    std::string value;
    int64_t number;
};
inline Param textParam(const std::string& value) { return {Param::text, value, 0}; }
inline Param intParam(int64_t number) { return {Param::integer, std::string(), number}; }
inline Param blobParam(const std::string& value) { return {Param::blob, value, 0}; }

using Row = std::vector<std::string>;

// A statement that broke a UNIQUE constraint.
struct UniqueViolation : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A database that did not answer in time: the server rests it a moment before asking again.
struct NotAnswering : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Database {
   public:
    virtual ~Database() = default;
    // Runs one statement; each column as text, a blob column as its bytes.
    virtual std::vector<Row> query(const char* sql, const std::vector<Param>& params) = 0;
    // Runs statements without parameters (the schema, COMMIT, ROLLBACK).
    virtual void run(const char* sql) = 0;
    // Starts a transaction that will write: it waits for other writers rather than failing
    // later on their lock.
    virtual void beginWriting() = 0;
    // Starts a transaction whose reads all see the same moment of the board.
    virtual void beginReading() = 0;
    // Starts the transaction in which an address's uploads are counted: no other process may
    // count the same address until it ends.
    virtual void beginCounting(const std::string& address) = 0;
    // Starts the transaction that brings the tables to the current schema: one process at a
    // time, however many start together.
    virtual void beginMigrating() = 0;
    // No time limit on this connection from now on: a migration of a large board, or one that
    // waits for another process's, takes as long as it takes.
    virtual void waitAsLongAsNeeded() = 0;
    // The column types that differ between the databases: the id that numbers itself, a blob.
    virtual const char* idColumn() const = 0;
    virtual const char* blobType() const = 0;
    // Whether a statement failed because the database did not answer in time.
    virtual bool hung() const { return false; }
};

std::unique_ptr<Database> connectSqlite(const std::string& path);
std::unique_ptr<Database> connectPostgres(const std::string& url);

// Copies the SQLite database at `path` to the new file `copy` while servers go on using it.
void backupSqlite(const std::string& path, const std::string& copy);

}  // namespace scores
