#pragma once
// `export`, `import`, `diff` and `merge`: a world as a folder of text files, and worlds
// compared and merged field by field. The work is the world library's; these read the
// command line and print.
#include <string>

#include "tools/data/data_tool.h"

namespace CLI {
class App;
}

namespace gw::tool {

int exportWorld(const std::string& dir, const std::string& textDir, ToolIo io);
int importWorld(const std::string& textDir, const std::string& dir, bool force, ToolIo io);
// Exit 0 when the worlds are the same, 1 when they differ, 2 when one cannot be read.
int diffWorlds(const std::string& a, const std::string& b, bool json, ToolIo io);
// Exit 0 for a clean merge, 1 with conflicts, 2 when nothing was written.
int mergeWorlds(const std::string& base, const std::string& ours, const std::string& theirs,
                const std::string& out, bool force, bool json, ToolIo io);

class TextCommands {
public:
    explicit TextCommands(CLI::App& app);
    TextCommands(const TextCommands&) = delete;
    TextCommands& operator=(const TextCommands&) = delete;

    bool parsed() const;
    int run(ToolIo io) const;

private:
    CLI::App *export_, *import_, *diff_, *merge_;
    std::string first_, second_, third_, out_;
    bool force_ = false, json_ = false;
};

}  // namespace gw::tool
