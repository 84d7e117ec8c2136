#pragma once
// One open game data file, shared by every window and lookup that touches it: its position
// block, row buffer, field map and in-memory record. Any call moves the position and
// overwrites the row and the record.
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/field_map.h"
#include "store/record_manager.h"
#include "store/record_type.h"

namespace gw {

// Receives the message of every unexpected status, as statusReport makes it ("Form_Load,
// BOPEN, Race, Error: 30 (file not found)"). The editor shows it in a message box; the data
// tool prints it.
class StatusReporter {
public:
    virtual ~StatusReporter() = default;
    virtual void report(const std::string& message) = 0;
};

template <class Record>
struct RecordTraits;  // specialised by each record declaration: static const RecordType& type()

class RecordFile {
public:
    explicit RecordFile(const RecordType& type);
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    const RecordType& type() const { return type_; }
    const std::string& fileName() const { return fileName_; }
    void setFileName(std::string name);
    void setReporter(StatusReporter* reporter) { reporter_ = reporter; }
    StatusReporter* reporter() const { return reporter_; }

    std::span<std::uint8_t> positionBlock() { return positionBlock_; }
    std::span<std::uint8_t> row() { return row_; }
    std::span<const std::uint8_t> row() const { return row_; }
    const FieldMap& fieldMap() const { return map_; }
    std::uint32_t lengthRead() const { return lengthRead_; }

    void* record() { return record_.data(); }
    const void* record() const { return record_.data(); }
    template <class Record>
    Record& as() {
        checkType(RecordTraits<Record>::type());
        return *static_cast<Record*>(record());
    }

    void rowToRecord();
    void recordToRow();

    // The four steps of every call: set the data length, call BTRCALL, convert the row into
    // the record after a successful read (or the record into the row before an insert or
    // update), and report any status that is neither 0 nor listed in `quiet`.
    Status call(std::uint16_t operation, std::string_view prefix,
                std::initializer_list<Status> quiet = {});
    Status call(std::uint16_t operation, std::string_view prefix, std::span<std::uint8_t> key,
                std::uint16_t keyLength, std::initializer_list<Status> quiet = {});
    // A read that fills the row buffer only and leaves the in-memory record as it was: for
    // walks that need a field or two of every row (a list's numbers and names), read from the
    // row with rowInt and rowText.
    Status readRow(std::uint16_t operation, std::string_view prefix,
                   std::initializer_list<Status> quiet = {});

    // BGETEQUAL with a number key as the editors pass it: a 32-bit or 16-bit buffer.
    Status getEqual32(std::int32_t number, std::string_view prefix,
                      std::initializer_list<Status> quiet = {});
    Status getEqual16(std::int16_t number, std::string_view prefix,
                      std::initializer_list<Status> quiet = {});

    // Runs body inside one write transaction of the file: no other program commits to it
    // between body's reads and its writes, which commit together when body returns 0 and not
    // at all otherwise. Waiting for another program's lock is bounded as every call's is. A
    // transaction that cannot begin or commit is reported with prefix; the reports of body's
    // own calls wait until the transaction has ended, so that whoever shows them does not do
    // it while the other programs wait for the lock. Returns body's status, or the
    // transaction's own.
    Status inWriteTransaction(std::string_view prefix, const std::function<Status()>& body);

    // BOPEN on fileName(), BCLOSE.
    Status open(std::string_view prefix);
    Status close(std::string_view prefix);
    bool isOpen() const;

private:
    void checkType(const RecordType& expected) const;
    Status callConverting(std::uint16_t operation, std::string_view prefix,
                          std::span<std::uint8_t> key, std::uint16_t keyLength,
                          std::initializer_list<Status> quiet, bool convert);

    const RecordType& type_;
    std::string fileName_;
    std::array<std::uint8_t, kPositionBlockSize> positionBlock_{};
    std::vector<std::uint8_t> row_;
    FieldMap map_;
    std::vector<std::max_align_t> record_;
    std::array<std::uint8_t, 255> scratchKey_{};
    std::uint32_t lengthRead_ = 0;
    StatusReporter* reporter_ = nullptr;
};

// BSTOP with the zeroed dummies of its one caller.
Status stopRecordManager();

}  // namespace gw
