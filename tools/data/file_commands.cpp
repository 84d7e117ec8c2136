// load, unload, dump and verify: the commands that read or fill one data file.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <thread>

#include "store/record_manager.h"
#include "tools/data/data_tool.h"
#include "tools/data/safe_output.h"
#include "tools/data/unload_format.h"
#include "world/record_json.h"
#include "world/world_file.h"

namespace gw::tool {

using world::describeStatus;
using world::descriptionProblem;
using world::WorldFile;

namespace {

namespace fs = std::filesystem;

// The message for a file BOPEN refused; a damaged one names sqlite's first complaint.
std::string openProblem(const std::string& file, Status s) {
    std::string message = file + ": " + describeStatus("BOPEN", s);
    if (const std::string complaint = lastOpenComplaint(); !complaint.empty())
        message += ": " + complaint;
    return message;
}

// Opens the file; "" or why it must not be used (with BOPEN's status in s).
std::string openChecked(WorldFile& f, const std::string& file, Status& s) {
    if (s = f.open(file); s != status::kSuccess) return openProblem(file, s);
    if (std::string wrong = descriptionProblem(file, f.info()); !wrong.empty())
        return file + ": " + wrong + "; the file was not read";
    return {};
}

// Opens the file and starts one read transaction on it, after sqlite's integrity check: a
// damaged page must not pass as a shorter file. A program that commits back to back can hold
// the file at every single try, so a lock is waited out for a bounded time.
int openForReading(WorldFile& f, const std::string& file, ToolIo io) {
    using Clock = std::chrono::steady_clock;
    const auto giveUp = Clock::now() + std::chrono::seconds(kLockedRetrySeconds);
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        Status s = status::kSuccess;
        if (std::string problem = openChecked(f, file, s); !problem.empty()) {
            if (s != status::kLocked || Clock::now() >= giveUp) return fail(io, problem);
        } else if (s = beginSnapshot(f.positionBlock()); s != status::kSuccess) {
            if (s != status::kLocked || Clock::now() >= giveUp)
                return fail(io, file + ": " + describeStatus("read", s));
        } else {
            break;
        }
        f.close();
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(250));
    }
    std::string complaint;
    if (Status s = checkIntegrity(f.positionBlock(), complaint); s != status::kSuccess)
        return fail(io, file + ": " + describeStatus("integrity check", s) +
                            (complaint.empty() ? "" : ": " + complaint));
    return kExitDone;
}

// Names the rows of one file that would not load back as stored: the first few in full, then
// how many there were.
class FaultyRows {
public:
    FaultyRows(const std::string& file, const WorldFile& f, ToolIo io)
        : file_(file),
          type_(f.recordType() ? std::string(f.recordType()->name()) : "key"),
          io_(io) {}
    void add(const RowFault& fault) {
        if (++count_ <= kListed)
            fail(io_, file_ + ": " + type_ + " " + fault.key + ": " + fault.problem);
    }
    std::size_t count() const { return count_; }
    // The closing line, with what became of the command's output.
    int report(const std::string& outcome) const {
        std::string line = file_ + ": " + std::to_string(count_) +
                           (count_ == 1 ? " row does" : " rows do") + " not load back as stored";
        if (count_ > kListed) line += " (the first " + std::to_string(kListed) + " named above)";
        return fail(io_, line + outcome);
    }

private:
    static constexpr std::size_t kListed = 20;
    std::string file_, type_;
    ToolIo io_;
    std::size_t count_ = 0;
};

// Large loads show how far they are on a terminal; small ones would only flicker.
constexpr std::size_t kProgressThreshold = 5000;
constexpr std::size_t kProgressStep = 1000;
constexpr std::size_t kOutputChunk = 64 * 1024;

