#include "store_test_support.h"

#include <stdlib.h>

#include <filesystem>

namespace gw::test {

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "gw_store_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(dir_, ignored);
}

Bytes le(std::int64_t value, std::size_t width) {
    Bytes out(width);
    for (std::size_t i = 0; i < width; ++i)
        out[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
    return out;
}

Bytes keyed(const Bytes& key, std::size_t length, std::uint8_t fill) {
    Bytes row(length, fill);
    std::copy(key.begin(), key.end(), row.begin());
    return row;
}

Status Handle::open(const std::string& path, std::uint32_t dataLength) {
    Bytes name(255, 0);
    std::memcpy(name.data(), path.data(), std::min<std::size_t>(path.size(), 254));
    length = dataLength;
    return BTRCALL(BOPEN, block, buffer, length, name, 255, 0);
}

Status Handle::write(std::uint16_t op, Bytes row) {
    Bytes scratch(255, 0);
    length = static_cast<std::uint32_t>(row.size());
    return BTRCALL(op, block, row, length, scratch, 255, 0);
}

Status Handle::read(std::uint16_t op) {
    Bytes scratch(255, 0);
    length = static_cast<std::uint32_t>(buffer.size());
    return BTRCALL(op, block, buffer, length, scratch, 255, 0);
}

Status Handle::getEqual(Bytes key, std::uint16_t keyLength) {
    length = static_cast<std::uint32_t>(buffer.size());
    return BTRCALL(BGETEQUAL, block, buffer, length, key, keyLength, 0);
}

void makeFile(const std::string& path, const DataFileInfo& info, const std::vector<Bytes>& rows) {
    ASSERT_EQ(createDataFile(path, info), status::kSuccess) << path;
    Handle h;
    ASSERT_EQ(h.open(path, info.recordLength), status::kSuccess);
    // One commit for the whole fill keeps the tests quick on a synchronous disk.
    const auto fill = [&] {
        for (const auto& r : rows)
            if (Status s = h.write(BINSERT, r); s != status::kSuccess) return s;
        return status::kSuccess;
    };
    ASSERT_EQ(inTransaction(h.block, fill), status::kSuccess);
    ASSERT_EQ(h.close(), status::kSuccess);
}

std::vector<Bytes> walkAll(Handle& h) {
    std::vector<Bytes> rows;
    for (Status s = h.read(BGETFIRST); s == status::kSuccess; s = h.read(BGETNEXT))
        rows.push_back(h.row());
    return rows;
}

}  // namespace gw::test
