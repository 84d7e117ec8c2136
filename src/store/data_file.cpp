#include "store/data_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "store/data_file_format.h"

namespace gw {

namespace {

constexpr int kFirstBatch = 8;
static_assert(kHeaderSize == 100, "the window keeps a copy of the header");
constexpr std::size_t kWindowBytes = std::size_t{1} << 20;
// Files up to this size get sqlite's quick check, which reads every page, when they are opened.
// A larger file would hold up the opening for as long as the disk takes to read it all: there a
// damaged page shows when a call reads it, and verify, unload and dump check the whole file
// before they read.
constexpr sqlite3_int64 kWholeCheckAtOpenBytes = sqlite3_int64{4} << 20;
// A stamp vouches once its change time is this far behind the clock: a write in the same tick
// would leave the change time as it was.
constexpr std::int64_t kStampSettledNs = 5'000'000;
// While stamps vouch, the name is still looked up this often: renaming a folder above the
// file changes nothing fstat sees.
constexpr std::int64_t kNameRecheckMs = 50;

FileStamp stampOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_nlink), static_cast<std::int64_t>(st.st_size),
            st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

std::int64_t coarseMonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
}

// File systems that keep change times to the nanosecond and see every write made to the file
// (no other host writes behind their back).
bool changeTimesVouch(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
        case OVERLAYFS_SUPER_MAGIC:
        case F2FS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

sqlite3_file* mainFile(sqlite3* db) {
    sqlite3_file* f = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &f) != SQLITE_OK)
        return nullptr;
    return f && f->pMethods ? f : nullptr;
}

Status statusOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return status::kFileNotFound;
        case ELOOP:
            return status::kLinkLoop;
        case ENAMETOOLONG:
            return status::kInvalidFileName;
        case EACCES:
            return status::kAccessDenied;
        default:
            return status::kIoError;
    }
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

Status DataFile::open(const std::string& path, std::uint32_t expectedLength,
                      std::unique_ptr<DataFile>& out, std::string& complaint) {
    std::unique_ptr<DataFile> file(new DataFile);
    const Status s = file->openChecked(path, expectedLength);
    complaint = file->complaint_;
    if (s == status::kSuccess) out = std::move(file);
    return s;
}

