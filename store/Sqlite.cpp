#include "store/Sqlite.h"

namespace sqlite {

int Check(sqlite3* db, int result) {
    const int primary = result & 0xff;
    if (primary == SQLITE_OK || primary == SQLITE_ROW || primary == SQLITE_DONE)
        return result;
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(result);
    throw Error(primary, message ? message : sqlite3_errstr(result));
}

void Execute(sqlite3* db, const char* sql) {
    Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    Check(db, sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr));
    return Statement(raw);
}

namespace {

Statement StepOnce(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    Check(db, sqlite3_prepare_v2(db, sql, -1, &raw, nullptr));
    Statement statement(raw);
    if (Check(db, sqlite3_step(statement.get())) != SQLITE_ROW)
        throw Error(SQLITE_ERROR, std::string("no value from ") + sql);
    return statement;
}

} // namespace

sqlite3_int64 QueryInteger(sqlite3* db, const char* sql) {
    return sqlite3_column_int64(StepOnce(db, sql).get(), 0);
}

std::string QueryText(sqlite3* db, const char* sql) {
    const Statement statement = StepOnce(db, sql);
    const unsigned char* text = sqlite3_column_text(statement.get(), 0);
    return text ? reinterpret_cast<const char*>(text) : "";
}

Transaction::Transaction(sqlite3* db, Kind kind) : m_db(db) {
    Execute(db, kind == Kind::Write ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    Execute(m_db, "COMMIT");
    m_open = false;
}

} // namespace sqlite
