#pragma once
// A scratch directory, data files made for one test, and a thin handle over BTRCALL.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "store/record_file.h"
#include "store/record_manager.h"

// Fails the test unless `text` holds `part`, and shows the text.
#define EXPECT_HAS(text, part) \
    EXPECT_NE(std::string_view(text).find(part), std::string_view::npos) << (text)

namespace gw::test {

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "gw_test_XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;  // a test may have left the directory read-only
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }
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

inline Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
// Runs sql on the file with a plain connection; gives the first column of the last row.
inline std::string rawSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string last;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const auto keep = [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) = values[0] ? values[0] : "";
        return 0;
    };
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), keep, &last, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
    return last;
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
// Waits (a few clock ticks at most) until the file's change time lies well behind the clock,
// when the store starts to trust fstat alone between full checks.
inline void letChangeTimeSettle(const std::string& path) {
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    const auto ns = [](const timespec& t) { return t.tv_sec * 1'000'000'000LL + t.tv_nsec; };
    timespec now{};
    do {
        std::this_thread::yield();
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    } while (ns(now) < ns(st.st_ctim) + 20'000'000);
}
inline Bytes le(std::int64_t value, std::size_t width) {
    Bytes out(width);
    for (std::size_t i = 0; i < width; ++i)
        out[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
    return out;
}
// A row of `length` bytes: the key bytes, then `fill`.
inline Bytes keyed(const Bytes& key, std::size_t length, std::uint8_t fill) {
    Bytes row(length, fill);
    std::copy(key.begin(), key.end(), row.begin());
    return row;
}
inline Bytes int32Row(std::int32_t key, std::size_t length, std::uint8_t fill = 0x22) {
    return keyed(le(key, 4), length, fill);
}

// One open data file, driven through BTRCALL exactly as the editor does.
struct Handle {
    std::array<std::uint8_t, kPositionBlockSize> block{};
    Bytes buffer = Bytes(4096, 0), scratch = Bytes(255, 0);
    std::uint32_t length = 0;

    Status open(const std::string& path, std::uint32_t dataLength = 0) {
        Bytes name(255, 0);
        std::memcpy(name.data(), path.data(), std::min<std::size_t>(path.size(), 254));
        length = dataLength;
        return BTRCALL(BOPEN, block, buffer, length, name, 255, 0);
    }
    Status write(std::uint16_t op, Bytes row) {
        length = static_cast<std::uint32_t>(row.size());
        return BTRCALL(op, block, row, length, scratch, 255, 0);
    }
    Status read(std::uint16_t op) { return getEqual(scratch, 255, op); }  // offers all of buffer
    Status getEqual(Bytes key, std::uint16_t keyLength, std::uint16_t op = BGETEQUAL) {
        length = static_cast<std::uint32_t>(buffer.size());
        return BTRCALL(op, block, buffer, length, key, keyLength, 0);
    }
    Status get32(std::int32_t key) { return getEqual(le(key, 4), 4); }
    Status close() { return read(BCLOSE); }
    Status remove() { return read(BDELETE); }
    Bytes row() const { return Bytes(buffer.begin(), buffer.begin() + length); }
};

// Every row of the file in key order, walked with BGETFIRST and BGETNEXT.
inline std::vector<Bytes> walkAll(Handle& h) {
    std::vector<Bytes> rows;
    for (Status s = h.read(BGETFIRST); s == status::kSuccess; s = h.read(BGETNEXT))
        rows.push_back(h.row());
    return rows;
}

// Creates a file and fills it with rows in one commit; fails the test on any non-zero status.
inline void makeFile(const std::string& path, const DataFileInfo& info,
                     const std::vector<Bytes>& rows) {
    ASSERT_EQ(createDataFile(path, info), status::kSuccess) << path;
    Handle h;
    ASSERT_EQ(h.open(path, info.recordLength), status::kSuccess);
    const auto fill = [&] {
        for (const auto& r : rows)
            if (Status s = h.write(BINSERT, r); s != status::kSuccess) return s;
        return status::kSuccess;
    };
    ASSERT_EQ(inTransaction(h.block, fill), status::kSuccess);
    ASSERT_EQ(h.close(), status::kSuccess);
}

// A file of 200 rows of 256 bytes, row k filled with byte k: good.dat.
struct FilledFileTest : StoreTest {
    void SetUp() override {
        for (int k = 0; k < 200; ++k) rows.push_back(int32Row(k, 256, std::uint8_t(k)));
        makeFile(good, {"Message", KeySpec::int32(), 256}, rows);
    }
    std::vector<Bytes> rows;
    const std::string good = dir.path("good.dat");
};

}  // namespace gw::test