Status DataFile::openChecked(const std::string& path, std::uint32_t expectedLength) {
    identity_ = FileDescriptor(::open(path.c_str(), O_PATH | O_CLOEXEC));
    struct stat st {};
    if (identity_.get() < 0 || ::fstat(identity_.get(), &st) != 0) return statusOfErrno(errno);
    if (!S_ISREG(st.st_mode)) return status::kNotADataFile;
    stampsVouch_ = changeTimesVouch(identity_.get());
    // Absolute, so that the later checks of the name do not depend on the working directory.
    std::error_code ec;
    path_ = std::filesystem::absolute(path, ec).string();
    if (ec) path_ = path;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    if (::access(path.c_str(), R_OK) != 0) return status::kAccessDenied;

    // Never SQLITE_OPEN_CREATE: a missing file must stay missing. A file without write
    // permission bits is opened read-only even for a user whom the system would let write.
    const bool writable = (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(
        path.c_str(), &raw,
        (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) return failure(rc);
    sqlite3_extended_result_codes(db_.get(), 1);
    sqlite3_busy_timeout(db_.get(), kBusyTimeoutMs);
    sqlite3_db_config(db_.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);

    // The header names the file before sqlite reads any schema, which keeps a foreign file
    // from being interpreted at all.
    sqlite3_file* f = file_ = mainFile(db_.get());
    sqlite3_int64 size = 0;
    if (!f || f->pMethods->xFileSize(f, &size) != SQLITE_OK) return status::kIoError;
    std::uint8_t header[kHeaderSize] = {};
    f->pMethods->xRead(f, header, kHeaderSize, 0);  // a short read zero-fills
    if (Status s = checkHeader(header, size, /*wholeFileKnown=*/false); s != status::kSuccess)
        return s;

    if (Status s = readDescription(); s != status::kSuccess) return s;
    // After the description: these pragmas read the schema, which under another program's
    // lock would wait a second time. Rollback journal with full sync: each commit is durable
    // once BTRCALL returns, a killed process leaves a hot journal that the next opener rolls
    // back, and no -wal/-shm files appear beside the game's data. No memory mapping: a mapped
    // page that another program cuts off the file would kill the process with SIGBUS.
    sql::exec(db_.get(), "PRAGMA synchronous=FULL");
    sql::exec(db_.get(), "PRAGMA mmap_size=0");
    if (expectedLength != 0 && expectedLength != info_.recordLength)
        return status::kWrongRecordLength;
    if (Status s = prepareStatements(); s != status::kSuccess) return s;
    readOnly_ = sqlite3_db_readonly(db_.get(), "main") == 1;
    return status::kSuccess;
}

Status DataFile::readDescription() {
    // One read transaction: reading the schema rolls back a hot journal left by a killed
    // writer first, and the header and size checked under it are the file's settled state.
    if (int rc = sql::exec(db_.get(), "BEGIN"); rc != SQLITE_OK) return failure(rc);
    Status result = status::kSuccess;
    {
        int rc = SQLITE_OK;
        sql::Stmt meta = sql::prepare(db_.get(), kDescriptionQuery, rc);
        if (!meta) {
            result = failure(rc);
        } else if (rc = sqlite3_step(meta.get()); rc != SQLITE_ROW) {
            result = rc == SQLITE_DONE ? status::kCorruptFile : failure(rc);
        } else {
            std::uint8_t header[kHeaderSize] = {};
            sqlite3_file* f = mainFile(db_.get());
            if (!f || f->pMethods->xFileSize(f, &openSize_) != SQLITE_OK ||
                f->pMethods->xRead(f, header, kHeaderSize, 0) != SQLITE_OK)
                result = status::kCorruptFile;
            else
                result = checkHeader(header, openSize_, /*wholeFileKnown=*/true);
            if (result == status::kSuccess) result = describeFrom(meta.get(), header, info_);
            if (result == status::kSuccess) result = checkSchema(db_.get(), info_.key.kind);
            schemaCookie_ = bigEndian32(header + kSchemaCookieOffset);
        }
    }
    if (result == status::kSuccess && openSize_ <= kWholeCheckAtOpenBytes) {
        // A damaged page would otherwise show only as rows missing from a walk.
        result = checkIntegrity(/*quick=*/true, complaint_);
    }
    sql::exec(db_.get(), "COMMIT");
    if (result == status::kSuccess && (sqlite3_get_autocommit(db_.get()) == 0))
        result = status::kLocked;
    if (sqlite3_get_autocommit(db_.get()) == 0) sql::exec(db_.get(), "ROLLBACK");
    return result;
}

Status DataFile::prepareStatements() {
    struct Entry {
        sql::Stmt& stmt;
        const char* sql;
    } entries[] = {
        {selEqual_, "SELECT k, row FROM records WHERE k = ?1"},
        {selFirst_, "SELECT k, row FROM records ORDER BY k LIMIT ?1"},
        {selLast_, "SELECT k, row FROM records ORDER BY k DESC LIMIT ?1"},
        {selNext_, "SELECT k, row FROM records WHERE k > ?1 ORDER BY k LIMIT ?2"},
        {selPrevious_, "SELECT k, row FROM records WHERE k < ?1 ORDER BY k DESC LIMIT ?2"},
        {insert_, "INSERT INTO records(k, row) VALUES (?1, ?2)"},
        {update_, "UPDATE records SET k = ?1, row = ?2 WHERE k = ?3"},
        {delete_, "DELETE FROM records WHERE k = ?1"},
        {dataVersion_, "PRAGMA data_version"},
        {description_, kDescriptionQuery},
    };
    for (auto& e : entries) {
        int rc = SQLITE_OK;
        e.stmt = sql::prepare(db_.get(), e.sql, rc);
        if (!e.stmt) return failure(rc);
    }
    return status::kSuccess;
}

Status DataFile::writeRefused() const {
    if (readOnly_) return status::kReadOnly;
    if (snapshot_) return status::kTransactionActive;
    if (transactionLost_) return status::kTransactionAborted;
    return status::kSuccess;
}

Status DataFile::checkRow(std::span<const std::uint8_t> data, std::uint32_t dataLength,
                          std::span<const std::uint8_t>& row) const {
    if (dataLength < info_.key.width || dataLength > info_.recordLength || dataLength > data.size())
        return status::kInvalidDataLength;
    row = data.first(dataLength);
    return status::kSuccess;
}

Status DataFile::afterWriteFailure(int rc) {
    // Some failures (disk full, I/O) make sqlite roll back the whole explicit transaction;
    // the rest of the load must not then commit row by row.
    if (inTransaction_ && sqlite3_get_autocommit(db_.get()) != 0) transactionLost_ = true;
    return failure(rc);
}

Status DataFile::failure(int rc) const {
    const int primary = rc & 0xff;
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR || primary == SQLITE_READONLY) {
        // The journal is made beside the file on the first write: what is in its way?
        struct stat st {};
        if (::lstat((path_ + "-journal").c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return status::kJournalBlocked;
        if (primary != SQLITE_IOERR && ::access(directoryOf(path_).c_str(), W_OK) != 0)
            return status::kDirectoryReadOnly;
        if (primary == SQLITE_CANTOPEN) return status::kReadOnly;
    }
    return sql::statusOf(rc);
}

bool DataFile::headerLooksWhole(std::uint8_t* header) const {
    sqlite3_int64 size = 0;
    if (!file_ || file_->pMethods->xFileSize(file_, &size) != SQLITE_OK) return false;
    if (file_->pMethods->xRead(file_, header, kHeaderSize, 0) != SQLITE_OK) return false;
    return checkHeader(header, size, /*wholeFileKnown=*/true) == status::kSuccess &&
           bigEndian32(header + kSchemaCookieOffset) == schemaCookie_;
}

Status DataFile::checkName() {
    // Another program may have renamed a file over ours or removed it: our handle would go on
    // reading and writing a file that is no longer the one the name stands for.
    nameCheckedAt_ = coarseMonotonicMs();
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0)
        return errno == ENOENT ? status::kFileReplaced : statusOfErrno(errno);
    if (st.st_dev != device_ || st.st_ino != inode_) return status::kFileReplaced;
    return status::kSuccess;
}

std::optional<FileStamp> DataFile::settledStamp() const {
    if (!stampsVouch_) return std::nullopt;
    // The clock before fstat: a change after this moment gets a later change time.
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    struct stat st {};
    if (::fstat(identity_.get(), &st) != 0) return std::nullopt;
    // A change time of whole seconds comes from a file system that keeps no finer one.
    if (st.st_ctim.tv_nsec == 0 || st.st_nlink == 0) return std::nullopt;
    const auto ns = [](const timespec& t) {
        return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
    };
    if (ns(st.st_ctim) + kStampSettledNs >= ns(now)) return std::nullopt;
    return stampOf(st);
}

bool DataFile::stillStamped(const FileStamp& stamp) const {
    if (coarseMonotonicMs() - nameCheckedAt_ > kNameRecheckMs) return false;
    struct stat st {};
    return ::fstat(identity_.get(), &st) == 0 && stampOf(st) == stamp;
}

void DataFile::vouchFor(const std::uint8_t* header, const std::optional<FileStamp>& stamp) {
    // A WAL-mode file takes other programs' commits into its -wal file: the main file's stamp
    // stays as it was.
    if (header[kWriteVersionOffset] == kRollbackJournalVersion) checkedStamp_ = stamp;
}

Status DataFile::checkInPlace(bool takeLock) {
    // The file has not been written, cut, linked or renamed since the last full check.
    if (!takeLock && checkedStamp_ && stillStamped(*checkedStamp_)) return status::kSuccess;
    checkedStamp_.reset();
    if (Status s = checkName(); s != status::kSuccess) return s;
    // Inside our own write transaction no other writer can commit, and pages spilled from the
    // cache may run ahead of the header on disk.
    if (inTransaction_ && !snapshot_) return status::kSuccess;
    // Before the header: the stamp must not be newer than what the check saw.
    const std::optional<FileStamp> stamp = settledStamp();
    std::uint8_t header[kHeaderSize] = {};
    // The cheap look, without a lock: a header that holds together and has not changed since
    // the last full check. A writer between its pages only sends us the long way.
    if (!takeLock && headerLooksWhole(header) &&
        bigEndian32(header + kChangeCounterOffset) == checkedCounter_) {
        vouchFor(header, stamp);
        return status::kSuccess;
    }
    // The pragma's read transaction holds a shared lock: no sqlite writer is between its pages
    // while the size and header are compared.
    sql::ResetGuard guard(dataVersion_.get());
    const int rc = sqlite3_step(dataVersion_.get());
    if (rc != SQLITE_ROW) return failure(rc);
    const std::int64_t version = sqlite3_column_int64(dataVersion_.get(), 0);
    if (!headerLooksWhole(header)) {
        return bigEndian32(header + kSchemaCookieOffset) != schemaCookie_ &&
                       checkHeader(header, kHeaderSize, false) == status::kSuccess
                   ? status::kFileReplaced
                   : status::kCorruptFile;
    }
    const std::uint32_t counter = bigEndian32(header + kChangeCounterOffset);
    if (version != checkedVersion_ || counter != checkedCounter_) {
        // Someone committed: a file copied over ours in place may describe other records
        // under the same schema.
        sql::ResetGuard describe(description_.get());
        DataFileInfo now;
        if (sqlite3_step(description_.get()) != SQLITE_ROW ||
            describeFrom(description_.get(), header, now) != status::kSuccess ||
            now.recordType != info_.recordType || now.key.kind != info_.key.kind ||
            now.key.width != info_.key.width || now.recordLength != info_.recordLength)
            return status::kFileReplaced;
        checkedVersion_ = version;
        checkedCounter_ = counter;
    }
    vouchFor(header, stamp);
    return status::kSuccess;
}

Status DataFile::runWrite(sqlite3_stmt* stmt, bool mustTouchARow) {
    forgetWindow();
    checkedStamp_.reset();
    sql::ResetGuard guard(stmt);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) return afterWriteFailure(rc);
    const bool changed = sqlite3_changes(db_.get()) > 0;
    // Our own commit moves the change counter by one from where the check found it. Had another
    // program committed in between, the counter is further on and the next call looks closer.
    if (changed && !inTransaction_) ++checkedCounter_;
    // Another process may have deleted the current record since we read it.
    if (mustTouchARow && !changed) return status::kNoCurrentRecord;
    return status::kSuccess;
}

Status DataFile::insert(std::span<const std::uint8_t> data, std::uint32_t dataLength) {
    if (Status s = writeRefused(); s != status::kSuccess) return s;
    if (Status s = checkInPlace(); s != status::kSuccess) return s;
    std::span<const std::uint8_t> row;
    if (Status s = checkRow(data, dataLength, row); s != status::kSuccess) return s;
    const StoredKey key = keyOfRow(info_.key, row);
    bindKey(insert_.get(), 1, info_.key.kind, key);
    sqlite3_bind_blob(insert_.get(), 2, row.data(), static_cast<int>(row.size()), SQLITE_STATIC);
    if (Status s = runWrite(insert_.get(), false); s != status::kSuccess) return s;
    hasPosition_ = true;
    currentGone_ = false;
    current_ = key;
    return status::kSuccess;
}

Status DataFile::update(std::span<const std::uint8_t> data, std::uint32_t dataLength) {
    if (Status s = writeRefused(); s != status::kSuccess) return s;
    if (Status s = checkInPlace(); s != status::kSuccess) return s;
    if (!hasPosition_ || currentGone_) return status::kNoCurrentRecord;
    std::span<const std::uint8_t> row;
    if (Status s = checkRow(data, dataLength, row); s != status::kSuccess) return s;
    const StoredKey key = keyOfRow(info_.key, row);
    bindKey(update_.get(), 1, info_.key.kind, key);
    sqlite3_bind_blob(update_.get(), 2, row.data(), static_cast<int>(row.size()), SQLITE_STATIC);
    bindKey(update_.get(), 3, info_.key.kind, current_);
    if (Status s = runWrite(update_.get(), true); s != status::kSuccess) return s;
    current_ = key;
    return status::kSuccess;
}

Status DataFile::remove() {
    if (Status s = writeRefused(); s != status::kSuccess) return s;
    if (Status s = checkInPlace(); s != status::kSuccess) return s;
    if (!hasPosition_ || currentGone_) return status::kNoCurrentRecord;
    bindKey(delete_.get(), 1, info_.key.kind, current_);
    if (Status s = runWrite(delete_.get(), true); s != status::kSuccess) return s;
    currentGone_ = true;
    return status::kSuccess;
}

void DataFile::forgetWindow() {
    window_.valid = false;
    window_.stamp.reset();
    windowIndex_ = -1;
}

int DataFile::fillWindow(sqlite3_stmt* stmt, int limit, bool descending) {
    window_.keys.clear();
    window_.offsets.assign(1, 0);
    window_.bytes.clear();
    window_.stamp.reset();
    window_.valid = false;
    windowIndex_ = -1;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        // The header is read under the statement's shared lock, so it matches these rows.
        if (window_.keys.empty() && limit > 1) {
            window_.stamp = settledStamp();
            window_.valid =
                file_ && file_->pMethods->xRead(file_, window_.header, kHeaderSize, 0) == SQLITE_OK;
            if (!window_.valid || window_.header[kWriteVersionOffset] != kRollbackJournalVersion)
                window_.stamp.reset();
        }
        window_.keys.push_back(columnKey(stmt, 0, info_.key.kind));
        const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt, 1));
        const auto n = static_cast<std::size_t>(sqlite3_column_bytes(stmt, 1));
        if (n) window_.bytes.insert(window_.bytes.end(), p, p + n);
        window_.offsets.push_back(window_.bytes.size());
    }
    if (rc != SQLITE_DONE) {
        window_.valid = false;
        return rc;
    }
    if (descending) {
        std::reverse(window_.keys.begin(), window_.keys.end());
        std::vector<std::size_t> offsets(1, 0);
        std::vector<std::uint8_t> bytes;
        bytes.reserve(window_.bytes.size());
        for (std::size_t i = window_.keys.size(); i-- > 0;) {
            bytes.insert(bytes.end(), window_.bytes.begin() + window_.offsets[i],
                         window_.bytes.begin() + window_.offsets[i + 1]);
            offsets.push_back(bytes.size());
        }
        window_.bytes.swap(bytes);
        window_.offsets.swap(offsets);
    }
    return rc;
}

