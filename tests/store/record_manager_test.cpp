// Keyed, ordered access through BTRCALL: orderings, positions, buffers and transactions.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <random>

#include "store_test_support.h"

namespace gw::test {
namespace {

using namespace status;
using Rows = std::vector<Bytes>;

const DataFileInfo kShorts{"Race", KeySpec::int16(), 20};
const DataFileInfo kLongs{"Message", KeySpec::int32(), 20};

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes textRow(const std::string& key) {
    Bytes k(10, ' ');
    std::copy(key.begin(), key.end(), k.begin());
    return keyed(k, 16, 0x44);
}
Bytes pairKey(std::int32_t map, std::int32_t room) {
    Bytes key = le(map, 4), r = le(room, 4);
    key.insert(key.end(), r.begin(), r.end());
    return key;
}

class RecordManagerTest : public StoreTest {
protected:
    // A file of the given rows, opened.
    Handle& filled(const DataFileInfo& info, const Rows& rows, const char* name = "f.dat") {
        makeFile(dir.path(name), info, rows);
        EXPECT_EQ(h.open(dir.path(name), info.recordLength), kSuccess);
        return h;
    }
    Handle h;
};

TEST_F(RecordManagerTest, KeysOrderByValueWithBothEnds) {
    {
        SCOPED_TRACE("16-bit keys, negative and at both limits");
        Rows rows, sorted;
        for (std::int16_t k : {256, 3, -5, 32767, -300, 0, -32768})
            rows.push_back(keyed(le(k, 2), 20, 0x11));
        for (std::int16_t k : {-32768, -300, -5, 0, 3, 256, 32767})
            sorted.push_back(keyed(le(k, 2), 20, 0x11));
        filled(kShorts, rows, "race.dat");
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
        ASSERT_EQ(h.close(), kSuccess);
    }
    {
        SCOPED_TRACE("map-and-room keys order by map, then room");
        const DataFileInfo rooms{"Room", KeySpec::int32Pair(), 24};
        filled(rooms,
               {keyed(pairKey(1, 0), 24, 1), keyed(pairKey(0, INT32_MAX), 24, 1),
                keyed(pairKey(-1, 5), 24, 1), keyed(pairKey(1, -1), 24, 1),
                keyed(pairKey(0, INT32_MIN), 24, 1)},
               "rooms.dat");
        EXPECT_EQ(walkAll(h),
                  (Rows{keyed(pairKey(-1, 5), 24, 1), keyed(pairKey(0, INT32_MIN), 24, 1),
                        keyed(pairKey(0, INT32_MAX), 24, 1), keyed(pairKey(1, -1), 24, 1),
                        keyed(pairKey(1, 0), 24, 1)}));
        ASSERT_EQ(h.getEqual(pairKey(1, -1), 4), kSuccess);  // the whole 8 bytes, not 4
        EXPECT_EQ(h.row(), keyed(pairKey(1, -1), 24, 1));
        EXPECT_EQ(h.getEqual(pairKey(1, 7), 4), kKeyNotFound);
        EXPECT_EQ(h.getEqual(le(1, 4), 4), kInvalidKeyBuffer);
        ASSERT_EQ(h.close(), kSuccess);
    }
    {
        SCOPED_TRACE("text keys order byte by byte, cut at zero, trailing blanks ignored");
        filled({"User", KeySpec::text(10), 16},
               {textRow("abc"), textRow("ab"), textRow("Zed"), textRow(std::string("b\0xyz", 5)),
                textRow("\xE9t\xE9"), textRow("")},
               "users.dat");
        EXPECT_EQ(walkAll(h), (Rows{textRow(""), textRow("Zed"), textRow("ab"), textRow("abc"),
                                    textRow(std::string("b\0xyz", 5)), textRow("\xE9t\xE9")}));
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
    Handle s, l;
    makeFile(dir.path("s.dat"), kShorts,
             {keyed(le(5, 2), 20, 1), keyed(le(-2, 2), 20, 1), keyed(le(4464, 2), 20, 1)});
    makeFile(dir.path("l.dat"), kLongs, {int32Row(-2, 20), int32Row(70000, 20)});
    ASSERT_EQ(s.open(dir.path("s.dat"), 20), kSuccess);
    ASSERT_EQ(l.open(dir.path("l.dat"), 20), kSuccess);
    // A 16-bit buffer for a 32-bit key is a signed 16-bit number: 0xFFFE reads as -2.
    ASSERT_EQ(l.getEqual(le(65534, 2), 2), kSuccess);
    EXPECT_EQ(l.row(), int32Row(-2, 20));
    ASSERT_EQ(l.getEqual(le(70000, 4), 1), kSuccess);  // key length does not shorten it
    EXPECT_EQ(l.row(), int32Row(70000, 20));
    EXPECT_EQ(l.getEqual(Bytes{}, 0), kInvalidKeyBuffer);
    // A 32-bit buffer for a 16-bit key gives its whole value.
    ASSERT_EQ(s.getEqual(le(-2, 4), 4), kSuccess);
    EXPECT_EQ(s.row(), keyed(le(-2, 2), 20, 1));
    // 70000 is 4464 in its low 16 bits: it must not find record 4464.
    EXPECT_EQ(s.getEqual(le(70000, 4), 4), kKeyNotFound);
    EXPECT_EQ(s.getEqual(le(-70000, 4), 4), kKeyNotFound);
}

TEST_F(RecordManagerTest, UpdateMovesKeyOrIsRefusedAsDuplicate) {
    filled(kLongs, {int32Row(3, 20), int32Row(5, 20), int32Row(9, 20)});
    ASSERT_EQ(h.get32(5), kSuccess);
    EXPECT_EQ(h.write(BUPDATE, int32Row(3, 20, 0x77)), kDuplicateKey);
    Handle check;
    ASSERT_EQ(check.open(dir.path("f.dat"), 20), kSuccess);
    EXPECT_EQ(walkAll(check), (Rows{int32Row(3, 20), int32Row(5, 20), int32Row(9, 20)}));
    // The refused update left the position on 5.
    ASSERT_EQ(h.write(BUPDATE, int32Row(7, 12, 0x66)), kSuccess);
    EXPECT_EQ(h.get32(5), kKeyNotFound);
    ASSERT_EQ(h.get32(7), kSuccess);
    EXPECT_EQ(h.row(), int32Row(7, 12, 0x66));  // exactly the bytes written
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);
    EXPECT_EQ(h.row(), int32Row(9, 20));
    ASSERT_EQ(h.get32(3), kSuccess);  // the moved record stays current
    ASSERT_EQ(h.write(BUPDATE, int32Row(10, 20)), kSuccess);
    ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);
    EXPECT_EQ(h.row(), int32Row(9, 20));
}

TEST_F(RecordManagerTest, NoCurrentRecordAndNextAfterDelete) {
    makeFile(dir.path("empty.dat"), kLongs, {});
    Handle e;
    ASSERT_EQ(e.open(dir.path("empty.dat"), 20), kSuccess);
    EXPECT_EQ(e.read(BGETFIRST), kEndOfFile);
    EXPECT_EQ(e.read(BGETLAST), kEndOfFile);
    filled(kLongs, {int32Row(1, 20), int32Row(2, 20), int32Row(3, 20)});
    for (Handle* x : {&e, &h}) {
        EXPECT_EQ(x->read(BGETNEXT), kNoCurrentRecord);
        EXPECT_EQ(x->write(BUPDATE, int32Row(1, 20)), kNoCurrentRecord);
        EXPECT_EQ(x->remove(), kNoCurrentRecord);
    }
    ASSERT_EQ(h.get32(2), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    EXPECT_EQ(h.remove(), kNoCurrentRecord);
    EXPECT_EQ(h.write(BUPDATE, int32Row(2, 20)), kNoCurrentRecord);
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);  // steps from where the deleted record stood
    EXPECT_EQ(h.row(), int32Row(3, 20));
    ASSERT_EQ(h.get32(1), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    EXPECT_EQ(h.read(BGETPREVIOUS), kEndOfFile);
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);
    EXPECT_EQ(h.row(), int32Row(3, 20));
}

TEST_F(RecordManagerTest, DataBuffersAndSpans) {
    filled(kLongs, {int32Row(1, 10), int32Row(2, 20)});
    Bytes buf(30, 0xAA), key = le(1, 4), scratch(255, 0);
    std::uint32_t len = 20;
    ASSERT_EQ(BTRCALL(BGETEQUAL, h.block, std::span(buf.data(), 20), len, key, 4, 0), kSuccess);
    EXPECT_EQ(len, 10u);  // a shorter row is copied and the rest of the buffer zeroed
    Bytes expected = int32Row(1, 10);
    expected.resize(20, 0);
    expected.resize(30, 0xAA);
    EXPECT_EQ(buf, expected);
    {
        SCOPED_TRACE("a longer row is refused; the span, not the length, bounds the buffer");
        const Bytes before = buf;
        len = 12;
        EXPECT_EQ(BTRCALL(BGETNEXT, h.block, buf, len, key, 4, 0), kDataBufferTooShort);
        len = 1000;
        EXPECT_EQ(BTRCALL(BGETNEXT, h.block, std::span(buf.data(), 12), len, key, 4, 0),
                  kDataBufferTooShort);
        EXPECT_EQ(buf, before);
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);  // the position stayed on record 1
        EXPECT_EQ(h.row(), int32Row(2, 20));
    }
    {
        SCOPED_TRACE("writes with a data length outside the buffer, key or record length");
        Bytes row = int32Row(3, 21);
        for (std::uint32_t bad : {21u, 3u}) {
            len = bad;
            EXPECT_EQ(BTRCALL(BINSERT, h.block, row, len, scratch, 255, 0), kInvalidDataLength);
        }
        len = 20;
        EXPECT_EQ(BTRCALL(BINSERT, h.block, std::span(row.data(), 8), len, scratch, 255, 0),
                  kInvalidDataLength);
        EXPECT_EQ(h.get32(3), kKeyNotFound);
        ASSERT_EQ(h.get32(2), kSuccess);
        len = 2;
        EXPECT_EQ(BTRCALL(BUPDATE, h.block, row, len, scratch, 255, 0), kInvalidDataLength);
        ASSERT_EQ(h.get32(2), kSuccess);
        EXPECT_EQ(h.row(), int32Row(2, 20));
    }
}

