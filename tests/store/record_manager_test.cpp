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

const DataFileInfo kShorts{"Race", KeySpec::int16(), 20};
const DataFileInfo kLongs{"Message", KeySpec::int32(), 20};
const DataFileInfo kRooms{"Room", KeySpec::int32Pair(), 24};
const DataFileInfo kUsers{"User", KeySpec::text(10), 16};

std::vector<std::int64_t> keysOf(const std::vector<Bytes>& rows, std::size_t width) {
    std::vector<std::int64_t> keys;
    for (const auto& r : rows) {
        std::int64_t v = 0;
        std::memcpy(&v, r.data(), width);
        if (width < 8 && (r[width - 1] & 0x80)) v |= ~std::int64_t{0} << (8 * width);
        keys.push_back(v);
    }
    return keys;
}

class RecordManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        std::array<std::uint8_t, 4> dummy{};
        std::uint32_t zero = 0;
        BTRCALL(BSTOP, dummy, dummy, zero, dummy, 0, 0);
    }
    ScratchDir dir;
};

TEST_F(RecordManagerTest, IntegerKeysOrderByValueWithBothEnds) {
    const std::string path = dir.path("race.dat");
    const std::vector<std::int16_t> keys{3, -5, 32767, -300, 0, -32768, 256};
    std::vector<Bytes> rows;
    for (auto k : keys) rows.push_back(int16Row(k, 20));
    makeFile(path, kShorts, rows);
    Handle h;
    ASSERT_EQ(h.open(path, 20), kSuccess);

    std::vector<std::int64_t> sorted(keys.begin(), keys.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(keysOf(walkAll(h), 2), sorted);
    {
        SCOPED_TRACE("next past the end keeps the last record current");
        EXPECT_EQ(h.read(BGETNEXT), kEndOfFile);
        ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);
        EXPECT_EQ(keysOf({h.row()}, 2)[0], 256);
    }
    {
        SCOPED_TRACE("backwards from the last");
        std::vector<std::int64_t> back;
        for (Status s = h.read(BGETLAST); s == kSuccess; s = h.read(BGETPREVIOUS))
            back.push_back(keysOf({h.row()}, 2)[0]);
        EXPECT_EQ(back, std::vector<std::int64_t>(sorted.rbegin(), sorted.rend()));
        EXPECT_EQ(h.read(BGETPREVIOUS), kEndOfFile);
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);
        EXPECT_EQ(keysOf({h.row()}, 2)[0], -300);
    }
    {
        SCOPED_TRACE("an empty file");
        const std::string empty = dir.path("empty.dat");
        makeFile(empty, kShorts, {});
        Handle e;
        ASSERT_EQ(e.open(empty, 20), kSuccess);
        EXPECT_EQ(e.read(BGETFIRST), kEndOfFile);
        EXPECT_EQ(e.read(BGETLAST), kEndOfFile);
        EXPECT_EQ(e.read(BGETNEXT), kNoCurrentRecord);
    }
}

TEST_F(RecordManagerTest, PairKeysOrderByMapThenRoomAndNeedEightBytes) {
    const std::string path = dir.path("rooms.dat");
    const std::vector<std::pair<std::int32_t, std::int32_t>> keys{
        {1, 0}, {0, INT32_MAX}, {-1, 5}, {1, -1}, {0, INT32_MIN}, {-1, -7}, {2, 1}};
    std::vector<Bytes> rows;
    for (auto [m, r] : keys) rows.push_back(pairRow(m, r, 24));
    makeFile(path, kRooms, rows);
    Handle h;
    ASSERT_EQ(h.open(path, 24), kSuccess);
    auto sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::pair<std::int32_t, std::int32_t>> walked;
    for (const auto& r : walkAll(h)) {
        std::int32_t m, room;
        std::memcpy(&m, r.data(), 4);
        std::memcpy(&room, r.data() + 4, 4);
        walked.emplace_back(m, room);
    }
    EXPECT_EQ(walked, sorted);
    {
        SCOPED_TRACE("key length 4 with the 8-byte map-and-room key finds that exact room");
        Bytes key = pairRow(1, -1, 8);
        ASSERT_EQ(h.getEqual(key, 4), kSuccess);
        EXPECT_EQ(h.row(), pairRow(1, -1, 24));
        EXPECT_EQ(h.getEqual(pairRow(1, 7, 8), 4), kKeyNotFound);
    }
    EXPECT_EQ(h.getEqual(le(1, 4), 4), kInvalidKeyBuffer);
}

