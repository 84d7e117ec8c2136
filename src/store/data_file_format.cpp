#include "store/data_file_format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "store/sqlite_handle.h"

namespace gw {

namespace {

constexpr char kSqliteMagic[] = "SQLite format 3";  // 16 bytes with its zero

constexpr std::array<std::pair<KeyKind, std::string_view>, 4> kKindNames{{
    {KeyKind::Int16, "int16"},
    {KeyKind::Int32, "int32"},
    {KeyKind::Int32Pair, "int32pair"},
    {KeyKind::Text, "text"},
}};

std::string_view kindName(KeyKind kind) {
    for (const auto& [k, name] : kKindNames)
        if (k == kind) return name;
    return {};
}

bool validKey(const KeySpec& key) {
    switch (key.kind) {
        case KeyKind::Int16:
            return key.width == 2;
        case KeyKind::Int32:
            return key.width == 4;
        case KeyKind::Int32Pair:
            return key.width == 8;
        case KeyKind::Text:
            return key.width >= 1 && key.width <= 255;
    }
    return false;
}

bool validInfo(const DataFileInfo& info) {
    return !info.recordType.empty() && validKey(info.key) && info.recordLength >= info.key.width &&
           info.recordLength <= kMaxRecordLength;
}

// Rows stay inside their leaf page (no overflow chains) for every record length we store, and
// a page holds several rows of the longer types.
int pageSizeFor(std::uint32_t recordLength) { return recordLength > 1024 ? 16384 : 8192; }

}  // namespace

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

Status checkSchema(sqlite3* db, KeyKind kind) {
    int rc = SQLITE_OK;
    sql::Stmt list = sql::prepare(db, "SELECT type, name, sql FROM sqlite_schema", rc);
    if (!list) return sql::statusOf(rc);
    const bool textKey = kind == KeyKind::Text;
    const std::string_view recordsSql = textKey ? kTextRecordsSql : kNumberRecordsSql;
    int known = 0;
    while ((rc = sqlite3_step(list.get())) == SQLITE_ROW) {
        const auto text = [&](int column) {
            const auto* p = sqlite3_column_text(list.get(), column);
            return p ? std::string_view(reinterpret_cast<const char*>(p)) : std::string_view();
        };
        const bool isNull = sqlite3_column_type(list.get(), 2) == SQLITE_NULL;
        const std::string_view type = text(0), name = text(1), sql = text(2);
        if (type == "table" && name == "gravewind_file" && sql == kDescriptionTableSql)
            ++known;
        else if (type == "table" && name == "records" && sql == recordsSql)
            ++known;
        else if (textKey && type == "index" && name == "sqlite_autoindex_records_1" && isNull)
            ++known;
        else
            return status::kForeignSchema;
    }
    if (rc != SQLITE_DONE) return sql::statusOf(rc);
    return known == (textKey ? 3 : 2) ? status::kSuccess : status::kCorruptFile;
}

Status checkHeader(const std::uint8_t* header, std::int64_t size, bool wholeFileKnown) {
    if (size < 16 || std::memcmp(header, kSqliteMagic, 16) != 0) return status::kNotADataFile;
    if (size < kHeaderSize) return status::kCorruptFile;
    if (bigEndian32(header + 68) != kApplicationId) return status::kNotADataFile;
    const std::uint32_t version = bigEndian32(header + 60);
    if (version > kFormatVersion) return status::kUnsupportedVersion;
    if (version == 0) return status::kCorruptFile;
    const std::uint32_t raw = std::uint32_t{header[16]} << 8 | header[17];
    const std::int64_t pageSize = raw == 1 ? 65536 : raw;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) return status::kCorruptFile;
    if (wholeFileKnown) {
        if (size % pageSize != 0) return status::kCorruptFile;
        // The page count is only trusted when the header says it is current.
        const std::uint32_t pages = bigEndian32(header + 28);
        const bool countValid = bigEndian32(header + 92) == bigEndian32(header + 24);
        if (countValid && std::int64_t{pages} * pageSize > size) return status::kCorruptFile;
    }
    return status::kSuccess;
}

bool isDataFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    std::uint8_t header[kHeaderSize] = {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const ssize_t n = regular ? ::pread(fd, header, sizeof header, 0) : 0;
    ::close(fd);
    const Status s = checkHeader(header, n, /*wholeFileKnown=*/false);
    return s != status::kNotADataFile;
}

