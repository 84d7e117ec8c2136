#pragma once
// gravewind-data: create, fill, inspect and back up the ten data files. Everything but
// `create` goes through the record manager.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace gw::tool {

inline constexpr int kExitDone = 0;
inline constexpr int kExitDataError = 1;
inline constexpr int kExitUsage = 2;

// How long a command that reads a file waits out another program's commits before it gives up.
inline constexpr int kLockedRetrySeconds = 5;

struct ToolIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool progress = false;       // show progress of long loads on err (a terminal)
    bool outIsTerminal = false;  // out is a terminal, which binary output would garble
};

// Prints "gravewind-data: message" on err; gives kExitDataError.
int fail(ToolIo io, const std::string& message);
// Flushes out; a write error on it is named and gives kExitUsage, otherwise code.
int finishOutput(ToolIo io, int code);
// "1 record", "3 records".
std::string plural(std::size_t n, std::string_view one, std::string_view many);

// The whole tool, arguments as a shell passes them (args[0] is the program name).
int runDataTool(const std::vector<std::string>& args, ToolIo io);

int createFiles(const std::string& dir, bool force, ToolIo io);
// INPUT in the unload format, or JSON Lines as `dump` writes them (told apart by the first
// byte); `partial` lets a JSON line leave members out.
int loadFile(const std::string& file, const std::string& input, ToolIo io,  // "" = io.in
             bool partial = false);
int unloadFile(const std::string& file, const std::string& output, ToolIo io);  // "" = io.out
int dumpFile(const std::string& file, ToolIo io);
// sqlite's integrity check of each file; exit 0 only when every one is sound.
int verifyFiles(const std::vector<std::string>& files, ToolIo io);
int buildDemo(const std::string& dir, const std::string& size, bool force, ToolIo io);

}  // namespace gw::tool
