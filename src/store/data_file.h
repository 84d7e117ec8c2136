#pragma once
// One open data file: its connection, prepared statements, self-description, current
// position and a read-ahead window for walks. Internal to the store; BTRCALL drives it.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "store/key_codec.h"
#include "store/record_manager.h"
#include "store/sqlite_handle.h"

namespace gw {

// An owned file descriptor.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    ~FileDescriptor();
    int get() const { return fd_; }

private:
    int fd_ = -1;
};

struct FileStamp {
    std::uint64_t links = 0;
    std::int64_t size = 0;
    std::int64_t changedSec = 0, changedNsec = 0;
    bool operator==(const FileStamp&) const = default;
};

class DataFile {
public:
    // Opens an existing file (never creates one) after checking that it is one of ours, whole
    // and of a version we read. A non-zero expectedLength must equal the file's record length.
    // A file of up to a few megabytes that fails sqlite's quick check is refused, its first
    // complaint into complaint; a larger one is checked page by page as calls read it.
    static Status open(const std::string& path, std::uint32_t expectedLength,
                       std::unique_ptr<DataFile>& out, std::string& complaint);

    const DataFileInfo& info() const { return info_; }

    // Writes take the first dataLength bytes of data as the row.
    Status insert(std::span<const std::uint8_t> data, std::uint32_t dataLength);
    Status update(std::span<const std::uint8_t> data, std::uint32_t dataLength);
    Status remove();

    // Reads fill at most dataLength bytes of data and set dataLength to the row's length.
    Status getEqual(std::span<const std::uint8_t> key, std::uint16_t keyLength,
                    std::span<std::uint8_t> data, std::uint32_t& dataLength);
    Status getFirst(std::span<std::uint8_t> data, std::uint32_t& dataLength);
    Status getLast(std::span<std::uint8_t> data, std::uint32_t& dataLength);
    Status getNext(std::span<std::uint8_t> data, std::uint32_t& dataLength);
    Status getPrevious(std::span<std::uint8_t> data, std::uint32_t& dataLength);

    Status beginTransaction();
    // A read transaction: every read until endTransaction sees one committed state of the
    // file, and writes are refused.
    Status beginSnapshot();
    Status endTransaction(bool commit);

    // sqlite's integrity check (quick: without comparing indexes with their tables); kCorruptFile
    // and sqlite's first complaint when the file fails it.
    Status checkIntegrity(bool quick, std::string& complaint);

private:
    DataFile() = default;

    Status openChecked(const std::string& path, std::uint32_t expectedLength);
    Status readDescription();
    Status prepareStatements();
    Status checkRow(std::span<const std::uint8_t> data, std::uint32_t dataLength,
                    std::span<const std::uint8_t>& row) const;
    Status writeRefused() const;
    Status afterWriteFailure(int rc);
    // The status for a failed sqlite call, told apart by what lies beside the file.
    Status failure(int rc) const;
    // Whether the name still stands for the file opened (not renamed over, not removed).
    Status checkName();
    // What fstat says of the file opened, when it can vouch that the file is as it was: the
    // change time moves with every write, cut, link or rename, but only by clock ticks, so a
    // stamp vouches only once its change time lies behind the clock. Empty when it cannot.
    std::optional<FileStamp> settledStamp() const;
    // Lets stamp stand for the state the header was read in.
    void vouchFor(const std::uint8_t* header, const std::optional<FileStamp>& stamp);
    // Whether the file opened still has the stamp and its name was checked a moment ago.
    bool stillStamped(const FileStamp& stamp) const;
    // Reads the header into header (kHeaderSize bytes) without a lock; whether it holds
    // together with the file's size and still has our schema.
    bool headerLooksWhole(std::uint8_t* header) const;
    // Whether the file is still the one opened, whole, and of our description. Cheap while
    // nobody has committed since the last full check, which takeLock forces (and which leaves
    // an explicit transaction holding its read lock).
    Status checkInPlace(bool takeLock = false);
    // Steps a bound write and resets it; mustTouchARow for writes at the current record.
    Status runWrite(sqlite3_stmt* stmt, bool mustTouchARow);

    // Fills the window with up to `limit` rows from stmt (already bound), in the statement's
    // order; `descending` rows are stored reversed so the window is always in key order.
    int fillWindow(sqlite3_stmt* stmt, int limit, bool descending);
    bool windowFresh();
    Status deliver(std::size_t index, std::span<std::uint8_t> data, std::uint32_t& dataLength);
    Status walk(bool forward, bool fromEnd, std::span<std::uint8_t> data,
                std::uint32_t& dataLength);
    int nextBatch(bool continuingWalk);
    void forgetWindow();

    sql::Db db_;
    // The file opened, held by a path-only descriptor: fstat on it costs no path lookup, and
    // closing it releases none of sqlite's locks on the file.
    FileDescriptor identity_;
    bool stampsVouch_ = false;        // on a local file system with fine change times
    std::int64_t nameCheckedAt_ = 0;  // coarse monotonic milliseconds
    // Set after a full check: while the file keeps this stamp, it is as that check found it.
    std::optional<FileStamp> checkedStamp_;
    sqlite3_file* file_ = nullptr;  // the connection's main file, valid while db_ is
    sql::Stmt selEqual_, selFirst_, selLast_, selNext_, selPrevious_;
    sql::Stmt insert_, update_, delete_;
    sql::Stmt dataVersion_, description_;
    // The data version and change counter the description was last checked at.
    std::int64_t checkedVersion_ = -1;
    std::uint32_t checkedCounter_ = 0;
    DataFileInfo info_;
    std::string path_;
    std::string complaint_;                 // of a failed quick check at open
    sqlite3_int64 openSize_ = 0;            // the file's size when it was opened
    std::uint64_t device_ = 0, inode_ = 0;  // of the file opened, to notice a replacement
    std::uint32_t schemaCookie_ = 0;
    bool readOnly_ = false;
    bool inTransaction_ = false;
    bool snapshot_ = false;
    bool transactionLost_ = false;

    bool hasPosition_ = false;
    bool currentGone_ = false;  // the current record was deleted: walks step from where it stood
    StoredKey current_;

    // Consecutive rows of the table in key order, read in one read transaction, together with
    // the file's header then. While the header is unchanged (its change counter moves with every
    // commit) and holds together with the file's size, the rows are still what the file holds,
    // so a walk steps through the window without another query and without holding a lock
    // between calls.
    struct Window {
        std::vector<StoredKey> keys;
        std::vector<std::size_t> offsets;  // row i is bytes[offsets[i], offsets[i+1])
        std::vector<std::uint8_t> bytes;
        bool reachesFirst = false;
        bool reachesLast = false;
        std::uint8_t header[100] = {};   // the file's header when the rows were read
        std::optional<FileStamp> stamp;  // the file's stamp then, when it vouches
        bool valid = false;
    } window_;
    std::ptrdiff_t windowIndex_ = -1;  // the current record's place in the window, or -1
    int batch_ = 0;
};

}  // namespace gw
