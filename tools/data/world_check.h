#pragma once
// `check` and `refs`: the references between the world's ten files, read through BTRCALL and
// never written.
#include <string>

#include "tools/data/data_tool.h"

namespace CLI {
class App;
}

namespace gw::tool {

// Every reference to a record that does not exist (problem "missing", an error) and every
// exit whose room has no exit back (problem "one-way", a warning). Exit 0 without missing
// references, 1 with some, 2 when DIR or one of its files cannot be read; the other files
// are checked all the same, and references into an unreadable file are not reported.
int checkWorld(const std::string& dir, bool json, ToolIo io);

// Every field of every record that names the record TYPE KEY (KEY a number, or MAP:ROOM
// for a room). Exit 0 whether any is found or not, 2 on a usage error or an unreadable file.
int findReferrers(const std::string& dir, const std::string& type, const std::string& key,
                  bool json, ToolIo io);

// The two sub-commands on the tool's command line. Stays where it was made: the parser
// writes into its members.
class WorldCommands {
public:
    explicit WorldCommands(CLI::App& app);
    WorldCommands(const WorldCommands&) = delete;
    WorldCommands& operator=(const WorldCommands&) = delete;

    bool parsed() const;
    int run(ToolIo io) const;

private:
    CLI::App* check_;
    CLI::App* refs_;
    std::string dir_, type_, key_;
    bool json_ = false;
};

}  // namespace gw::tool
