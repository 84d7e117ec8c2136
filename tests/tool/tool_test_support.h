#pragma once
// Runs gravewind-data in-process, and builds records of the unload format.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tools/data/data_tool.h"

namespace gw::tool {

struct ToolRun {
    int code;
    std::string out, err;
};

// `terminal`: run as if standard output were a terminal.
inline ToolRun runTool(std::vector<std::string> args, const std::string& input = {},
                       bool terminal = false) {
    args.insert(args.begin(), "gravewind-data");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = runDataTool(args, {in, out, err, false, terminal});
    return {code, out.str(), err.str()};
}

// One record of the unload format.
inline std::string unloadRecord(const std::string& bytes) {
    return std::to_string(bytes.size()) + "," + bytes + "\r\n";
}

// A Message row: 32-bit number at byte 0, then whatever the caller wants.
inline std::string messageRow(std::int32_t number, std::size_t length, char fill) {
    std::string row(length, fill);
    for (int i = 0; i < 4; ++i) row[i] = static_cast<char>(std::uint32_t(number) >> (8 * i));
    return row;
}

}  // namespace gw::tool
