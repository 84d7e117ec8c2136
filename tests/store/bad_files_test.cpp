// Files that are missing, foreign, damaged, newer, of another type, read-only or locked, and
// a writer killed in the middle of its updates.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "store_test_support.h"

namespace gw::test {
namespace {

using namespace status;
namespace fs = std::filesystem;

const DataFileInfo kLongs{"Message", KeySpec::int32(), 256};

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void rawSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

class BadFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        good = dir.path("good.dat");
        std::vector<Bytes> rows;
        for (int k = 0; k < 200; ++k)
            rows.push_back(int32Row(k, 256, static_cast<std::uint8_t>(k)));
        makeFile(good, kLongs, rows);
    }
    void TearDown() override {
        std::array<std::uint8_t, 4> dummy{};
        std::uint32_t zero = 0;
        BTRCALL(BSTOP, dummy, dummy, zero, dummy, 0, 0);
    }
    Status openCopy(const std::string& name, const Bytes& bytes, std::uint32_t length = 256) {
        writeBytes(dir.path(name), bytes);
        Handle h;
        return h.open(dir.path(name), length);
    }
    ScratchDir dir;
    std::string good;
};

TEST_F(BadFilesTest, MissingForeignDamagedAndNewerFilesAreRefused) {
    {
        SCOPED_TRACE("missing, and open does not create it");
        Handle h;
        EXPECT_EQ(h.open(dir.path("none.dat"), 256), kFileNotFound);
        EXPECT_FALSE(fs::exists(dir.path("none.dat")));
        EXPECT_EQ(h.open(dir.path("no/such/dir.dat"), 256), kFileNotFound);
        EXPECT_EQ(h.open(dir.path(""), 256), kNotADataFile);  // the directory itself
    }
    {
        SCOPED_TRACE("foreign files");
        EXPECT_EQ(openCopy("text.dat", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}), kNotADataFile);
        EXPECT_EQ(openCopy("empty.dat", Bytes{}), kNotADataFile);
        const std::string other = dir.path("other.db");
        rawSql(other, "CREATE TABLE t(x); INSERT INTO t VALUES (1)");
        Handle h;
        EXPECT_EQ(h.open(other, 256), kNotADataFile);
        EXPECT_EQ(fileBytes(other).size() % 512, 0u);
    }
    const Bytes whole = fileBytes(good);
    {
        SCOPED_TRACE("truncated");
        EXPECT_EQ(openCopy("half.dat", Bytes(whole.begin(), whole.begin() + whole.size() / 2)),
                  kCorruptFile);
        EXPECT_EQ(openCopy("cut.dat", Bytes(whole.begin(), whole.end() - 100)), kCorruptFile);
        EXPECT_EQ(openCopy("head.dat", Bytes(whole.begin(), whole.begin() + 50)), kCorruptFile);
    }
    {
        SCOPED_TRACE("corrupt bytes");
        Bytes pageSize = whole;
        pageSize[16] = 0x12;  // not a power of two
        EXPECT_EQ(openCopy("pagesize.dat", pageSize), kCorruptFile);
        Bytes garbage = whole;
        for (std::size_t i = 8192; i < garbage.size(); i += 7) garbage[i] ^= 0x5B;
        writeBytes(dir.path("garbage.dat"), garbage);
        Handle h;
        Status s = h.open(dir.path("garbage.dat"), 256);
        if (s == kSuccess) {
            std::size_t rows = 0;
            for (s = h.read(BGETFIRST); s == kSuccess && rows < 1000; s = h.read(BGETNEXT)) ++rows;
        }
        EXPECT_NE(s, kSuccess);
        EXPECT_NE(s, kEndOfFile);
    }
    {
        SCOPED_TRACE("newer format version");
        const std::string newer = dir.path("newer.dat");
        fs::copy_file(good, newer);
        rawSql(newer, "PRAGMA user_version=" + std::to_string(kFormatVersion + 1));
        Handle h;
        EXPECT_EQ(h.open(newer, 256), kUnsupportedVersion);
    }
    {
        SCOPED_TRACE("our file with its description damaged");
        const std::string bad = dir.path("baddesc.dat");
        fs::copy_file(good, bad);
        rawSql(bad, "UPDATE gravewind_file SET key_kind='float'");
        Handle h;
        EXPECT_EQ(h.open(bad, 256), kCorruptFile);
    }
}

