#include "world/data_rows.h"

#include "store/status.h"

namespace gw::world {

std::string statusMessage(std::string_view operation, Status s) {
    return std::string(operation) + ": " + std::string(statusText(s)) + " (status " +
           std::to_string(s) + ")";
}

RowReader::~RowReader() {
    if (!file_.isOpen()) return;
    endTransaction(file_.positionBlock(), /*commit=*/false);
    file_.close("");
}

bool RowReader::fault(std::string why) {
    error_ = path_ + ": " + std::move(why);
    return false;
}

bool RowReader::open(const std::string& path) {
    path_ = path;
    file_.setFileName(path);
    if (Status s = file_.open(""); s != status::kSuccess) return fault(statusMessage("BOPEN", s));
    const auto info = openFileInfo(file_.positionBlock());
    const std::string_view expected = file_.type().name();
    if (!info || info->recordType != expected)
        return fault("holds " + (info ? info->recordType : std::string("unknown")) +
                     " records, not " + std::string(expected));
    // One committed state for the whole walk, whatever the game commits meanwhile.
    if (Status s = beginSnapshot(file_.positionBlock()); s != status::kSuccess)
        return fault(statusMessage("read", s));
    return true;
}

bool RowReader::next() {
    if (atEnd_ || !error_.empty()) return false;
    const Status s = file_.readRow(count_ == 0 ? BGETFIRST : BGETNEXT, "");
    if (s == status::kEndOfFile) {
        atEnd_ = true;
        return false;
    }
    if (s != status::kSuccess) return fault(statusMessage("BGETNEXT", s));
    ++count_;
    const RecordType& type = file_.type();
    if (file_.lengthRead() != type.dataLength())
        return fault("record " + std::to_string(count_) + " holds " +
                     std::to_string(file_.lengthRead()) + " bytes, not " +
                     std::to_string(type.dataLength()));
    StoredKey key = keyOfRow(type.key(), row());
    if (count_ > 1 && !keyBefore(type.key().kind, key_, key))
        return fault("record " + std::to_string(count_) + " is out of key order");
    key_ = std::move(key);
    return true;
}

RowWriter::~RowWriter() {
    if (inTransaction_) endTransaction(file_.positionBlock(), /*commit=*/false);
    if (open_) file_.close("");
}

bool RowWriter::fault(std::string why) {
    reason_ = std::move(why);
    error_ = path_ + ": " + reason_;
    return false;
}

bool RowWriter::create(const std::string& path) {
    path_ = path;
    const RecordType& type = file_.type();
    DataFileInfo info{std::string(type.name()), type.key(), type.dataLength(), kFormatVersion};
    if (Status s = createDataFile(path, info); s != status::kSuccess)
        return fault(statusMessage("create", s));
    file_.setFileName(path);
    if (Status s = file_.open(""); s != status::kSuccess) return fault(statusMessage("BOPEN", s));
    open_ = true;
    if (Status s = beginTransaction(file_.positionBlock()); s != status::kSuccess)
        return fault(statusMessage("begin", s));
    inTransaction_ = true;
    return true;
}

bool RowWriter::add(std::span<const std::uint8_t> row) {
    if (row.size() != file_.type().dataLength())
        return fault("a row of " + std::to_string(row.size()) + " bytes, not " +
                     std::to_string(file_.type().dataLength()));
    buffer_.assign(row.begin(), row.end());
    std::uint32_t length = static_cast<std::uint32_t>(buffer_.size());
    std::array<std::uint8_t, 4> noKey{};
    const Status s = BTRCALL(BINSERT, file_.positionBlock(), buffer_, length, noKey, 0, 0);
    if (s != status::kSuccess) return fault(statusMessage("BINSERT", s));
    ++count_;
    return true;
}

bool RowWriter::commit() {
    inTransaction_ = false;
    const Status s = endTransaction(file_.positionBlock(), /*commit=*/true);
    open_ = false;
    const Status closed = file_.close("");
    if (s != status::kSuccess) return fault(statusMessage("commit", s));
    if (closed != status::kSuccess) return fault(statusMessage("BCLOSE", closed));
    return true;
}

}  // namespace gw::world
