#pragma once
// A scratch directory, data files made for one test, and a thin handle over BTRCALL.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "store/record_manager.h"

namespace gw::test {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

using Bytes = std::vector<std::uint8_t>;

// A row of `length` bytes whose key bytes come first and the rest are `fill`.
Bytes int16Row(std::int16_t key, std::size_t length, std::uint8_t fill = 0x11);
Bytes int32Row(std::int32_t key, std::size_t length, std::uint8_t fill = 0x22);
Bytes pairRow(std::int32_t map, std::int32_t room, std::size_t length, std::uint8_t fill = 0x33);
Bytes textRow(const std::string& key, std::size_t width, std::size_t length,
              std::uint8_t fill = 0x44);
Bytes le(std::int64_t value, std::size_t width);

// One open data file, driven through BTRCALL exactly as the editor does.
struct Handle {
    std::array<std::uint8_t, kPositionBlockSize> block{};
    Bytes buffer;
    std::uint32_t length = 0;

    explicit Handle(std::size_t bufferSize = 4096) : buffer(bufferSize, 0) {}
    Status open(const std::string& path, std::uint32_t dataLength = 0);
    Status close();
    Status write(std::uint16_t op, const Bytes& row);
    Status read(std::uint16_t op);  // into buffer, offering all of it
    Status getEqual(Bytes key, std::uint16_t keyLength = 255);
    Status remove();
    Bytes row() const { return Bytes(buffer.begin(), buffer.begin() + length); }
};

// Creates a file and fills it with rows; fails the test on any non-zero status.
void makeFile(const std::string& path, const DataFileInfo& info, const std::vector<Bytes>& rows);

// Every row of the file in key order, walked with BGETFIRST and BGETNEXT.
std::vector<Bytes> walkAll(Handle& h);

}  // namespace gw::test
