#include "navigator_fixture.h"

#include "records/records.h"
#include "store/record_manager.h"

namespace gw::test {

NavigatorTest::NavigatorTest() {
    testApplication();
    for (RecordKind kind : {RecordKind::Message, RecordKind::Textblock}) {
        const RecordType& type = recordType(kind);
        const DataFileInfo info{std::string(type.name()), type.key(), type.dataLength(),
                                kFormatVersion};
        EXPECT_EQ(createDataFile(std::string(type.fileName()), info), status::kSuccess);
        EXPECT_EQ(file(kind).open("open: "), status::kSuccess);
    }
}

NavigatorTest::~NavigatorTest() {
    window_.reset();
    for (RecordKind kind : {RecordKind::Message, RecordKind::Textblock})
        file(kind).close("close: ");
}

void NavigatorTest::insert(RecordKind kind, const std::function<void(RecordFile&)>& fill) {
    RecordFile& f = file(kind);
    std::fill(f.row().begin(), f.row().end(), std::uint8_t{0});
    f.rowToRecord();
    fill(f);
    ASSERT_EQ(f.call(BINSERT, "insert: "), status::kSuccess);
}

Row NavigatorTest::stored(RecordKind kind, std::int32_t number) {
    RecordFile& f = file(kind);
    if (f.getEqual32(number, "stored: ", {status::kKeyNotFound}) != status::kSuccess) return {};
    return Row(f.row().begin(), f.row().end());
}

std::vector<Row> NavigatorTest::all(RecordKind kind) {
    RecordFile& f = file(kind);
    std::vector<Row> rows;
    for (Status s = f.call(BGETFIRST, "all: ", {status::kEndOfFile}); s == status::kSuccess;
         s = f.call(BGETNEXT, "all: ", {status::kEndOfFile}))
        rows.emplace_back(f.row().begin(), f.row().end());
    return rows;
}

void NavigatorTest::open(QWidget* (*create)(World&, QWidget*)) {
    window_.reset(create(world_, nullptr));
    window_->show();
}

void NavigatorTest::click(const char* name) {
    auto* button = window_->findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

QLineEdit* NavigatorTest::box(const char* name) {
    auto* b = window_->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

}  // namespace gw::test
