// The World Map on the large demo world (1,500 rooms a map) and on one map of 15,000 rooms:
// the layout beside the bare walk of the map's rooms, opening the window to a drawn map, and
// one frame of the view far out and close in.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <fstream>
#include <memory>
#include <string>

#include "bench/support/bench_world.h"
#include "navigators/map_picture.h"
#include "navigators/navigator_windows.h"
#include "navigators/world_map.h"
#include "records/room.h"
#include "store/record_manager.h"
#include "world/map_layout.h"
#include "world/room_maps.h"

namespace {

using gw::RecordKind;

std::unique_ptr<gw::bench::ScratchWorld> demo;

// Resident memory of this process in MiB.
double residentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    return 0;
}

// A Room file of one map, `side` by `side` rooms joined to their four neighbours both ways,
// in a directory of its own.
struct BigMap {
    explicit BigMap(int side) {
        dir = std::filesystem::temp_directory_path() /
              ("gravewind-bench-bigmap-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const gw::RecordType& type = gw::recordType(RecordKind::Room);
        const std::string path = (dir / std::string(type.fileName())).string();
        gw::createDataFile(
            path, {std::string(type.name()), type.key(), type.dataLength(), gw::kFormatVersion},
            true);
        gw::RecordFile file(type);
        file.setFileName(path);
        file.open("");
        gw::inTransaction(file.positionBlock(), [&] {
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) {
                    std::fill(file.row().begin(), file.row().end(), std::uint8_t{0});
                    file.rowToRecord();
                    gw::Room& r = file.as<gw::Room>();
                    const int n = y * side + x + 1;
                    r.MapNumber = 1, r.RoomNumber = n;
                    const std::string name = "Room " + std::to_string(n);
                    std::copy(name.begin(), name.end(), r.Name.begin());
                    if (y > 0) r.RoomExit[0] = n - side;
                    if (y + 1 < side) r.RoomExit[1] = n + side;
                    if (x + 1 < side) r.RoomExit[2] = n + 1;
                    if (x > 0) r.RoomExit[3] = n - 1;
                    if (file.call(gw::BINSERT, "") != gw::status::kSuccess) return gw::Status(1);
                }
            return gw::status::kSuccess;
        });
        file.close("");
    }
    ~BigMap() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

std::unique_ptr<BigMap> big;

void BM_BareWalkOfOneMap(benchmark::State& state) {
    gw::RecordFile& rooms = demo->file(RecordKind::Room);
    const std::int64_t perMap = gw::demo::demoPlan(gw::demo::DemoSize::Large).roomsPerMap();
    for (auto _ : state) {
        std::int64_t n = 0;
        for (auto s = rooms.call(gw::BGETFIRST, ""); s == 0 && ++n < perMap;
             s = rooms.call(gw::BGETNEXT, ""))
            benchmark::DoNotOptimize(rooms.as<gw::Room>().RoomExit[0]);
    }
}
BENCHMARK(BM_BareWalkOfOneMap)->Unit(benchmark::kMillisecond);

void BM_LayoutOfOneMap(benchmark::State& state) {
    gw::world::RoomMaps maps;
    std::string failure;
    maps.read(demo->file(RecordKind::Room).fileName(), failure);
    const auto rooms = maps.rooms(1);
    for (auto _ : state) benchmark::DoNotOptimize(gw::world::layoutMap(rooms));
    state.counters["rooms"] = static_cast<double>(rooms.size());
}
BENCHMARK(BM_LayoutOfOneMap)->Unit(benchmark::kMillisecond);

// From nothing to a drawn window: the Room file read, map 1 laid out, one frame painted.
void openAndDraw(benchmark::State& state, gw::World& world) {
    double memory = 0;
    for (auto _ : state) {
        std::unique_ptr<QWidget> window(gw::createWorldMap(world, nullptr));
        window->resize(1200, 800);
        benchmark::DoNotOptimize(window->grab());
        memory = std::max(memory, residentMiB());
    }
    state.counters["MiB"] = memory;
}

void BM_OpenWindowLargeDemo(benchmark::State& state) { openAndDraw(state, *demo->world); }
BENCHMARK(BM_OpenWindowLargeDemo)->Unit(benchmark::kMillisecond);

void BM_OpenWindow15000Rooms(benchmark::State& state) {
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(big->dir);
    gw::bench::CountingDialogs dialogs;
    gw::World world(dialogs);
    openAndDraw(state, world);
    std::filesystem::current_path(here);
}
BENCHMARK(BM_OpenWindow15000Rooms)->Unit(benchmark::kMillisecond);

// One frame of 1200 by 800 pixels: the whole map fitted in, and close in at a readable scale
// around the middle room (the range argument is the number of rooms a side).
void BM_Frame(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const bool close = state.range(1) != 0;
    std::vector<gw::world::MapRoom> rooms;
    for (int n = 1; n <= side * side; ++n) {
        gw::world::MapRoom r{n, "Room " + std::to_string(n), {}, {}};
        const int x = (n - 1) % side, y = (n - 1) / side;
        if (y > 0) r.exit[0] = n - side;
        if (y + 1 < side) r.exit[1] = n + side;
        if (x + 1 < side) r.exit[2] = n + 1, r.exitType[2] = static_cast<std::int16_t>(n % 25);
        if (x > 0) r.exit[3] = n - 1;
        rooms.push_back(r);
    }
    gw::MapPicture picture;
    picture.setMap(1, rooms);
    QImage frame(1200, 800, QImage::Format_RGB32);
    const QRectF all = picture.bounds();
    const double scale = close ? 1.0 : std::min(1200 / all.width(), 800 / all.height());
    const QRectF exposed = close ? QRectF(all.center() - QPointF(600, 400), QSizeF(1200, 800))
                                 : QRectF(all.topLeft(), QSizeF(1200 / scale, 800 / scale));
    for (auto _ : state) {
        QPainter painter(&frame);
        painter.fillRect(frame.rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing, scale >= gw::MapPicture::kDetailScale);
        painter.scale(scale, scale);
        painter.translate(-exposed.topLeft());
        picture.paint(painter, exposed, scale);
    }
    state.counters["rooms"] = side * side;
}
BENCHMARK(BM_Frame)->Args({39, 0})->Args({39, 1})->Args({123, 0})->Args({123, 1})->Unit(
    benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return gw::bench::benchMain(argc, argv, [] {
        demo = std::make_unique<gw::bench::ScratchWorld>(
            "gravewind-bench-worldmap", gw::demo::DemoSize::Large,
            std::initializer_list<RecordKind>{RecordKind::Room});
        big = std::make_unique<BigMap>(123);  // 15,129 rooms
    });
}
