#pragma once
// `check`, `refs` and `renumber`: the references between the world's ten files, read through
// BTRCALL; only `renumber` writes, all of its files as one change.
#include <string>

#include "tools/data/data_tool.h"

namespace CLI {
class App;
}

namespace gw::tool {

// Every reference to a record that does not exist (problem "missing", an error), every
// exit whose room has no exit back (problem "one-way", a warning) and every number the layout
// names only by its label that names nothing (problem "unresolved", a warning). Exit 0
// without missing references, 1 with some, 2 when DIR or one of its files cannot be read; the
// other files are checked all the same, and references into an unreadable file are not
// reported.
int checkWorld(const std::string& dir, bool json, ToolIo io);

// Every field of every record that names the record TYPE KEY (KEY a number, or MAP:ROOM
// for a room). Exit 0 when the record exists, whether any is found or not; 1 when it does
// not (whatever names it dangles); 2 on a usage error or an unreadable file.
int findReferrers(const std::string& dir, const std::string& type, const std::string& key,
                  bool json, ToolIo io);

// Gives record TYPE OLD the number NEW and rewrites every field that names it, in one change
// across the files; with dryRun lists the changes only. Exit 0 done, 1 refused with nothing
// written, 2 on a usage error or a file that cannot be read or written.
int renumberRecord(const std::string& dir, const std::string& type, const std::string& from,
                   const std::string& to, bool dryRun, bool json, ToolIo io);

// The world's sub-commands on the tool's command line. Stays where it was made: the parser
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
    CLI::App* renumber_;
    std::string dir_, type_, key_, newKey_;
    bool json_ = false;
    bool dryRun_ = false;
};

}  // namespace gw::tool
