#pragma once
// A scratch directory per test and a way to run the tool as a shell would.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tools/data/data_tool.h"

namespace gw::tool::testing {

class ScratchDir {
public:
    ScratchDir()
        : path_(std::filesystem::temp_directory_path() /
                ("gw_tool_" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

struct ToolRun {
    int code;
    std::string out, err;
};

inline ToolRun runTool(std::vector<std::string> args, const std::string& input = {}) {
    args.insert(args.begin(), "gravewind-data");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = runDataTool(args, {in, out, err, false});
    return {code, out.str(), err.str()};
}

}  // namespace gw::tool::testing
