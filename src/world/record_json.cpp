#include "world/record_json.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>

#include "records/text_fields.h"
#include "store/field_map.h"

namespace gw::world {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Zeroed byte by byte: a vector's value-initialised elements need not zero their padding.
std::vector<std::max_align_t> recordBuffer(const RecordType& type) {
    std::vector<std::max_align_t> record(type.recordSize() / sizeof(std::max_align_t) + 1);
    std::memset(record.data(), 0, record.size() * sizeof(std::max_align_t));
    return record;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// UTF-8 back to the single bytes it was made from; false for a character past Latin-1.
bool utf8ToLatin1(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size()) {
            out.push_back(static_cast<char>(((b & 0x03) << 6) | (text[++i] & 0x3F)));
        } else {
            return false;
        }
    }
    return true;
}

// Fills the in-memory record from one JSON object as the parser meets it, without building
// the object: a line of a large text block stays one pass over its bytes.
class RowSax {
public:
    using Json = nlohmann::json;

    RowSax(const RecordType& type, void* record, std::vector<std::uint8_t>& tail,
           std::vector<char>& seen)
        : type_(type), record_(record), tail_(tail), seen_(seen) {}

    bool null() { return wrongType("null"); }
    bool boolean(bool) { return wrongType("true or false"); }
    bool number_integer(Json::number_integer_t v) { return number(v); }
    bool number_unsigned(Json::number_unsigned_t v) {
        if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return outOfRange(std::to_string(v));
        return number(static_cast<std::int64_t>(v));
    }
    bool number_float(Json::number_float_t, const std::string& text) {
        return wrongType("the number " + text);
    }
    bool binary(Json::binary_t&) { return wrongType("binary data"); }
    bool string(std::string& value);
    bool start_object(std::size_t) {
        if (depth_++ == 0) return true;
        return wrongType("an object");
    }
    bool end_object() {
        --depth_;
        return true;
    }
    bool start_array(std::size_t) {
        if (depth_ == 0) return fault("not a JSON object");
        ++depth_;
        if (depth_ == 2 && field_ && field_->count > 1) {
            element_ = 0;
            return true;
        }
        return wrongType("an array");
    }
    bool end_array() {
        --depth_;
        member_ = std::string(field_->name);
        if (element_ != field_->count)
            return fault(std::to_string(element_) + " entries, not " +
                         std::to_string(field_->count));
        return true;
    }
    bool key(std::string& name);
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) {
        member_.clear();
        reason_ = depth_ == 0 && position <= 1
                      ? "not a JSON object"
                      : "not JSON (fault at character " + std::to_string(position) + ")";
        return false;
    }

    const std::string& member() const { return member_; }
    const std::string& reason() const { return reason_; }

private:
    bool fault(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }
    // The element a scalar fills, or false (with the fault set) when none takes one here.
    bool place(std::string_view what) {
        if (depth_ == 0) {
            member_.clear();
            return fault("not a JSON object");
        }
        if (!field_ && !tail_member_) return fault("unexpected value");
        if (field_ && field_->count > 1 && depth_ == 1) return wrongType(std::string(what));
        if (field_ && field_->count > 1) {
            if (element_ >= field_->count)
                return fault("more than " + std::to_string(field_->count) + " entries");
            member_ = std::string(field_->name) + "[" + std::to_string(element_) + "]";
        }
        return true;
    }
    bool wrongType(std::string what) {
        if (depth_ == 0) {
            member_.clear();
            return fault("not a JSON object");
        }
        std::string expected = tail_member_                                 ? "a text of hex digits"
                               : field_ && field_->count > 1 && depth_ == 1 ? "an array"
                               : field_ && field_->isText()                 ? "a text"
                                                                            : "a whole number";
        return fault("wrong type: " + what + " where " + expected + " belongs");
    }
    bool outOfRange(const std::string& value) {
        return fault("number " + value + " outside the field's range (" +
                     std::to_string(field_->minValue()) + " to " +
                     std::to_string(field_->maxValue()) + ")");
    }
    bool number(std::int64_t v) {
        if (!place("a number")) return false;
        if (tail_member_ || field_->isText()) return wrongType("a number");
        if (v < field_->minValue() || v > field_->maxValue()) return outOfRange(std::to_string(v));
        setInt(record_, *field_, field_->count > 1 ? element_++ : 0, v);
        return true;
    }

    const RecordType& type_;
    void* record_;
    std::vector<std::uint8_t>& tail_;
    std::vector<char>& seen_;
    const FieldInfo* field_ = nullptr;
    bool tail_member_ = false;
    std::size_t next_ = 0;  // members usually come in stored order: try that one first
    std::size_t element_ = 0;
    int depth_ = 0;
    std::string member_, reason_, bytes_;
};

