#include "store/sqlite_handle.h"

namespace gw::sql {

Stmt prepare(sqlite3* db, std::string_view sql, int& rc) {
    sqlite3_stmt* raw = nullptr;
    rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                            &raw, nullptr);
    Stmt stmt(raw);
    if (rc != SQLITE_OK) stmt.reset();
    return stmt;
}

int exec(sqlite3* db, std::string_view sql) {
    int rc = SQLITE_OK;
    Stmt stmt = prepare(db, sql, rc);
    if (!stmt) return rc;
    do {
        rc = sqlite3_step(stmt.get());
    } while (rc == SQLITE_ROW);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

Status statusOf(int sqliteCode) {
    // A file shorter than its pages say is cut, not unreadable.
    if (sqliteCode == SQLITE_IOERR_SHORT_READ) return status::kCorruptFile;
    if (sqliteCode == SQLITE_READONLY_DIRECTORY) return status::kDirectoryReadOnly;
    switch (sqliteCode & 0xff) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW:
            return status::kSuccess;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return status::kLocked;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return status::kReadOnly;
        case SQLITE_CORRUPT:
        case SQLITE_FORMAT:
        case SQLITE_SCHEMA:
        // Every statement is fixed and valid on our schema: an error means the tables are gone.
        case SQLITE_ERROR:
            return status::kCorruptFile;
        case SQLITE_NOTADB:
            return status::kNotADataFile;
        case SQLITE_CONSTRAINT:
            return status::kDuplicateKey;
        case SQLITE_NOMEM:
            return status::kOutOfMemory;
        case SQLITE_FULL:
            return status::kDiskFull;
        case SQLITE_CANTOPEN:
            return status::kFileNotFound;
        default:
            return status::kIoError;
    }
}

}  // namespace gw::sql
