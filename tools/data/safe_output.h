#pragma once
// Writes a file so that it appears whole or not at all: into an unnamed temporary file in its
// directory, which is synced, named and renamed over the target only when complete. A full
// disk or a kill leaves the old file (or none), never a partial one, and no temporary file.
#include <string>
#include <string_view>

namespace gw::tool {

class SafeOutput {
public:
    SafeOutput() = default;
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;
    ~SafeOutput();  // abandons an output not committed

    // Creates the temporary file for target; false and error() when it cannot.
    bool open(const std::string& target);
    bool write(std::string_view bytes);
    // Syncs and renames the temporary file into place.
    bool commit();
    void abandon();

    const std::string& error() const { return error_; }

private:
    bool failWith(const std::string& what);
    bool linkIntoDirectory();

    std::string target_, temp_;
    int fd_ = -1;
    bool direct_ = false;  // a device or pipe, written in place
    std::string error_;
};

}  // namespace gw::tool