bool RowSax::key(std::string& name) {
    member_ = name;
    field_ = nullptr;
    tail_member_ = false;
    const auto& fields = type_.fields();
    std::size_t at = fields.size();
    if (name == kTailMember) {
        tail_member_ = true;
    } else if (next_ < fields.size() && fields[next_].name == name) {
        at = next_;
    } else {
        at = std::find_if(fields.begin(), fields.end(),
                          [&](const FieldInfo& f) { return f.name == name; }) -
             fields.begin();
        if (at == fields.size()) return fault("unknown member");
    }
    char& seen = seen_[tail_member_ ? fields.size() : at];
    if (seen) return fault("duplicate member");
    seen = 1;
    if (!tail_member_) {
        field_ = &fields[at];
        next_ = at + 1;
    }
    return true;
}

bool RowSax::string(std::string& value) {
    if (!place("a text")) return false;
    if (tail_member_) {
        const std::size_t want = tail_.size();
        if (!value.empty() && value.size() != 2 * want)
            return fault("holds " + std::to_string(value.size() / 2) + " bytes; the record has " +
                         std::to_string(want) + " unmapped bytes");
        for (std::size_t i = 0; i < value.size(); i += 2) {
            const int hi = hexValue(value[i]), lo = hexValue(value[i + 1]);
            if (hi < 0 || lo < 0) return fault("not hex digits");
            tail_[i / 2] = static_cast<std::uint8_t>(hi << 4 | lo);
        }
        return true;
    }
    if (!field_->isText()) return wrongType("a text");
    if (!utf8ToLatin1(value, bytes_)) return fault("holds a character outside Latin-1");
    if (bytes_.size() > field_->width)
        return fault("text of " + std::to_string(bytes_.size()) +
                     " characters is longer than its field (" + std::to_string(field_->width) +
                     ")");
    const std::size_t k = field_->count > 1 ? element_++ : 0;
    if (bytes_.size() == field_->width)
        setText(record_, *field_, k, bytes_);
    else
        setText(record_, *field_, k, zeroEnded(bytes_, field_->width));
    return true;
}

}  // namespace

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

void appendJsonString(std::string& out, std::string_view latin1) {
    out.push_back('"');
    for (char c : latin1) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\b':
                out += "\\b";
                continue;
            case '\f':
                out += "\\f";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (b < 0x20) {
            out += "\\u00";
            out.push_back(kHexDigits[b >> 4]);
            out.push_back(kHexDigits[b & 0xF]);
        } else if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    out.push_back('"');
}

void appendRowJson(std::string& out, const RecordType& type, std::span<const std::uint8_t> row) {
    // Convert through the field map like every other reader; a short row is padded for the
    // conversion only, and what it lacked shows as null.
    std::vector<std::uint8_t> padded(std::max(row.size(), type.mappedLength()), 0);
    std::copy(row.begin(), row.end(), padded.begin());
    auto record = recordBuffer(type);
    RowToStruct(padded, type.buildFieldMap(), record.data(), type.recordSize());

    char separator = '{';
    for (const FieldInfo& f : type.fields()) {
        out.push_back(separator);
        separator = ',';
        out.push_back('"');
        out += f.name;
        out += "\":";
        if (f.count > 1) out.push_back('[');
        for (std::size_t k = 0; k < f.count; ++k) {
            if (k) out.push_back(',');
            if (f.rowOffset + k * f.stride + f.width > row.size())
                out += "null";
            else if (f.isText())
                appendJsonString(out, getText(record.data(), f, k));
            else
                out += std::to_string(getInt(record.data(), f, k));
        }
        if (f.count > 1) out.push_back(']');
    }
    out += ",\"";
    out += kTailMember;
    out += "\":\"";
    for (std::size_t i = type.mappedLength(); i < row.size(); ++i) {
        out.push_back(kHexDigits[row[i] >> 4]);
        out.push_back(kHexDigits[row[i] & 0xF]);
    }
    out += "\"}";
}

