#include "world/record_json.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>

#include "records/text_fields.h"
#include "store/field_map.h"

namespace gw::world {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

enum class Decoded { Ok, Syntax, NotLatin1 };

// One line of JSON Lines straight into a row: a flat object of integers, texts and arrays of
// them, read in one pass without building the object, so a large text block costs one walk
// over its bytes. Faults name the member and the reason; syntax faults the character.
class LineParser {
public:
    LineParser(const RecordType& type, std::string_view line, std::span<std::uint8_t> row,
               std::vector<char>& seen)
        : type_(type),
          begin_(line.data()),
          p_(line.data()),
          end_(line.data() + line.size()),
          row_(row),
          seen_(seen) {}

    bool parse();
    // "Name", "AbilityA[3]", or empty for a fault of the line as a whole.
    std::string member() const {
        if (!named_) return {};
        std::string name = key_;
        if (inArray_) name.append("[").append(std::to_string(element_)).append("]");
        return name;
    }
    const std::string& reason() const { return reason_; }

private:
    void ws() {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n')) ++p_;
    }
    bool at(char c) {
        ws();
        return p_ < end_ && *p_ == c;
    }
    bool fault(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }
    bool syntax() {
        named_ = false;
        return fault("not JSON (fault at character " + std::to_string(p_ - begin_ + 1) + ")");
    }
    bool wrongType(const std::string& what) {
        const char* expected = tail_                            ? "a text of hex digits"
                               : field_->count > 1 && !inArray_ ? "an array"
                               : field_->isText()               ? "a text"
                                                                : "a whole number";
        return fault("wrong type: " + what + " where " + expected + " belongs");
    }
    Decoded string(std::string& out);
    bool readMember();
    bool value();
    bool scalar();
    bool number();
    bool text();

    const RecordType& type_;
    const char *begin_, *p_, *end_;
    std::span<std::uint8_t> row_;
    std::vector<char>& seen_;
    const FieldInfo* field_ = nullptr;
    bool tail_ = false, named_ = false, inArray_ = false;
    std::size_t next_ = 0;  // members usually come in stored order: try that one first
    std::size_t element_ = 0;
    std::string key_, bytes_, reason_;
};

// A JSON string at p_ into Latin-1 bytes; p_ ends past the closing quote.
Decoded LineParser::string(std::string& out) {
    out.clear();
    ++p_;
    bool latin1 = true;
    while (p_ < end_) {
        const auto c = static_cast<unsigned char>(*p_++);
        if (c == '"') return latin1 ? Decoded::Ok : Decoded::NotLatin1;
        if (c < 0x20) {
            --p_;
            return Decoded::Syntax;
        }
        if (c == '\\') {
            if (p_ >= end_) return Decoded::Syntax;
            const char e = *p_++;
            switch (e) {
                case '"':
                    out.push_back('"');
                    continue;
                case '\\':
                    out.push_back('\\');
                    continue;
                case '/':
                    out.push_back('/');
                    continue;
                case 'b':
                    out.push_back('\b');
                    continue;
                case 'f':
                    out.push_back('\f');
                    continue;
                case 'n':
                    out.push_back('\n');
                    continue;
                case 'r':
                    out.push_back('\r');
                    continue;
                case 't':
                    out.push_back('\t');
                    continue;
                case 'u':
                    break;
                default:
                    --p_;
                    return Decoded::Syntax;
            }
            if (end_ - p_ < 4) return Decoded::Syntax;
            unsigned code = 0;
            for (int i = 0; i < 4; ++i) {
                const int h = hexValue(*p_);
                if (h < 0) return Decoded::Syntax;
                code = code << 4 | static_cast<unsigned>(h);
                ++p_;
            }
            if (code > 0xFF)
                latin1 = false;
            else
                out.push_back(static_cast<char>(code));
            continue;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        // UTF-8: two bytes from C2 up to C3 BF are Latin-1; longer valid ones are not.
        const int length = c >= 0xC2 && c <= 0xDF   ? 2
                           : c >= 0xE0 && c <= 0xEF ? 3
                           : c >= 0xF0 && c <= 0xF4 ? 4
                                                    : 0;
        if (length == 0 || end_ - p_ < length - 1) {
            --p_;
            return Decoded::Syntax;
        }
        for (int i = 0; i < length - 1; ++i)
            if ((static_cast<unsigned char>(p_[i]) & 0xC0) != 0x80) return Decoded::Syntax;
        if (length == 2 && c <= 0xC3)
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (p_[0] & 0x3F)));
        else
            latin1 = false;
        p_ += length - 1;
    }
    return Decoded::Syntax;
}