TEST_F(RecordManagerTest, TextKeysOrderByteByByte) {
    const std::string path = dir.path("users.dat");
    const std::vector<std::string> keys{"abc",       "ab", "Zed", std::string("b\0xyz", 5),
                                        "\xE9t\xE9", ""};
    std::vector<Bytes> rows;
    for (const auto& k : keys) rows.push_back(textRow(k, 10, 16));
    makeFile(path, kUsers, rows);
    Handle h;
    ASSERT_EQ(h.open(path, 16), kSuccess);
    std::vector<std::string> walked;
    for (const auto& r : walkAll(h)) {
        std::string k(r.begin(), r.begin() + 10);
        k = k.substr(0, k.find('\0'));
        k.erase(k.find_last_not_of(' ') + 1);
        walked.push_back(k);
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"", "Zed", "ab", "abc", "b", "\xE9t\xE9"}));

    EXPECT_EQ(h.write(BINSERT, textRow("abc  ", 10, 16, 0x55)), kDuplicateKey);
    auto key = [](std::string s) { return Bytes(s.begin(), s.end()); };
    {
        SCOPED_TRACE("the first key-length bytes, cut at zero, trailing blanks removed");
        ASSERT_EQ(h.getEqual(key("abc  "), 5), kSuccess);
        EXPECT_EQ(h.row(), textRow("abc", 10, 16));
        ASSERT_EQ(h.getEqual(key("abcdef"), 3), kSuccess);
        EXPECT_EQ(h.row(), textRow("abc", 10, 16));
        ASSERT_EQ(h.getEqual(key(std::string("ab\0c", 4)), 4), kSuccess);
        EXPECT_EQ(h.row(), textRow("ab", 10, 16));
        EXPECT_EQ(h.getEqual(key("abcd"), 4), kKeyNotFound);
    }
    {
        SCOPED_TRACE("a key length past the buffer stops at the buffer");
        ASSERT_EQ(h.getEqual(key("ab"), 255), kSuccess);
        EXPECT_EQ(h.row(), textRow("ab", 10, 16));
    }
}

TEST_F(RecordManagerTest, IntegerKeyBuffersOfOtherWidths) {
    const std::string shorts = dir.path("spells.dat");
    const std::string longs = dir.path("messages.dat");
    makeFile(shorts, kShorts, {int16Row(5, 20), int16Row(-2, 20), int16Row(4464, 20)});
    makeFile(longs, kLongs, {int32Row(-2, 20), int32Row(65534, 20), int32Row(70000, 20)});
    Handle s, l;
    ASSERT_EQ(s.open(shorts, 20), kSuccess);
    ASSERT_EQ(l.open(longs, 20), kSuccess);
    {
        SCOPED_TRACE("a 16-bit buffer for a 32-bit key is a signed 16-bit number");
        ASSERT_EQ(l.getEqual(le(-2, 2), 2), kSuccess);
        EXPECT_EQ(l.row(), int32Row(-2, 20));
        EXPECT_EQ(l.getEqual(le(65534, 2), 2), kSuccess);  // 0xFFFE reads as -2
        EXPECT_EQ(l.row(), int32Row(-2, 20));
    }
    {
        SCOPED_TRACE("a 32-bit buffer for a 16-bit key gives its whole value");
        ASSERT_EQ(s.getEqual(le(5, 4), 4), kSuccess);
        EXPECT_EQ(s.row(), int16Row(5, 20));
        ASSERT_EQ(s.getEqual(le(-2, 4), 4), kSuccess);
        EXPECT_EQ(s.row(), int16Row(-2, 20));
        // 70000 is 4464 in its low 16 bits: it must not find record 4464.
        EXPECT_EQ(s.getEqual(le(70000, 4), 4), kKeyNotFound);
        EXPECT_EQ(s.getEqual(le(-70000, 4), 4), kKeyNotFound);
    }
    {
        SCOPED_TRACE("key length does not shorten an integer key");
        ASSERT_EQ(l.getEqual(le(70000, 4), 1), kSuccess);
        EXPECT_EQ(l.row(), int32Row(70000, 20));
    }
    EXPECT_EQ(l.getEqual(Bytes{}, 0), kInvalidKeyBuffer);
}

