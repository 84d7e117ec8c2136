// `refs` and `renumber`: every field naming the record found and rewritten, nothing else, all
// files or none.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "tool_test_support.h"

namespace gw::tool {
namespace {

namespace fs = std::filesystem;

std::string replacedOnce(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos);
    EXPECT_EQ(text.find(from, at + 1), std::string::npos);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// Item 901 renumbered, then refusals, a class and a room: one planted world throughout.
TEST_F(CheckedWorld, RenumberRewritesEveryReferrerAndNothingElse) {
    using K = RecordKind;
    // Item 901, named by a monster, a shop, a room and twice by a user; each row before and
    // after as the test itself spells it. The dry run lists what `refs` finds: one scan.
    struct Planted {
        K kind;
        Row before, after;
    };
    auto plant = [](K kind, const Row& row, auto edit) {
        Row after = row;
        edit(after);
        return Planted{kind, row, after};
    };
    Row user = firstRow(K::User).text("BBSName", "Item Keeper");
    Row room = firstRow(K::Room).set("MapNumber", 2).set("RoomNumber", 902);
    // Its exits: North West to room 2:4, and a map change whose 4 is no room of map 2.
    for (std::size_t d = 0; d < 10; ++d) room.set("RoomExit", d, 0).set("ExitType", d, 0);
    room.set("RoomExit", 5, 4).set("RoomExit", 6, 4).set("ExitType", 6, 8);
    const Planted planted[] = {
        plant(K::Item, firstRow(K::Item).set("Number", 901), [](Row& r) { r.set("Number", 950); }),
        plant(K::Monster, firstRow(K::Monster).set("Number", 902).set("WeaponNumber", 901),
              [](Row& r) { r.set("WeaponNumber", 950); }),
        plant(K::Shop, firstRow(K::Shop).set("Number", 902).set("ShopItemNumber", 19, 901),
              [](Row& r) { r.set("ShopItemNumber", 19, 950); }),
        plant(K::Room, room.set("PlacedItems", 9, 901),
              [](Row& r) { r.set("PlacedItems", 9, 950); }),
        plant(K::User, user.set("Item", 0, 901).set("Item", 99, 901),
              [](Row& r) { r.set("Item", 0, 950).set("Item", 99, 950); }),
    };
    for (const Planted& p : planted) load(p.kind, p.before);
    // A shop keeps only the low byte of its class number.
    load(K::Shop, firstRow(K::Shop).set("Number", 903).set("Class", 0x501));
    const std::vector<std::string> before = unloadAll(dir.path(""));
    EXPECT_EQ(runTool({"refs", dir.path(""), "User", "Item Keeper"}).out,
              "0 references to User \"Item Keeper\"\n");

    const std::tuple<std::vector<std::string>, int, std::string> refusals[] = {
        {{"Item", "1", "2"}, kExitDataError, "Item 2 exists already"},
        {{"Item", "999", "998"}, kExitDataError, "Item 999 does not exist"},
        {{"Item", "1", "0"}, kExitDataError, "0 is not a Item number (1 to 2147483647)"},
        {{"Room", "1:1", "2:999"}, kExitDataError, "a room keeps its map"},
        {{"User", "Item Keeper", "Other"}, kExitDataError, "named, not numbered"},
        {{"Class", "1", "300"}, kExitDataError, "Shop field Class names Class 1 but cannot hold"},
        {{"Item", "one", "2"}, kExitUsage, "is not a Item key"},
    };
    for (const auto& [words, code, message] : refusals) {
        SCOPED_TRACE(message);
        std::vector<std::string> args = {"renumber", dir.path("")};
        args.insert(args.end(), words.begin(), words.end());
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.code, code);
        EXPECT_HAS(run.err, message);
    }
    {
        SCOPED_TRACE("another program writing one of the files: named at once");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file(K::Shop).c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        const ToolRun held = runTool({"renumber", dir.path(""), "Item", "1", "9001"});
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        EXPECT_EQ(held.code, kExitUsage);
        EXPECT_HAS(held.err, "wccshop2.dat: another program is writing the file");
    }
    SCOPED_TRACE("a dry run lists each change; it and every refusal write nothing");
    const ToolRun dry = runTool({"renumber", dir.path(""), "Item", "901", "950", "--dry-run"});
    EXPECT_EQ(dry.code, kExitDone) << dry.err;
    EXPECT_EQ(lines(dry.out).size(), 7u) << dry.out;  // one line a field, as the real run writes
    EXPECT_HAS(dry.out, "wccuser2.dat  User \"Item Keeper\"  Item[99]  901 -> 950\n");
    EXPECT_HAS(dry.out, "would renumber Item 901 to 950: 6 fields in 5 files; nothing written\n");
    EXPECT_EQ(differingFiles(unloadAll(dir.path("")), before), std::vector<std::string>{});

