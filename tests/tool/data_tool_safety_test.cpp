// gravewind-data against what an operator may get wrong or a disk may do: outputs that are
// data files, damaged and foreign files, rows that would not load back, locks and a full disk.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

#include "small_disk.h"
#include "tool_test_support.h"
#include "tools/data/safe_output.h"

namespace gw::tool {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::fileBytes;
using test::ScratchDir;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// What a failed unload may leave beside its output: nothing, every time.
std::vector<std::string> leftovers(const ScratchDir& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir.path("")))
        if (has(e.path().filename().string(), "gravewind-unload")) out.push_back(e.path());
    return out;
}

using ToolSafety = LoadedMessages;

TEST_F(ToolSafety, UnloadNeverOverwritesADataFile) {
    const Bytes before = fileBytes(msg), race = fileBytes(dir.path("wccrace2.dat"));
    fs::create_hard_link(msg, dir.path("hard.unl"));
    const std::pair<std::string, const char*> outputs[] = {
        {dir.path("hard.unl"), "is the data file being unloaded"},
        {dir.path("wccrace2.dat"), "is a Gravewind data file"},
        {msg + "-journal", "is a data file's journal"},
    };
    for (const auto& [output, why] : outputs) {
        SCOPED_TRACE(output);
        const ToolRun r = runTool({"unload", msg, output});
        EXPECT_EQ(r.code, kExitDataError);
        EXPECT_HAS(r.err, why);
        EXPECT_EQ(fileBytes(msg), before);
        EXPECT_EQ(fileBytes(dir.path("wccrace2.dat")), race);
    }
    EXPECT_FALSE(fs::exists(msg + "-journal"));
    EXPECT_TRUE(leftovers(dir).empty());

    // Binary bytes would garble a terminal: only an OUTPUT file is written from one.
    const ToolRun onTerminal = runTool({"unload", msg}, {}, /*terminal=*/true);
    EXPECT_EQ(onTerminal.code, kExitDataError);
    EXPECT_EQ(onTerminal.out, "");
    EXPECT_HAS(onTerminal.err, "standard output is a terminal");
    ASSERT_EQ(runTool({"unload", msg, dir.path("t.unl")}, {}, true).code, kExitDone);
    EXPECT_EQ(fileBytes(dir.path("t.unl")), Bytes(unloaded.begin(), unloaded.end()));
}

