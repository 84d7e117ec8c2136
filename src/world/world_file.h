#pragma once
// One of the world's data files opened through BTRCALL for a walk over its rows. BOPEN with
// data length 0 accepts any of our files; the file's self-description then says whether it
// holds the records its name promises.
#include <array>
#include <cstdint>
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

    // Opens path and checks that it holds records of `type`; on failure, why says so
    // ("BOPEN: file not found (status 30)", "holds Message records, not Item").
    Status open(const std::string& path, const RecordType& type, std::string& why);
    void close();

    // One committed state of the file for every read until close.
    Status beginSnapshot();
    // A walk step (BGETFIRST, BGETNEXT, ...) into row, resized to the row read.
    Status read(std::uint16_t operation, std::vector<std::uint8_t>& row);
    // Inside the snapshot: the first row that would not load back as stored (wrong length, or
    // key fields naming another key), said as "12: the row is 120 bytes; ..." with how
    // many more there are; empty when every row is sound.
    Status firstFaultyRow(std::string& fault);

private:
    std::array<std::uint8_t, kPositionBlockSize> positionBlock_{};
    std::vector<std::uint8_t> buffer_;
    std::array<std::uint8_t, 255> scratchKey_{};
    bool open_ = false;
};

// "BOPEN: file not found (status 30)".
std::string describeStatus(std::string_view operation, Status s);

}  // namespace gw::world
