// Find in world over a small demo world with planted records.
#include "world/world_find.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "records/textblock_text.h"
#include "store_test_support.h"
#include "tools/data/demo_world.h"

namespace gw::world {
namespace {

using Strings = std::vector<std::string>;

struct Collected : FindSink {
    std::vector<FindHit> hits;
    Strings where;    // "Room 9001:1 Desc(3)" for each hit
    Strings matched;  // the matched text of each hit
    Strings unreadableFiles;
    std::size_t stopAfter = 0;  // hits; 0: never
    FindSummary summary;

    void found(const FindHit& h) override {
        hits.push_back(h);
        where.push_back(describeKey(h.kind, h.key) + " " + describeField(*h.field, h.index));
        matched.push_back(h.snippet.substr(h.matchStart, h.matchLength));
    }
    void unreadable(RecordKind, const std::string& path, const std::string&) override {
        unreadableFiles.push_back(std::filesystem::path(path).filename().string());
    }
    bool cancelled() override { return stopAfter && hits.size() >= stopAfter; }
};

class WorldFind : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_EQ(demo::buildDemoWorld(dir.path(""), demo::DemoSize::Small, &error),
                  status::kSuccess)
            << error;
    }
    void TearDown() override { stopRecordManager(); }

    // Inserts a record of `kind` holding only the given field values; "Desc:2" names entry 2
    // of a run.
    void plant(RecordKind kind, std::vector<std::pair<const char*, std::string>> values) {
        const RecordType& type = recordType(kind);
        RecordFile file(type);
        file.setFileName(dir.path(std::string(type.fileName())));
        ASSERT_EQ(file.open(""), status::kSuccess);
        std::fill(file.row().begin(), file.row().end(), 0);
        file.rowToRecord();
        auto entry = [&](const std::string& spec) {
            const auto colon = spec.find(':');
            const FieldInfo* f = type.field(spec.substr(0, colon));
            EXPECT_NE(f, nullptr) << spec;
            return std::pair(f,
                             colon == std::string::npos ? 0 : std::stoul(spec.substr(colon + 1)));
        };
        for (const auto& [name, value] : values) {
            auto [f, i] = entry(name);
            if (f && f->isText()) setText(file.record(), *f, i, value);
            if (f && !f->isText()) setInt(file.record(), *f, i, std::stoll(value));
        }
        ASSERT_EQ(file.call(BINSERT, ""), status::kSuccess) << type.name();
        ASSERT_EQ(file.close(""), status::kSuccess);
    }

    Collected find(const std::string& text, bool matchCase = false, bool wholeWord = false,
                   std::size_t stopAfter = 0) {
        Collected sink;
        sink.stopAfter = stopAfter;
        FindQuery q;
        q.text = text, q.matchCase = matchCase, q.wholeWord = wholeWord;
        sink.summary = findInWorld(worldFilesIn(dir.path("")), q, sink);
        return sink;
    }

    test::ScratchDir dir;
};