TEST_F(RecordManagerTest, RandomRowsRoundTrip) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    filled({"Item", KeySpec::int32(), 300}, {});
    std::map<std::int32_t, Bytes> model;
    std::uniform_int_distribution<std::int32_t> keyDist(-100, 100);
    std::uniform_int_distribution<int> lenDist(4, 300), byteDist(0, 255), opDist(0, 3);
    for (int i = 0; i < 800; ++i) {
        const std::int32_t k = keyDist(rng);
        Bytes row(static_cast<std::size_t>(lenDist(rng)));
        for (auto& b : row) b = static_cast<std::uint8_t>(byteDist(rng));
        std::memcpy(row.data(), &k, 4);
        const bool exists = model.count(k) > 0;
        const int op = opDist(rng);
        if (op == 0) {
            ASSERT_EQ(h.write(BINSERT, row), exists ? kDuplicateKey : kSuccess);
            model.emplace(k, row);
            continue;
        }
        ASSERT_EQ(h.get32(k), exists ? kSuccess : kKeyNotFound);
        if (!exists) continue;
        ASSERT_EQ(h.row(), model[k]);
        if (op == 1) {
            ASSERT_EQ(h.write(BUPDATE, row), kSuccess);
            model[k] = row;
        } else if (op == 2) {
            ASSERT_EQ(h.remove(), kSuccess);
            model.erase(k);
        } else {
            const auto next = model.upper_bound(k);
            ASSERT_EQ(h.read(BGETNEXT), next == model.end() ? kEndOfFile : kSuccess);
            if (next != model.end()) ASSERT_EQ(h.row(), next->second);
        }
    }
    Rows expected;
    for (const auto& [k, r] : model) expected.push_back(r);
    EXPECT_EQ(walkAll(h), expected);
    Rows back;
    for (Status s = h.read(BGETLAST); s == kSuccess; s = h.read(BGETPREVIOUS))
        back.insert(back.begin(), h.row());
    EXPECT_EQ(back, expected);
}

