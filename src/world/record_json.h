#pragma once
// One stored row as one line of JSON and back: every mapped field under its name, runs as
// arrays, texts as all their stored bytes (Latin-1, written as UTF-8), the bytes past the map
// as "_tail" in hex. `dump` and `export` write it; `load` and `import` read it, and a row
// survives the round trip byte for byte.
#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/references.h"
#include "store/record_type.h"

namespace gw::world {

// No field name begins with an underscore, so the unmapped bytes cannot clash with one.
inline constexpr std::string_view kTailMember = "_tail";

std::string latin1ToUtf8(std::string_view bytes);
// Appends text as a JSON string: quoted, escaped, Latin-1 written as UTF-8.
void appendJsonString(std::string& out, std::string_view latin1);

// Element `element` of an integer or byte field, read from the row as the field types it.
std::int64_t elementInt(std::span<const std::uint8_t> row, const FieldInfo& field,
                        std::size_t element = 0);

// Appends the row's JSON object, no newline. Fields beyond a short row are null.
void appendRowJson(std::string& out, const RecordType& type, std::span<const std::uint8_t> row);

// One JSON object into a row of type.dataLength() bytes. Every member must be there unless
// `partial`, when a missing one keeps the value a new record has (zeros, empty texts); "_tail"
// may always be left out for zeros. A text shorter than its field is stored as the editors
// store a name: the text, one zero byte, blanks.
class JsonRowParser {
public:
    explicit JsonRowParser(const RecordType& type);

    // false on a fault, with error() naming the member and the reason.
    bool parse(std::string_view line, bool partial, std::vector<std::uint8_t>& row);
    const std::string& error() const { return error_; }

private:
    const RecordType& type_;
    std::vector<std::uint8_t> blank_;
    std::vector<char> seen_;
    std::string error_;
};

// JSON Lines from a stream, one row at a time; blank lines are skipped.
class JsonLinesReader {
public:
    JsonLinesReader(std::istream& in, const RecordType& type, bool partial);

    // The next row: true, or false at the end or at the first fault (then failed(), error()).
    bool next(std::vector<std::uint8_t>& row);
    bool failed() const { return !error_.empty(); }
    // "line 3: member "Name": text of 31 characters is longer than its field (29)"
    const std::string& error() const { return error_; }
    bool readError() const { return readError_; }
    // Of the last line read, counted from 1.
    std::size_t line() const { return line_; }

private:
    std::istream& in_;
    JsonRowParser parser_;
    bool partial_;
    std::size_t line_ = 0;
    std::string text_, error_;
    bool readError_ = false;
};

// How a key reads on a line of output: 3, 2:15, "Tarquin".
std::string keyText(const RecordKey& key);
// The key as a JSON value: 3, [2,15], "Tarquin".
std::string keyJson(const RecordKey& key);

}  // namespace gw::world
