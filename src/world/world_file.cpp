#include "world/world_file.h"

#include <algorithm>
#include <cstring>

namespace gw::world {

WorldFile::~WorldFile() { close(); }

Status WorldFile::open(const std::string& path, const RecordType& type, std::string& why) {
    close();
    // The name travels zero-ended in a key buffer of at least 255 bytes, as the game passes it.
    std::vector<std::uint8_t> name(std::max<std::size_t>(path.size() + 1, 255), 0);
    std::memcpy(name.data(), path.data(), path.size());
    std::uint32_t dataLength = 0;
    std::array<std::uint8_t, 1> none{};
    positionBlock_.fill(0);
    Status s = BTRCALL(BOPEN, positionBlock_, none, dataLength, name,
                       static_cast<std::uint16_t>(std::min<std::size_t>(name.size(), 65535)), 0);
    if (s != status::kSuccess) {
        why = describeStatus("BOPEN", s);
        return s;
    }
    open_ = true;
    const auto info = openFileInfo(positionBlock_);
    if (!info || info->recordType != type.name()) {
        why = info ? "holds " + info->recordType + " records, not " + std::string(type.name())
                   : describeStatus("BOPEN", status::kNotADataFile);
        close();
        return status::kWrongRecordLength;
    }
    buffer_.assign(info->recordLength, 0);
    return status::kSuccess;
}

void WorldFile::close() {
    if (!open_) return;
    endTransaction(positionBlock_, /*commit=*/false);  // the reading snapshot, if any
    std::uint32_t dataLength = 0;
    std::array<std::uint8_t, 1> none{};
    BTRCALL(BCLOSE, positionBlock_, none, dataLength, scratchKey_, 255, 0);
    open_ = false;
    positionBlock_.fill(0);
}

Status WorldFile::beginSnapshot() { return gw::beginSnapshot(positionBlock_); }

Status WorldFile::read(std::uint16_t operation, std::vector<std::uint8_t>& row) {
    std::fill(buffer_.begin(), buffer_.end(), 0);
    std::uint32_t dataLength = static_cast<std::uint32_t>(buffer_.size());
    const Status s = BTRCALL(operation, positionBlock_, buffer_, dataLength, scratchKey_, 255, 0);
    if (s != status::kSuccess) return s;
    const std::size_t n = std::min<std::size_t>(dataLength, buffer_.size());
    row.assign(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    return s;
}

Status WorldFile::firstFaultyRow(std::string& fault) {
    fault.clear();
    std::size_t more = 0;
    const Status s = walkRows(
        positionBlock_,
        [&](std::span<const std::uint8_t>, const RowFault* f) {
            if (!f) return true;
            if (fault.empty())
                fault = f->key + ": " + f->problem;
            else
                ++more;
            return true;
        },
        /*faultyOnly=*/true);
    if (more) fault += " (and " + std::to_string(more) + " more faulty rows)";
    return s;
}

std::string describeStatus(std::string_view operation, Status s) {
    return std::string(operation) + ": " + std::string(statusText(s)) + " (status " +
           std::to_string(s) + ")";
}

}  // namespace gw::world
