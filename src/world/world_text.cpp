#include "world/world_text.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "world/data_rows.h"
#include "world/record_json.h"

namespace gw::world {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kOutputChunk = 1 << 20;

std::string ioProblem(const fs::path& path, std::string_view what) {
    return path.string() + ": " + std::string(what) + ": " + std::strerror(errno);
}

// Writes one data file's rows as JSON Lines into a hidden file beside `final`.
bool exportFile(const RecordType& type, const fs::path& data, const fs::path& temp,
                std::string& error, std::size_t& count) {
    RowReader reader(type);
    if (!reader.open(data.string())) {
        error = reader.error();
        return false;
    }
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = ioProblem(temp, "cannot create");
        return false;
    }
    std::string chunk;
    chunk.reserve(kOutputChunk + 64 * 1024);
    count = 0;
    while (reader.next()) {
        appendRowJson(chunk, type, reader.row());
        chunk.push_back('\n');
        ++count;
        if (chunk.size() >= kOutputChunk) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    if (!reader.error().empty()) {
        error = reader.error();
        return false;
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    out.flush();
    if (!out) {
        error = ioProblem(temp, "write error");
        return false;
    }
    return true;
}

fs::path normalTarget(const fs::path& target) {
    std::error_code ec;
    fs::path t = fs::absolute(target, ec).lexically_normal();
    if (ec) t = target;
    if (t.filename().empty()) t = t.parent_path();
    return t;
}

}  // namespace

std::string textFileName(const RecordType& type) {
    return fs::path(type.fileName()).replace_extension(".jsonl").string();
}

std::optional<fs::path> existingDataFile(const fs::path& dir) {
    std::error_code ec;
    for (RecordKind kind : allRecordKinds()) {
        const fs::path path = dir / recordType(kind).fileName();
        if (fs::exists(fs::symlink_status(path, ec))) return path;
    }
    return std::nullopt;
}

bool exportWorld(const fs::path& dir, const fs::path& textDir, std::string& error,
                 RecordCounts* counts) {
    std::error_code ec;
    fs::create_directories(textDir, ec);
    if (ec) {
        error = textDir.string() + ": cannot create the folder: " + ec.message();
        return false;
    }
    std::vector<fs::path> temps;
    auto dropTemps = [&] {
        for (const fs::path& t : temps) fs::remove(t, ec);
    };
    RecordCounts found{};
    for (std::size_t i = 0; i < kRecordKindCount; ++i) {
        const RecordType& type = recordType(allRecordKinds()[i]);
        temps.push_back(textDir / std::string(".").append(textFileName(type)).append(".part"));
        if (!exportFile(type, dir / type.fileName(), temps.back(), error, found[i])) {
            dropTemps();
            return false;
        }
    }
    for (std::size_t i = 0; i < kRecordKindCount; ++i) {
        const fs::path final = textDir / textFileName(recordType(allRecordKinds()[i]));
        fs::rename(temps[i], final, ec);
        if (ec) {
            error = final.string() + ": cannot move into place: " + ec.message();
            dropTemps();
            return false;
        }
    }
    if (counts) *counts = found;
    return true;
}

StagedWorld::~StagedWorld() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
}

bool StagedWorld::create(const fs::path& target, std::string& error) {
    target_ = normalTarget(target);
    std::error_code ec;
    fs::create_directories(target_.parent_path(), ec);
    std::string pattern =
        (target_.parent_path() /
         std::string(".").append(target_.filename().string()).append(".building-XXXXXX"))
            .string();
    if (!::mkdtemp(pattern.data())) {
        error = ioProblem(target_.parent_path(), "cannot make a folder to build in");
        return false;
    }
    path_ = pattern;
    return true;
}

std::string StagedWorld::dataPath(const RecordType& type) const {
    return (path_ / type.fileName()).string();
}

bool StagedWorld::place(std::string& error) {
    std::error_code ec;
    if (!fs::exists(target_, ec)) {
        fs::rename(path_, target_, ec);
        if (!ec) {
            path_.clear();
            return true;
        }
    }
    fs::create_directories(target_, ec);
    // A journal left by an interrupted write would be played back into the new file.
    for (RecordKind kind : allRecordKinds()) {
        const fs::path journal = target_ / (std::string(recordType(kind).fileName()) + "-journal");
        if (fs::exists(journal, ec)) {
            error = journal.string() +
                    ": an interrupted write left this journal; open the world once to roll it "
                    "back, then try again";
            return false;
        }
    }
    for (RecordKind kind : allRecordKinds()) {
        const std::string name(recordType(kind).fileName());
        fs::rename(path_ / name, target_ / name, ec);
        if (ec) {
            error = (target_ / name).string() + ": cannot move into place: " + ec.message();
            return false;
        }
    }
    return true;
}

bool importWorld(const fs::path& textDir, const fs::path& dir, bool force, std::string& error,
                 RecordCounts* counts) {
    std::error_code ec;
    if (!fs::is_directory(textDir, ec)) {
        error = textDir.string() + ": not a folder";
        return false;
    }
    for (RecordKind kind : allRecordKinds()) {
        const fs::path text = textDir / textFileName(recordType(kind));
        if (!fs::is_regular_file(text, ec)) {
            error = text.string() + ": missing (a world needs all ten files)";
            return false;
        }
    }
    if (const auto existing = existingDataFile(dir); existing && !force) {
        error = existing->string() + ": file exists (use --force to replace the world)";
        return false;
    }
    StagedWorld staged;
    if (!staged.create(dir, error)) return false;
    RecordCounts found{};
    std::vector<std::uint8_t> row;
    for (std::size_t i = 0; i < kRecordKindCount; ++i) {
        const RecordType& type = recordType(allRecordKinds()[i]);
        const fs::path text = textDir / textFileName(type);
        std::ifstream in(text, std::ios::binary);
        if (!in) {
            error = ioProblem(text, "cannot open for reading");
            return false;
        }
        RowWriter writer(type);
        if (!writer.create(staged.dataPath(type))) {
            error = writer.error();
            return false;
        }
        JsonLinesReader reader(in, type, /*partial=*/false);
        while (reader.next(row)) {
            if (!writer.add(row)) {
                error = text.string() + ": line " + std::to_string(reader.line()) + ": " +
                        writer.reason();
                return false;
            }
        }
        if (reader.failed()) {
            error = text.string() + ": " + reader.error();
            return false;
        }
        if (!writer.commit()) {
            error = writer.error();
            return false;
        }
        found[i] = writer.count();
    }
    if (!staged.place(error)) return false;
    if (counts) *counts = found;
    return true;
}

}  // namespace gw::world
