// The record manager against plain sqlite3 on the same Room file of a large world: a walk of
// the whole file, get-equal of random keys, and one committed update.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/key_codec.h"
#include "store/record_manager.h"
#ifdef GRAVEWIND_BENCH_DEMO
#include "records/records.h"
#include "tools/data/demo_world.h"
#endif

namespace {

namespace fs = std::filesystem;
using gw::Status;

constexpr std::uint32_t kRoomLength = 1516;

void check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

struct World {
    fs::path dir;
    std::string room;  // the Room file
    std::vector<std::array<std::int32_t, 2>> keys;
    std::map<int, std::string> byPageSize;

    World() {
        std::string pattern = (fs::temp_directory_path() / "gw_bench_XXXXXX").string();
        check(mkdtemp(pattern.data()) != nullptr, "mkdtemp");
        dir = pattern;
#ifdef GRAVEWIND_BENCH_DEMO
        std::string error;
        check(gw::demo::buildDemoWorld(dir.string(), gw::demo::DemoSize::Large, &error) ==
                  gw::status::kSuccess,
              error);
        room = (dir / std::string(gw::recordType(gw::RecordKind::Room).fileName())).string();
#else
        room = (dir / "rooms.dat").string();
        makeRooms();
#endif
        readKeys();
    }
    ~World() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    void makeRooms() {
        check(gw::createDataFile(room, {"Room", gw::KeySpec::int32Pair(), kRoomLength}) == 0,
              "create");
        std::array<std::uint8_t, gw::kPositionBlockSize> block{};
        std::vector<std::uint8_t> name(room.begin(), room.end());
        std::vector<std::uint8_t> row(kRoomLength);
        std::uint32_t length = 0;
        check(gw::BTRCALL(gw::BOPEN, block, row, length, name, 255, 0) == 0, "open");
        std::mt19937 rng(7);
        check(gw::inTransaction(block,
                                [&]() -> Status {
                                    for (std::int32_t map = 1; map <= 20; ++map)
                                        for (std::int32_t r = 1; r <= 1500; ++r) {
                                            for (auto& b : row) b = std::uint8_t(rng());
                                            std::memcpy(row.data(), &map, 4);
                                            std::memcpy(row.data() + 4, &r, 4);
                                            length = kRoomLength;
                                            if (Status s = gw::BTRCALL(gw::BINSERT, block, row,
                                                                       length, name, 255, 0))
                                                return s;
                                        }
                                    return 0;
                                }) == 0,
              "fill");
        check(gw::BTRCALL(gw::BCLOSE, block, row, length, name, 255, 0) == 0, "close");
    }

    void readKeys() {
        sqlite3* db = nullptr;
        check(sqlite3_open_v2(room.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK,
              "open keys");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT row FROM records ORDER BY k", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::array<std::int32_t, 2> k{};
            std::memcpy(k.data(), sqlite3_column_blob(st, 0), 8);
            keys.push_back(k);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        check(!keys.empty(), "no rooms");
    }

    // The same rows in a copy whose pages have another size.
    const std::string& withPageSize(int pageSize) {
        auto it = byPageSize.find(pageSize);
        if (it != byPageSize.end()) return it->second;
        const std::string path = (dir / ("rooms_" + std::to_string(pageSize) + ".dat")).string();
        fs::copy_file(room, path, fs::copy_options::overwrite_existing);
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        const std::string sql = "PRAGMA page_size=" + std::to_string(pageSize) + "; VACUUM";
        check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK, "vacuum");
        sqlite3_close(db);
        return byPageSize.emplace(pageSize, path).first->second;
    }
};

World& world() {
    static World w;
    return w;
}

struct Opened {
    std::array<std::uint8_t, gw::kPositionBlockSize> block{};
    std::vector<std::uint8_t> row = std::vector<std::uint8_t>(kRoomLength);
    std::vector<std::uint8_t> scratch = std::vector<std::uint8_t>(255);
    std::uint32_t length = 0;

    explicit Opened(const std::string& path) {
        std::memcpy(scratch.data(), path.data(), std::min<std::size_t>(path.size(), 254));
        check(call(gw::BOPEN) == 0, "BOPEN " + path);
    }
    ~Opened() { call(gw::BCLOSE); }
    Status call(std::uint16_t op) {
        length = kRoomLength;
        return gw::BTRCALL(op, block, row, length, scratch, 255, 0);
    }
    Status getEqual(std::array<std::int32_t, 2> key) {
        length = kRoomLength;
        return gw::BTRCALL(gw::BGETEQUAL, block, row, length,
                           std::span(reinterpret_cast<std::uint8_t*>(key.data()), 8), 4, 0);
    }
};

struct Raw {
    sqlite3* db = nullptr;
    explicit Raw(const std::string& path) {
        check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK,
              "raw open");
        sqlite3_busy_timeout(db, 1000);
        sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    }
    ~Raw() { sqlite3_close(db); }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* st = nullptr;
        check(sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK, sql);
        return st;
    }
};

