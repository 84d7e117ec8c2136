#include "tools/data/map_command.h"

namespace gw::tool {

int drawMap(const std::string&, std::int32_t, const std::string&, ToolIo io) {
    io.err << "gravewind-data: this build draws no maps (it was made without Qt)\n";
    return kExitUsage;
}

}  // namespace gw::tool
