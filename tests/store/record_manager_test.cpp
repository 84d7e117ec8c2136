// Keyed, ordered access through BTRCALL: orderings, positions, buffers and transactions.
#include <gtest/gtest.h>

#include "store_test_support.h"

namespace gw::test {
namespace {

using namespace status;
using Rows = std::vector<Bytes>;

const DataFileInfo kLongs{"Message", KeySpec::int32(), 20};

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes textRow(std::string key) {
    key.resize(10, ' ');
    return keyed(text(key), 16, 0x44);
}
Bytes pairRow(std::int32_t map, std::int32_t room, std::size_t length = 24) {
    Bytes key = le(map, 4), r = le(room, 4);
    key.insert(key.end(), r.begin(), r.end());
    return keyed(key, length, 1);
}
Bytes shortRow(std::int16_t key) { return keyed(le(key, 2), 20, 0x11); }

class RecordManagerTest : public StoreTest {
protected:
    // A new file of these rows, opened in h.
    void fill(const DataFileInfo& info, const Rows& rows, const std::string& name = "f.dat") {
        h.close();
        makeFile(dir.path(name), info, rows);
        ASSERT_EQ(h.open(dir.path(name), info.recordLength), kSuccess);
    }
    // Stores the rows backwards and expects a walk to give them in the order given.
    void expectOrder(const DataFileInfo& info, const Rows& sorted, const std::string& name) {
        fill(info, Rows(sorted.rbegin(), sorted.rend()), name);
        EXPECT_EQ(walkAll(h), sorted);
    }
    Handle h;
};

TEST_F(RecordManagerTest, KeysOrderByValueWithBothEnds) {
    {
        SCOPED_TRACE("16-bit keys, negative and at both limits");
        Rows sorted;
        for (std::int16_t key : {-32768, -300, -5, 0, 3, 256, 32767})
            sorted.push_back(shortRow(key));
        expectOrder({"Race", KeySpec::int16(), 20}, sorted, "race.dat");
        Rows back;
        for (Status s = h.read(BGETLAST); s == kSuccess; s = h.read(BGETPREVIOUS))
            back.push_back(h.row());
        EXPECT_EQ(back, Rows(sorted.rbegin(), sorted.rend()));
        EXPECT_EQ(h.read(BGETPREVIOUS), kEndOfFile);  // before the first keeps it current
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);
        EXPECT_EQ(h.row(), sorted[1]);
        // A 32-bit buffer for a 16-bit key gives its whole value: 65539 is 3 in 16 bits.
        ASSERT_EQ(h.getEqual(le(-5, 4), 4), kSuccess);
        EXPECT_EQ(h.row(), shortRow(-5));
        EXPECT_EQ(h.getEqual(le(65539, 4), 4), kKeyNotFound);
    }
    {
        SCOPED_TRACE("a 16-bit buffer for a 32-bit key is a signed 16-bit number");
        fill(kLongs, {int32Row(-2, 20), int32Row(70000, 20)});
        ASSERT_EQ(h.getEqual(le(65534, 2), 2), kSuccess);
        EXPECT_EQ(h.row(), int32Row(-2, 20));
        ASSERT_EQ(h.getEqual(le(70000, 4), 1), kSuccess);  // key length does not shorten it
        EXPECT_EQ(h.row(), int32Row(70000, 20));
        EXPECT_EQ(h.getEqual(Bytes{}, 0), kInvalidKeyBuffer);
    }
    {
        SCOPED_TRACE("map-and-room keys order by map, then room");
        expectOrder({"Room", KeySpec::int32Pair(), 24},
                    {pairRow(-1, 5), pairRow(0, INT32_MIN), pairRow(0, INT32_MAX), pairRow(1, -1),
                     pairRow(1, 0)},
                    "room.dat");
        ASSERT_EQ(h.getEqual(pairRow(1, -1, 8), 4), kSuccess);  // all 8 bytes count, not 4
        EXPECT_EQ(h.row(), pairRow(1, -1));
        EXPECT_EQ(h.getEqual(le(1, 4), 4), kInvalidKeyBuffer);
    }
    {
        SCOPED_TRACE("text keys order byte by byte, cut at zero, trailing blanks ignored");
        const std::string bZero("b\0xyz", 5);
        expectOrder({"User", KeySpec::text(10), 16},
                    {textRow(""), textRow("Zed"), textRow("ab"), textRow("abc"), textRow(bZero),
                     textRow("\xE9t")},
                    "users.dat");
        EXPECT_EQ(h.write(BINSERT, textRow("abc  ")), kDuplicateKey);
        // The first key-length bytes, up to the buffer's end, cut at zero, blanks removed.
        const std::tuple<std::string, std::uint16_t, std::string> finds[] = {
            {"abc  ", 5, "abc"},
            {"abcdef", 3, "abc"},
            {std::string("ab\0c", 4), 4, "ab"},
            {"ab", 255, "ab"}};
        for (const auto& [key, length, found] : finds) {
            ASSERT_EQ(h.getEqual(text(key), length), kSuccess) << key;
            EXPECT_EQ(h.row(), textRow(found));
        }
        EXPECT_EQ(h.getEqual(text("abcd"), 4), kKeyNotFound);
    }
}

TEST_F(RecordManagerTest, DataBuffersAndSpans) {
    fill(kLongs, {int32Row(1, 10), int32Row(2, 20)});
    Bytes buf(30, 0xAA), key = le(1, 4), scratch(255, 0);
    std::uint32_t len = 20;
    ASSERT_EQ(BTRCALL(BGETEQUAL, h.block, std::span(buf.data(), 20), len, key, 4, 0), kSuccess);
    EXPECT_EQ(len, 10u);  // a shorter row is copied and the rest of the buffer zeroed
    const Bytes expected = keyed(keyed(int32Row(1, 10), 20, 0), 30, 0xAA);
    EXPECT_EQ(buf, expected);
    // A longer row is refused, and the span, not the length passed, bounds the buffer.
    len = 12;
    EXPECT_EQ(BTRCALL(BGETNEXT, h.block, buf, len, key, 4, 0), kDataBufferTooShort);
    len = 1000;
    EXPECT_EQ(BTRCALL(BGETNEXT, h.block, std::span(buf.data(), 12), len, key, 4, 0),
              kDataBufferTooShort);
    EXPECT_EQ(buf, expected);
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);  // the position stayed on record 1
    EXPECT_EQ(h.row(), int32Row(2, 20));
    // Writes with a data length past the buffer or record length, or short of the key.
    Bytes row = int32Row(3, 21);
    for (std::uint32_t bad : {21u, 3u}) {
        len = bad;
        EXPECT_EQ(BTRCALL(BINSERT, h.block, row, len, scratch, 255, 0), kInvalidDataLength);
        EXPECT_EQ(BTRCALL(BUPDATE, h.block, row, len, scratch, 255, 0), kInvalidDataLength);
    }
    len = 20;
    EXPECT_EQ(BTRCALL(BINSERT, h.block, std::span(row.data(), 8), len, scratch, 255, 0),
              kInvalidDataLength);
    EXPECT_EQ(walkAll(h), (Rows{int32Row(1, 10), int32Row(2, 20)}));
}

