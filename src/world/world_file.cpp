#include "world/world_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace gw::world {

WorldFile::~WorldFile() { close(); }

Status WorldFile::open(const std::string& path) {
    close();
    // The name travels zero-ended in a key buffer of at least 255 bytes, as the game passes it.
    std::vector<std::uint8_t> name(std::max<std::size_t>(path.size() + 1, 255), 0);
    std::memcpy(name.data(), path.data(), path.size());
    std::uint32_t dataLength = 0;
    std::array<std::uint8_t, 1> none{};
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

Status WorldFile::open(const std::string& path, const RecordType& type, std::string& why) {
    if (Status s = open(path); s != status::kSuccess) {
        why = describeStatus("BOPEN", s);
        return s;
    }
    if (info_.recordType != type.name()) {
        why = "holds " + info_.recordType + " records, not " + std::string(type.name());
        close();
        return status::kWrongRecordLength;
    }
    return status::kSuccess;
}

Status WorldFile::close() {
    if (!open_) return status::kSuccess;
    endTransaction(positionBlock_, /*commit=*/false);  // a reading snapshot, if any
    std::uint32_t dataLength = 0;
    std::array<std::uint8_t, 1> none{};
    const Status s = BTRCALL(BCLOSE, positionBlock_, none, dataLength, scratchKey_, 255, 0);
    open_ = false;
    positionBlock_.fill(0);
    return s;
}

Status WorldFile::read(std::uint16_t operation, std::vector<std::uint8_t>& row) {
    std::fill(buffer_.begin(), buffer_.end(), 0);
    std::uint32_t dataLength = static_cast<std::uint32_t>(buffer_.size());
    const Status s = BTRCALL(operation, positionBlock_, buffer_, dataLength, scratchKey_, 255, 0);
    if (s != status::kSuccess) return s;
    const std::size_t n = std::min<std::size_t>(dataLength, buffer_.size());
    row.assign(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    return s;
}

Status WorldFile::insert(std::span<const std::uint8_t> row) {
    if (row.size() > buffer_.size()) return status::kInvalidDataLength;
    std::copy(row.begin(), row.end(), buffer_.begin());
    std::uint32_t dataLength = static_cast<std::uint32_t>(row.size());
    return BTRCALL(BINSERT, positionBlock_, std::span(buffer_).first(row.size()), dataLength,
                   scratchKey_, 255, 0);
}

Status WorldFile::beginSnapshot() { return gw::beginSnapshot(positionBlock_); }

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

std::string descriptionProblem(const std::string& path, const DataFileInfo& info) {
    const auto slash = path.rfind('/');
    const std::string_view name =
        std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    const auto sameName = [](std::string_view a, std::string_view b) {
        return std::ranges::equal(a, b, [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        });
    };
    for (RecordKind kind : allRecordKinds()) {
        const RecordType& type = gw::recordType(kind);
        if (sameName(name, type.fileName()) && info.recordType != type.name())
            return "describes itself as holding " + info.recordType + " records; " +
                   std::string(type.fileName()) + " holds " + std::string(type.name()) + " records";
        if (info.recordType == type.name() &&
            (info.recordLength != type.dataLength() || !(info.key == type.key())))
            return "describes " + info.recordType + " records of " +
                   std::to_string(info.recordLength) + " bytes with a key of " +
                   std::to_string(info.key.width) + " bytes; " + info.recordType + " records are " +
                   std::to_string(type.dataLength()) + " bytes with a key of " +
                   std::to_string(type.key().width) + " bytes";
    }
    return {};
}

std::string describeStatus(std::string_view operation, Status s) {
    return std::string(operation) + ": " + std::string(statusText(s)) + " (status " +
           std::to_string(s) + ")";
}

}  // namespace gw::world
