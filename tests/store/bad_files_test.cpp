// Files that are missing, foreign, damaged, newer, of another type, read-only or locked, and
// a writer killed in the middle of its updates.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "store_test_support.h"

namespace gw::test {
namespace {

using namespace status;
namespace fs = std::filesystem;

const DataFileInfo kLongs{"Message", KeySpec::int32(), 256};

using BadFilesTest = FilledFileTest;

TEST_F(BadFilesTest, BadFilesAreRefusedAndReadOnlyOnesOnlyRead) {
    const Bytes whole = fileBytes(good);
    ASSERT_GE(whole.size(), 5u * 8192);
    Bytes pageSize = whole, page = whole;
    pageSize[16] = 0x12;         // not a power of two
    page[4 * 8192 + 8] ^= 0x7F;  // a cell pointer into nowhere, which only sqlite's check sees
    const struct {
        const char* name;
        Status expected;
        const char* sql;  // run on a copy of the good file, or else
        Bytes bytes{};    // the file's whole contents
    } cases[] = {
        {"other.db", kNotADataFile, "PRAGMA application_id=7"},
        {"newer.dat", kUnsupportedVersion, "PRAGMA user_version=99"},
        {"baddesc.dat", kCorruptFile, "UPDATE gravewind_file SET key_kind='float'"},
        {"altered.dat", kForeignSchema, "ALTER TABLE records ADD COLUMN extra"},
        {"trigger.dat", kForeignSchema,
         "CREATE TRIGGER gone AFTER INSERT ON records BEGIN DELETE FROM records; END"},
        {"text.dat", kNotADataFile, nullptr, Bytes(100, 'x')},
        {"head.dat", kCorruptFile, nullptr, Bytes(whole.begin(), whole.begin() + 50)},
        {"pagesize.dat", kCorruptFile, nullptr, pageSize},
        {"page.dat", kCorruptFile, nullptr, page},
    };
    static_assert(kFormatVersion < 99);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path(c.name);
        if (c.sql) {
            fs::copy_file(good, path);
            rawSql(path, c.sql);
        } else {
            writeBytes(path, c.bytes);
        }
        const Bytes before = fileBytes(path);
        EXPECT_EQ(Handle().open(path, 256), c.expected);
        EXPECT_EQ(fileBytes(path), before) << "a refused open changed the file";
    }
    EXPECT_FALSE(lastOpenComplaint().empty());  // the damaged page's, in sqlite's words
    Handle h;
    EXPECT_EQ(h.open(dir.path("none.dat"), 256), kFileNotFound);
    EXPECT_FALSE(fs::exists(dir.path("none.dat")));       // open does not create it
    EXPECT_EQ(h.open(dir.path(""), 256), kNotADataFile);  // the directory itself
    EXPECT_EQ(h.open(good, 126), kWrongRecordLength);
    ASSERT_EQ(h.open(good, 0), kSuccess);  // zero takes the file's own length
    EXPECT_EQ(openFileInfo(h.block)->recordLength, 256u);
    SCOPED_TRACE("a read-only file reads but refuses writes");
    ASSERT_EQ(::chmod(good.c_str(), 0444), 0);
    Handle readOnly;
    ASSERT_EQ(readOnly.open(good, 256), kSuccess);
    ASSERT_EQ(readOnly.get32(5), kSuccess);
    EXPECT_EQ(readOnly.write(BUPDATE, int32Row(5, 256, 0)), kReadOnly);
    EXPECT_EQ(beginTransaction(readOnly.block), kReadOnly);
    EXPECT_EQ(walkAll(readOnly).size(), 200u);
    EXPECT_EQ(fileBytes(good), whole);
}

// An exclusive lock is waited for once (a second), never twice: a bound, not a measurement.
TEST_F(BadFilesTest, AnotherProgramsLockGivesLockedAfterOneWaitNotAHang) {
    const auto timed = [](auto call) {
        const auto start = std::chrono::steady_clock::now();
        const Status s = call();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
        return s;
    };
    Handle h, second;
    ASSERT_EQ(h.open(good, 256), kSuccess);
    ASSERT_EQ(h.get32(5), kSuccess);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(good.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; UPDATE records SET row = row", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    EXPECT_EQ(timed([&] { return h.write(BUPDATE, int32Row(6, 256, 0xEE)); }), kLocked);
    EXPECT_EQ(timed([&] { return h.read(BGETLAST); }), kLocked);
    EXPECT_EQ(timed([&] { return h.get32(3); }), kLocked);
    EXPECT_EQ(timed([&] { return second.open(good, 256); }), kLocked);
    ASSERT_EQ(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    ASSERT_EQ(h.get32(6), kSuccess);  // after the lock is gone nothing was written...
    EXPECT_EQ(h.row(), int32Row(6, 256, 6));
    EXPECT_EQ(h.write(BUPDATE, int32Row(6, 256, 0xEE)), kSuccess);  // ...and writes work
}

// Each update stamps its sequence number into the whole row, so a half-written row shows.
Bytes stampedRow(std::uint32_t key, std::uint32_t sequence) {
    Bytes row = int32Row(std::int32_t(key), 256, static_cast<std::uint8_t>(sequence));
    std::memcpy(row.data() + 4, &sequence, 4);
    return row;
}

TEST_F(BadFilesTest, KilledWriterLosesNothingCommitted) {
    constexpr std::uint32_t kKeys = 50;
    const std::string path = dir.path("stamped.dat");
    std::vector<Bytes> rows;
    for (std::uint32_t k = 0; k < kKeys; ++k) rows.push_back(stampedRow(k, 0));
    makeFile(path, kLongs, rows);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Handle h;
        if (h.open(path, 256) != kSuccess) _exit(2);
        for (std::uint32_t seq = 1;; ++seq) {
            if (h.get32(std::int32_t(seq % kKeys)) != kSuccess) _exit(3);
            if (h.write(BUPDATE, stampedRow(seq % kKeys, seq)) != kSuccess) _exit(4);
            if (write(fds[1], &seq, 4) != 4) _exit(5);
        }
    }
    close(fds[1]);
    // Kill while the child is still writing: it never waits for the parent.
    std::uint32_t committed = 0, seq = 0;
    while (committed < 120 && read(fds[0], &seq, 4) == 4) committed = seq;
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int st = 0;
    waitpid(child, &st, 0);
    ASSERT_TRUE(WIFSIGNALED(st)) << "child ended with " << WEXITSTATUS(st);
    while (read(fds[0], &seq, 4) == 4) committed = seq;
    close(fds[0]);
    SCOPED_TRACE("updates reported committed: " + std::to_string(committed));

    Handle h;
    // Rolls back the killed writer's hot journal, and sqlite's check at open finds all sound.
    ASSERT_EQ(h.open(path, 256), kSuccess);
    const auto after = walkAll(h);
    ASSERT_EQ(after.size(), std::size_t{kKeys});
    for (std::uint32_t key = 0; key < kKeys; ++key) {
        std::uint32_t stamp = 0;
        std::memcpy(&stamp, after[key].data() + 4, 4);
        EXPECT_EQ(after[key], stampedRow(key, stamp)) << "a half-written row, key " << key;
        const std::uint32_t lastTold = committed < key ? 0 : committed - (committed - key) % kKeys;
        const bool inFlight = (committed + 1) % kKeys == key && stamp == committed + 1;
        EXPECT_TRUE(stamp == lastTold || inFlight) << "key " << key << " stamp " << stamp;
    }
}

TEST_F(BadFilesTest, CreateRefusesBadDefinitions) {
    // clang-format off
    const DataFileInfo bad[] = {{"X", KeySpec::text(0), 10}, {"X", {KeyKind::Int16, 4}, 10},
                                {"X", KeySpec::int32Pair(), 6}, {"", KeySpec::int32(), 6}};
    // clang-format on
    for (const auto& info : bad)
        EXPECT_EQ(createDataFile(dir.path("x.dat"), info), kInvalidDefinition);
    EXPECT_FALSE(fs::exists(dir.path("x.dat")));
}

}  // namespace
}  // namespace gw::test
