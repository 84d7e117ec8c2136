#include "world/room_maps.h"

#include <algorithm>

#include "records/records.h"
#include "records/room.h"
#include "records/text_fields.h"
#include "store/record_file.h"
#include "store/record_manager.h"
#include "world/world_file.h"

namespace gw::world {

namespace {

MapRoom mapRoomOf(const Room& r) {
    MapRoom m;
    m.number = r.RoomNumber;
    m.name = std::string(shownText(std::string_view(r.Name.data(), r.Name.size())));
    for (std::size_t d = 0; d < values::kDirectionCount; ++d) {
        m.exit[d] = r.RoomExit[d];
        m.exitType[d] = r.ExitType[d];
    }
    return m;
}

bool byNumber(const MapRoom& a, const MapRoom& b) { return a.number < b.number; }

class OwnHandle {
public:
    explicit OwnHandle(const std::string& path) : file_(recordType(RecordKind::Room)) {
        file_.setFileName(path);
    }
    ~OwnHandle() {
        if (file_.isOpen()) file_.close("");
    }
    RecordFile& file() { return file_; }

private:
    RecordFile file_;
};

}  // namespace

Status RoomMaps::read(const std::string& path, std::string& failure) {
    maps_.clear();
    OwnHandle handle(path);
    RecordFile& file = handle.file();
    if (Status s = file.open(""); s != status::kSuccess) {
        failure = describeStatus("BOPEN", s);
        return s;
    }
    if (Status s = beginSnapshot(file.positionBlock()); s != status::kSuccess) {
        failure = describeStatus("read", s);
        return s;
    }
    std::map<std::int32_t, std::vector<MapRoom>> maps;
    Status s = file.call(BGETFIRST, "");
    for (; s == status::kSuccess; s = file.call(BGETNEXT, "")) {
        const Room& r = file.as<Room>();
        maps[r.MapNumber].push_back(mapRoomOf(r));
    }
    endTransaction(file.positionBlock(), false);
    if (s != status::kEndOfFile) {
        failure = describeStatus("BGETNEXT", s);
        return s;
    }
    // The file's key order is (map, room): each map's rooms arrive sorted.
    maps_ = std::move(maps);
    return status::kSuccess;
}

std::vector<MapSummary> RoomMaps::maps() const {
    std::vector<MapSummary> out;
    out.reserve(maps_.size());
    for (const auto& [map, rooms] : maps_) out.push_back({map, rooms.size()});
    return out;
}

std::span<const MapRoom> RoomMaps::rooms(std::int32_t map) const {
    const auto it = maps_.find(map);
    return it == maps_.end() ? std::span<const MapRoom>{} : std::span<const MapRoom>(it->second);
}

void RoomMaps::put(std::int32_t map, MapRoom room) {
    auto& rooms = maps_[map];
    const auto it = std::lower_bound(rooms.begin(), rooms.end(), room, byNumber);
    if (it != rooms.end() && it->number == room.number)
        *it = std::move(room);
    else
        rooms.insert(it, std::move(room));
}

void RoomMaps::remove(std::int32_t map, std::int32_t room) {
    const auto found = maps_.find(map);
    if (found == maps_.end()) return;
    auto& rooms = found->second;
    std::erase_if(rooms, [room](const MapRoom& r) { return r.number == room; });
    if (rooms.empty()) maps_.erase(found);
}

Status RoomMaps::reread(const std::string& path, std::int32_t map, std::int32_t room) {
    OwnHandle handle(path);
    RecordFile& file = handle.file();
    if (Status s = file.open(""); s != status::kSuccess) return s;
    std::uint8_t key[8];
    for (int i = 0; i < 4; ++i) {
        key[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(map) >> (8 * i));
        key[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(room) >> (8 * i));
    }
    const Status s = file.call(BGETEQUAL, "", key, 4);
    if (s == status::kSuccess)
        put(map, mapRoomOf(file.as<Room>()));
    else if (s == status::kKeyNotFound)
        remove(map, room);
    return s;
}

}  // namespace gw::world
