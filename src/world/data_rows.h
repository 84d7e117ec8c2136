#pragma once
// Whole data files as runs of rows: read in key order inside one snapshot, or written into a
// new file inside one transaction. What export, import, diff and merge stand on.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/key_codec.h"
#include "store/record_file.h"

namespace gw::world {

// "BOPEN: file not found (status 30)".
std::string statusMessage(std::string_view operation, Status s);

class RowReader {
public:
    explicit RowReader(const RecordType& type) : file_(type) {}
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;
    ~RowReader();

    // false and error() when the file cannot be read or holds another record type.
    bool open(const std::string& path);
    // The next row in key order: true; false at the end, or at a fault with error() set. A row
    // of another length than the record's, or out of key order, is a fault: a file the store
    // would refuse to load back must not pass as data.
    bool next();
    bool atEnd() const { return atEnd_; }
    std::span<const std::uint8_t> row() const { return file_.row().first(file_.lengthRead()); }
    const StoredKey& key() const { return key_; }
    const std::string& error() const { return error_; }
    const RecordType& type() const { return file_.type(); }

private:
    bool fault(std::string why);

    RecordFile file_;
    std::string path_, error_;
    StoredKey key_;
    std::size_t count_ = 0;
    bool atEnd_ = false;
};

// Keys in the order the store walks them.
inline bool keyBefore(KeyKind kind, const StoredKey& a, const StoredKey& b) {
    return kind == KeyKind::Text ? a.text < b.text : a.number < b.number;
}

class RowWriter {
public:
    explicit RowWriter(const RecordType& type) : file_(type) {}
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;
    ~RowWriter();  // what was not committed is rolled back

    // Creates the file (refusing one that exists) and begins its transaction.
    bool create(const std::string& path);
    bool add(std::span<const std::uint8_t> row);
    bool commit();
    const std::string& error() const { return error_; }
    // The error without the file's name: "BINSERT: duplicate key (status 5)".
    const std::string& reason() const { return reason_; }
    std::size_t count() const { return count_; }

private:
    bool fault(std::string why);

    RecordFile file_;
    std::string path_, error_, reason_;
    std::vector<std::uint8_t> buffer_;
    std::size_t count_ = 0;
    bool open_ = false, inTransaction_ = false;
};

}  // namespace gw::world
