#include <unistd.h>

#include <iostream>

#include "tools/data/data_tool.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    try {
        const std::vector<std::string> args(argv, argv + argc);
        return gw::tool::runDataTool(
            args, {std::cin, std::cout, std::cerr, isatty(2) == 1, isatty(1) == 1});
    } catch (...) {
        std::cerr << "gravewind-data: unexpected error\n";
        return gw::tool::kExitDataError;
    }
}
