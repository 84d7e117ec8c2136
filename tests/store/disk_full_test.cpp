// A disk that fills up under a write: its own status, and nothing committed before is lost.
#include <gtest/gtest.h>

#include "small_disk.h"
#include "store_test_support.h"

namespace gw::test {
namespace {

using namespace status;

TEST(DiskFullTest, WritesGiveDiskFullAndKeepWhatWasCommitted) {
    ScratchDir dir;
    const auto result = onSmallDisk(dir.path(""), 256 * 1024, [&]() -> std::string {
        const std::string path = dir.path("full.dat");
        Handle h;
        if (createDataFile(path, {"Message", KeySpec::int32(), 256}) != kSuccess ||
            h.open(path, 256) != kSuccess)
            return "create or open failed";
        std::size_t stored = 0;
        Status s = kSuccess;
        for (int k = 0; k < 100000 && (s = h.write(BINSERT, int32Row(k, 256))) == kSuccess; ++k)
            ++stored;
        if (s != kDiskFull) return "single writes ended with status " + std::to_string(s);
        // A load of many rows in one transaction fails whole.
        const Status load = inTransaction(h.block, [&] {
            for (int k = 200000; k < 220000; ++k)
                if (Status w = h.write(BINSERT, int32Row(k, 256)); w != kSuccess) return w;
            return kSuccess;
        });
        if (load != kDiskFull && load != kTransactionAborted)
            return "the load ended with status " + std::to_string(load);
        h.close();
        if (s = h.open(path, 256); s != kSuccess) return "reopen: " + std::to_string(s);
        if (const std::size_t n = walkAll(h).size(); n != stored)
            return "rows after the full disk: " + std::to_string(n) + ", not " +
                   std::to_string(stored);
        std::string complaint;
        if (checkIntegrity(h.block, complaint) != kSuccess) return "integrity: " + complaint;
        return {};
    });
    if (!result) GTEST_SKIP() << "cannot mount a small tmpfs here (no mount namespace)";
    EXPECT_EQ(*result, "");
}

}  // namespace
}  // namespace gw::test
