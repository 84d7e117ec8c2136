// The unload reader on arbitrary bytes: the first byte picks the record length. Every record
// it accepts has that length, and writing the accepted records out and reading them again
// gives the same records.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tools/data/unload_format.h"

using gw::tool::UnloadReader;
using gw::tool::UnloadRecord;

namespace {
std::vector<std::string> readAll(const std::string& input, std::size_t length, bool& failed) {
    std::istringstream in(input);
    UnloadReader reader(in, length);
    std::vector<std::string> rows;
    UnloadRecord r;
    while (reader.next(r)) {
        if (r.bytes.size() != length || r.ordinal != rows.size() + 1) __builtin_trap();
        rows.push_back(r.bytes);
    }
    failed = reader.failed();
    if (failed && reader.error().message().empty()) __builtin_trap();
    return rows;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t length = data[0] % 40;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    bool failed = false;
    const auto rows = readAll(input, length, failed);
    std::string again;
    for (const auto& row : rows)
        gw::tool::appendUnloadRecord(
            again, {reinterpret_cast<const std::uint8_t*>(row.data()), row.size()});
    again += gw::tool::kUnloadEnd;
    bool failedAgain = false;
    if (readAll(again, length, failedAgain) != rows || failedAgain) __builtin_trap();
    return 0;
}