TEST_F(BadFilesTest, RecordLengthMustMatchUnlessZero) {
    Handle h;
    EXPECT_EQ(h.open(good, 126), kWrongRecordLength);
    ASSERT_EQ(h.open(good, 0), kSuccess);
    EXPECT_EQ(openFileInfo(h.block)->recordLength, 256u);
}

TEST_F(BadFilesTest, ReadOnlyFileReadsButRefusesWrites) {
    ASSERT_EQ(::chmod(good.c_str(), 0444), 0);
    const Bytes before = fileBytes(good);
    Handle h(256);
    ASSERT_EQ(h.open(good, 256), kSuccess);
    ASSERT_EQ(h.getEqual(le(5, 4), 4), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(5, 256, 0)), kReadOnly);
    EXPECT_EQ(h.remove(), kReadOnly);
    EXPECT_EQ(h.write(BINSERT, int32Row(999, 256)), kReadOnly);
    EXPECT_EQ(beginTransaction(h.block), kReadOnly);
    EXPECT_EQ(walkAll(h).size(), 200u);
    EXPECT_EQ(fileBytes(good), before);
    EXPECT_EQ(createDataFile(good, kLongs), kFileExists);
}

// A child that holds a lock of the given kind until the parent closes its pipe.
class LockHolder {
public:
    LockHolder(const std::string& path, const char* begin) {
        int ready[2], release[2];
        if (pipe(ready) != 0 || pipe(release) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(release[1]);
            sqlite3* db = nullptr;
            sqlite3_open(path.c_str(), &db);
            int rc = sqlite3_exec(db, begin, nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK)
                rc = sqlite3_exec(db, "UPDATE records SET row = row WHERE k = 1", nullptr, nullptr,
                                  nullptr);
            const char ok = rc == SQLITE_OK ? 1 : 0;
            (void)!write(ready[1], &ok, 1);
            char c;
            (void)!read(release[0], &c, 1);
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        char ok = 0;
        locked_ = read(ready[0], &ok, 1) == 1 && ok == 1;
        close(ready[0]);
    }
    ~LockHolder() {
        close(release_);
        int st = 0;
        waitpid(pid_, &st, 0);
    }
    bool locked() const { return locked_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool locked_ = false;
};

TEST_F(BadFilesTest, AnotherProcessesLockGivesLockedNotAHang) {
    Handle h(256);
    ASSERT_EQ(h.open(good, 256), kSuccess);
    ASSERT_EQ(h.getEqual(le(5, 4), 4), kSuccess);
    {
        SCOPED_TRACE("another writer: reads go on, writes are refused");
        LockHolder holder(good, "BEGIN IMMEDIATE");
        ASSERT_TRUE(holder.locked());
        EXPECT_EQ(h.getEqual(le(6, 4), 4), kSuccess);
        EXPECT_EQ(h.write(BUPDATE, int32Row(6, 256, 0xEE)), kLocked);
        EXPECT_EQ(beginTransaction(h.block), kLocked);
    }
    {
        SCOPED_TRACE("an exclusive lock: open and reads are refused too");
        LockHolder holder(good, "BEGIN EXCLUSIVE");
        ASSERT_TRUE(holder.locked());
        Handle other(256);
        EXPECT_EQ(other.open(good, 256), kLocked);
        EXPECT_EQ(h.read(BGETFIRST), kLocked);
    }
    {
        SCOPED_TRACE("after the lock is gone, nothing was written and writes work");
        ASSERT_EQ(h.getEqual(le(6, 4), 4), kSuccess);
        EXPECT_EQ(h.row(), int32Row(6, 256, 6));
        EXPECT_EQ(h.write(BUPDATE, int32Row(6, 256, 0xEE)), kSuccess);
    }
}

// Each update stamps its sequence number into the whole row, so a half-written row shows.
Bytes stampedRow(std::int32_t key, std::uint32_t sequence) {
    Bytes row = int32Row(key, 256, static_cast<std::uint8_t>(sequence));
    std::memcpy(row.data() + 4, &sequence, 4);
    return row;
}

TEST_F(BadFilesTest, KilledWriterLosesNothingCommitted) {
    constexpr std::uint32_t kKeys = 50;
    constexpr std::uint32_t kBeforeKill = 120;
    const std::string path = dir.path("stamped.dat");
    std::vector<Bytes> rows;
    for (std::uint32_t k = 0; k < kKeys; ++k) rows.push_back(stampedRow(std::int32_t(k), 0));
    makeFile(path, kLongs, rows);

    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFds[0]);
        Handle h(256);
        if (h.open(path, 256) != kSuccess) _exit(2);
        for (std::uint32_t seq = 1;; ++seq) {
            const auto key = static_cast<std::int32_t>(seq % kKeys);
            if (h.getEqual(le(key, 4), 4) != kSuccess) _exit(3);
            if (h.write(BUPDATE, stampedRow(key, seq)) != kSuccess) _exit(4);
            if (write(pipeFds[1], &seq, 4) != 4) _exit(5);
        }
    }
    close(pipeFds[1]);
    // Kill while the child is still writing: it never waits for the parent.
    std::uint32_t committed = 0, seq = 0;
    while (committed < kBeforeKill && read(pipeFds[0], &seq, 4) == 4) committed = seq;
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int st = 0;
    waitpid(child, &st, 0);
    ASSERT_TRUE(WIFSIGNALED(st)) << "child ended with " << WEXITSTATUS(st);
    while (read(pipeFds[0], &seq, 4) == 4) committed = seq;
    close(pipeFds[0]);
    SCOPED_TRACE("updates reported committed: " + std::to_string(committed));

