// Keyed, ordered access through BTRCALL: orderings, positions, buffers and transactions.
#include <gtest/gtest.h>
#include <sqlite3.h>

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
    Handle h;
};

TEST_F(RecordManagerTest, KeysOrderByValueWithBothEnds) {
    {
        SCOPED_TRACE("16-bit keys, negative and at both limits");
        fill({"Race", KeySpec::int16(), 20},
             {shortRow(256), shortRow(3), shortRow(-5), shortRow(32767), shortRow(-300),
              shortRow(0), shortRow(-32768)},
             "race.dat");
        const Rows sorted{shortRow(-32768), shortRow(-300), shortRow(-5),   shortRow(0),
                          shortRow(3),      shortRow(256),  shortRow(32767)};
        EXPECT_EQ(walkAll(h), sorted);
        EXPECT_EQ(h.read(BGETNEXT), kEndOfFile);  // past the end keeps the last one current
        ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);
        EXPECT_EQ(h.row(), sorted[5]);
        Rows back;
        for (Status s = h.read(BGETLAST); s == kSuccess; s = h.read(BGETPREVIOUS))
            back.push_back(h.row());
        EXPECT_EQ(back, Rows(sorted.rbegin(), sorted.rend()));
        EXPECT_EQ(h.read(BGETPREVIOUS), kEndOfFile);
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);
        EXPECT_EQ(h.row(), sorted[1]);
    }
    {
        SCOPED_TRACE("map-and-room keys order by map, then room");
        fill({"Room", KeySpec::int32Pair(), 24},
             {pairRow(1, 0), pairRow(0, INT32_MAX), pairRow(-1, 5), pairRow(1, -1),
              pairRow(0, INT32_MIN)});
        EXPECT_EQ(walkAll(h), (Rows{pairRow(-1, 5), pairRow(0, INT32_MIN), pairRow(0, INT32_MAX),
                                    pairRow(1, -1), pairRow(1, 0)}));
        ASSERT_EQ(h.getEqual(pairRow(1, -1, 8), 4), kSuccess);  // all 8 bytes count, not 4
        EXPECT_EQ(h.row(), pairRow(1, -1));
        EXPECT_EQ(h.getEqual(pairRow(1, 7, 8), 4), kKeyNotFound);
        EXPECT_EQ(h.getEqual(le(1, 4), 4), kInvalidKeyBuffer);
    }
    {
        SCOPED_TRACE("text keys order byte by byte, cut at zero, trailing blanks ignored");
        const std::string bZero("b\0xyz", 5);
        fill({"User", KeySpec::text(10), 16},
             {textRow("abc"), textRow("ab"), textRow("Zed"), textRow(bZero), textRow("\xE9t"),
              textRow("")},
             "users.dat");
        EXPECT_EQ(walkAll(h), (Rows{textRow(""), textRow("Zed"), textRow("ab"), textRow("abc"),
                                    textRow(bZero), textRow("\xE9t")}));
        EXPECT_EQ(h.write(BINSERT, textRow("abc  ")), kDuplicateKey);
        EXPECT_EQ(h.write(BINSERT, textRow(std::string("b\0q", 3))), kDuplicateKey);
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

TEST_F(RecordManagerTest, IntegerKeyBuffersOfOtherWidths) {
    fill(kLongs, {int32Row(-2, 20), int32Row(70000, 20)});
    // A 16-bit buffer for a 32-bit key is a signed 16-bit number: 0xFFFE reads as -2.
    ASSERT_EQ(h.getEqual(le(65534, 2), 2), kSuccess);
    EXPECT_EQ(h.row(), int32Row(-2, 20));
    ASSERT_EQ(h.getEqual(le(70000, 4), 1), kSuccess);  // key length does not shorten it
    EXPECT_EQ(h.row(), int32Row(70000, 20));
    EXPECT_EQ(h.getEqual(Bytes{}, 0), kInvalidKeyBuffer);
    // A 32-bit buffer for a 16-bit key gives its whole value: 70000 is 4464 in 16 bits.
    fill({"Race", KeySpec::int16(), 20}, {shortRow(-2), shortRow(4464)}, "race.dat");
    ASSERT_EQ(h.getEqual(le(-2, 4), 4), kSuccess);
    EXPECT_EQ(h.row(), shortRow(-2));
    EXPECT_EQ(h.getEqual(le(70000, 4), 4), kKeyNotFound);
    EXPECT_EQ(h.getEqual(le(-70000, 4), 4), kKeyNotFound);
}

TEST_F(RecordManagerTest, UpdateMovesKeyOrIsRefusedAsDuplicate) {
    fill(kLongs, {int32Row(3, 20), int32Row(5, 20), int32Row(9, 20)});
    ASSERT_EQ(h.get32(5), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(3, 20, 0x77)), kDuplicateKey);
    Handle check;
    ASSERT_EQ(check.open(dir.path("f.dat"), 20), kSuccess);
    EXPECT_EQ(walkAll(check), (Rows{int32Row(3, 20), int32Row(5, 20), int32Row(9, 20)}));
    ASSERT_EQ(h.write(BUPDATE, int32Row(7, 12, 0x66)), kSuccess);  // still on 5
    EXPECT_EQ(h.get32(5), kKeyNotFound);
    ASSERT_EQ(h.get32(7), kSuccess);
    EXPECT_EQ(h.row(), int32Row(7, 12, 0x66));  // exactly the bytes written
    ASSERT_EQ(h.get32(3), kSuccess);
    ASSERT_EQ(h.write(BUPDATE, int32Row(10, 20)), kSuccess);
    ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);  // the moved record stays current
    EXPECT_EQ(h.row(), int32Row(9, 20));
}

