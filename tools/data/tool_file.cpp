#include "tools/data/tool_file.h"

#include <algorithm>
#include <cstring>

#include "records/records.h"

namespace gw::tool {

ToolFile::~ToolFile() { close(); }

Status ToolFile::open(const std::string& path) {
    close();
    // The name travels zero-ended in a key buffer of at least 255 bytes, as the game passes it.
    std::vector<std::uint8_t> name(std::max<std::size_t>(path.size() + 1, 255), 0);
    std::memcpy(name.data(), path.data(), path.size());
    std::uint32_t dataLength = 0;
    std::vector<std::uint8_t> none(1, 0);
    positionBlock_.fill(0);
    const Status s =
        BTRCALL(BOPEN, positionBlock_, none, dataLength, name,
                static_cast<std::uint16_t>(std::min<std::size_t>(name.size(), 65535)), 0);
    if (s != status::kSuccess) return s;
    open_ = true;
    const auto info = openFileInfo(positionBlock_);
    if (!info) {
        close();
        return status::kNotADataFile;
    }
    info_ = *info;
    type_ = nullptr;
    for (RecordKind kind : allRecordKinds())
        if (gw::recordType(kind).name() == info_.recordType) type_ = &gw::recordType(kind);
    buffer_.assign(info_.recordLength, 0);
    return status::kSuccess;
}

Status ToolFile::close() {
    if (!open_) return status::kSuccess;
    endTransaction(positionBlock_, /*commit=*/false);  // a reading snapshot, if any
    std::uint32_t dataLength = 0;
    std::vector<std::uint8_t> none(1, 0);
    const Status s = BTRCALL(BCLOSE, positionBlock_, none, dataLength, scratchKey_, 255, 0);
    open_ = false;
    positionBlock_.fill(0);
    return s;
}

Status ToolFile::read(std::uint16_t operation, std::vector<std::uint8_t>& row) {
    std::fill(buffer_.begin(), buffer_.end(), 0);
    std::uint32_t dataLength = static_cast<std::uint32_t>(buffer_.size());
    const Status s = BTRCALL(operation, positionBlock_, buffer_, dataLength, scratchKey_, 255, 0);
    if (s != status::kSuccess) return s;
    const std::size_t n = std::min<std::size_t>(dataLength, buffer_.size());
    row.assign(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    return s;
}

Status ToolFile::insert(std::span<const std::uint8_t> row) {
    if (row.size() > buffer_.size()) return status::kInvalidDataLength;
    std::copy(row.begin(), row.end(), buffer_.begin());
    std::uint32_t dataLength = static_cast<std::uint32_t>(row.size());
    return BTRCALL(BINSERT, positionBlock_, std::span(buffer_).first(row.size()), dataLength,
                   scratchKey_, 255, 0);
}

std::string describeStatus(std::string_view operation, Status s) {
    return std::string(operation) + ": " + std::string(statusText(s)) + " (status " +
           std::to_string(s) + ")";
}

}  // namespace gw::tool
