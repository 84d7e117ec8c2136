#pragma once
// A data file opened by the data tool through BTRCALL, whatever its record type: BOPEN with
// data length 0 accepts any of our files, and the file's self-description says what it holds.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/record_manager.h"
#include "store/record_type.h"

namespace gw::tool {

class ToolFile {
public:
    ToolFile() = default;
    ToolFile(const ToolFile&) = delete;
    ToolFile& operator=(const ToolFile&) = delete;
    ~ToolFile();

    Status open(const std::string& path);
    Status close();
    bool isOpen() const { return open_; }

    const DataFileInfo& info() const { return info_; }
    // The declared record type the file holds, or nullptr for a type this build does not know.
    const RecordType* recordType() const { return type_; }
    std::span<std::uint8_t> positionBlock() { return positionBlock_; }

    // A walk step (BGETFIRST, BGETNEXT, ...) into row, which is resized to the row read.
    Status read(std::uint16_t operation, std::vector<std::uint8_t>& row);
    Status insert(std::span<const std::uint8_t> row);

private:
    std::array<std::uint8_t, kPositionBlockSize> positionBlock_{};
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint8_t> scratchKey_ = std::vector<std::uint8_t>(255, 0);
    DataFileInfo info_;
    const RecordType* type_ = nullptr;
    bool open_ = false;
};

// Why the file's self-description cannot be trusted, or "": it claims another record type
// than its name (wccrace2.dat holds Race records), or a known type with another key or
// record length than that type has. Read through it, one type's bytes would pass as another's.
std::string descriptionProblem(const std::string& path, const DataFileInfo& info);

// "BOPEN: file not found (status 30)".
std::string describeStatus(std::string_view operation, Status s);

}  // namespace gw::tool