bool LineParser::parse() {
    if (!at('{')) return fault("not a JSON object");
    ++p_;
    if (at('}')) {
        ++p_;
    } else {
        for (;;) {
            if (!readMember()) return false;
            named_ = false;
            if (at(',')) {
                ++p_;
                continue;
            }
            if (!at('}')) return syntax();
            ++p_;
            break;
        }
    }
    ws();
    return p_ == end_ || syntax();
}

bool LineParser::readMember() {
    if (!at('"') || string(key_) != Decoded::Ok) return syntax();
    if (!at(':')) return syntax();
    ++p_;
    ws();
    named_ = true;
    inArray_ = false;
    element_ = 0;
    field_ = nullptr;
    tail_ = key_ == kTailMember;
    const auto& fields = type_.fields();
    std::size_t index = fields.size();
    if (!tail_) {
        if (next_ < fields.size() && fields[next_].name == key_) {
            index = next_;
        } else {
            index = std::find_if(fields.begin(), fields.end(),
                                 [&](const FieldInfo& f) { return f.name == key_; }) -
                    fields.begin();
            if (index == fields.size()) return fault("unknown member");
        }
        field_ = &fields[index];
        next_ = index + 1;
    }
    if (seen_[index]) return fault("duplicate member");
    seen_[index] = 1;
    return value();
}

bool LineParser::value() {
    if (tail_ || field_->count == 1) return scalar();
    if (p_ >= end_ || *p_ != '[') return scalar();  // reports the wrong type
    ++p_;
    inArray_ = true;
    element_ = 0;
    if (at(']')) {
        ++p_;
    } else {
        for (;;) {
            ws();
            if (element_ >= field_->count)
                return fault("more than " + std::to_string(field_->count) + " entries");
            if (!scalar()) return false;
            ++element_;
            if (at(',')) {
                ++p_;
                continue;
            }
            if (!at(']')) return syntax();
            ++p_;
            break;
        }
    }
    inArray_ = false;
    if (element_ != field_->count)
        return fault(std::to_string(element_) + " entries, not " + std::to_string(field_->count));
    return true;
}

bool LineParser::scalar() {
    if (p_ >= end_) return syntax();
    const char c = *p_;
    if (c == '"') return text();
    if (c == '-' || (c >= '0' && c <= '9')) return number();
    for (std::string_view word : {"null", "true", "false"}) {
        if (static_cast<std::size_t>(end_ - p_) >= word.size() &&
            std::string_view(p_, word.size()) == word)
            return wrongType(std::string(word));
    }
    if (c == '[') return wrongType("an array");
    if (c == '{') return wrongType("an object");
    return syntax();
}

bool LineParser::number() {
    const char* start = p_;
    const bool negative = *p_ == '-';
    if (negative) ++p_;
    std::uint64_t magnitude = 0;
    bool huge = false;
    const char* digits = p_;
    while (p_ < end_ && *p_ >= '0' && *p_ <= '9') {
        const unsigned d = static_cast<unsigned>(*p_++ - '0');
        huge = huge || magnitude > (std::numeric_limits<std::uint64_t>::max() - d) / 10;
        magnitude = magnitude * 10 + d;
    }
    if (p_ == digits) return syntax();
    const bool fraction = p_ < end_ && (*p_ == '.' || *p_ == 'e' || *p_ == 'E');
    while (p_ < end_ && (*p_ == '.' || *p_ == 'e' || *p_ == 'E' || *p_ == '+' || *p_ == '-' ||
                         (*p_ >= '0' && *p_ <= '9')))
        ++p_;
    const std::string shown(start, p_);
    if (fraction) return wrongType("the number " + shown);
    if (tail_ || field_->isText() || (field_->count > 1 && !inArray_)) return wrongType("a number");
    const std::int64_t v =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (huge || magnitude > (std::uint64_t{1} << 62) || v < field_->minValue() ||
        v > field_->maxValue())
        return fault("number " + shown + " outside the field's range (" +
                     std::to_string(field_->minValue()) + " to " +
                     std::to_string(field_->maxValue()) + ")");
    const std::size_t at = field_->rowOffset + element_ * field_->stride;
    for (std::size_t b = 0; b < field_->width; ++b)
        row_[at + b] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * b));
    return true;
}

