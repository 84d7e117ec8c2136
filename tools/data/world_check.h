#pragma once
// `check` and `refs`: the references between the world's ten files, read through BTRCALL and
// never written.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "records/references.h"
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

// Shared by the world commands: the record TYPE KEY names on the command line (a message on
// io.err when it names none), whether DIR is a directory (said on io.err when not), a key as
// the output shows it, and the end of a command that checks its output was written.
std::optional<std::pair<RecordKind, RecordKey>> parseRecordName(std::string_view command,
                                                                const std::string& typeName,
                                                                const std::string& key, ToolIo io);
bool worldDirectory(const std::string& dir, ToolIo io);
std::string recordKeyText(const RecordKey& key);
int finishOutput(ToolIo io, int code);

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