TEST_F(RecordManagerTest, UpdateMovesKeyOrIsRefusedAsDuplicate) {
    const std::string path = dir.path("m.dat");
    makeFile(path, kLongs, {int32Row(3, 20), int32Row(5, 20), int32Row(9, 20)});
    Handle h;
    ASSERT_EQ(h.open(path, 20), kSuccess);
    ASSERT_EQ(h.getEqual(le(5, 4), 4), kSuccess);
    {
        SCOPED_TRACE("moving to a key that exists changes nothing");
        EXPECT_EQ(h.write(BUPDATE, int32Row(3, 20, 0x77)), kDuplicateKey);
        Handle check;
        ASSERT_EQ(check.open(path, 20), kSuccess);
        EXPECT_EQ(walkAll(check),
                  (std::vector<Bytes>{int32Row(3, 20), int32Row(5, 20), int32Row(9, 20)}));
    }
    {
        SCOPED_TRACE("the refused update left the position on 5; a move to 7 succeeds");
        ASSERT_EQ(h.write(BUPDATE, int32Row(7, 12, 0x66)), kSuccess);
        EXPECT_EQ(h.getEqual(le(5, 4), 4), kKeyNotFound);
        ASSERT_EQ(h.getEqual(le(7, 4), 4), kSuccess);
        EXPECT_EQ(h.row(), int32Row(7, 12, 0x66));  // exactly the bytes written
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);
        EXPECT_EQ(h.row(), int32Row(9, 20));
    }
    {
        SCOPED_TRACE("the moved record stays current");
        ASSERT_EQ(h.getEqual(le(3, 4), 4), kSuccess);
        ASSERT_EQ(h.write(BUPDATE, int32Row(10, 20)), kSuccess);
        ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);
        EXPECT_EQ(h.row(), int32Row(9, 20));
    }
}

TEST_F(RecordManagerTest, DeleteStepsFromWhereTheRecordStood) {
    const std::string path = dir.path("d.dat");
    makeFile(path, kLongs, {int32Row(1, 20), int32Row(2, 20), int32Row(3, 20)});
    Handle h;
    ASSERT_EQ(h.open(path, 20), kSuccess);
    {
        SCOPED_TRACE("no current record yet");
        EXPECT_EQ(h.write(BUPDATE, int32Row(1, 20)), kNoCurrentRecord);
        EXPECT_EQ(h.remove(), kNoCurrentRecord);
        EXPECT_EQ(h.read(BGETNEXT), kNoCurrentRecord);
    }
    ASSERT_EQ(h.getEqual(le(2, 4), 4), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    {
        SCOPED_TRACE("the deleted record is no longer current");
        EXPECT_EQ(h.remove(), kNoCurrentRecord);
        EXPECT_EQ(h.write(BUPDATE, int32Row(2, 20)), kNoCurrentRecord);
    }
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);
    EXPECT_EQ(h.row(), int32Row(3, 20));
    ASSERT_EQ(h.getEqual(le(1, 4), 4), kSuccess);
    ASSERT_EQ(h.remove(), kSuccess);
    EXPECT_EQ(h.read(BGETPREVIOUS), kEndOfFile);
    ASSERT_EQ(h.read(BGETNEXT), kSuccess);
    EXPECT_EQ(h.row(), int32Row(3, 20));
}