bool LineParser::text() {
    const Decoded d = string(bytes_);
    if (d == Decoded::Syntax) return syntax();
    if (!tail_ && (!field_->isText() || (field_->count > 1 && !inArray_)))
        return wrongType("a text");
    if (d == Decoded::NotLatin1) return fault("holds a character outside Latin-1");
    if (tail_) {
        const std::size_t at = type_.mappedLength(), want = row_.size() - at;
        if (!bytes_.empty() && bytes_.size() != 2 * want)
            return fault("holds " + std::to_string(bytes_.size() / 2) + " bytes; the record has " +
                         std::to_string(want) + " unmapped bytes");
        for (std::size_t i = 0; i < bytes_.size(); i += 2) {
            const int hi = hexValue(bytes_[i]), lo = hexValue(bytes_[i + 1]);
            if (hi < 0 || lo < 0) return fault("not hex digits");
            row_[at + i / 2] = static_cast<std::uint8_t>(hi << 4 | lo);
        }
        return true;
    }
    const std::size_t width = field_->width;
    if (bytes_.size() > width)
        return fault("text of " + std::to_string(bytes_.size()) +
                     " characters is longer than its field (" + std::to_string(width) + ")");
    // Shorter than its field: the text, one zero byte, blanks, as the editors store a name.
    auto out =
        row_.begin() + static_cast<std::ptrdiff_t>(field_->rowOffset + element_ * field_->stride);
    out = std::copy(bytes_.begin(), bytes_.end(), out);
    if (bytes_.size() < width) {
        *out++ = 0;
        std::fill_n(out, width - bytes_.size() - 1, ' ');
    }
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
    // Bytes that stand for themselves, so a run of them is copied at once: dumps are mostly
    // plain text and blank padding.
    static constexpr auto kPlain = [] {
        std::array<bool, 256> plain{};
        for (int b = 0x20; b < 0x80; ++b) plain[b] = b != '"' && b != '\\';
        return plain;
    }();
    out.push_back('"');
    const char* p = latin1.data();
    const char* const end = p + latin1.size();
    while (p < end) {
        const char* run = p;
        while (p < end && kPlain[static_cast<unsigned char>(*p)]) ++p;
        out.append(run, p);
        if (p == end) break;
        const char c = *p++;
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
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    out.push_back('"');
}

namespace {

// The integer at `at`, as a field of this type and width stores it (little-endian).
inline std::int64_t intAt(std::span<const std::uint8_t> row, std::uint8_t type, std::size_t width,
                          std::size_t at) {
    if (type == kByteField) return row[at];
    // The two widths the records use, without a loop: a dump reads millions of them.
    if (width == 2) return static_cast<std::int16_t>(row[at] | row[at + 1] << 8);
    if (width == 4)
        return static_cast<std::int32_t>(std::uint32_t{row[at]} | std::uint32_t{row[at + 1]} << 8 |
                                         std::uint32_t{row[at + 2]} << 16 |
                                         std::uint32_t{row[at + 3]} << 24);
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < width; ++i) bits |= std::uint32_t{row[at + i]} << (8 * i);
    return static_cast<std::int32_t>(bits);
}

// Gathers a row's short pieces (names, punctuation, numbers) in a buffer on the stack and
// appends them to the output in a few large pieces: a record has hundreds of numbers. A writer
// asks for room, writes through a pointer of its own and hands back where it stopped.
class PieceBuffer {
public:
    static constexpr std::size_t kCapacity = 4096;

    explicit PieceBuffer(std::string& out) : out_(out) {}
    PieceBuffer(const PieceBuffer&) = delete;
    PieceBuffer& operator=(const PieceBuffer&) = delete;
    ~PieceBuffer() { flush(); }

    // Where to write up to n bytes (n at most kCapacity); then commit() the end.
    char* room(std::size_t n) {
        if (n > static_cast<std::size_t>(std::end(buffer_) - p_)) flush();
        return p_;
    }
    void commit(char* end) { p_ = end; }
    void put(std::string_view text) {
        if (text.size() > kCapacity) {
            flush();
            out_ += text;
            return;
        }
        commit(std::copy(text.begin(), text.end(), room(text.size())));
    }
    // The output itself, with every piece so far in it.
    std::string& flushed() {
        flush();
        return out_;
    }

private:
    void flush() {
        out_.append(buffer_, p_);
        p_ = buffer_;
    }
    std::string& out_;
    char buffer_[kCapacity];
    char* p_ = buffer_;
};

// Each byte's two hex digits.
constexpr auto kHexPairs = [] {
    std::array<std::array<char, 2>, 256> pairs{};
    for (std::size_t b = 0; b < pairs.size(); ++b)
        pairs[b] = {kHexDigits[b >> 4], kHexDigits[b & 0xF]};
    return pairs;
}();

constexpr std::size_t kLongestInt = 20;  // "-9223372036854775808"

char* writeInt(char* p, std::int64_t value) {
    if (value >= 0 && value < 10) {  // most numbers of a record
        *p++ = static_cast<char>('0' + value);
        return p;
    }
    return std::to_chars(p, p + kLongestInt, value).ptr;
}

}  // namespace