JsonRowParser::JsonRowParser(const RecordType& type)
    : type_(type), map_(type.buildFieldMap()), blank_(recordBuffer(type)), record_(blank_) {
    // A new record: zero numbers, empty texts stored as the editors store them.
    for (const FieldInfo& f : type.fields())
        for (std::size_t k = 0; f.isText() && k < f.count; ++k)
            setText(blank_.data(), f, k, zeroEnded("", f.width));
}

bool JsonRowParser::parse(std::string_view line, bool partial, std::vector<std::uint8_t>& row) {
    std::memcpy(record_.data(), blank_.data(), blank_.size() * sizeof(std::max_align_t));
    row.assign(type_.dataLength(), 0);
    std::vector<std::uint8_t> tail(type_.dataLength() - type_.mappedLength(), 0);
    seen_.assign(type_.fields().size() + 1, 0);
    RowSax sax(type_, record_.data(), tail, seen_);
    if (!nlohmann::json::sax_parse(line.data(), line.data() + line.size(), &sax)) {
        error_ = sax.member().empty() ? sax.reason()
                                      : "member \"" + sax.member() + "\": " + sax.reason();
        return false;
    }
    if (!partial) {
        for (std::size_t i = 0; i < type_.fields().size(); ++i)
            if (!seen_[i]) {
                error_ = "member \"" + std::string(type_.fields()[i].name) +
                         "\" is missing (--partial keeps a new record's value)";
                return false;
            }
    }
    StructToRow(row, map_, record_.data(), type_.recordSize());
    std::copy(tail.begin(), tail.end(),
              row.begin() + static_cast<std::ptrdiff_t>(type_.mappedLength()));
    return true;
}

JsonLinesReader::JsonLinesReader(std::istream& in, const RecordType& type, bool partial)
    : in_(in), parser_(type), partial_(partial) {}

bool JsonLinesReader::next(std::vector<std::uint8_t>& row) {
    if (failed()) return false;
    while (std::getline(in_, text_)) {
        ++line_;
        if (!text_.empty() && text_.back() == '\r') text_.pop_back();
        if (text_.find_first_not_of(" \t") == std::string::npos) continue;
        if (parser_.parse(text_, partial_, row)) return true;
        error_ = "line " + std::to_string(line_) + ": " + parser_.error();
        return false;
    }
    if (in_.bad()) {
        readError_ = true;
        error_ = "line " + std::to_string(line_ + 1) + ": read error";
    }
    return false;
}

std::string keyText(const RecordKey& key) {
    switch (key.kind) {
        case KeyKind::Int32Pair:
            return std::to_string(key.number) + ":" + std::to_string(key.room);
        case KeyKind::Text: {
            std::string out;
            appendJsonString(out, key.text);
            return out;
        }
        default:
            return std::to_string(key.number);
    }
}

std::string keyJson(const RecordKey& key) {
    if (key.kind == KeyKind::Int32Pair)
        return "[" + std::to_string(key.number) + "," + std::to_string(key.room) + "]";
    return keyText(key);
}

RecordKey recordKeyOfRow(const RecordType& type, std::span<const std::uint8_t> row) {
    std::vector<std::uint8_t> padded(std::max(row.size(), type.mappedLength()), 0);
    std::copy(row.begin(), row.end(), padded.begin());
    auto record = recordBuffer(type);
    RowToStruct(padded, type.buildFieldMap(), record.data(), type.recordSize());
    return recordKeyOf(type, record.data());
}

}  // namespace gw::world
