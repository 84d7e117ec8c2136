#pragma once
// gravewind-data run in-process, as a shell would run it, with its streams captured.
#include <sstream>
#include <string>
#include <vector>

#include "tools/data/data_tool.h"

namespace gw::test {

struct ToolRun {
    int code;
    std::string out, err;
};

inline ToolRun runTool(std::vector<std::string> args, const std::string& input = {}) {
    args.insert(args.begin(), "gravewind-data");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = tool::runDataTool(args, {in, out, err, false});
    return {code, out.str(), err.str()};
}

}  // namespace gw::test
