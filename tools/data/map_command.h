#pragma once
// `map`: the picture of one map of a world, as the editor's World Map window draws it.
#include <cstdint>
#include <string>

#include "tools/data/data_tool.h"

namespace gw::tool {

// Draws map MAP of the Room file in DIR into OUTPUT, a .png or .svg file. Exit 0 done, 1 when
// the file cannot be read or written or the map has no rooms, 2 for a build without Qt.
int drawMap(const std::string& dir, std::int32_t map, const std::string& output, ToolIo io);

}  // namespace gw::tool
