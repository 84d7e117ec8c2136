#include "tools/data/unload_format.h"

namespace gw::tool {

std::string UnloadError::message() const {
    return "record " + std::to_string(ordinal) + " at byte " + std::to_string(offset) + ": " +
           reason;
}

bool parseUnload(std::string_view input, std::size_t maxLength, std::vector<UnloadRecord>& out,
                 UnloadError& error) {
    out.clear();
    std::size_t p = 0;
    while (p < input.size()) {
        const std::size_t start = p;
        const std::size_t ordinal = out.size() + 1;
        auto fail = [&](std::string reason) {
            error = {ordinal, start, std::move(reason)};
            return false;
        };
        if (input[p] == kUnloadEnd) {
            if (p + 1 != input.size()) return fail("data follows the end marker 0x1A");
            break;
        }
        std::size_t length = 0;
        std::size_t digits = 0;
        for (; p < input.size() && input[p] >= '0' && input[p] <= '9'; ++p, ++digits) {
            length = length * 10 + static_cast<std::size_t>(input[p] - '0');
            if (length > maxLength)
                return fail("record length is more than the file's " + std::to_string(maxLength) +
                            " bytes");
        }
        if (digits == 0) return fail("expected the record length in decimal digits");
        if (p == input.size()) return fail("input ends inside the record length");
        if (input[p] != ',') return fail("expected a comma after the record length");
        ++p;
        if (input.size() - p < length)
            return fail("input ends inside the record (" + std::to_string(length) +
                        " bytes announced, " + std::to_string(input.size() - p) + " left)");
        const std::string_view bytes = input.substr(p, length);
        p += length;
        if (input.size() - p < 2 || input[p] != '\r' || input[p + 1] != '\n')
            return fail("expected CR LF after the record's " + std::to_string(length) + " bytes");
        p += 2;
        out.push_back({ordinal, start, bytes});
    }
    return true;
}

void writeUnloadRecord(std::ostream& out, std::span<const std::uint8_t> row) {
    out << row.size() << ',';
    out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
    out << "\r\n";
}

}  // namespace gw::tool
