#include "tools/data/map_command.h"

#include <QGuiApplication>
#include <filesystem>
#include <memory>

#include "navigators/map_picture.h"
#include "records/records.h"
#include "shell/latin1.h"
#include "world/room_maps.h"

namespace gw::tool {

int drawMap(const std::string& dir, std::int32_t map, const std::string& output, ToolIo io) {
    const std::string path =
        (std::filesystem::path(dir) / recordType(RecordKind::Room).fileName()).string();
    world::RoomMaps maps;
    std::string failure;
    if (maps.read(path, failure) != status::kSuccess) return fail(io, path + ": " + failure);
    if (maps.rooms(map).empty())
        return fail(io, path + ": map " + std::to_string(map) + " has no rooms");

    // Text needs a GUI application; without a screen Qt draws offscreen.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "gravewind-data";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    MapPicture picture;
    picture.setMap(map, maps.rooms(map));
    QString error;
    if (!picture.saveImage(QString::fromLocal8Bit(output.c_str()), error))
        return fail(io, toGame(error));
    io.out << "map " << map << ": " << maps.rooms(map).size() << " rooms drawn in " << output
           << "\n";
    return kExitDone;
}

}  // namespace gw::tool
