#pragma once
// A scratch directory, data files made for one test, and a thin handle over BTRCALL.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "store/record_file.h"
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

// Closes every file a test left open.
struct StoreTest : ::testing::Test {
    void TearDown() override { stopRecordManager(); }
    ScratchDir dir;
};

using Bytes = std::vector<std::uint8_t>;

Bytes le(std::int64_t value, std::size_t width);
// A row of `length` bytes: the key bytes, then `fill`.
Bytes keyed(const Bytes& key, std::size_t length, std::uint8_t fill);
inline Bytes int32Row(std::int32_t key, std::size_t length, std::uint8_t fill = 0x22) {
    return keyed(le(key, 4), length, fill);
}

// One open data file, driven through BTRCALL exactly as the editor does.
struct Handle {
    std::array<std::uint8_t, kPositionBlockSize> block{};
    Bytes buffer;
    std::uint32_t length = 0;

    explicit Handle(std::size_t bufferSize = 4096) : buffer(bufferSize, 0) {}
    Status open(const std::string& path, std::uint32_t dataLength = 0);
    Status close() { return read(BCLOSE); }
    Status write(std::uint16_t op, Bytes row);
    Status read(std::uint16_t op);  // into buffer, offering all of it
    Status getEqual(Bytes key, std::uint16_t keyLength = 255);
    Status get32(std::int32_t key) { return getEqual(le(key, 4), 4); }
    Status remove() { return read(BDELETE); }
    Bytes row() const { return Bytes(buffer.begin(), buffer.begin() + length); }
};

// Creates a file and fills it with rows; fails the test on any non-zero status.
void makeFile(const std::string& path, const DataFileInfo& info, const std::vector<Bytes>& rows);

// Every row of the file in key order, walked with BGETFIRST and BGETNEXT.
std::vector<Bytes> walkAll(Handle& h);

}  // namespace gw::test