// One world for every query: a word in each kind of text field, a number in number fields,
// words for case, whole-word and Latin-1 matching.
TEST_F(WorldFind, TextAndNumberFieldsCaseWholeWordThreadsCancelAndAMissingFile) {
    plant(RecordKind::Race, {{"Name", "Qzorkin"}, {"Number", "901"}});
    plant(RecordKind::Item, {{"Name", "Lamp"}, {"Desc5", "a qzorkin lamp"}, {"Number", "90001"}});
    plant(RecordKind::Room,
          {{"Desc:2", "Here lies the qzorkin."}, {"MapNumber", "9001"}, {"RoomNumber", "1"}});
    plant(RecordKind::Message, {{"MessageLine2", "You feel QZORKIN near"}, {"Number", "90001"}});
    plant(RecordKind::Textblock,
          {{"Data", encodeTextblockData("once a\nQzorkin spoke")}, {"Number", "90001"}});
    plant(RecordKind::User, {{"BBSName", "Ann"}, {"LastName", "Qzorkin"}});
    plant(RecordKind::Shop, {{"Name", "Keys"}, {"Number", "90002"}, {"ShopItemNumber:3", "90001"}});
    plant(RecordKind::Message, {{"MessageLine1", "item 90001 is a key"}, {"Number", "90003"}});
    plant(RecordKind::Message,
          {{"MessageLine1", "Drakkon drakkonfly DRAKKON"}, {"Number", "90004"}});
    plant(RecordKind::Message,
          {{"MessageLine1", "x_drakkon \xC9LANDRE \xE9landres"}, {"Number", "90005"}});
    plant(RecordKind::Message, {{"MessageLine1", "drakkon\xE9"}, {"Number", "90006"}});

    // The editor searches on a worker thread while its windows open, read and write their own
    // files: the record manager's table of open files serves both.
    Collected c;
    std::thread search([&] {
        for (int i = 0; i < 5; ++i) c = find("qzorkin");
    });
    for (int i = 0; i < 20; ++i) {
        RecordFile races(recordType(RecordKind::Race));
        races.setFileName(dir.path("wccrace2.dat"));
        ASSERT_EQ(races.open(""), status::kSuccess);
        EXPECT_EQ(races.call(BGETFIRST, ""), status::kSuccess);
        EXPECT_EQ(races.call(BUPDATE, ""), status::kSuccess);
        ASSERT_EQ(races.close(""), status::kSuccess);
    }
    search.join();
    EXPECT_EQ(c.where, (Strings{"Race 901 Name", "Item 90001 Desc5", "Room 9001:1 Desc(3)",
                                "Message 90001 MessageLine2", "Textblock 90001 Data",
                                "User \"Ann\" LastName"}));
    EXPECT_EQ(c.matched,
              (Strings{"Qzorkin", "qzorkin", "qzorkin", "QZORKIN", "Qzorkin", "Qzorkin"}));
    {
        SCOPED_TRACE("a number: the field that holds it, where it leads, and texts naming it");
        const Collected n = find(" 90001 ");
        ASSERT_EQ(n.where, (Strings{"Item 90001 Number", "Shop 90002 ShopItemNumber(4)",
                                    "Message 90001 Number", "Message 90003 MessageLine1",
                                    "Textblock 90001 Number"}));
        EXPECT_TRUE(n.hits[1].reference && n.hits[1].reference->to == RecordKind::Item);
        EXPECT_EQ(n.hits[1].snippet, "90001");
    }
    const std::tuple<const char*, bool, bool, Strings> cases[] = {
        {"drakkon", false, false, {"Drakkon", "drakkon", "drakkon"}},
        {"DRAKKON", true, false, {"DRAKKON"}},
        {"drakkon", true, true, {}},  // "x_drakkon" and "drakkon\xE9" are inside words
        {"drakkon", false, true, {"Drakkon"}},
        {"\xE9landre", false, false, {"\xC9LANDRE"}},
        {"\xE9landre", false, true, {"\xC9LANDRE"}},
        {"\xC9LANDRES", true, false, {}},
        {"\xE9landres", true, true, {"\xE9landres"}},
    };
    for (const auto& [text, matchCase, wholeWord, matched] : cases) {
        SCOPED_TRACE(std::string(text) + (matchCase ? " case" : "") + (wholeWord ? " word" : ""));
        EXPECT_EQ(find(text, matchCase, wholeWord).matched, matched);
    }

    SCOPED_TRACE("cancelled after the first hit");
    const Collected cancelled = find("qzorkin", false, false, 1);
    EXPECT_TRUE(cancelled.summary.cancelled);
    EXPECT_EQ(cancelled.hits.size(), 1u);
    SCOPED_TRACE("the message file missing: the others are still searched");
    std::filesystem::remove(dir.path("wccmsg2.dat"));
    const Collected rest = find("qzorkin");
    EXPECT_EQ(rest.unreadableFiles, Strings{"wccmsg2.dat"});
    EXPECT_EQ(rest.where.size(), 5u);
}

}  // namespace
}  // namespace gw::world