TEST_F(RecordManagerTest, AnotherConnectionsCommitsShowInAWalk) {
    // A file some other program switched to WAL keeps its commits out of the main file's
    // header, so the read-ahead must not be trusted there.
    Rows rows;
    for (int k = 0; k < 100; ++k) rows.push_back(int32Row(k, 20));
    for (const char* journal : {"DELETE", "WAL"}) {
        SCOPED_TRACE(journal);
        makeFile(dir.path(journal), kLongs, rows);
        rawSql(dir.path(journal), std::string("PRAGMA journal_mode=") + journal);
        // Settled, so that between full checks the walker trusts what fstat says.
        letChangeTimeSettle(dir.path(journal));
        Handle walker, writer;
        ASSERT_EQ(walker.open(dir.path(journal), 20), kSuccess);
        ASSERT_EQ(writer.open(dir.path(journal), 20), kSuccess);
        ASSERT_EQ(walker.read(BGETFIRST), kSuccess);
        ASSERT_EQ(walker.read(BGETNEXT), kSuccess);  // the walker has read ahead past 1 by now
        ASSERT_EQ(writer.get32(2), kSuccess);
        ASSERT_EQ(writer.write(BUPDATE, int32Row(2, 20, 0x99)), kSuccess);
        ASSERT_EQ(walker.read(BGETNEXT), kSuccess);
        EXPECT_EQ(walker.row(), int32Row(2, 20, 0x99));
    }
}

