#pragma once
// A world as a folder of ten text files, one JSON Lines file per data file (wccitem2.dat as
// wccitem2.jsonl), one record a line in key order: made to be kept in version control, where
// a one-field change is a one-line change.
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "records/records.h"

namespace gw::world {

using RecordCounts = std::array<std::size_t, kRecordKindCount>;

// "wccitem2.jsonl" for "wccitem2.dat".
std::string textFileName(const RecordType& type);

// The first of the ten data files that exists in dir, if any.
std::optional<std::filesystem::path> existingDataFile(const std::filesystem::path& dir);

// Writes the ten text files of the data files in dir into textDir (made when missing). Each
// is written beside its place and renamed in only when all ten are complete.
bool exportWorld(const std::filesystem::path& dir, const std::filesystem::path& textDir,
                 std::string& error, RecordCounts* counts = nullptr);

// Builds the ten data files in dir from the text files in textDir, all or nothing: in a
// folder beside dir, moved in when every file is complete. Refuses when dir holds one of
// the data files already, unless force.
bool importWorld(const std::filesystem::path& textDir, const std::filesystem::path& dir, bool force,
                 std::string& error, RecordCounts* counts = nullptr);

// A temporary folder beside a target folder in which a whole world is built, then moved into
// the target; removed with what is left in it when it goes.
class StagedWorld {
public:
    StagedWorld() = default;
    StagedWorld(const StagedWorld&) = delete;
    StagedWorld& operator=(const StagedWorld&) = delete;
    ~StagedWorld();

    bool create(const std::filesystem::path& target, std::string& error);
    const std::filesystem::path& path() const { return path_; }
    std::string dataPath(const RecordType& type) const;
    // Moves the ten data files into the target: the whole folder at once when the target
    // does not exist yet, else file by file.
    bool place(std::string& error);

private:
    std::filesystem::path target_, path_;
};

}  // namespace gw::world