bool DataFile::windowFresh() {
    // A snapshot's rows stay what they were when read: nobody commits under its lock.
    if (snapshot_) return window_.valid;
    if (!window_.valid) return false;
    if (window_.stamp && stillStamped(*window_.stamp)) return true;
    const std::optional<FileStamp> stamp = settledStamp();
    if (checkName() != status::kSuccess) return false;
    std::uint8_t now[kHeaderSize];
    // Every commit in rollback-journal mode changes the header's change counter. A WAL-mode
    // file keeps its commits out of the main file's header: no cheap check there.
    const bool fresh = headerLooksWhole(now) &&
                       now[kWriteVersionOffset] == kRollbackJournalVersion &&
                       std::memcmp(now, window_.header, kHeaderSize) == 0;
    window_.stamp = fresh ? stamp : std::nullopt;
    return fresh;
}

Status DataFile::deliver(std::size_t index, std::span<std::uint8_t> data,
                         std::uint32_t& dataLength) {
    const std::size_t begin = window_.offsets[index];
    const std::size_t n = window_.offsets[index + 1] - begin;
    const std::size_t room = std::min<std::size_t>(dataLength, data.size());
    if (n > room) return status::kDataBufferTooShort;
    if (n) std::memcpy(data.data(), window_.bytes.data() + begin, n);
    // Zero the rest so that nothing of an earlier, longer record travels into an update.
    std::fill(data.begin() + static_cast<std::ptrdiff_t>(n),
              data.begin() + static_cast<std::ptrdiff_t>(room), std::uint8_t{0});
    dataLength = static_cast<std::uint32_t>(n);
    hasPosition_ = true;
    currentGone_ = false;
    current_ = window_.keys[index];
    windowIndex_ = static_cast<std::ptrdiff_t>(index);
    return status::kSuccess;
}