    Handle h(256);
    ASSERT_EQ(h.open(path, 256), kSuccess);  // rolls back the killed writer's hot journal
    const auto after = walkAll(h);
    ASSERT_EQ(after.size(), static_cast<std::size_t>(kKeys));
    for (std::uint32_t key = 0; key < kKeys; ++key) {
        SCOPED_TRACE("key " + std::to_string(key));
        std::uint32_t stamp = 0;
        std::memcpy(&stamp, after[key].data() + 4, 4);
        EXPECT_EQ(after[key], stampedRow(std::int32_t(key), stamp)) << "a half-written row";
        std::uint32_t lastTold = 0;
        for (std::uint32_t s = 1; s <= committed; ++s)
            if (s % kKeys == key) lastTold = s;
        const bool inFlight = (committed + 1) % kKeys == key && stamp == committed + 1;
        EXPECT_TRUE(stamp == lastTold || inFlight) << "stamp " << stamp << ", told " << lastTold;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
}

TEST_F(BadFilesTest, CreateRefusesExistingFilesAndBadDefinitions) {
    EXPECT_EQ(createDataFile(good, kLongs), kFileExists);
    EXPECT_EQ(createDataFile(dir.path("x.dat"), {"X", KeySpec::text(0), 10}), kInvalidDefinition);
    EXPECT_EQ(createDataFile(dir.path("x.dat"), {"X", {KeyKind::Int16, 4}, 10}),
              kInvalidDefinition);
    EXPECT_EQ(createDataFile(dir.path("x.dat"), {"X", KeySpec::int32Pair(), 6}),
              kInvalidDefinition);
    EXPECT_EQ(createDataFile(dir.path("x.dat"), {"", KeySpec::int32(), 6}), kInvalidDefinition);
    EXPECT_FALSE(fs::exists(dir.path("x.dat")));
    ASSERT_EQ(createDataFile(good, {"Race", KeySpec::int16(), 126}, /*overwrite=*/true), kSuccess);
    Handle h;
    ASSERT_EQ(h.open(good, 126), kSuccess);
    EXPECT_EQ(h.read(BGETFIRST), kEndOfFile);
}

}  // namespace
}  // namespace gw::test
