#pragma once
// The unload format: each record as its length in ASCII decimal digits, a comma, that many
// bytes and CR LF; one byte 0x1A ends the data. Without it the data was cut short: a reader
// refuses it, so that a backup stopped at a record boundary never passes as whole.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <vector>

namespace gw::tool {

inline constexpr char kUnloadEnd = '\x1A';

struct UnloadRecord {
    std::size_t ordinal = 0;  // 1 for the first record
    std::size_t offset = 0;   // of its first length digit
    std::string bytes;
};

struct UnloadError {
    std::size_t ordinal = 0;
    std::size_t offset = 0;
    std::string reason;

    // "record 3 at byte 120: <reason>"
    std::string message() const;
};

// Reads an unload from a stream one record at a time, so memory holds one record whatever
// the input's size. Every record must be exactly recordLength bytes long: a row of another
// length belongs to another record type.
class UnloadReader {
public:
    UnloadReader(std::istream& in, std::size_t recordLength);

    // The next record into record: true, or false at the end of the data or at the first
    // fault (then failed() and error()).
    bool next(UnloadRecord& record);
    bool failed() const { return failed_; }
    // Whether the fault was the stream's own (a read error), not the data's.
    bool readError() const { return readError_; }
    const UnloadError& error() const { return error_; }

private:
    int peek();
    int get();
    bool fill();
    bool fail(std::size_t ordinal, std::size_t offset, std::string reason);

    std::istream& in_;
    std::size_t recordLength_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::size_t offset_ = 0;  // of buffer_[begin_] in the input
    std::size_t count_ = 0;
    bool done_ = false, failed_ = false, readError_ = false;
    UnloadError error_;
};

// Appends one record in the unload format to out.
void appendUnloadRecord(std::string& out, std::span<const std::uint8_t> row);

}  // namespace gw::tool
