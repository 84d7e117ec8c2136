// Files that change under an open handle (cut, replaced, removed, overwritten), snapshots, and the
// statuses of what lies beside a file.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "store/group_write.h"
#include "store_test_support.h"

namespace gw::test {
namespace {

using namespace status;
namespace fs = std::filesystem;

constexpr int kNoSuchUser = 200;

using ChangedFilesTest = FilledFileTest;

TEST_F(ChangedFilesTest, ChangesUnderAnOpenHandleGiveAStatusNeverStaleRows) {
    const Bytes whole = fileBytes(good);
    const std::string path = dir.path("changing.dat"), other = dir.path("other.dat");
    const struct {
        const char* what;
        std::function<void()> change;
        Status expected;
    } cases[] = {
        {"cut to one page", [&] { fs::resize_file(path, 8192); }, kCorruptFile},
        {"cut by a byte", [&] { fs::resize_file(path, whole.size() - 1); }, kCorruptFile},
        {"replaced by rename", [&] { writeBytes(other, whole), fs::rename(other, path); },
         kFileReplaced},
        {"removed", [&] { fs::remove(path); }, kFileReplaced},
        {"overwritten by another type's file",
         [&] {
             createDataFile(other, {"Race", KeySpec::int16(), 126}, /*overwrite=*/true);
             fs::copy_file(other, path, fs::copy_options::overwrite_existing);
         },
         kCorruptFile},
    };
    for (const bool settled : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (settled ? ", after the change time settled" : ""));
            writeBytes(path, whole);
            if (settled) letChangeTimeSettle(path);
            Handle h;
            ASSERT_EQ(h.open(path, 256), kSuccess);
            ASSERT_EQ(h.read(BGETFIRST), kSuccess);
            ASSERT_EQ(h.read(BGETNEXT), kSuccess);  // the walk has read ahead by now
            c.change();
            for (std::uint16_t op : {BGETNEXT, BGETPREVIOUS, BGETNEXT}) {
                SCOPED_TRACE(op);
                const Status s = h.read(op);
                // Another type's file is cut too: the header counts pages the file no longer has.
                EXPECT_TRUE(s == c.expected || (s == kFileReplaced && c.expected == kCorruptFile))
                    << "status " << s;
            }
            EXPECT_NE(h.write(BINSERT, int32Row(5000, 256)), kSuccess);
            EXPECT_EQ(h.close(), kSuccess);
        }
}

TEST_F(ChangedFilesTest, SnapshotReadsOneStateWhileAnotherProgramWrites) {
    Handle h;
    ASSERT_EQ(h.open(good, 256), kSuccess);
    ASSERT_EQ(beginSnapshot(h.block), kSuccess);
    EXPECT_EQ(beginSnapshot(h.block), kTransactionActive);
    ASSERT_EQ(h.read(BGETFIRST), kSuccess);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(good.c_str(), &other), SQLITE_OK);
    // Moving the last record to the front: a walk that saw the move would miss or repeat it.
    const auto move = [&] {
        return sqlite3_exec(other, "UPDATE records SET k = -1 WHERE k = 199", nullptr, nullptr,
                            nullptr);
    };
    EXPECT_NE(move(), SQLITE_OK);
    std::size_t n = 1;
    while (h.read(BGETNEXT) == kSuccess) ++n;
    EXPECT_EQ(n, rows.size());
    EXPECT_EQ(h.write(BINSERT, int32Row(5000, 256)), kTransactionActive);
    ASSERT_EQ(endTransaction(h.block, true), kSuccess);
    EXPECT_EQ(move(), SQLITE_OK);  // the snapshot's end lets the other program write
    sqlite3_close(other);
}

TEST_F(ChangedFilesTest, WhatLiesBesideTheFileNamesTheCause) {
    Handle h;
    fs::create_symlink(dir.path("loop.dat"), dir.path("loop.dat"));
    EXPECT_EQ(h.open(dir.path("loop.dat"), 256), kLinkLoop);
    ASSERT_EQ(h.open(good, 256), kSuccess);
    fs::create_directory(good + "-journal");  // where the first write makes its journal
    EXPECT_EQ(h.write(BINSERT, int32Row(5000, 256)), kJournalBlocked);
    fs::remove(good + "-journal");
    EXPECT_EQ(h.write(BINSERT, int32Row(5000, 256)), kSuccess);
    ASSERT_EQ(h.close(), kSuccess);
    SCOPED_TRACE("a read-only directory, not a read-only file");
    const fs::path parent = fs::path(good).parent_path();
    fs::permissions(good, fs::perms(0666));  // the file itself is writable by anyone
    fs::permissions(parent, fs::perms(0555));
    // In a child, which drops root's rights first: root writes into read-only directories.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(kNoSuchUser);
        Status s = h.open(good, 256);
        if (s == kSuccess) s = h.write(BINSERT, int32Row(5001, 256));
        ::_exit(static_cast<std::uint8_t>(s));
    }
    int st = 0;
    ::waitpid(child, &st, 0);
    fs::permissions(parent, fs::perms::owner_all, fs::perm_options::add);
    ASSERT_TRUE(WIFEXITED(st));
    if (WEXITSTATUS(st) == kNoSuchUser) GTEST_SKIP() << "cannot become nobody here";
    EXPECT_EQ(WEXITSTATUS(st), kDirectoryReadOnly);
}

// A group rewrite whose row another program changed or deleted since it was read refuses,
// and writes no file of the group.
TEST_F(ChangedFilesTest, AGroupRewriteRefusesRowsNoLongerAsRead) {
    const std::string second = dir.path("second.dat");
    fs::copy_file(good, second);
    const Bytes whole = fileBytes(good);
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted ? "deleted" : "changed");
        rawSql(second, deleted ? "DELETE FROM records WHERE k = 0"
                               : "UPDATE records SET row = zeroblob(256) WHERE k = 1");
        const Bytes changed = fileBytes(second);
        const FileRewrite group[] = {
            {good, "Message", {{rows[5], int32Row(5, 256, 0xEE)}}},
            {second, "Message", {{rows[deleted ? 0 : 1], int32Row(deleted ? 0 : 1, 256, 0xEE)}}}};
        std::string problem;
        EXPECT_EQ(rewriteTogether(group, problem), kKeyNotFound);
        EXPECT_NE(problem.find("a record changed since it was read"), std::string::npos) << problem;
        EXPECT_EQ(fileBytes(good), whole);
        EXPECT_EQ(fileBytes(second), changed);
    }
}

}  // namespace
}  // namespace gw::test