TEST_F(RecordManagerTest, NoCurrentRecordAndNextAfterDelete) {
    fill(kLongs, {}, "empty.dat");
    EXPECT_EQ(h.read(BGETFIRST), kEndOfFile);
    EXPECT_EQ(h.read(BGETLAST), kEndOfFile);
    EXPECT_EQ(h.read(BGETNEXT), kNoCurrentRecord);
    fill(kLongs, {int32Row(1, 20), int32Row(2, 20), int32Row(3, 20)});
    EXPECT_EQ(h.write(BUPDATE, int32Row(2, 20)), kNoCurrentRecord);
    EXPECT_EQ(h.remove(), kNoCurrentRecord);
    ASSERT_EQ(h.get32(2), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(2, 20)), kNoCurrentRecord);  // the deleted one is gone
    EXPECT_EQ(h.remove(), kNoCurrentRecord);
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);  // steps from where the deleted record stood
    EXPECT_EQ(h.row(), int32Row(3, 20));
    ASSERT_EQ(h.get32(1), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    EXPECT_EQ(h.read(BGETPREVIOUS), kEndOfFile);
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);
    EXPECT_EQ(h.row(), int32Row(3, 20));
}

TEST_F(RecordManagerTest, DataBuffersAndSpans) {
    fill(kLongs, {int32Row(1, 10), int32Row(2, 20)});
    Bytes buf(30, 0xAA), key = le(1, 4), scratch(255, 0);
    std::uint32_t len = 20;
    ASSERT_EQ(BTRCALL(BGETEQUAL, h.block, std::span(buf.data(), 20), len, key, 4, 0), kSuccess);
    EXPECT_EQ(len, 10u);  // a shorter row is copied and the rest of the buffer zeroed
    Bytes expected = int32Row(1, 10);
    expected.resize(20, 0);
    expected.resize(30, 0xAA);
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
        fill(kLongs, rows, journal);
        h.close();
        rawSql(dir.path(journal), std::string("PRAGMA journal_mode=") + journal);
        // Settled, so that between full checks the walker trusts what fstat says.
        letChangeTimeSettle(dir.path(journal));
        Handle writer;
        ASSERT_EQ(h.open(dir.path(journal), 20), kSuccess);
        ASSERT_EQ(writer.open(dir.path(journal), 20), kSuccess);
        ASSERT_EQ(h.read(BGETFIRST), kSuccess);
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);  // the walker has read ahead past 1 by now
        ASSERT_EQ(writer.get32(2), kSuccess);
        ASSERT_EQ(writer.write(BUPDATE, int32Row(2, 20, 0x99)), kSuccess);
        ASSERT_EQ(writer.get32(3), kSuccess);
        ASSERT_EQ(writer.remove(), kSuccess);
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);
        EXPECT_EQ(h.row(), int32Row(2, 20, 0x99));
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);
        EXPECT_EQ(h.row(), int32Row(4, 20));
        ASSERT_EQ(writer.write(BINSERT, int32Row(1000, 20)), kSuccess);
        std::size_t n = 0;
        Bytes last;
        for (; h.read(BGETNEXT) == kSuccess; ++n) last = h.row();
        EXPECT_EQ(last, int32Row(1000, 20));
        EXPECT_EQ(n, 96u);
    }
}

