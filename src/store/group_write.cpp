#include "store/group_write.h"

#include <fcntl.h>
#include <unistd.h>

#include "store/data_file_format.h"
#include "store/key_codec.h"
#include "store/sqlite_handle.h"

namespace gw {

namespace {

// Another program's lock is waited for only this long: the caller reports it and the
// operator tries again, rather than both sitting behind the game.
constexpr int kGroupBusyTimeoutMs = 200;

// A URI that opens an existing file for writing and never creates one.
std::string uriFor(const std::string& path) {
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            constexpr char hex[] = "0123456789ABCDEF";
            const auto b = static_cast<unsigned char>(c);
            uri += '%';
            uri += hex[b >> 4];
            uri += hex[b & 15];
        } else {
            uri += c;
        }
    }
    return uri + "?mode=rw";
}

// The file's self-description, read under the transaction's lock.
Status describe(sqlite3* db, const std::string& schema, const std::string& path,
                DataFileInfo& info) {
    std::uint8_t header[kHeaderSize] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return status::kFileNotFound;
    const ssize_t n = ::pread(fd, header, sizeof header, 0);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    ::close(fd);
    if (Status s = checkHeader(header, n < kHeaderSize ? n : size, /*wholeFileKnown=*/true);
        s != status::kSuccess)
        return s;
    int rc = SQLITE_OK;
    const std::string query = std::string(kDescriptionQuery);
    sql::Stmt meta = sql::prepare(
        db, query.substr(0, query.find("FROM ") + 5) + "\"" + schema + "\".gravewind_file", rc);
    if (!meta) return sql::statusOf(rc);
    rc = sqlite3_step(meta.get());
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? status::kCorruptFile : sql::statusOf(rc);
    return describeFrom(meta.get(), header, info);
}

Status rewriteFile(sqlite3* db, const std::string& schema, const FileRewrite& file,
                   const DataFileInfo& info, std::string& why) {
    int rc = SQLITE_OK;
    sql::Stmt update = sql::prepare(
        db, "UPDATE \"" + schema + "\".records SET k = ?1, row = ?2 WHERE k = ?3 AND row = ?4", rc);
    if (!update) return sql::statusOf(rc);
    for (const RowRewrite& r : file.rows) {
        if (r.before.size() < info.key.width || r.after.size() < info.key.width ||
            r.after.size() > info.recordLength) {
            why = "a row of the wrong length";
            return status::kInvalidDataLength;
        }
        const StoredKey from = keyOfRow(info.key, r.before), to = keyOfRow(info.key, r.after);
        sql::ResetGuard reset(update.get());
        bindKey(update.get(), 1, info.key.kind, to);
        sqlite3_bind_blob(update.get(), 2, r.after.data(), static_cast<int>(r.after.size()),
                          SQLITE_STATIC);
        bindKey(update.get(), 3, info.key.kind, from);
        sqlite3_bind_blob(update.get(), 4, r.before.data(), static_cast<int>(r.before.size()),
                          SQLITE_STATIC);
        rc = sqlite3_step(update.get());
        if (rc != SQLITE_DONE) {
            const Status s = sql::statusOf(rc);
            if (s == status::kDuplicateKey) why = "the new key is taken";
            return s;
        }
        if (sqlite3_changes(db) != 1) {
            why = "a record changed since it was read";
            return status::kKeyNotFound;
        }
    }
    return status::kSuccess;
}

// Whether another program holds a write lock on the file now.
bool heldByAnother(const std::string& path) {
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(uriFor(path).c_str(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(raw);
        return false;
    }
    sql::Db db(raw);
    const int rc = sql::exec(db.get(), "BEGIN IMMEDIATE");
    sql::exec(db.get(), "ROLLBACK");
    return (rc & 0xff) == SQLITE_BUSY;
}

}  // namespace

Status rewriteTogether(std::span<const FileRewrite> files, std::string& problem) {
    if (files.empty()) return status::kSuccess;
    sqlite3* raw = nullptr;
    int rc =
        sqlite3_open_v2(uriFor(files[0].path).c_str(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    sql::Db db(raw);
    auto fail = [&](const FileRewrite& file, Status s, const std::string& why) {
        problem = file.path + ": " + (why.empty() ? std::string(statusText(s)) : why) +
                  " (status " + std::to_string(s) + ")";
        return s;
    };
    if (rc != SQLITE_OK) return fail(files[0], sql::statusOf(rc), "");
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), kGroupBusyTimeoutMs);
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sql::exec(db.get(), "PRAGMA mmap_size=0");

    std::vector<std::string> schemas;
    for (std::size_t i = 0; i < files.size(); ++i) {
        schemas.push_back(i == 0 ? "main" : std::string("f").append(std::to_string(i)));
        if (i > 0) {
            sql::Stmt attach = sql::prepare(db.get(), "ATTACH DATABASE ?1 AS " + schemas[i], rc);
            if (!attach) return fail(files[i], sql::statusOf(rc), "");
            const std::string uri = uriFor(files[i].path);
            sqlite3_bind_text(attach.get(), 1, uri.data(), static_cast<int>(uri.size()),
                              SQLITE_STATIC);
            if (rc = sqlite3_step(attach.get()); rc != SQLITE_DONE)
                return fail(files[i], sql::statusOf(rc), "");
        }
        // Durable at commit, as every other write of the store.
        sql::exec(db.get(), "PRAGMA " + schemas[i] + ".synchronous=FULL");
        if (sqlite3_db_readonly(db.get(), schemas[i].c_str()) == 1)
            return fail(files[i], status::kReadOnly, "");
    }

    // Every file is locked for writing before any is read or changed.
    if (rc = sql::exec(db.get(), "BEGIN IMMEDIATE"); rc != SQLITE_OK) {
        const Status s = sql::statusOf(rc);
        if (s == status::kLocked)
            for (const FileRewrite& file : files)
                if (heldByAnother(file.path))
                    return fail(file, s, "another program is writing the file");
        return fail(files[0], s, "");
    }
    Status result = status::kSuccess;
    std::size_t failed = 0;
    std::string why;
    for (std::size_t i = 0; i < files.size() && result == status::kSuccess; ++i) {
        failed = i;
        DataFileInfo info;
        result = describe(db.get(), schemas[i], files[i].path, info);
        if (result == status::kSuccess && info.recordType != files[i].recordType) {
            why = "holds " + info.recordType + " records, not " + files[i].recordType;
            result = status::kWrongRecordLength;
        }
        if (result == status::kSuccess)
            result = rewriteFile(db.get(), schemas[i], files[i], info, why);
    }
    if (result == status::kSuccess) {
        rc = sql::exec(db.get(), "COMMIT");
        if (rc == SQLITE_OK) return status::kSuccess;
        result = sql::statusOf(rc);
        failed = 0;
    }
    sql::exec(db.get(), "ROLLBACK");
    return fail(files[failed], result, why);
}

}  // namespace gw