TEST_F(RecordManagerTest, DataBuffersAndSpans) {
    const std::string path = dir.path("b.dat");
    makeFile(path, kLongs, {int32Row(1, 10), int32Row(2, 20)});
    Handle h;
    ASSERT_EQ(h.open(path, 20), kSuccess);
    {
        SCOPED_TRACE("a shorter row is copied and the rest of the buffer zeroed");
        Bytes buf(20, 0xAA);
        std::uint32_t len = 20;
        Bytes key = le(1, 4);
        ASSERT_EQ(BTRCALL(BGETEQUAL, h.block, buf, len, key, 4, 0), kSuccess);
        EXPECT_EQ(len, 10u);
        Bytes expected = int32Row(1, 10);
        expected.resize(20, 0);
        EXPECT_EQ(buf, expected);
    }
    {
        SCOPED_TRACE("a longer row is refused and the buffer left alone");
        Bytes buf(30, 0xAA);
        std::uint32_t len = 12;
        Bytes key = le(2, 4);
        EXPECT_EQ(BTRCALL(BGETEQUAL, h.block, buf, len, key, 4, 0), kDataBufferTooShort);
        EXPECT_EQ(buf, Bytes(30, 0xAA));
        // The span, not the length passed, bounds the buffer.
        std::span<std::uint8_t> small(buf.data(), 12);
        len = 1000;
        EXPECT_EQ(BTRCALL(BGETNEXT, h.block, small, len, key, 4, 0), kDataBufferTooShort);
        EXPECT_EQ(buf, Bytes(30, 0xAA));
        ASSERT_EQ(h.read(BGETNEXT), kSuccess);  // the position stayed on record 1
        EXPECT_EQ(h.row(), int32Row(2, 20));
    }
    {
        SCOPED_TRACE("writes with a data length outside the buffer, key or record length");
        Bytes row = int32Row(3, 20);
        Bytes scratch(255, 0);
        std::span<std::uint8_t> part(row.data(), 8);
        std::uint32_t len = 20;
        EXPECT_EQ(BTRCALL(BINSERT, h.block, part, len, scratch, 255, 0), kInvalidDataLength);
        len = 3;
        EXPECT_EQ(BTRCALL(BINSERT, h.block, row, len, scratch, 255, 0), kInvalidDataLength);
        Bytes longRow = int32Row(3, 21);
        len = 21;
        EXPECT_EQ(BTRCALL(BINSERT, h.block, longRow, len, scratch, 255, 0), kInvalidDataLength);
        EXPECT_EQ(h.getEqual(le(3, 4), 4), kKeyNotFound);
        ASSERT_EQ(h.getEqual(le(2, 4), 4), kSuccess);
        len = 2;
        EXPECT_EQ(BTRCALL(BUPDATE, h.block, row, len, scratch, 255, 0), kInvalidDataLength);
        ASSERT_EQ(h.getEqual(le(2, 4), 4), kSuccess);
        EXPECT_EQ(h.row(), int32Row(2, 20));
    }
}

TEST_F(RecordManagerTest, RandomRowsRoundTrip) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const std::string path = dir.path("r.dat");
    const DataFileInfo info{"Item", KeySpec::int32(), 300};
    ASSERT_EQ(createDataFile(path, info), kSuccess);
    Handle h;
    ASSERT_EQ(h.open(path, 300), kSuccess);
    std::map<std::int32_t, Bytes> model;
    std::uniform_int_distribution<std::int32_t> keyDist(-100, 100);
    std::uniform_int_distribution<int> lenDist(4, 300), byteDist(0, 255), opDist(0, 3);
    for (int i = 0; i < 800; ++i) {
        const std::int32_t k = keyDist(rng);
        Bytes row(static_cast<std::size_t>(lenDist(rng)));
        for (auto& b : row) b = static_cast<std::uint8_t>(byteDist(rng));
        std::memcpy(row.data(), &k, 4);
        const bool exists = model.count(k) > 0;
        switch (opDist(rng)) {
            case 0:
                ASSERT_EQ(h.write(BINSERT, row), exists ? kDuplicateKey : kSuccess);
                if (!exists) model[k] = row;
                break;
            case 1:
                if (h.getEqual(le(k, 4), 4) != kSuccess) break;
                ASSERT_EQ(h.write(BUPDATE, row), kSuccess);
                model[k] = row;
                break;
            case 2:
                ASSERT_EQ(h.getEqual(le(k, 4), 4), exists ? kSuccess : kKeyNotFound);
                if (!exists) break;
                ASSERT_EQ(h.row(), model[k]);
                ASSERT_EQ(h.remove(), kSuccess);
                model.erase(k);
                break;
            default: {
                auto it = model.upper_bound(k);
                if (h.getEqual(le(k, 4), 4) != kSuccess) break;
                const Status s = h.read(BGETNEXT);
                ASSERT_EQ(s, it == model.end() ? kEndOfFile : kSuccess);
                if (s == kSuccess) {
                    ASSERT_EQ(h.row(), it->second);
                }
            }
        }
    }
    std::vector<Bytes> expected;
    for (const auto& [k, r] : model) expected.push_back(r);
    EXPECT_EQ(walkAll(h), expected);
    std::vector<Bytes> back;
    for (Status s = h.read(BGETLAST); s == kSuccess; s = h.read(BGETPREVIOUS))
        back.push_back(h.row());
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, expected);
}