    SCOPED_TRACE("the real run: exactly the planted rows change, as spelled above");
    const ToolRun real = runTool({"renumber", dir.path(""), "item", "901", "950"});
    EXPECT_EQ(real.code, kExitDone) << real.err;
    std::vector<std::string> expected = before;
    for (const Planted& p : planted) {
        std::string& file = expected[static_cast<std::size_t>(p.kind)];
        file = replacedOnce(file, p.before.bytes, p.after.bytes);
    }
    EXPECT_EQ(differingFiles(unloadAll(dir.path("")), expected), std::vector<std::string>{});

    SCOPED_TRACE("a class number that fits is written under the shop's high byte");
    ASSERT_EQ(runTool({"renumber", dir.path(""), "Class", "1", "200"}).code, kExitDone);
    EXPECT_HAS(runTool({"dump", file(K::Shop)}).out, "\"Class\":" + std::to_string(0x500 | 200));

    SCOPED_TRACE("a renumbered room takes the exits of its map along, but no map change");
    // Rooms by MAP:ROOM; a map change is no reference to a room of this map.
    const ToolRun refsBefore = runTool({"refs", dir.path(""), "Room", "2:4"});
    EXPECT_HAS(refsBefore.out, "Room 2:902  RoomExit[5] (North West) = 4\n");
    EXPECT_EQ(refsBefore.out.find("RoomExit[6]"), std::string::npos) << refsBefore.out;
    const ToolRun otherMap = runTool({"refs", dir.path(""), "Room", "1:4"});

    const ToolRun moves =
        runTool({"renumber", dir.path(""), "Room", "2:4", "2:990", "--dry-run", "--json"});
    EXPECT_EQ(moves.code, kExitDone) << moves.err;
    EXPECT_EQ(
        moves.out.substr(0, moves.out.find('\n')),
        R"({"file":"wccmp002.dat","type":"Room","key":[2,4],"field":"RoomNumber","index":null,"old":4,"new":990})");

