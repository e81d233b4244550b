#pragma once

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>

// The few pieces of the SQLite C API the store wraps: owning handles and one error type, so
// that a failing call ends the operation under way and the store decides what it means.
namespace sqlite {

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// A call that did not succeed: the primary result code and SQLite's own words.
class Error : public std::runtime_error {
public:
    Error(int code, const std::string& what) : std::runtime_error(what), m_code(code) {}
    int Code() const { return m_code; }
    // The file is not a database or its pages do not hold together.
    bool Damaged() const { return m_code == SQLITE_CORRUPT || m_code == SQLITE_NOTADB; }

private:
    int m_code;
};

// Throws an Error for any result but SQLITE_OK, SQLITE_ROW and SQLITE_DONE.
int Check(sqlite3* db, int result);

void Execute(sqlite3* db, const char* sql);

// A statement prepared to be run many times.
Statement Prepare(sqlite3* db, const char* sql);

// The first column of the first row of a query that gives one value.
sqlite3_int64 QueryInteger(sqlite3* db, const char* sql);
std::string QueryText(sqlite3* db, const char* sql);

// Resets a statement and its bindings when the scope ends, so that it holds no read lock.
class Reset {
public:
    explicit Reset(sqlite3_stmt* statement) : m_statement(statement) {}
    ~Reset() {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    Reset(const Reset&) = delete;
    Reset& operator=(const Reset&) = delete;

private:
    sqlite3_stmt* m_statement;
};

// A write transaction takes the write lock at once ("BEGIN IMMEDIATE"): another process's
// writer waits on the busy timeout instead of failing half-way. A read transaction keeps one
// snapshot for several statements. Rolled back (ended) unless committed.
class Transaction {
public:
    enum class Kind { Write, Read };
    explicit Transaction(sqlite3* db, Kind kind = Kind::Write);
    ~Transaction();
    void Commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    sqlite3* m_db;
    bool m_open = true;
};

} // namespace sqlite
