#include "store/record_file.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace gw {

namespace {
bool isRead(std::uint16_t op) {
    return op == BGETEQUAL || op == BGETNEXT || op == BGETPREVIOUS || op == BGETFIRST ||
           op == BGETLAST;
}
bool isWrite(std::uint16_t op) { return op == BINSERT || op == BUPDATE; }
}  // namespace

RecordFile::RecordFile(const RecordType& type)
    : type_(type),
      row_(type.dataLength(), 0),
      map_(type.buildFieldMap()),
      record_((type.recordSize() + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t)) {
    setFileName(std::string(type.fileName()));
}

void RecordFile::setFileName(std::string name) {
    fileName_ = std::move(name);
    // The scratch key carries the file name, as the game's editor passes it; made once here,
    // not on every call.
    scratchKey_.fill(0);
    std::memcpy(scratchKey_.data(), fileName_.data(),
                std::min(fileName_.size(), scratchKey_.size() - 1));
}

void RecordFile::checkType(const RecordType& expected) const {
    if (&expected != &type_) throw std::logic_error("record accessed as another record type");
}

void RecordFile::rowToRecord() {
    RowToStruct(row_, map_, record(), record_.size() * sizeof(std::max_align_t));
}

void RecordFile::recordToRow() {
    StructToRow(row_, map_, record(), record_.size() * sizeof(std::max_align_t));
}

Status RecordFile::call(std::uint16_t operation, std::string_view prefix,
                        std::initializer_list<Status> quiet) {
    return call(operation, prefix, scratchKey_, 255, quiet);
}

Status RecordFile::call(std::uint16_t operation, std::string_view prefix,
                        std::span<std::uint8_t> key, std::uint16_t keyLength,
                        std::initializer_list<Status> quiet) {
    return callConverting(operation, prefix, key, keyLength, quiet, true);
}

Status RecordFile::readRow(std::uint16_t operation, std::string_view prefix,
                           std::initializer_list<Status> quiet) {
    if (!isRead(operation)) return status::kInvalidOperation;
    return callConverting(operation, prefix, scratchKey_, 255, quiet, false);
}

Status RecordFile::callConverting(std::uint16_t operation, std::string_view prefix,
                                  std::span<std::uint8_t> key, std::uint16_t keyLength,
                                  std::initializer_list<Status> quiet, bool convert) {
    std::uint32_t dataLength = type_.dataLength();
    if (isWrite(operation)) recordToRow();
    const Status s =
        BTRCALL(operation, positionBlock_, row_, dataLength, key, keyLength, /*keyNumber=*/0);
    if (s == status::kSuccess) {
        if (isRead(operation)) {
            lengthRead_ = dataLength;
            if (convert) rowToRecord();
        }
    } else if (reporter_ && std::find(quiet.begin(), quiet.end(), s) == quiet.end()) {
        reporter_->report(statusReport(prefix, s));
    }
    return s;
}

Status RecordFile::getEqual32(std::int32_t number, std::string_view prefix,
                              std::initializer_list<Status> quiet) {
    std::array<std::uint8_t, 4> key;
    for (int i = 0; i < 4; ++i)
        key[i] = static_cast<std::uint8_t>(std::uint32_t(number) >> (8 * i));
    return call(BGETEQUAL, prefix, key, 4, quiet);
}

Status RecordFile::getEqual16(std::int16_t number, std::string_view prefix,
                              std::initializer_list<Status> quiet) {
    std::array<std::uint8_t, 2> key{static_cast<std::uint8_t>(number),
                                    static_cast<std::uint8_t>(std::uint16_t(number) >> 8)};
    return call(BGETEQUAL, prefix, key, 2, quiet);
}

Status RecordFile::inWriteTransaction(std::string_view prefix,
                                      const std::function<Status()>& body) {
    // Collects the reports of body's calls, to pass them on once the lock is given back.
    struct Deferred final : StatusReporter {
        std::vector<std::string> messages;
        void report(const std::string& message) override { messages.push_back(message); }
    } deferred;
    StatusReporter* const reporter = reporter_;
    auto tell = [&](Status s) {
        if (reporter) reporter->report(statusReport(prefix, s));
    };
    Status s = beginTransaction(positionBlock_);
    if (s != status::kSuccess) {
        tell(s);
        return s;
    }
    reporter_ = reporter ? &deferred : nullptr;
    Status result = status::kSuccess;
    try {
        result = body();
    } catch (...) {
        reporter_ = reporter;
        endTransaction(positionBlock_, false);
        throw;
    }
    reporter_ = reporter;
    s = endTransaction(positionBlock_, result == status::kSuccess);
    for (const std::string& message : deferred.messages) reporter->report(message);
    if (result != status::kSuccess) return result;
    if (s != status::kSuccess) tell(s);
    return s;
}

Status RecordFile::open(std::string_view prefix) { return call(BOPEN, prefix); }

Status RecordFile::close(std::string_view prefix) {
    const Status s = call(BCLOSE, prefix);
    if (s == status::kSuccess) positionBlock_.fill(0);
    return s;
}

bool RecordFile::isOpen() const { return openFileInfo(positionBlock_).has_value(); }

Status stopRecordManager() {
    std::array<std::uint8_t, 4> positionDummy{};
    std::array<std::uint8_t, 4> dataDummy{};
    std::array<std::uint8_t, 4> keyDummy{};
    std::uint32_t dataLength = 0;
    return BTRCALL(BSTOP, positionDummy, dataDummy, dataLength, keyDummy, 0, 0);
}

}  // namespace gw
