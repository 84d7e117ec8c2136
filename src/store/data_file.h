#pragma once
// One open data file: its connection, prepared statements, self-description, current
// position and a read-ahead window for walks. Internal to the store; BTRCALL drives it.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "store/key_codec.h"
#include "store/record_manager.h"
#include "store/sqlite_handle.h"

namespace gw {

class DataFile {
public:
    // Opens an existing file (never creates one) after checking that it is one of ours, whole
    // and of a version we read. A non-zero expectedLength must equal the file's record length.
    static Status open(const std::string& path, std::uint32_t expectedLength,
                       std::unique_ptr<DataFile>& out);

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
    Status endTransaction(bool commit);

private:
    DataFile() = default;

    Status openChecked(const std::string& path, std::uint32_t expectedLength);
    Status readDescription();
    Status prepareStatements();
    Status checkRow(std::span<const std::uint8_t> data, std::uint32_t dataLength,
                    std::span<const std::uint8_t>& row) const;
    Status writeRefused() const;
    Status afterWriteFailure(int rc);
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
    sqlite3_file* file_ = nullptr;  // the connection's main file, valid while db_ is
    sql::Stmt selEqual_, selFirst_, selLast_, selNext_, selPrevious_;
    sql::Stmt insert_, update_, delete_;
    DataFileInfo info_;
    bool readOnly_ = false;
    bool inTransaction_ = false;
    bool transactionLost_ = false;

    bool hasPosition_ = false;
    bool currentGone_ = false;  // the current record was deleted: walks step from where it stood
    StoredKey current_;

    // Consecutive rows of the table in key order, read in one read transaction, together with
    // the header bytes that change whenever any process commits to the file. While those bytes
    // are unchanged the rows are still what the file holds, so a walk steps through the window
    // without another query and without holding a lock between calls.
    struct Window {
        std::vector<StoredKey> keys;
        std::vector<std::size_t> offsets;  // row i is bytes[offsets[i], offsets[i+1])
        std::vector<std::uint8_t> bytes;
        bool reachesFirst = false;
        bool reachesLast = false;
        std::uint8_t header[10] = {};
        bool valid = false;
    } window_;
    std::ptrdiff_t windowIndex_ = -1;  // the current record's place in the window, or -1
    int batch_ = 0;
};

}  // namespace gw
