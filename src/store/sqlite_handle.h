#pragma once
// Owning handles for sqlite3 connections and statements, and the few calls the engine makes
// on them. Internal to the store.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "store/status.h"

namespace gw::sql {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// Resets a statement when a call is done with it, so that no read or write transaction
// outlives the call and another process can write the file in between.
class ResetGuard {
public:
    explicit ResetGuard(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~ResetGuard() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    ResetGuard(const ResetGuard&) = delete;
    ResetGuard& operator=(const ResetGuard&) = delete;

private:
    sqlite3_stmt* stmt_;
};

// Prepares a statement that lives as long as its connection; nullptr on failure, with the
// sqlite result code in rc.
Stmt prepare(sqlite3* db, std::string_view sql, int& rc);

// Runs SQL that returns no rows (pragmas, BEGIN, COMMIT); returns the sqlite result code.
int exec(sqlite3* db, std::string_view sql);

// The status that stands for a failed sqlite call.
Status statusOf(int sqliteCode);

}  // namespace gw::sql