TEST_F(RecordManagerTest, UpdatesDeletesAndTransactionsActOnTheCurrentRecord) {
    fill(kLongs, {int32Row(3, 20), int32Row(5, 20), int32Row(9, 20)});
    EXPECT_EQ(h.read(BGETNEXT), kNoCurrentRecord);
    EXPECT_EQ(h.write(BUPDATE, int32Row(5, 20)), kNoCurrentRecord);
    EXPECT_EQ(h.remove(), kNoCurrentRecord);
    ASSERT_EQ(h.get32(5), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(3, 20, 0x77)), kDuplicateKey);
    ASSERT_EQ(h.write(BUPDATE, int32Row(7, 12, 0x66)), kSuccess);  // still on 5
    ASSERT_EQ(h.get32(3), kSuccess);
    ASSERT_EQ(h.write(BUPDATE, int32Row(10, 20)), kSuccess);
    ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);  // the moved record stays current
    EXPECT_EQ(h.row(), int32Row(9, 20));
    ASSERT_EQ(h.remove(), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(9, 20)), kNoCurrentRecord);  // the deleted one is gone
    EXPECT_EQ(h.remove(), kNoCurrentRecord);
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);  // steps from where the deleted record stood
    EXPECT_EQ(h.row(), int32Row(10, 20));

    SCOPED_TRACE("transactions");
    EXPECT_EQ(endTransaction(h.block, true), kNoTransaction);
    ASSERT_EQ(beginTransaction(h.block), kSuccess);
    EXPECT_EQ(beginTransaction(h.block), kTransactionActive);
    ASSERT_EQ(h.write(BUPDATE, int32Row(10, 20, 0x5A)), kSuccess);
    ASSERT_EQ(h.write(BINSERT, int32Row(20, 20)), kSuccess);
    ASSERT_EQ(endTransaction(h.block, false), kSuccess);
    // A record inserted in rolled-back work is not current afterwards...
    EXPECT_EQ(h.write(BUPDATE, int32Row(20, 20)), kNoCurrentRecord);
    ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);
    EXPECT_EQ(h.row(), int32Row(10, 20));
    // ...and one deleted there is current again.
    ASSERT_EQ(beginTransaction(h.block), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    ASSERT_EQ(endTransaction(h.block, false), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(10, 20, 0x21)), kSuccess);
    const auto load = [&] {
        if (Status s = h.write(BINSERT, int32Row(30, 20)); s != kSuccess) return s;
        return h.write(BINSERT, int32Row(7, 20));  // a duplicate: the whole load fails
    };
    EXPECT_EQ(inTransaction(h.block, load), kDuplicateKey);
    EXPECT_EQ(inTransaction(h.block, [&] { return h.write(BINSERT, int32Row(40, 20)); }), kSuccess);
    // Another open sees what was committed, and only that: exactly the bytes written, 5 moved
    // to 7 and 3 to 10, nothing of the refused update or of the rolled-back work.
    Handle other;
    ASSERT_EQ(other.open(dir.path("f.dat"), 20), kSuccess);
    EXPECT_EQ(walkAll(other),
              (Rows{int32Row(7, 12, 0x66), int32Row(10, 20, 0x21), int32Row(40, 20)}));
}

TEST_F(RecordManagerTest, PositionBlocksOpenArgumentsAndStop) {
    fill(kLongs, {int32Row(1, 20)});
    Bytes data = int32Row(1, 20), key = le(1, 4), name = text(dir.path("f.dat"));
    std::uint32_t len = 20;
    std::array<std::uint8_t, kPositionBlockSize> stale = h.block, zeroed{};
    ASSERT_EQ(h.close(), kSuccess);
    EXPECT_EQ(h.block, zeroed);
    ASSERT_EQ(h.open(dir.path("f.dat"), 20), kSuccess);  // reuses the stale block's slot
    EXPECT_EQ(h.open(dir.path("f.dat"), 20), kAlreadyOpen);
    for (auto block : {stale, zeroed}) {
        for (std::uint16_t op : {BCLOSE, BINSERT, BDELETE, BGETEQUAL, BGETNEXT, BGETLAST})
            EXPECT_EQ(BTRCALL(op, block, data, len, key, 4, 0), kNotOpen) << op;
        EXPECT_EQ(beginTransaction(block), kNotOpen);
    }
    EXPECT_EQ(BTRCALL(BGETEQUAL, h.block, data, len, key, 4, 1), kInvalidKeyNumber);
    EXPECT_EQ(BTRCALL(99, h.block, data, len, key, 4, 0), kInvalidOperation);
    EXPECT_EQ(Handle().open(""), kInvalidFileName);
    std::array<std::uint8_t, 16> small{};
    EXPECT_EQ(BTRCALL(BOPEN, small, data, len, name, 255, 0), kInvalidPositionBlock);
    EXPECT_EQ(BTRCALL(BOPEN, zeroed, data, len, name, 255, 1), kInvalidKeyNumber);
    len = 0;  // the name has no zero byte: the span ends it
    ASSERT_EQ(BTRCALL(BOPEN, zeroed, data, len, name, 255, 0), kSuccess);
    EXPECT_EQ(stopRecordManager(), kSuccess);  // BSTOP closes every file
    EXPECT_EQ(h.get32(1), kNotOpen);
    EXPECT_EQ(BTRCALL(BGETFIRST, zeroed, data, len, key, 4, 0), kNotOpen);
}

}  // namespace
}  // namespace gw::test
