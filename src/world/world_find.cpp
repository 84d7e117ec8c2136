#include "world/world_find.h"

#include <algorithm>
#include <charconv>
#include <functional>

#include "records/text_fields.h"
#include "records/textblock_text.h"
#include "store/record_file.h"

namespace gw::world {

namespace {

// Characters shown on each side of a match.
constexpr std::size_t kSnippetContext = 30;

// Latin-1 letters: A-Z, a-z, and 0xC0-0xFF except the multiplication and division signs.
constexpr bool isLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}
constexpr bool isWordChar(unsigned char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == 0xAA || c == 0xB5 || c == 0xBA;
}
// Lower case in Latin-1: the capitals 0xC0-0xDE (not 0xD7) are their small letters minus 32.
constexpr unsigned char foldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? c + 32 : c;
}
constexpr std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> t{};
    for (unsigned i = 0; i < 256; ++i) t[i] = foldCase(static_cast<unsigned char>(i));
    return t;
}();

std::optional<std::int64_t> numberIn(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// One compiled query: the folded needle and its searcher, reused for every field.
class Matcher {
public:
    explicit Matcher(const FindQuery& q)
        : matchCase_(q.matchCase),
          wholeWord_(q.wholeWord),
          needle_(q.matchCase ? q.text : fold(q.text)),
          searcher_(needle_.begin(), needle_.end()) {}

    // Where the first match in text starts, or npos.
    std::size_t find(std::string_view text) const {
        if (!matchCase_) return findFolded(text);
        std::string_view haystack = text;
        auto from = haystack.begin();
        while (true) {
            const auto at = std::search(from, haystack.end(), searcher_);
            if (at == haystack.end()) return std::string_view::npos;
            const auto start = static_cast<std::size_t>(at - haystack.begin());
            if (!wholeWord_ || isWholeWord(haystack, start)) return start;
            from = at + 1;
        }
    }
    std::size_t length() const { return needle_.size(); }

private:
    // Without match case the text is folded as it is compared, not copied first: most fields
    // hold no match, and a letter searched for is found in most of them at once.
    std::size_t findFolded(std::string_view text) const {
        const std::size_t n = needle_.size();
        if (text.size() < n) return std::string_view::npos;
        const auto* t = reinterpret_cast<const unsigned char*>(text.data());
        const auto* needle = reinterpret_cast<const unsigned char*>(needle_.data());
        const std::size_t last = text.size() - n;
        for (std::size_t i = 0; i <= last; ++i) {
            if (kFold[t[i]] != needle[0]) continue;
            std::size_t j = 1;
            while (j < n && kFold[t[i + j]] == needle[j]) ++j;
            if (j == n && (!wholeWord_ || isWholeWord(text, i))) return i;
        }
        return std::string_view::npos;
    }

    static std::string fold(std::string text) {
        for (char& c : text) c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
        return text;
    }
    bool isWholeWord(std::string_view text, std::size_t start) const {
        const std::size_t end = start + needle_.size();
        const auto wordAt = [&](std::size_t i) {
            return isWordChar(static_cast<unsigned char>(text[i]));
        };
        return (start == 0 || !wordAt(start - 1)) && (end >= text.size() || !wordAt(end));
    }

    bool matchCase_;
    bool wholeWord_;
    std::string needle_;
    std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
};

// The field's element k as a field of its own, so rowText and rowInt read it.
FieldInfo element(const FieldInfo& field, std::size_t k) {
    FieldInfo e = field;
    e.rowOffset += k * field.stride;
    return e;
}

// Element k of a number field, as rowInt reads element 0; the row is at least the mapped
// length, so every element lies inside it.
std::int64_t intAt(std::span<const std::uint8_t> row, const FieldInfo& field, std::size_t k) {
    const std::uint8_t* p = row.data() + field.rowOffset + k * field.stride;
    if (field.type == kByteField) return *p;
    if (field.width == 2) return static_cast<std::int16_t>(p[0] | p[1] << 8);
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

const FieldInfo* nameField(const RecordType& type) {
    if (const FieldInfo* f = type.field("Name")) return f;
    // Messages and users are known by their first line and their BBS name; a text block has
    // no name short enough to list.
    for (const FieldInfo& f : type.fields())
        if (f.isText() && f.width <= 80) return &f;
    return nullptr;
}

const Reference* referenceOf(RecordKind kind, const FieldInfo& field) {
    for (const Reference& r : allReferences())
        if (r.from == kind && r.field == field.name) return &r;
    return nullptr;
}

class FileSearch {
public:
    FileSearch(RecordKind kind, const FindQuery& query, Matcher& matcher, FindSink& sink)
        : kind_(kind),
          type_(recordType(kind)),
          file_(type_),
          matcher_(matcher),
          number_(numberIn(query.text)),
          sink_(sink),
          name_(nameField(type_)),
          padded_(type_.dataLength(), 0) {
        for (const FieldInfo& f : type_.fields()) {
            if (f.isText())
                texts_.push_back(&f);
            else if (number_)
                numbers_.push_back({&f, referenceOf(kind, f)});
        }
    }

    // False when the file could not be read to its end (reported to the sink).
    bool run(const std::string& path, FindSummary& summary) {
        file_.setFileName(path);
        const auto unreadable = [&](const std::string& why) {
            sink_.unreadable(kind_, path, why);
            return false;
        };
        if (Status s = file_.open("BOPEN"); s != status::kSuccess)
            return unreadable(statusMessage("BOPEN", s));
        const auto info = openFileInfo(file_.positionBlock());
        if (!info || info->recordType != type_.name())
            return unreadable("holds " + (info ? info->recordType : std::string("unknown")) +
                              " records, not " + std::string(type_.name()));
        Status s = beginSnapshot(file_.positionBlock());
        if (s != status::kSuccess) return unreadable(statusMessage("read", s));
        for (s = file_.readRow(BGETFIRST, ""); s == status::kSuccess;
             s = file_.readRow(BGETNEXT, "")) {
            if (sink_.cancelled()) {
                summary.cancelled = true;
                return true;
            }
            ++summary.records;
            searchRow(summary);
        }
        if (s != status::kEndOfFile) return unreadable(statusMessage("BGETNEXT", s));
        return true;
    }

    ~FileSearch() {
        if (file_.isOpen()) {
            endTransaction(file_.positionBlock(), false);
            file_.close("");
        }
    }

private:
    static std::string statusMessage(const char* operation, Status s) {
        return std::string(operation) + ": " + std::string(statusText(s)) + " (status " +
               std::to_string(s) + ")";
    }

    void searchRow(FindSummary& summary) {
        // A short row reads as if zero-filled, as every other reader of the file sees it.
        std::span<const std::uint8_t> row = file_.row().first(file_.lengthRead());
        if (row.size() < padded_.size()) {
            std::fill(std::copy(row.begin(), row.end(), padded_.begin()), padded_.end(), 0);
            row = padded_;
        }
        row_ = row;
        haveKey_ = false;
        for (const FieldInfo* f : texts_) {
            for (std::size_t k = 0; k < f->count; ++k) {
                std::string_view text = shownText(rowText(row, element(*f, k)));
                if (kind_ == RecordKind::Textblock) {
                    decoded_ = decodeTextblockData(text);
                    text = decoded_;
                } else {
                    text = trimRight(text);
                }
                const std::size_t at = text.empty() ? std::string_view::npos : matcher_.find(text);
                if (at != std::string_view::npos) report(*f, k, text, at, nullptr, summary);
            }
        }
        for (const auto& [f, reference] : numbers_) {
            for (std::size_t k = 0; k < f->count; ++k) {
                const std::int64_t value = intAt(row, *f, k);
                const bool masked =
                    reference && reference->mask && (value & reference->mask) == *number_;
                if (value != *number_ && !masked) continue;
                const std::string text = std::to_string(value);
                report(*f, k, text, 0, reference, summary);
            }
        }
    }

    void report(const FieldInfo& field, std::size_t k, std::string_view text, std::size_t at,
                const Reference* reference, FindSummary& summary) {
        if (!haveKey_) {
            hit_.key = recordKeyOfRow(type_, row_);
            hit_.keyBytes.assign(row_.begin(), row_.begin() + type_.key().width);
            hit_.recordName.clear();
            if (name_) hit_.recordName = trimRight(shownText(rowText(row_, *name_)));
            haveKey_ = true;
        }
        hit_.kind = kind_;
        hit_.field = &field;
        hit_.index = k;
        hit_.reference = reference;
        const std::size_t length = reference ? text.size() : matcher_.length();
        const std::size_t from = at > kSnippetContext ? at - kSnippetContext : 0;
        const std::size_t to = std::min(text.size(), at + length + kSnippetContext);
        hit_.snippet.assign(text.substr(from, to - from));
        for (char& c : hit_.snippet)
            if (static_cast<unsigned char>(c) < 32) c = ' ';
        hit_.matchStart = at - from;
        hit_.matchLength = length;
        ++summary.hits;
        sink_.found(hit_);
    }

    RecordKind kind_;
    const RecordType& type_;
    RecordFile file_;
    Matcher& matcher_;
    std::optional<std::int64_t> number_;
    FindSink& sink_;
    const FieldInfo* name_;
    std::vector<const FieldInfo*> texts_;
    std::vector<std::pair<const FieldInfo*, const Reference*>> numbers_;
    std::vector<std::uint8_t> padded_;
    std::span<const std::uint8_t> row_;
    std::string decoded_;
    bool haveKey_ = false;
    FindHit hit_;
};

}  // namespace

WorldFiles worldFilesIn(const std::string& dir) {
    WorldFiles files;
    for (RecordKind kind : allRecordKinds()) {
        const std::string name(recordType(kind).fileName());
        files[static_cast<std::size_t>(kind)] = dir.empty() || dir == "." ? name : dir + "/" + name;
    }
    return files;
}

std::string describeKey(RecordKind kind, const RecordKey& key) {
    std::string text(recordType(kind).name());
    switch (key.kind) {
        case KeyKind::Int32Pair:
            return text + " " + std::to_string(key.number) + ":" + std::to_string(key.room);
        case KeyKind::Text:
            return text + " \"" + key.text + "\"";
        default:
            return text + " " + std::to_string(key.number);
    }
}

std::string describeField(const FieldInfo& field, std::size_t index) {
    std::string text(field.name);
    if (field.count > 1) text.append("(").append(std::to_string(index + 1)).append(")");
    return text;
}

FindSummary findInWorld(const WorldFiles& files, const FindQuery& query, FindSink& sink) {
    FindSummary summary;
    if (query.text.empty()) return summary;
    Matcher matcher(query);
    const auto total =
        static_cast<std::size_t>(std::count(query.kinds.begin(), query.kinds.end(), true));
    std::size_t done = 0;
    for (RecordKind kind : allRecordKinds()) {
        const auto i = static_cast<std::size_t>(kind);
        if (!query.kinds[i]) continue;
        FileSearch search(kind, query, matcher, sink);
        if (search.run(files[i], summary)) ++summary.filesRead;
        if (summary.cancelled) break;
        sink.progress(++done, total);
    }
    return summary;
}

}  // namespace gw::world
