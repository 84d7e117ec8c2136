// Find in world over a small demo world with planted records.
#include "world/world_find.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "records/textblock_text.h"
#include "store_test_support.h"
#include "tools/data/demo_world.h"

namespace gw::world {
namespace {

using test::ScratchDir;

struct Collected : FindSink {
    std::vector<FindHit> hits;
    std::vector<std::string> unreadableFiles;
    std::size_t stopAfter = 0;  // hits; 0: never
    FindSummary summary;

    void found(const FindHit& hit) override { hits.push_back(hit); }
    void unreadable(RecordKind, const std::string& path, const std::string&) override {
        unreadableFiles.push_back(std::filesystem::path(path).filename().string());
    }
    bool cancelled() override { return stopAfter && hits.size() >= stopAfter; }

    // "Room 9001:1 Desc(3)" for each hit.
    std::vector<std::string> where() const {
        std::vector<std::string> out;
        for (const FindHit& h : hits)
            out.push_back(describeKey(h.kind, h.key) + " " + describeField(*h.field, h.index));
        return out;
    }
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

    // Inserts a record of `kind` holding only the given texts and numbers; "Desc:2" names
    // entry 2 of a run.
    void plant(RecordKind kind, std::vector<std::pair<const char*, std::string>> texts,
               std::vector<std::pair<const char*, std::int64_t>> numbers) {
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
        for (const auto& [name, value] : texts)
            if (auto [f, i] = entry(name); f) setText(file.record(), *f, i, value);
        for (const auto& [name, value] : numbers)
            if (auto [f, i] = entry(name); f) setInt(file.record(), *f, i, value);
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

    ScratchDir dir;
};

TEST_F(WorldFind, AWordInEachKindOfTextField) {
    plant(RecordKind::Race, {{"Name", "Qzorkin"}}, {{"Number", 901}});
    plant(RecordKind::Item, {{"Name", "Lamp"}, {"Desc5", "a qzorkin lamp"}}, {{"Number", 90001}});
    plant(RecordKind::Room, {{"Desc:2", "Here lies the qzorkin."}},
          {{"MapNumber", 9001}, {"RoomNumber", 1}});
    plant(RecordKind::Message, {{"MessageLine2", "You feel QZORKIN near"}}, {{"Number", 90001}});
    plant(RecordKind::Textblock, {{"Data", encodeTextblockData("once a\nQzorkin spoke")}},
          {{"Number", 90001}});
    plant(RecordKind::User, {{"BBSName", "Ann"}, {"LastName", "Qzorkin"}}, {});

    const Collected c = find("qzorkin");
    EXPECT_EQ(c.where(),
              (std::vector<std::string>{"Race 901 Name", "Item 90001 Desc5", "Room 9001:1 Desc(3)",
                                        "Message 90001 MessageLine2", "Textblock 90001 Data",
                                        "User \"Ann\" LastName"}));
    ASSERT_EQ(c.hits.size(), 6u);
    EXPECT_EQ(c.hits[1].recordName, "Lamp");
    EXPECT_EQ(c.hits[1].snippet, "a qzorkin lamp");
    EXPECT_EQ(c.hits[1].snippet.substr(c.hits[1].matchStart, c.hits[1].matchLength), "qzorkin");
    EXPECT_EQ(c.hits[4].snippet.substr(c.hits[4].matchStart, c.hits[4].matchLength), "Qzorkin");
    EXPECT_EQ(c.hits[5].keyBytes.size(), 30u);
    EXPECT_TRUE(c.unreadableFiles.empty());
}

TEST_F(WorldFind, CaseWholeWordAndLatin1) {
    plant(RecordKind::Message, {{"MessageLine1", "Drakkon drakkonfly DRAKKON"}},
          {{"Number", 90001}});
    plant(RecordKind::Message, {{"MessageLine1", "x_drakkon \xC9LANDRE \xE9landres"}},
          {{"Number", 90002}});
    plant(RecordKind::Message, {{"MessageLine1", "drakkon\xE9"}}, {{"Number", 90003}});
    struct Case {
        const char* text;
        bool matchCase, wholeWord;
        std::vector<std::string> snippetsMatched;  // the matched text of each hit
    } cases[] = {
        {"drakkon", false, false, {"Drakkon", "drakkon", "drakkon"}},
        {"DRAKKON", true, false, {"DRAKKON"}},
        {"drakkon", true, true, {}},  // "x_drakkon" and "drakkon\xE9" are inside words
        {"drakkon", false, true, {"Drakkon"}},
        {"\xE9landre", false, false, {"\xC9LANDRE"}},
        {"\xE9landre", false, true, {"\xC9LANDRE"}},
        {"\xC9LANDRES", true, false, {}},
        {"\xE9landres", true, true, {"\xE9landres"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.matchCase ? " case" : "") +
                     (c.wholeWord ? " word" : ""));
        const Collected found = find(c.text, c.matchCase, c.wholeWord);
        std::vector<std::string> matched;
        for (const FindHit& h : found.hits)
            matched.push_back(h.snippet.substr(h.matchStart, h.matchLength));
        EXPECT_EQ(matched, c.snippetsMatched);
    }
}

TEST_F(WorldFind, ANumberInNumberFieldsWithWhereItLeads) {
    plant(RecordKind::Item, {{"Name", "Key"}}, {{"Number", 90001}});
    plant(RecordKind::Shop, {{"Name", "Keys"}}, {{"Number", 90002}, {"ShopItemNumber:3", 90001}});
    plant(RecordKind::Message, {{"MessageLine1", "item 90001 is a key"}}, {{"Number", 90003}});
    const Collected c = find(" 90001 ");
    EXPECT_EQ(c.where(),
              (std::vector<std::string>{"Item 90001 Number", "Shop 90002 ShopItemNumber(4)",
                                        "Message 90003 MessageLine1"}));
    ASSERT_EQ(c.hits.size(), 3u);
    ASSERT_NE(c.hits[1].reference, nullptr);
    EXPECT_EQ(c.hits[1].reference->to, RecordKind::Item);
    EXPECT_EQ(c.hits[1].snippet, "90001");
}

TEST_F(WorldFind, CancelAndAMissingFile) {
    for (int n = 1; n <= 3; ++n)
        plant(RecordKind::Message, {{"MessageLine1", "plorb"}}, {{"Number", 90000 + n}});
    plant(RecordKind::User, {{"BBSName", "plorb"}}, {});
    const Collected cancelled = find("plorb", false, false, 1);
    EXPECT_TRUE(cancelled.summary.cancelled);
    EXPECT_EQ(cancelled.hits.size(), 1u);
    // The message file missing: the others are still searched.
    std::filesystem::remove(dir.path("wccmsg2.dat"));
    const Collected c = find("plorb");
    EXPECT_EQ(c.unreadableFiles, std::vector<std::string>{"wccmsg2.dat"});
    EXPECT_EQ(c.where(), std::vector<std::string>{"User \"plorb\" BBSName"});
}

// The editor searches on a worker thread while its windows open, read and write their own
// files: the record manager's table of open files serves both.
TEST_F(WorldFind, ASearchOnAnotherThreadBesideTheEditorsOwnCalls) {
    plant(RecordKind::Message, {{"MessageLine1", "snorgle"}}, {{"Number", 90001}});
    std::size_t hits = 0;
    std::thread search([&] {
        for (int i = 0; i < 5; ++i) hits += find("snorgle").hits.size();
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
    EXPECT_EQ(hits, 5u);
}

}  // namespace
}  // namespace gw::world