TEST_F(ToolSafety, UnloadReplacesItsOutputWhole) {
    const std::string out = dir.path("out.unl");
    std::ofstream(out) << "an older unload";
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(runTool({"unload", msg, out}).code, kExitDone);
    EXPECT_EQ(fileBytes(out), Bytes(unloaded.begin(), unloaded.end()));
    EXPECT_EQ(fs::status(out).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    {
        SCOPED_TRACE("through a symbolic link the file it names is replaced");
        std::ofstream(dir.path("target.unl")) << "old";
        fs::create_symlink(dir.path("target.unl"), dir.path("via.unl"));
        ASSERT_EQ(runTool({"unload", msg, dir.path("via.unl")}).code, kExitDone);
        EXPECT_TRUE(fs::is_symlink(dir.path("via.unl")));
        EXPECT_EQ(fileBytes(dir.path("target.unl")), Bytes(unloaded.begin(), unloaded.end()));
    }
    {
        SCOPED_TRACE("an unload killed while writing leaves the old output and nothing else");
        const Bytes before = fileBytes(out);
        const pid_t child = ::fork();
        if (child == 0) {
            SafeOutput half;
            if (half.open(out) && half.write(unloaded.substr(0, 1000))) ::kill(::getpid(), SIGKILL);
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(fileBytes(out), before);
    }
    SCOPED_TRACE("a directory that does not exist");
    const ToolRun r = runTool({"unload", msg, dir.path("no/such/out.unl")});
    EXPECT_EQ(r.code, kExitDataError);
    EXPECT_HAS(r.err, "no/such/out.unl");
    EXPECT_TRUE(leftovers(dir).empty());
}

// Every command opens its file through one reader: each refusal is tried with one command.
TEST_F(ToolSafety, DamagedAndForeignFilesAreRefusedAndVerifyNamesThem) {
    Bytes bytes = fileBytes(msg);
    ASSERT_GE(bytes.size(), 3u * 8192);
    bytes[2 * 8192] = 0x07;  // a b-tree page of no known type
    const std::string damaged = dir.path("damaged.dat"), race = dir.path("other/wccrace2.dat");
    test::writeBytes(damaged, bytes);
    fs::create_directory(dir.path("other"));
    fs::copy_file(dir.path("wccclas2.dat"), race);
    fs::copy_file(dir.path("wccrace2.dat"), dir.path("long.dat"));
    test::rawSql(dir.path("long.dat"), "UPDATE gravewind_file SET record_length = 200");
    const std::tuple<const char*, std::string, std::string> refused[] = {
        {"dump", damaged, "damaged.dat: BOPEN: data file is damaged or truncated (status 32): "},
        {"load", race,
         race + ": describes itself as holding Class records; wccrace2.dat holds Race records"},
        {"unload", dir.path("long.dat"),
         "describes Race records of 200 bytes with a key of 2 bytes; Race records are 126 bytes"},
    };
    for (const auto& [command, file, why] : refused) {
        SCOPED_TRACE(std::string(command) + " " + file);
        const ToolRun r = runTool({command, file}, unloadRecord(messageRow(99, 256, 'z')));
        EXPECT_EQ(r.code, kExitDataError);
        EXPECT_HAS(r.err, why);
        EXPECT_EQ(r.out, "");
    }
    const ToolRun all = runTool({"verify", msg, damaged, dir.path("wccrace2.dat")});
    EXPECT_EQ(all.code, kExitDataError);
    EXPECT_EQ(all.out, msg + ": sound\n" + dir.path("wccrace2.dat") + ": sound\n");
    EXPECT_EQ(runTool({"verify", msg, dir.path("wccrace2.dat")}).code, kExitDone);
}

TEST_F(ToolSafety, RowsThatWouldNotLoadBackAreNamedAndNeverUnloaded) {
    const struct {
        const char* what;
        const char* sql;
        const char* named;
    } damages[] = {
        {"a long row", "UPDATE records SET row = row || x'00' WHERE k = 40",
         "Message 40: the row is 257 bytes; the file's records are 256 bytes"},
        {"an empty row", "UPDATE records SET row = x'' WHERE k = 1",
         "Message 1: the row is 0 bytes"},
        {"a row under another key", "INSERT INTO records SELECT 9999, row FROM records WHERE k = 1",
         "Message 9999: the row's own key is 1"},
    };
    const std::string damaged = dir.path("damaged.dat");
    for (const auto& d : damages) {
        SCOPED_TRACE(d.what);
        fs::copy_file(msg, damaged, fs::copy_options::overwrite_existing);
        test::rawSql(damaged, d.sql);
        const ToolRun verify = runTool({"verify", damaged});
        EXPECT_EQ(verify.code, kExitDataError);
        EXPECT_EQ(verify.out, "");
        EXPECT_HAS(verify.err, damaged + ": " + d.named);
        EXPECT_HAS(verify.err, "1 row does not load back as stored");
        // dump shows each row as stored, up to one longer than the file's records.
        const bool tooLong = std::string_view(d.what) == "a long row";
        const ToolRun dump = runTool({"dump", damaged});
        EXPECT_EQ(dump.code, tooLong ? kExitDataError : kExitDone) << dump.err;
        EXPECT_EQ(has(dump.err, "longer than the data buffer (status 25)"), tooLong) << dump.err;
    }
    // unload and the world check name the fault as verify does, whatever it is: the last one.
    const std::string named = std::prev(std::end(damages))->named, out = dir.path("out.unl");
    std::ofstream(out) << "the old unload";
    const ToolRun toFile = runTool({"unload", damaged, out});
    EXPECT_EQ(toFile.code, kExitDataError);
    EXPECT_HAS(toFile.err, named + "\n");
    EXPECT_HAS(toFile.err, "nothing was written");
    EXPECT_EQ(fileBytes(out),
              Bytes({'t', 'h', 'e', ' ', 'o', 'l', 'd', ' ', 'u', 'n', 'l', 'o', 'a', 'd'}));
    // What reached standard output before the fault lacks its end mark: never loadable.
    const ToolRun toOut = runTool({"unload", damaged});
    EXPECT_EQ(toOut.code, kExitDataError);
    EXPECT_FALSE(toOut.out.ends_with("\x1A"));
    EXPECT_TRUE(leftovers(dir).empty());
    // The world check reads the file as unreadable rather than judging what it cannot back up.
    fs::copy_file(damaged, msg, fs::copy_options::overwrite_existing);
    fs::remove(damaged);
    const ToolRun check = runTool({"check", dir.path("")});
    EXPECT_EQ(check.code, kExitUsage);
    EXPECT_HAS(check.err, "wccmsg2.dat: " + named);
}

TEST_F(ToolSafety, AnotherProgramsWritesRefuseALoadAndReadsGetTheCommittedState) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(msg.c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 1000);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE; DELETE FROM records", nullptr, nullptr, nullptr),
              SQLITE_OK);
    const ToolRun load = runTool({"load", msg}, unloadRecord(messageRow(99, 256, 'z')));
    EXPECT_EQ(load.code, kExitDataError);
    EXPECT_HAS(load.err, "another program holds the file; nothing was loaded");
    EXPECT_EQ(runTool({"unload", msg}).out, unloaded);
    ASSERT_EQ(sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);

    // A commit that holds the file for longer than one lock wait, then commits back to back:
    // every read must still get its one committed state.
    const char* kChange = "UPDATE records SET row = row WHERE k = 1";
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, kChange, nullptr, nullptr, nullptr), SQLITE_OK);
    std::atomic<bool> stop = false;
    std::atomic<int> commits = 0;
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        for (const char* sql = "COMMIT"; !stop; sql = kChange)
            if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) ++commits;
    });
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE("unload " + std::to_string(run));
        const ToolRun r = runTool({"unload", msg});
        EXPECT_EQ(r.code, kExitDone) << r.err;
        EXPECT_EQ(r.out, unloaded);
    }
    stop = true;
    writer.join();
    sqlite3_close(db);
    EXPECT_GT(commits, 1);
}