    ASSERT_EQ(runTool({"renumber", dir.path(""), "Room", "2:4", "2:990"}).code, kExitDone);
    // What named 2:4 now names 2:990; what named 1:4 still does.
    const ToolRun refsAfter = runTool({"refs", dir.path(""), "Room", "2:990"});
    EXPECT_EQ(lines(refsAfter.out).size(), lines(refsBefore.out).size()) << refsAfter.out;
    EXPECT_HAS(refsAfter.out, "Room 2:902  RoomExit[5] (North West) = 990\n");
    EXPECT_EQ(runTool({"refs", dir.path(""), "Room", "2:4"}).code, kExitDataError);
    EXPECT_EQ(runTool({"refs", dir.path(""), "Room", "1:4"}).out, otherMap.out);
    EXPECT_EQ(runTool({"check", dir.path("")}).code, kExitDone);
}

// A file system that kills the process at its n-th sync, truncation, deletion or write into a
// data file (journals are written before their sync, which is counted): the moments at which
// a crash can leave a file half changed.
namespace killing {

sqlite3_vfs* real = nullptr;
sqlite3_vfs shim;
int countdown = 0;

void tick() {
    if (--countdown == 0) ::kill(::getpid(), SIGKILL);
}

struct File {
    sqlite3_file base;
    sqlite3_file* inner;
    bool dataFile;
};
sqlite3_file* in(sqlite3_file* f) { return reinterpret_cast<File*>(f)->inner; }

// Passes a call on to the real file; the events that may kill the process tick first
// (writes only into the data file).
template <auto Method, class... A>
int pass(sqlite3_file* f, A... a) {
    return (in(f)->pMethods->*Method)(in(f), a...);
}
template <auto Method, bool onlyDataFiles = false, class... A>
int tickThenPass(sqlite3_file* f, A... a) {
    if (!onlyDataFiles || reinterpret_cast<File*>(f)->dataFile) tick();
    return pass<Method>(f, a...);
}
using M = sqlite3_io_methods;
// clang-format off
const sqlite3_io_methods methods = {1, pass<&M::xClose>, pass<&M::xRead>,
    tickThenPass<&M::xWrite, true>, tickThenPass<&M::xTruncate>, tickThenPass<&M::xSync>,
    pass<&M::xFileSize>, pass<&M::xLock>, pass<&M::xUnlock>, pass<&M::xCheckReservedLock>,
    pass<&M::xFileControl>, pass<&M::xSectorSize>, pass<&M::xDeviceCharacteristics>,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
// clang-format on

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->inner = reinterpret_cast<sqlite3_file*>(file + 1);
    file->base.pMethods = nullptr;
    file->dataFile = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    const int rc = real->xOpen(real, name, file->inner, flags, outFlags);
    if (file->inner->pMethods) file->base.pMethods = &methods;
    return rc;
}
int xDelete(sqlite3_vfs*, const char* name, int syncDir) {
    tick();
    return real->xDelete(real, name, syncDir);
}

// Installs the shim as every new connection's file system, dying at event n.
void install(int n) {
    real = sqlite3_vfs_find(nullptr);
    shim = *real;
    shim.iVersion = 1;
    shim.szOsFile = static_cast<int>(sizeof(File)) + real->szOsFile;
    shim.zName = "gw-killing";
    shim.xOpen = xOpen;
    shim.xDelete = xDelete;
    countdown = n;
    sqlite3_vfs_register(&shim, 1);
}

}  // namespace killing

TEST_F(CheckedWorld, RenumberKilledAnywhereLeavesAllFilesBeforeOrAllAfter) {
    const std::vector<std::string> before = unloadAll(dir.path(""));
    test::ScratchDir after;
    fs::copy(dir.path(""), after.path(""));
    // Item 1 is named from several files: the change spans them.
    const auto args = [](const std::string& where) {
        return std::vector<std::string>{"renumber", where, "Item", "1", "9001"};
    };
    ASSERT_EQ(runTool(args(after.path(""))).code, kExitDone);
    const std::vector<std::string> renumbered = unloadAll(after.path(""));
    ASSERT_NE(renumbered, before);

    int killedBefore = 0, killedAfter = 0;
    for (int n = 1; n < 1000; ++n) {
        SCOPED_TRACE("killed at file event " + std::to_string(n));
        test::ScratchDir copy;
        fs::copy(dir.path(""), copy.path(""));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            killing::install(n);
            ::_exit(runTool(args(copy.path(""))).code);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), kExitDone);
            EXPECT_EQ(differingFiles(unloadAll(copy.path("")), renumbered),
                      std::vector<std::string>{});
            break;
        }
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::vector<std::string> state = unloadAll(copy.path(""));
        killedBefore += state == before;
        killedAfter += state == renumbered;
        EXPECT_TRUE(state == before || state == renumbered) << "files half renumbered";
    }
    EXPECT_GT(killedBefore, 0);
    EXPECT_GT(killedAfter, 0);
}

}  // namespace
}  // namespace gw::tool