int DataFile::nextBatch(bool continuingWalk) {
    const int most = static_cast<int>(std::clamp<std::size_t>(
        kWindowBytes / std::max<std::uint32_t>(info_.recordLength, 1), kFirstBatch, 512));
    batch_ = continuingWalk && batch_ > 0 ? std::min(batch_ * 2, most) : kFirstBatch;
    return batch_;
}

Status DataFile::walk(bool forward, bool fromEnd, std::span<std::uint8_t> data,
                      std::uint32_t& dataLength) {
    if (!fromEnd) {
        if (!hasPosition_) return status::kNoCurrentRecord;
        if (windowIndex_ >= 0 && windowFresh()) {
            const std::ptrdiff_t next = windowIndex_ + (forward ? 1 : -1);
            if (next >= 0 && next < static_cast<std::ptrdiff_t>(window_.keys.size()))
                return deliver(static_cast<std::size_t>(next), data, dataLength);
            if (forward ? window_.reachesLast : window_.reachesFirst) return status::kEndOfFile;
        }
    }
    if (Status s = checkInPlace(); s != status::kSuccess) {
        forgetWindow();
        return s;
    }
    const int limit = nextBatch(!fromEnd);
    sqlite3_stmt* stmt = fromEnd ? (forward ? selFirst_ : selLast_).get()
                                 : (forward ? selNext_ : selPrevious_).get();
    sql::ResetGuard guard(stmt);
    int param = 1;
    if (!fromEnd) bindKey(stmt, param++, info_.key.kind, current_);
    sqlite3_bind_int(stmt, param, limit);
    const int rc = fillWindow(stmt, limit, !forward);
    if (rc != SQLITE_DONE) return failure(rc);
    if (window_.keys.empty()) return status::kEndOfFile;
    const bool short_ = window_.keys.size() < static_cast<std::size_t>(limit);
    window_.reachesFirst = forward ? fromEnd : short_;
    window_.reachesLast = forward ? short_ : fromEnd;
    return deliver(forward ? 0 : window_.keys.size() - 1, data, dataLength);
}

