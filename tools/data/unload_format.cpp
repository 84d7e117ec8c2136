#include "tools/data/unload_format.h"

#include <algorithm>

namespace gw::tool {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
// Enough for any length a record can have; more digits are a fault, not a longer wait.
constexpr std::size_t kMostDigits = 10;
}  // namespace

std::string UnloadError::message() const {
    return "record " + std::to_string(ordinal) + " at byte " + std::to_string(offset) + ": " +
           reason;
}

UnloadReader::UnloadReader(std::istream& in, std::size_t recordLength)
    : in_(in), recordLength_(recordLength), buffer_(kBufferSize) {}

bool UnloadReader::fill() {
    if (begin_ < end_) return true;
    if (in_.bad() || in_.eof()) return false;
    offset_ += end_;
    begin_ = end_ = 0;
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    end_ = static_cast<std::size_t>(in_.gcount());
    if (in_.bad()) readError_ = true;
    return end_ > 0;
}

int UnloadReader::peek() { return fill() ? static_cast<unsigned char>(buffer_[begin_]) : -1; }

int UnloadReader::get() {
    const int c = peek();
    if (c >= 0) ++begin_;
    return c;
}

bool UnloadReader::fail(std::size_t ordinal, std::size_t offset, std::string reason) {
    failed_ = true;
    error_ = {ordinal, offset, std::move(reason)};
    return false;
}

bool UnloadReader::next(UnloadRecord& record) {
    if (done_ || failed_) return false;
    const std::size_t ordinal = count_ + 1;
    const std::size_t start = offset_ + begin_;
    const auto readFault = [&] { return fail(ordinal, offset_ + begin_, "read error"); };
    int c = peek();
    if (c < 0) {
        done_ = true;
        if (readError_) return readFault();
        // An unload cut at a record boundary looks whole but for its end mark.
        if (count_ == 0)
            return fail(ordinal, start,
                        "the input is empty; an unload ends with the end mark 0x1A, even with no "
                        "records (an empty data file is made with create)");
        return fail(ordinal, start,
                    "input ends without the end mark 0x1A: the unload is cut short");
    }
    if (c == static_cast<unsigned char>(kUnloadEnd)) {
        get();
        done_ = true;
        if (peek() >= 0) return fail(ordinal, start, "data follows the end marker 0x1A");
        return readError_ ? readFault() : false;
    }
    std::size_t length = 0, digits = 0;
    for (; (c = peek()) >= '0' && c <= '9'; ++digits) {
        if (digits == kMostDigits)
            return fail(
                ordinal, start,
                "the record length has more than " + std::to_string(kMostDigits) + " digits");
        length = length * 10 + static_cast<std::size_t>(get() - '0');
    }
    if (readError_) return readFault();
    if (digits == 0) return fail(ordinal, start, "expected the record length in decimal digits");
    if (c < 0) return fail(ordinal, start, "input ends inside the record length");
    if (c != ',') return fail(ordinal, start, "expected a comma after the record length");
    get();
    if (length != recordLength_)
        return fail(ordinal, start,
                    "the record is " + std::to_string(length) + " bytes long; the file holds " +
                        "records of " + std::to_string(recordLength_) + " bytes");
    record.ordinal = ordinal;
    record.offset = start;
    record.bytes.clear();
    while (record.bytes.size() < length && fill()) {
        const std::size_t n = std::min(length - record.bytes.size(), end_ - begin_);
        record.bytes.append(buffer_.data() + begin_, n);
        begin_ += n;
    }
    if (readError_) return readFault();
    if (record.bytes.size() < length)
        return fail(ordinal, start,
                    "input ends inside the record (" + std::to_string(length) +
                        " bytes announced, " + std::to_string(record.bytes.size()) + " left)");
    if (get() != '\r' || get() != '\n') {
        if (readError_) return readFault();
        return fail(ordinal, start,
                    "expected CR LF after the record's " + std::to_string(length) + " bytes");
    }
    ++count_;
    return true;
}

void appendUnloadRecord(std::string& out, std::span<const std::uint8_t> row) {
    out += std::to_string(row.size());
    out += ',';
    out.append(reinterpret_cast<const char*>(row.data()), row.size());
    out += "\r\n";
}

}  // namespace gw::tool
