// The shared RecordFile and its four-step call: conversion around reads and writes, and the
// fields a list walk reads from the row.
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
// Rows of 24 bytes: eight past the mapped fields.
const RecordType kTiny{"Tiny", "tiny.dat", 24, KeySpec::int32(), kTinyFields};

class RecordFileTest : public StoreTest {
protected:
    static const FieldInfo& field(const char* name) { return *kTiny.field(name); }
    std::int64_t get(const char* name) const { return getInt(file.record(), field(name)); }
    RecordFile file{kTiny};
};

TEST_F(RecordFileTest, ConvertsAroundCallsAndListWalksReadTheRowOnly) {
    file.setFileName(dir.path("tiny.dat"));
    ASSERT_EQ(createDataFile(file.fileName(), {"Tiny", KeySpec::int32(), 24}), kSuccess);
    ASSERT_EQ(file.open("open: "), kSuccess);
    for (std::int32_t n : {5, 2, -9}) {  // each converted into the row before it is written
        setInt(file.record(), field("Number"), 0, n);
        setText(file.record(), field("Name"), 0, "N" + std::to_string(n));
        setInt(file.record(), field("Count"), 0, n * 10);
        ASSERT_EQ(file.call(BINSERT, "insert: "), kSuccess);
    }
    ASSERT_EQ(file.getEqual16(2, "get: "), kSuccess);  // a read fills the record from the row
    EXPECT_EQ(get("Number"), 2);
    EXPECT_EQ(getText(file.record(), field("Name")), "N2       ");
    EXPECT_EQ(get("Count"), 20);
    EXPECT_EQ(file.lengthRead(), 24u);
    EXPECT_EQ(file.getEqual32(100, "get: ", {kKeyNotFound}), kKeyNotFound);
    EXPECT_EQ(get("Number"), 2);  // a failed read leaves the record as it was

    SCOPED_TRACE("a list walk reads the row and leaves the record as converted last");
    ASSERT_EQ(file.readRow(BGETFIRST, "first: "), kSuccess);
    EXPECT_EQ(get("Number"), 2);
    EXPECT_EQ(rowInt(file.row(), field("Number")), -9);
    EXPECT_EQ(rowInt(file.row(), field("Count")), -90);
    EXPECT_EQ(rowText(file.row(), field("Name")), "N-9      ");
    EXPECT_EQ(file.readRow(BUPDATE, "update: "), kInvalidOperation);  // reads only
    // A row too short for a field reads as nothing, never past its end.
    const std::uint8_t shortRow[3] = {1, 2, 3};
    EXPECT_EQ(rowInt(shortRow, field("Number")), 0);
    EXPECT_EQ(rowText(shortRow, field("Name")), "");
    EXPECT_EQ(stopRecordManager(), kSuccess);
    EXPECT_FALSE(file.isOpen());
}

}  // namespace
}  // namespace gw::test