Status DataFile::getFirst(std::span<std::uint8_t> data, std::uint32_t& dataLength) {
    return walk(true, true, data, dataLength);
}
Status DataFile::getLast(std::span<std::uint8_t> data, std::uint32_t& dataLength) {
    return walk(false, true, data, dataLength);
}
Status DataFile::getNext(std::span<std::uint8_t> data, std::uint32_t& dataLength) {
    return walk(true, false, data, dataLength);
}
Status DataFile::getPrevious(std::span<std::uint8_t> data, std::uint32_t& dataLength) {
    return walk(false, false, data, dataLength);
}

Status DataFile::getEqual(std::span<const std::uint8_t> key, std::uint16_t keyLength,
                          std::span<std::uint8_t> data, std::uint32_t& dataLength) {
    StoredKey wanted;
    bool holdable = true;
    if (Status s = keyOfSearch(info_.key, key, keyLength, wanted, holdable); s != status::kSuccess)
        return s;
    if (!holdable) return status::kKeyNotFound;
    if (Status s = checkInPlace(); s != status::kSuccess) {
        forgetWindow();
        return s;
    }
    sql::ResetGuard guard(selEqual_.get());
    bindKey(selEqual_.get(), 1, info_.key.kind, wanted);
    const int rc = fillWindow(selEqual_.get(), 1, false);
    if (rc != SQLITE_DONE) return failure(rc);
    if (window_.keys.empty()) return status::kKeyNotFound;
    return deliver(0, data, dataLength);
}

