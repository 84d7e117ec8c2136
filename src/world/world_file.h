#pragma once
// One of the world's data files opened through BTRCALL, whatever its record type: BOPEN with
// data length 0 accepts any of our files, and the file's self-description then says what it
// holds. The world walks and the data tool's file commands read (and load) through it.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.h"
#include "store/record_manager.h"

namespace gw::world {

class WorldFile {
public:
    WorldFile() = default;
    WorldFile(const WorldFile&) = delete;
    WorldFile& operator=(const WorldFile&) = delete;
    ~WorldFile();

    // Opens any of our data files (kNotADataFile for a file without our description).
    Status open(const std::string& path);
    // Opens path and checks that it holds records of `type`; on failure, why says so
    // ("BOPEN: file not found (status 30)", "holds Message records, not Item").
    Status open(const std::string& path, const RecordType& type, std::string& why);
    Status close();
    bool isOpen() const { return open_; }

    const DataFileInfo& info() const { return info_; }
    // The declared record type the file holds, or nullptr for a type this build does not know.
    const RecordType* recordType() const { return type_; }
    std::span<std::uint8_t> positionBlock() { return positionBlock_; }

    // One committed state of the file for every read until close.
    Status beginSnapshot();
    // A walk step (BGETFIRST, BGETNEXT, ...) into row, resized to the row read.
    Status read(std::uint16_t operation, std::vector<std::uint8_t>& row);
    Status insert(std::span<const std::uint8_t> row);
    // Inside the snapshot: the first row that would not load back as stored (wrong length, or
    // key fields naming another key), said as "12: the row is 120 bytes; ..." with how many
    // more there are; empty when every row is sound.
    Status firstFaultyRow(std::string& fault);

private:
    std::array<std::uint8_t, kPositionBlockSize> positionBlock_{};
    std::vector<std::uint8_t> buffer_;
    std::array<std::uint8_t, 255> scratchKey_{};
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

}  // namespace gw::world