void walkBtrcall(benchmark::State& state, const std::string& path) {
    Opened f(path);
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (Status s = f.call(gw::BGETFIRST); s == 0; s = f.call(gw::BGETNEXT)) ++rows;
        benchmark::DoNotOptimize(f.row.data());
    }
    check(rows == world().keys.size(), "walk saw every room");
    state.counters["rows"] = double(rows);
    state.SetItemsProcessed(state.iterations() * std::int64_t(rows));
}

void walkScan(benchmark::State& state, const std::string& path) {
    Raw raw(path);
    sqlite3_stmt* st = raw.prepare("SELECT k, row FROM records ORDER BY k");
    std::vector<std::uint8_t> buffer(kRoomLength);
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
            std::memcpy(buffer.data(), sqlite3_column_blob(st, 1),
                        std::size_t(sqlite3_column_bytes(st, 1)));
            ++rows;
        }
        sqlite3_reset(st);
        benchmark::DoNotOptimize(buffer.data());
    }
    sqlite3_finalize(st);
    state.counters["rows"] = double(rows);
    state.SetItemsProcessed(state.iterations() * std::int64_t(rows));
}

std::vector<std::array<std::int32_t, 2>> randomKeys() {
    std::mt19937 rng(42);
    const auto& keys = world().keys;
    std::vector<std::array<std::int32_t, 2>> out(4096);
    for (auto& k : out) k = keys[rng() % keys.size()];
    return out;
}

void BM_Walk_Btrcall(benchmark::State& state) { walkBtrcall(state, world().room); }
void BM_Walk_SqliteScan(benchmark::State& state) { walkScan(state, world().room); }

void BM_GetEqual_Btrcall(benchmark::State& state) {
    Opened f(world().room);
    const auto keys = randomKeys();
    std::size_t i = 0;
    for (auto _ : state) {
        if (f.getEqual(keys[i++ % keys.size()]) != 0) state.SkipWithError("not found");
        benchmark::DoNotOptimize(f.row.data());
    }
}

void BM_GetEqual_SqlitePointQuery(benchmark::State& state) {
    Raw raw(world().room);
    sqlite3_stmt* st = raw.prepare("SELECT row FROM records WHERE k = ?1");
    std::vector<std::uint8_t> buffer(kRoomLength);
    const auto keys = randomKeys();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& k = keys[i++ % keys.size()];
        sqlite3_bind_int64(st, 1, gw::pairNumber(k[0], k[1]));
        if (sqlite3_step(st) != SQLITE_ROW) state.SkipWithError("not found");
        std::memcpy(buffer.data(), sqlite3_column_blob(st, 0),
                    std::size_t(sqlite3_column_bytes(st, 0)));
        sqlite3_reset(st);
        benchmark::DoNotOptimize(buffer.data());
    }
    sqlite3_finalize(st);
}

void BM_Update_Btrcall(benchmark::State& state) {
    Opened f(world().room);
    check(f.getEqual(world().keys[100]) == 0, "get");
    for (auto _ : state) {
        f.row[20] ^= 1;
        if (f.call(gw::BUPDATE) != 0) state.SkipWithError("update");
    }
}

void BM_Update_SqliteAutocommit(benchmark::State& state) {
    Raw raw(world().room);
    sqlite3_stmt* st = raw.prepare("UPDATE records SET row = ?1 WHERE k = ?2");
    Opened f(world().room);
    check(f.getEqual(world().keys[101]) == 0, "get");
    const auto& k = world().keys[101];
    for (auto _ : state) {
        f.row[20] ^= 1;
        sqlite3_bind_blob(st, 1, f.row.data(), int(kRoomLength), SQLITE_STATIC);
        sqlite3_bind_int64(st, 2, gw::pairNumber(k[0], k[1]));
        if (sqlite3_step(st) != SQLITE_DONE) state.SkipWithError("update");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// Rows of 1516 bytes against the page size: how many fit a leaf page decides the walk.
void BM_Walk_Btrcall_PageSize(benchmark::State& state) {
    walkBtrcall(state, world().withPageSize(int(state.range(0))));
}
void BM_Walk_SqliteScan_PageSize(benchmark::State& state) {
    walkScan(state, world().withPageSize(int(state.range(0))));
}

}  // namespace

BENCHMARK(BM_Walk_Btrcall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_SqliteScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetEqual_Btrcall)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetEqual_SqlitePointQuery)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Update_Btrcall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Update_SqliteAutocommit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_Btrcall_PageSize)
    ->Arg(4096)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32768)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_SqliteScan_PageSize)
    ->Arg(4096)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32768)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