Status DataFile::beginTransaction() {
    if (inTransaction_) return status::kTransactionActive;
    if (readOnly_) return status::kReadOnly;
    // IMMEDIATE takes the write lock now, so a load either starts or is refused as locked
    // rather than failing halfway.
    if (Status s = checkInPlace(); s != status::kSuccess) return s;
    if (int rc = sql::exec(db_.get(), "BEGIN IMMEDIATE"); rc != SQLITE_OK) return failure(rc);
    inTransaction_ = true;
    transactionLost_ = false;
    return status::kSuccess;
}

Status DataFile::beginSnapshot() {
    if (inTransaction_) return status::kTransactionActive;
    if (int rc = sql::exec(db_.get(), "BEGIN"); rc != SQLITE_OK) return failure(rc);
    // BEGIN alone takes no lock; the check's read starts the transaction's one state.
    const Status s = checkInPlace(/*takeLock=*/true);
    if (s != status::kSuccess) {
        sql::exec(db_.get(), "ROLLBACK");
        return s;
    }
    forgetWindow();
    inTransaction_ = true;
    snapshot_ = true;
    return status::kSuccess;
}

Status DataFile::checkIntegrity(bool quick, std::string& complaint) {
    complaint.clear();
    int rc = SQLITE_OK;
    sql::Stmt check =
        sql::prepare(db_.get(), quick ? "PRAGMA quick_check(1)" : "PRAGMA integrity_check(1)", rc);
    if (!check) return failure(rc);
    rc = sqlite3_step(check.get());
    if (rc != SQLITE_ROW) return failure(rc);
    const auto* text = sqlite3_column_text(check.get(), 0);
    complaint = text ? reinterpret_cast<const char*>(text) : "";
    if (complaint == "ok") {
        complaint.clear();
        return status::kSuccess;
    }
    return status::kCorruptFile;
}

Status DataFile::endTransaction(bool commit) {
    if (!inTransaction_) return status::kNoTransaction;
    Status result = status::kSuccess;
    if (transactionLost_) {
        result = commit ? status::kTransactionAborted : status::kSuccess;
    } else if (commit) {
        if (int rc = sql::exec(db_.get(), "COMMIT"); rc != SQLITE_OK) result = sql::statusOf(rc);
    }
    // Whatever did not commit is rolled back: no transaction outlives the call.
    if (sqlite3_get_autocommit(db_.get()) == 0) sql::exec(db_.get(), "ROLLBACK");
    const bool rolledBack = (!commit || result != status::kSuccess) && !snapshot_;
    inTransaction_ = false;
    snapshot_ = false;
    transactionLost_ = false;
    forgetWindow();
    if (rolledBack && hasPosition_) {
        // The current record may have been inserted or deleted inside the rolled-back work.
        sql::ResetGuard guard(selEqual_.get());
        bindKey(selEqual_.get(), 1, info_.key.kind, current_);
        currentGone_ = sqlite3_step(selEqual_.get()) != SQLITE_ROW;
    }
    return result;
}

}  // namespace gw