// Why output must not be written, or "" when it may. Standard output ("") is refused when it
// is a terminal or the data file itself (">>" onto it).
std::string refusedOutput(const std::string& file, const std::string& output, ToolIo io) {
    if (output.empty() && io.outIsTerminal)
        return "standard output is a terminal and an unload is binary; name an OUTPUT file or "
               "pipe it; nothing was written";
    if (output.empty()) {
        struct stat out {
        }, data{};
        const bool same = &io.out == &std::cout && ::fstat(STDOUT_FILENO, &out) == 0 &&
                          ::stat(file.c_str(), &data) == 0 && out.st_dev == data.st_dev &&
                          out.st_ino == data.st_ino;
        return same ? "standard output is the data file being unloaded; nothing was written" : "";
    }
    std::error_code ec;
    if (fs::equivalent(file, output, ec))
        return output + ": is the data file being unloaded; nothing was written";
    if (isDataFile(output))
        return output + ": is a Gravewind data file; an unload never overwrites one";
    // A data file's journal is what rolls back a write cut short: it must stay as it is.
    constexpr std::string_view kJournal = "-journal";
    if (output.size() > kJournal.size() && output.ends_with(kJournal) &&
        isDataFile(output.substr(0, output.size() - kJournal.size())))
        return output + ": is a data file's journal; an unload never overwrites one";
    return {};
}

}  // namespace