std::uint32_t commitCounter(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return 0;
    std::uint8_t counter[4] = {};
    const ssize_t n = ::pread(fd, counter, sizeof counter, kChangeCounterOffset);
    ::close(fd);
    return n == sizeof counter ? bigEndian32(counter) : 0;
}

Status describeFrom(sqlite3_stmt* row, const std::uint8_t* header, DataFileInfo& info) {
    DataFileInfo found;
    const auto* type = sqlite3_column_text(row, 0);
    if (type) found.recordType = reinterpret_cast<const char*>(type);
    const auto* kind = sqlite3_column_text(row, 1);
    const std::string_view kindText = kind ? reinterpret_cast<const char*>(kind) : "";
    bool kindKnown = false;
    for (const auto& [k, name] : kKindNames)
        if (name == kindText) {
            found.key.kind = k;
            kindKnown = true;
        }
    const sqlite3_int64 width = sqlite3_column_int64(row, 2);
    const sqlite3_int64 length = sqlite3_column_int64(row, 3);
    if (!kindKnown || width < 1 || width > 255 || length < 1 || length > kMaxRecordLength)
        return status::kCorruptFile;
    found.key.width = static_cast<std::uint16_t>(width);
    found.recordLength = static_cast<std::uint32_t>(length);
    found.formatVersion = static_cast<int>(bigEndian32(header + 60));
    if (!validInfo(found)) return status::kCorruptFile;
    info = std::move(found);
    return status::kSuccess;
}

Status createDataFile(const std::string& path, const DataFileInfo& info, bool overwrite) {
    if (path.empty()) return status::kInvalidFileName;
    if (!validInfo(info)) return status::kInvalidDefinition;
    if (overwrite) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            return errno == EACCES || errno == EPERM ? status::kReadOnly : status::kIoError;
        ::unlink((path + "-journal").c_str());
    }
    // O_EXCL makes "does not exist yet" and "now created" one step; sqlite then takes the
    // empty file as an empty database.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return status::kFileExists;
        if (errno == ENOENT || errno == ENOTDIR) return status::kFileNotFound;
        return errno == EACCES || errno == EROFS ? status::kReadOnly : status::kIoError;
    }
    ::close(fd);

    sqlite3* raw = nullptr;
    int rc =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sql::Db db(raw);
    Status result = sql::statusOf(rc);
    if (result == status::kSuccess) {
        sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
        const std::string steps[] = {
            "PRAGMA page_size=" + std::to_string(pageSizeFor(info.recordLength)),
            "PRAGMA journal_mode=DELETE",
            "BEGIN IMMEDIATE",
            "PRAGMA application_id=" + std::to_string(kApplicationId),
            "PRAGMA user_version=" + std::to_string(kFormatVersion),
            kDescriptionTableSql,
            info.key.kind == KeyKind::Text ? kTextRecordsSql : kNumberRecordsSql,
        };
        for (const auto& step : steps) {
            if (rc = sql::exec(db.get(), step); rc != SQLITE_OK) break;
        }
        if (rc == SQLITE_OK) {
            sql::Stmt describe = sql::prepare(
                db.get(),
                "INSERT INTO gravewind_file(record_type, key_kind, key_width, record_length) "
                "VALUES (?1, ?2, ?3, ?4)",
                rc);
            if (describe) {
                const std::string_view kind = kindName(info.key.kind);
                sqlite3_bind_text(describe.get(), 1, info.recordType.data(),
                                  static_cast<int>(info.recordType.size()), SQLITE_STATIC);
                sqlite3_bind_text(describe.get(), 2, kind.data(), static_cast<int>(kind.size()),
                                  SQLITE_STATIC);
                sqlite3_bind_int(describe.get(), 3, info.key.width);
                sqlite3_bind_int64(describe.get(), 4, info.recordLength);
                rc = sqlite3_step(describe.get());
                if (rc == SQLITE_DONE) rc = SQLITE_OK;
            }
        }
        if (rc == SQLITE_OK) rc = sql::exec(db.get(), "COMMIT");
        result = sql::statusOf(rc);
    }
    db.reset();
    // A half-made file would later open as corrupt: leave nothing behind instead.
    if (result != status::kSuccess) ::unlink(path.c_str());
    return result;
}

}  // namespace gw