TEST_F(ToolSafety, UnloadOntoAFullDiskLeavesTheOldOutput) {
    std::string many;
    for (int k = 100; k < 1100; ++k) many += unloadRecord(messageRow(k, 256, 'q'));
    ASSERT_EQ(runTool({"load", msg}, many + "\x1A").code, kExitDone);
    const std::string small = dir.path("small");
    fs::create_directory(small);
    const auto result = test::onSmallDisk(small, 128 * 1024, [&]() -> std::string {
        const std::string out = small + "/out.unl";
        std::ofstream(out) << "the old unload";
        const ToolRun r = runTool({"unload", msg, out});
        if (r.code != kExitDataError) return "exit " + std::to_string(r.code);
        if (!has(r.err, "No space left on device")) return "message: " + r.err;
        std::ifstream in(out);
        const std::string kept((std::istreambuf_iterator<char>(in)), {});
        if (kept != "the old unload") return "the output now holds " + kept.substr(0, 40);
        for (const auto& e : fs::directory_iterator(small))
            if (e.path().filename() != "out.unl") return "left behind: " + e.path().string();
        return {};
    });
    if (!result) GTEST_SKIP() << "cannot mount a small tmpfs here (no mount namespace)";
    EXPECT_EQ(*result, "");
}

}  // namespace
}  // namespace gw::tool