TEST_F(RecordManagerTest, AnotherConnectionsCommitsShowInAWalk) {
    // A file some other program switched to WAL keeps its commits out of the main file's
    // header, so the read-ahead must not be trusted there.
    for (const bool wal : {false, true}) {
        SCOPED_TRACE(wal ? "WAL journal" : "rollback journal");
        const std::string path = dir.path(wal ? "wal.dat" : "w.dat");
        Rows rows;
        for (int k = 0; k < 100; ++k) rows.push_back(int32Row(k, 20));
        makeFile(path, kLongs, rows);
        if (wal) {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr),
                      SQLITE_OK);
            sqlite3_close(db);
        }
        Handle walker, writer;
        ASSERT_EQ(walker.open(path, 20), kSuccess);
        ASSERT_EQ(writer.open(path, 20), kSuccess);
        ASSERT_EQ(walker.read(BGETFIRST), kSuccess);
        ASSERT_EQ(walker.read(BGETNEXT), kSuccess);  // the walker has read ahead past 1 by now
        ASSERT_EQ(writer.get32(2), kSuccess);
        ASSERT_EQ(writer.write(BUPDATE, int32Row(2, 20, 0x99)), kSuccess);
        ASSERT_EQ(writer.get32(3), kSuccess);
        ASSERT_EQ(writer.remove(), kSuccess);
        ASSERT_EQ(walker.read(BGETNEXT), kSuccess);
        EXPECT_EQ(walker.row(), int32Row(2, 20, 0x99));
        ASSERT_EQ(walker.read(BGETNEXT), kSuccess);
        EXPECT_EQ(walker.row(), int32Row(4, 20));
        ASSERT_EQ(writer.write(BINSERT, int32Row(1000, 20)), kSuccess);
        std::size_t n = 0;
        Bytes last;
        for (; walker.read(BGETNEXT) == kSuccess; ++n) last = walker.row();
        EXPECT_EQ(last, int32Row(1000, 20));
        EXPECT_EQ(n, 96u);
    }
}