std::int64_t elementInt(std::span<const std::uint8_t> row, const FieldInfo& field,
                        std::size_t element) {
    return intAt(row, field.type, field.width, field.rowOffset + element * field.stride);
}

void appendRowJson(std::string& out, const RecordType& type, std::span<const std::uint8_t> row) {
    PieceBuffer pieces(out);
    char separator = '{';
    for (const FieldInfo& f : type.fields()) {
        pieces.put({&separator, 1});
        separator = ',';
        pieces.put("\"");
        pieces.put(f.name);
        pieces.put(f.count > 1 ? "\":[" : "\":");
        if (f.isText()) {
            for (std::size_t k = 0; k < f.count; ++k) {
                if (k) pieces.put(",");
                const std::size_t at = f.rowOffset + k * f.stride;
                // What a short row lacks shows as null.
                if (at + f.width > row.size())
                    pieces.put("null");
                else
                    appendJsonString(pieces.flushed(),
                                     {reinterpret_cast<const char*>(row.data()) + at, f.width});
            }
        } else {
            // Numbers in batches, each with room for its longest text asked once.
            constexpr std::size_t kBatch = PieceBuffer::kCapacity / (kLongestInt + 1);
            for (std::size_t k = 0; k < f.count;) {
                const std::size_t stop = k + std::min<std::size_t>(f.count - k, kBatch);
                char* p = pieces.room((stop - k) * (kLongestInt + 1));
                // Locals: the writes through p could otherwise change the field for all the
                // compiler knows, and it would read it again for every number.
                const std::size_t width = f.width, stride = f.stride, offset = f.rowOffset;
                const std::uint8_t fieldType = f.type;
                for (; k < stop; ++k) {
                    if (k) *p++ = ',';
                    const std::size_t at = offset + k * stride;
                    if (at + width > row.size())
                        p = std::copy_n("null", 4, p);
                    else
                        p = writeInt(p, intAt(row, fieldType, width, at));
                }
                pieces.commit(p);
            }
        }
        if (f.count > 1) pieces.put("]");
    }
    pieces.put(",\"");
    pieces.put(kTailMember);
    pieces.put("\":\"");
    for (std::size_t i = type.mappedLength(); i < row.size();) {
        const std::size_t n = std::min(row.size() - i, PieceBuffer::kCapacity / 2);
        char* p = pieces.room(2 * n);
        for (const std::size_t stop = i + n; i < stop; ++i, p += 2)
            std::memcpy(p, kHexPairs[row[i]].data(), 2);
        pieces.commit(p);
    }
    pieces.put("\"}");
}

JsonRowParser::JsonRowParser(const RecordType& type) : type_(type), blank_(type.dataLength(), 0) {
    // A new record: zero numbers, empty texts stored as the editors store them.
    for (const FieldInfo& f : type.fields())
        for (std::size_t k = 0; f.isText() && k < f.count; ++k) {
            const std::string empty = zeroEnded("", f.width);
            std::copy(empty.begin(), empty.end(),
                      blank_.begin() + static_cast<std::ptrdiff_t>(f.rowOffset + k * f.stride));
        }
}

bool JsonRowParser::parse(std::string_view line, bool partial, std::vector<std::uint8_t>& row) {
    row = blank_;
    seen_.assign(type_.fields().size() + 1, 0);
    LineParser parser(type_, line, row, seen_);
    if (!parser.parse()) {
        const std::string member = parser.member();
        error_ = member.empty() ? parser.reason() : "member \"" + member + "\": " + parser.reason();
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
        return std::string("[")
            .append(std::to_string(key.number))
            .append(",")
            .append(std::to_string(key.room))
            .append("]");
    return keyText(key);
}

}  // namespace gw::world