TEST_F(RecordManagerTest, AnotherConnectionsCommitsShowInAWalk) {
    // A file some other program switched to WAL keeps its commits out of the main file's
    // header, so the read-ahead must not be trusted there.
    for (const bool wal : {false, true}) {
        SCOPED_TRACE(wal ? "WAL journal" : "rollback journal");
        const std::string path = dir.path(wal ? "wal.dat" : "w.dat");
        std::vector<Bytes> rows;
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
        ASSERT_EQ(writer.getEqual(le(2, 4), 4), kSuccess);
        ASSERT_EQ(writer.write(BUPDATE, int32Row(2, 20, 0x99)), kSuccess);
        ASSERT_EQ(writer.getEqual(le(3, 4), 4), kSuccess);
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
    const std::string path = dir.path("t.dat");
    makeFile(path, kLongs, {int32Row(1, 20), int32Row(2, 20)});
    Handle h;
    ASSERT_EQ(h.open(path, 20), kSuccess);
    EXPECT_EQ(endTransaction(h.block, true), kNoTransaction);
    {
        SCOPED_TRACE("rolled back: inserts, updates and deletes all undone");
        ASSERT_EQ(beginTransaction(h.block), kSuccess);
        EXPECT_EQ(beginTransaction(h.block), kTransactionActive);
        ASSERT_EQ(h.getEqual(le(1, 4), 4), kSuccess);
        ASSERT_EQ(h.write(BUPDATE, int32Row(1, 20, 0x5A)), kSuccess);
        ASSERT_EQ(h.getEqual(le(2, 4), 4), kSuccess);
        ASSERT_EQ(h.remove(), kSuccess);
        ASSERT_EQ(h.write(BINSERT, int32Row(3, 20)), kSuccess);
        ASSERT_EQ(endTransaction(h.block, false), kSuccess);
        EXPECT_EQ(walkAll(h), (std::vector<Bytes>{int32Row(1, 20), int32Row(2, 20)}));
    }
    {
        SCOPED_TRACE("a record inserted in the rolled-back work is not current afterwards");
        ASSERT_EQ(beginTransaction(h.block), kSuccess);
        ASSERT_EQ(h.write(BINSERT, int32Row(7, 20)), kSuccess);
        ASSERT_EQ(endTransaction(h.block, false), kSuccess);
        EXPECT_EQ(h.write(BUPDATE, int32Row(7, 20)), kNoCurrentRecord);
        ASSERT_EQ(h.read(BGETPREVIOUS), kSuccess);
        EXPECT_EQ(h.row(), int32Row(2, 20));
    }
    {
        SCOPED_TRACE("a record deleted in the rolled-back work is current again");
        ASSERT_EQ(beginTransaction(h.block), kSuccess);
        ASSERT_EQ(h.remove(), kSuccess);
        ASSERT_EQ(endTransaction(h.block, false), kSuccess);
        EXPECT_EQ(h.write(BUPDATE, int32Row(2, 20, 0x21)), kSuccess);
    }
    {
        SCOPED_TRACE("committed: visible to another open");
        auto load = [&] {
            for (std::int32_t k = 10; k < 20; ++k)
                if (Status s = h.write(BINSERT, int32Row(k, 20)); s != kSuccess) return s;
            return h.write(BINSERT, int32Row(1, 20));  // a duplicate: the whole load fails
        };
        EXPECT_EQ(inTransaction(h.block, load), kDuplicateKey);
        Handle other;
        ASSERT_EQ(other.open(path, 20), kSuccess);
        EXPECT_EQ(walkAll(other).size(), 2u);
        EXPECT_EQ(inTransaction(h.block, [&] { return h.write(BINSERT, int32Row(30, 20)); }),
                  kSuccess);
        EXPECT_EQ(walkAll(other).size(), 3u);
    }
}

TEST_F(RecordManagerTest, PositionBlocksAndStop) {
    const std::string path = dir.path("p.dat");
    makeFile(path, kLongs, {int32Row(1, 20)});
    Handle zeroed;
    {
        SCOPED_TRACE("a zeroed block on every operation but open and stop");
        for (std::uint16_t op : {BCLOSE, BINSERT, BUPDATE, BDELETE, BGETEQUAL, BGETNEXT,
                                 BGETPREVIOUS, BGETFIRST, BGETLAST}) {
            SCOPED_TRACE(op);
            Bytes data = int32Row(1, 20);
            Bytes key = le(1, 4);
            std::uint32_t len = 20;
            EXPECT_EQ(BTRCALL(op, zeroed.block, data, len, key, 4, 0), kNotOpen);
        }
        EXPECT_EQ(beginTransaction(zeroed.block), kNotOpen);
        EXPECT_FALSE(openFileInfo(zeroed.block).has_value());
    }
    Handle h;
    ASSERT_EQ(h.open(path, 20), kSuccess);
    EXPECT_EQ(h.open(path, 20), kAlreadyOpen);
    const auto info = openFileInfo(h.block);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->recordType, "Message");
    EXPECT_EQ(info->key, KeySpec::int32());
    EXPECT_EQ(info->recordLength, 20u);
    EXPECT_EQ(info->formatVersion, static_cast<int>(kFormatVersion));
    {
        SCOPED_TRACE("a stale block after close, even when its slot is reused");
        const auto stale = h.block;
        ASSERT_EQ(h.close(), kSuccess);
        EXPECT_EQ(h.block, (std::array<std::uint8_t, kPositionBlockSize>{}));
        Handle again;
        ASSERT_EQ(again.open(path, 20), kSuccess);
        auto old = stale;
        std::uint32_t len = 20;
        Bytes key = le(1, 4);
        Bytes data(20);
        EXPECT_EQ(BTRCALL(BGETEQUAL, old, data, len, key, 4, 0), kNotOpen);
        EXPECT_EQ(again.getEqual(le(1, 4), 4), kSuccess);
        EXPECT_EQ(again.getEqual(le(1, 4), 4), kSuccess);
        std::array<std::uint8_t, 4> dummy{};
        std::uint32_t zero = 0;
        EXPECT_EQ(BTRCALL(BSTOP, dummy, dummy, zero, dummy, 0, 0), kSuccess);
        EXPECT_EQ(again.getEqual(le(1, 4), 4), kNotOpen);
    }
    {
        SCOPED_TRACE("open arguments");
        Handle o;
        EXPECT_EQ(o.open(""), kInvalidFileName);
        Bytes name(path.begin(), path.end());  // no zero byte: the span ends the name
        std::uint32_t len = 0;
        EXPECT_EQ(BTRCALL(BOPEN, o.block, o.buffer, len, name, 255, 0), kSuccess);
        std::array<std::uint8_t, 16> small{};
        EXPECT_EQ(BTRCALL(BOPEN, small, o.buffer, len, name, 255, 0), kInvalidPositionBlock);
        Handle k;
        EXPECT_EQ(BTRCALL(BOPEN, k.block, k.buffer, len, name, 255, 1), kInvalidKeyNumber);
        EXPECT_EQ(o.getEqual(le(1, 4), 4), kSuccess);
        Bytes key = le(1, 4);
        len = 20;
        EXPECT_EQ(BTRCALL(BGETEQUAL, o.block, o.buffer, len, key, 4, 1), kInvalidKeyNumber);
        EXPECT_EQ(BTRCALL(99, o.block, o.buffer, len, key, 4, 0), kInvalidOperation);
    }
}

}  // namespace
}  // namespace gw::test