TEST_F(RecordManagerTest, TransactionsCommitOrRollBackTogether) {
    filled(kLongs, {int32Row(1, 20), int32Row(2, 20)});
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
    {
        SCOPED_TRACE("a record inserted in rolled-back work is not current afterwards");
        ASSERT_EQ(beginTransaction(h.block), kSuccess);
        ASSERT_EQ(h.write(BINSERT, int32Row(7, 20)), kSuccess);
        ASSERT_EQ(endTransaction(h.block, false), kSuccess);
        EXPECT_EQ(h.write(BUPDATE, int32Row(7, 20)), kNoCurrentRecord);
        ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);
        EXPECT_EQ(h.row(), int32Row(2, 20));
    }
    {
        SCOPED_TRACE("a record deleted in rolled-back work is current again");
        ASSERT_EQ(beginTransaction(h.block), kSuccess);
        ASSERT_EQ(h.remove(), kSuccess);
        ASSERT_EQ(endTransaction(h.block, false), kSuccess);
        EXPECT_EQ(h.write(BUPDATE, int32Row(2, 20, 0x21)), kSuccess);
    }
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
    const std::string path = dir.path("p.dat");
    makeFile(path, kLongs, {int32Row(1, 20)});
    Bytes data = int32Row(1, 20), key = le(1, 4);
    std::uint32_t len = 20;
    std::array<std::uint8_t, kPositionBlockSize> zeroed{};
    for (std::uint16_t op : {BCLOSE, BINSERT, BUPDATE, BDELETE, BGETEQUAL, BGETNEXT, BGETPREVIOUS,
                             BGETFIRST, BGETLAST})
        EXPECT_EQ(BTRCALL(op, zeroed, data, len, key, 4, 0), kNotOpen) << op;
    EXPECT_EQ(beginTransaction(zeroed), kNotOpen);
    EXPECT_FALSE(openFileInfo(zeroed).has_value());

    ASSERT_EQ(h.open(path, 20), kSuccess);
    EXPECT_EQ(h.open(path, 20), kAlreadyOpen);
    const auto info = openFileInfo(h.block);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->recordType, "Message");
    EXPECT_EQ(info->key, KeySpec::int32());
    EXPECT_EQ(info->formatVersion, static_cast<int>(kFormatVersion));
    {
        SCOPED_TRACE("a stale block after close, even when its slot is reused");
        auto stale = h.block;
        ASSERT_EQ(h.close(), kSuccess);
        EXPECT_EQ(h.block, zeroed);
        ASSERT_EQ(h.open(path, 20), kSuccess);
        EXPECT_EQ(BTRCALL(BGETEQUAL, stale, data, len, key, 4, 0), kNotOpen);
        EXPECT_EQ(h.get32(1), kSuccess);
    }
    {
        SCOPED_TRACE("open arguments");
        Handle o;
        EXPECT_EQ(o.open(""), kInvalidFileName);
        Bytes name(path.begin(), path.end());  // no zero byte: the span ends the name
        len = 0;
        std::array<std::uint8_t, 16> small{};
        EXPECT_EQ(BTRCALL(BOPEN, small, o.buffer, len, name, 255, 0), kInvalidPositionBlock);
        EXPECT_EQ(BTRCALL(BOPEN, o.block, o.buffer, len, name, 255, 1), kInvalidKeyNumber);
        ASSERT_EQ(BTRCALL(BOPEN, o.block, o.buffer, len, name, 255, 0), kSuccess);
        len = 20;
        EXPECT_EQ(BTRCALL(BGETEQUAL, o.block, o.buffer, len, key, 4, 1), kInvalidKeyNumber);
        EXPECT_EQ(BTRCALL(99, o.block, o.buffer, len, key, 4, 0), kInvalidOperation);
    }
    std::array<std::uint8_t, 4> dummy{};
    std::uint32_t zero = 0;
    EXPECT_EQ(BTRCALL(BSTOP, dummy, dummy, zero, dummy, 0, 0), kSuccess);
    EXPECT_EQ(h.get32(1), kNotOpen);
}

}  // namespace
}  // namespace gw::test
