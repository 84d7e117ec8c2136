// BTRCALL driven by arbitrary bytes: operation codes known and unknown, position blocks,
// data and key buffers of any size, lengths that lie about them, key numbers, transactions
// and snapshots, over three small data files made fresh for every input.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "store/record_manager.h"

namespace {

using namespace gw;

std::string gDir;
const DataFileInfo kFiles[] = {
    {"Message", KeySpec::int32(), 48},
    {"Room", KeySpec::int32Pair(), 24},
    {"Spell", KeySpec::text(6), 20},
};
std::string pathOf(std::size_t i) { return gDir + "/f" + std::to_string(i) + ".dat"; }
std::vector<std::string> gFresh;  // each file's bytes when new

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Input {
    const std::uint8_t* p;
    std::size_t left;
    std::uint8_t byte() {
        if (!left) return 0;
        --left;
        return *p++;
    }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
    void fill(std::vector<std::uint8_t>& out) {
        for (auto& b : out) b = byte();
    }
};

constexpr std::uint16_t kOps[] = {BOPEN,    BCLOSE,       BINSERT,   BUPDATE,  BDELETE, BGETEQUAL,
                                  BGETNEXT, BGETPREVIOUS, BGETFIRST, BGETLAST, BSTOP};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* shm = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(shm) + "/gw_fuzz_XXXXXX";
    if (!::mkdtemp(pattern.data())) abort();
    gDir = pattern;
    // libFuzzer ends a bounded run with exit(): leave nothing behind in the shared directory.
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(gDir, ignored);
    });
    for (std::size_t i = 0; i < std::size(kFiles); ++i) {
        if (createDataFile(pathOf(i), kFiles[i]) != status::kSuccess) abort();
        gFresh.push_back(readFile(pathOf(i)));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every input starts from the same new files: copying bytes is much faster than creating.
    for (std::size_t i = 0; i < std::size(kFiles); ++i) {
        ::unlink((pathOf(i) + "-journal").c_str());
        std::ofstream(pathOf(i), std::ios::binary | std::ios::trunc) << gFresh[i];
    }
    Input in{data, size};
    std::array<std::vector<std::uint8_t>, 3> blocks{std::vector<std::uint8_t>(128),
                                                    std::vector<std::uint8_t>(128),
                                                    std::vector<std::uint8_t>(20)};
    for (int steps = 0; in.left && steps < 64; ++steps) {
        const std::uint8_t how = in.byte();
        auto& block = blocks[how % 3];
        const std::uint8_t which = in.byte();
        if (which >= 0xF8) {  // the calls beside BTRCALL
            std::string complaint;
            switch (which & 3) {
                case 0:
                    beginTransaction(block);
                    break;
                case 1:
                    endTransaction(block, (how & 0x80) != 0);
                    break;
                case 2:
                    beginSnapshot(block);
                    break;
                default:
                    checkIntegrity(block, complaint);
                    break;
            }
            continue;
        }
        const std::uint16_t op = which < 0xC0 ? kOps[which % std::size(kOps)] : in.word();
        std::vector<std::uint8_t> buffer(in.byte() * 2u);
        in.fill(buffer);
        std::uint32_t dataLength = (how & 0x40) ? std::uint32_t(buffer.size()) : in.word();
        std::vector<std::uint8_t> key(in.byte());
        std::uint16_t keyLength = (how & 0x20) ? std::uint16_t(key.size()) : in.word();
        if (op == BOPEN && (how & 0x10)) {
            const std::string name = pathOf(in.byte() % std::size(kFiles));
            key.assign(name.begin(), name.end());
            key.push_back(0);
            keyLength = std::uint16_t(key.size());
            if (how & 0x08) dataLength = 0;
        } else {
            in.fill(key);
        }
        const std::int16_t keyNumber = (how & 0x04) ? std::int16_t(in.word()) : 0;
        const std::uint32_t offered = dataLength;
        const Status s = BTRCALL(op, block, buffer, dataLength, key, keyLength, keyNumber);
        // A read never claims more bytes than it was offered and the buffer holds.
        const bool read = op == BGETEQUAL || op == BGETNEXT || op == BGETPREVIOUS ||
                          op == BGETFIRST || op == BGETLAST;
        if (s == status::kSuccess && read && (dataLength > offered || dataLength > buffer.size()))
            abort();
    }
    std::array<std::uint8_t, 4> none{};
    std::uint32_t zero = 0;
    BTRCALL(BSTOP, none, none, zero, none, 0, 0);
    return 0;
}
