// The shared RecordFile and its four-step call: conversion around reads and writes, and the
// report of unexpected statuses.
#include "store/record_file.h"

#include <gtest/gtest.h>

#include "store_test_support.h"

namespace gw::test {
namespace {

using namespace status;

constexpr FieldSpec kTinyFields[] = {{"Number", kIntegerField, 4},
                                     {"Name", kTextField, 9},
                                     {"NameEnd", kByteField, 1},
                                     {"Count", kIntegerField, 2}};
// Eight bytes past the mapped fields, which the conversion must carry through.
const RecordType kTiny{"Tiny", "tiny.dat", 24, KeySpec::int32(), kTinyFields};

struct FakeReporter : StatusReporter {
    std::vector<std::string> messages;
    void report(const std::string& message) override { messages.push_back(message); }
};

class RecordFileTest : public StoreTest {
protected:
    void SetUp() override {
        file.setFileName(dir.path("tiny.dat"));
        file.setReporter(&reporter);
    }
    void createAndOpen() {
        ASSERT_EQ(createDataFile(file.fileName(), {"Tiny", KeySpec::int32(), 24}), kSuccess);
        ASSERT_EQ(file.open("BOPEN: "), kSuccess);
    }
    void setRecord(std::int32_t number, std::string_view name, std::int16_t count) {
        setInt(file.record(), *kTiny.field("Number"), 0, number);
        setText(file.record(), *kTiny.field("Name"), 0, name);
        setInt(file.record(), *kTiny.field("Count"), 0, count);
    }
    std::int64_t get(const char* name) const { return getInt(file.record(), *kTiny.field(name)); }

    FakeReporter reporter;
    RecordFile file{kTiny};
};

// A list walk reads only the row: the record stays the one converted last, and the fields
// read from the row are those a conversion would give, negative numbers included.
TEST_F(RecordFileTest, ReadRowLeavesTheRecordAndReadsFieldsFromTheRow) {
    createAndOpen();
    for (std::int32_t n : {-70000, 5}) {
        setRecord(n, n < 0 ? "Negative" : "Five", std::int16_t(n));
        ASSERT_EQ(file.call(BINSERT, "BINSERT: "), kSuccess);
    }
    ASSERT_EQ(file.getEqual32(5, "BGETEQUAL: "), kSuccess);
    ASSERT_EQ(file.readRow(BGETFIRST, "BGETFIRST: "), kSuccess);
    EXPECT_EQ(get("Number"), 5);  // the record read before
    EXPECT_EQ(rowInt(file.row(), *kTiny.field("Number")), -70000);
    EXPECT_EQ(rowInt(file.row(), *kTiny.field("Count")), std::int16_t(-70000));
    EXPECT_EQ(rowText(file.row(), *kTiny.field("Name")), "Negative ");
    EXPECT_EQ(file.readRow(BUPDATE, "BUPDATE: "), kInvalidOperation);  // reads only
    // A row too short for a field reads as nothing, never past its end.
    const std::uint8_t shortRow[3] = {1, 2, 3};
    EXPECT_EQ(rowInt(shortRow, *kTiny.field("Number")), 0);
    EXPECT_EQ(rowText(shortRow, *kTiny.field("Name")), "");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(RecordFileTest, ConvertsAfterReadsAndBeforeWrites) {
    createAndOpen();
    for (std::int32_t n : {5, -2, 9}) {
        setRecord(n, "N" + std::to_string(n), static_cast<std::int16_t>(n * 10));
        ASSERT_EQ(file.call(BINSERT, "insert: "), kSuccess);
    }
    setRecord(0, "", 0);
    ASSERT_EQ(file.getEqual16(-2, "get: "), kSuccess);  // a read fills the record from the row
    EXPECT_EQ(get("Number"), -2);
    EXPECT_EQ(getText(file.record(), *kTiny.field("Name")), "N-2      ");
    EXPECT_EQ(get("Count"), -20);
    EXPECT_EQ(file.lengthRead(), 24u);
    {
        SCOPED_TRACE("bytes past the mapped fields survive an update");
        std::fill(file.row().begin() + 16, file.row().end(), std::uint8_t{0xAB});
        setInt(file.record(), *kTiny.field("Count"), 0, 77);
        ASSERT_EQ(file.call(BUPDATE, "update: "), kSuccess);
        std::fill(file.row().begin(), file.row().end(), std::uint8_t{0});
        ASSERT_EQ(file.getEqual32(-2, "get: "), kSuccess);
        EXPECT_EQ(get("Count"), 77);
        EXPECT_EQ(Bytes(file.row().begin() + 16, file.row().end()), Bytes(8, 0xAB));
    }
    EXPECT_EQ(file.getEqual32(100, "get: ", {kKeyNotFound}), kKeyNotFound);
    EXPECT_EQ(get("Number"), -2);  // a failed read leaves the record as it was
    std::vector<std::int64_t> walked;
    for (Status s = file.call(BGETFIRST, "first: "); s == kSuccess;
         s = file.call(BGETNEXT, "next: ", {kEndOfFile}))
        walked.push_back(get("Number"));
    EXPECT_EQ(walked, (std::vector<std::int64_t>{-2, 5, 9}));
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
    EXPECT_EQ(stopRecordManager(), kSuccess);
    EXPECT_FALSE(file.isOpen());
}

}  // namespace
}  // namespace gw::test