TEST_F(RecordManagerTest, TransactionsCommitOrRollBackTogether) {
    fill(kLongs, {int32Row(1, 20), int32Row(2, 20)});
    EXPECT_EQ(endTransaction(h.block, true), kNoTransaction);
    ASSERT_EQ(beginTransaction(h.block), kSuccess);
    EXPECT_EQ(beginTransaction(h.block), kTransactionActive);
    ASSERT_EQ(h.get32(1), kSuccess);
    ASSERT_EQ(h.write(BUPDATE, int32Row(1, 20, 0x5A)), kSuccess);
    ASSERT_EQ(h.get32(2), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    ASSERT_EQ(h.write(BINSERT, int32Row(7, 20)), kSuccess);
    ASSERT_EQ(endTransaction(h.block, false), kSuccess);
    EXPECT_EQ(walkAll(h), (Rows{int32Row(1, 20), int32Row(2, 20)}));
    // A record inserted in rolled-back work is not current afterwards...
    ASSERT_EQ(beginTransaction(h.block), kSuccess);
    ASSERT_EQ(h.write(BINSERT, int32Row(7, 20)), kSuccess);
    ASSERT_EQ(endTransaction(h.block, false), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(7, 20)), kNoCurrentRecord);
    ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);
    EXPECT_EQ(h.row(), int32Row(2, 20));
    // ...and one deleted there is current again.
    ASSERT_EQ(beginTransaction(h.block), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    ASSERT_EQ(endTransaction(h.block, false), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(2, 20, 0x21)), kSuccess);
    const auto load = [&] {
        for (std::int32_t k = 10; k < 20; ++k)
            if (Status s = h.write(BINSERT, int32Row(k, 20)); s != kSuccess) return s;
        return h.write(BINSERT, int32Row(1, 20));  // a duplicate: the whole load fails
    };
    EXPECT_EQ(inTransaction(h.block, load), kDuplicateKey);
    Handle other;
    ASSERT_EQ(other.open(dir.path("f.dat"), 20), kSuccess);
    EXPECT_EQ(walkAll(other).size(), 2u);
    EXPECT_EQ(inTransaction(h.block, [&] { return h.write(BINSERT, int32Row(30, 20)); }), kSuccess);
    EXPECT_EQ(walkAll(other).size(), 3u);  // committed: visible to another open
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
        for (std::uint16_t op : {BCLOSE, BINSERT, BUPDATE, BDELETE, BGETEQUAL, BGETNEXT,
                                 BGETPREVIOUS, BGETFIRST, BGETLAST})
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
    std::array<std::uint8_t, 4> dummy{};
    std::uint32_t zero = 0;
    EXPECT_EQ(BTRCALL(BSTOP, dummy, dummy, zero, dummy, 0, 0), kSuccess);
    EXPECT_EQ(h.get32(1), kNotOpen);
    EXPECT_EQ(BTRCALL(BGETFIRST, zeroed, data, len, key, 4, 0), kNotOpen);
}

}  // namespace
}  // namespace gw::test