int loadFile(const std::string& file, const std::string& input, ToolIo io, bool partial) {
    const std::string source = input.empty() ? std::string("standard input") : input;
    std::ifstream inFile;
    if (!input.empty()) {
        struct stat st {};
        if (::stat(input.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return fail(io, input + ": is a directory, not an unload file");
        inFile.open(input, std::ios::binary);
        if (!inFile) return fail(io, input + ": cannot open for reading: " + std::strerror(errno));
    }
    std::istream& in = input.empty() ? io.in : inFile;

    WorldFile f;
    Status opened = status::kSuccess;
    if (std::string problem = openChecked(f, file, opened); !problem.empty())
        return fail(io, problem);
    if (Status s = beginTransaction(f.positionBlock()); s != status::kSuccess) {
        if (s == status::kLocked)
            return fail(io, file + ": another program holds the file; nothing was loaded");
        return fail(io, file + ": " + describeStatus("begin", s) + "; nothing was loaded");
    }
    // Records go in as they are read; any fault rolls back all of them.
    std::size_t loaded = 0;
    std::string problem;
    const bool showProgress = io.progress;
    // `where` names the record for a message, made only when one is needed.
    const auto insert = [&](std::span<const std::uint8_t> row, auto&& where) {
        if (Status st = f.insert(row); st != status::kSuccess) {
            problem = file + ": " + where() + ": " + describeStatus("BINSERT", st);
            return false;
        }
        ++loaded;
        if (showProgress && loaded >= kProgressThreshold && loaded % kProgressStep == 0)
            io.err << "\rloading " << file << ": " << loaded << " records" << std::flush;
        return true;
    };
    // What `dump` writes is one JSON object a line; an unload starts with a length.
    if (in.peek() == '{') {
        if (!f.recordType())
            problem = file + ": holds records of unknown type " + f.info().recordType;
        std::optional<world::JsonLinesReader> reader;
        if (problem.empty()) reader.emplace(in, *f.recordType(), partial);
        std::vector<std::uint8_t> row;
        while (reader && reader->next(row))
            if (!insert(row, [&] { return "line " + std::to_string(reader->line()); })) break;
        if (problem.empty() && reader && reader->failed())
            problem = source + ": " + reader->error();
    } else {
        UnloadReader reader(in, f.info().recordLength);
        UnloadRecord r;
        while (reader.next(r)) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(r.bytes.data());
            const auto where = [&] {
                return "record " + std::to_string(r.ordinal) + " at byte " +
                       std::to_string(r.offset);
            };
            if (!insert({bytes, r.bytes.size()}, where)) break;
        }
        if (problem.empty() && reader.failed()) {
            problem = source + ": " + reader.error().message();
            if (reader.readError()) problem += ": " + std::string(std::strerror(errno));
        }
    }
    if (showProgress && loaded >= kProgressThreshold) io.err << "\r\x1b[K" << std::flush;
    const Status end = endTransaction(f.positionBlock(), problem.empty());
    if (!problem.empty()) return fail(io, problem + "; nothing was loaded");
    if (end != status::kSuccess)
        return fail(io, file + ": " + describeStatus("commit", end) + "; nothing was loaded");
    io.out << "loaded " << loaded << " records into " << file << "\n";
    return kExitDone;
}

int unloadFile(const std::string& file, const std::string& output, ToolIo io) {
    if (const std::string refused = refusedOutput(file, output, io); !refused.empty())
        return fail(io, refused);
    WorldFile f;
    if (int code = openForReading(f, file, io); code != kExitDone) return code;
    SafeOutput safe;
    if (!output.empty() && !safe.open(output)) return fail(io, output + ": " + safe.error());
    const std::string target = output.empty() ? std::string("standard output") : output;
    const auto writeFailed = [&] {
        return fail(io, target + ": " + (output.empty() ? "write error" : safe.error()));
    };
    const auto put = [&](const std::string& bytes) {
        if (output.empty()) return static_cast<bool>(io.out.write(bytes.data(), bytes.size()));
        return safe.write(bytes);
    };
    // A row that would not load back stops the output; the rest of the walk names the others.
    FaultyRows faulty(file, f, io);
    std::string chunk;
    bool writeError = false;
    const Status s =
        walkRows(f.positionBlock(), [&](std::span<const std::uint8_t> row, const RowFault* fault) {
            if (fault) faulty.add(*fault);
            if (faulty.count()) return true;
            appendUnloadRecord(chunk, row);
            if (chunk.size() < kOutputChunk) return true;
            writeError = !put(chunk);
            chunk.clear();
            return !writeError;
        });
    if (writeError) return writeFailed();
    if (s != status::kSuccess) return fail(io, file + ": " + describeStatus("read", s));
    if (faulty.count())
        return faulty.report(output.empty()
                                 ? "; the output stops before its end mark, so it cannot be loaded"
                                 : "; nothing was written");
    chunk += kUnloadEnd;
    if (!put(chunk)) return writeFailed();
    if (output.empty() ? !io.out.flush() : !safe.commit()) return writeFailed();
    return kExitDone;
}

int dumpFile(const std::string& file, ToolIo io) {
    WorldFile f;
    if (int code = openForReading(f, file, io); code != kExitDone) return code;
    const RecordType* type = f.recordType();
    if (!type) return fail(io, file + ": holds records of unknown type " + f.info().recordType);
    // One statement over the snapshot, as unload reads; a row longer than the file's records
    // stops the output where a record-by-record read would refuse it.
    const std::size_t recordLength = f.info().recordLength;
    std::string chunk;
    bool tooLong = false;
    const auto put = [&] {
        io.out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        chunk.clear();
        return static_cast<bool>(io.out);
    };
    Status s = walkRows(f.positionBlock(), [&](std::span<const std::uint8_t> row, const RowFault*) {
        if (row.size() > recordLength) {
            tooLong = true;
            return false;
        }
        world::appendRowJson(chunk, *type, row);
        chunk.push_back('\n');
        return chunk.size() < kOutputChunk || put();
    });
    if (tooLong) s = status::kDataBufferTooShort;
    put();
    if (s != status::kSuccess) return fail(io, file + ": " + describeStatus("BGETNEXT", s));
    io.out.flush();
    if (!io.out) return fail(io, "standard output: write error");
    return kExitDone;
}

int verifyFiles(const std::vector<std::string>& files, ToolIo io) {
    int result = kExitDone;
    for (const auto& file : files) {
        WorldFile f;
        if (openForReading(f, file, io) != kExitDone) {
            result = kExitDataError;
            continue;
        }
        FaultyRows faulty(file, f, io);
        const Status s = walkRows(
            f.positionBlock(),
            [&](auto, const RowFault* fault) {
                if (fault) faulty.add(*fault);
                return true;
            },
            /*faultyOnly=*/true);
        if (s != status::kSuccess || faulty.count()) {
            result = kExitDataError;
            if (s != status::kSuccess) fail(io, file + ": " + describeStatus("read", s));
            if (faulty.count()) faulty.report("");
            continue;
        }
        io.out << file << ": sound\n";
    }
    return result;
}

}  // namespace gw::tool
