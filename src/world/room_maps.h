#pragma once
// The rooms of a Room file grouped by map, as the map pictures need them: read in one walk
// under one committed state of the file, through a handle of its own, so that whoever else
// has the file open (the Room editor) keeps its position.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "store/status.h"
#include "world/map_layout.h"

namespace gw::world {

struct MapSummary {
    std::int32_t map;
    std::size_t rooms;
};

class RoomMaps {
public:
    // Reads every room of the Room file at path. On failure the maps are left empty and
    // `failure` says what went wrong ("BOPEN: 12"); the status is returned.
    Status read(const std::string& path, std::string& failure);

    // Map numbers present, ascending, with their room counts.
    std::vector<MapSummary> maps() const;
    // The rooms of a map sorted by room number; empty for a map with none.
    std::span<const MapRoom> rooms(std::int32_t map) const;

    // Reads one room again from the file (after the editor wrote it): kept, replaced or, when
    // the file no longer has it, removed. Returns the status of the read.
    Status reread(const std::string& path, std::int32_t map, std::int32_t room);

    void put(std::int32_t map, MapRoom room);
    void remove(std::int32_t map, std::int32_t room);

private:
    std::map<std::int32_t, std::vector<MapRoom>> maps_;
};

}  // namespace gw::world
