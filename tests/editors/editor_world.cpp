#include "editor_world.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <algorithm>
#include <cstring>

#include "records/text_fields.h"
#include "store/record_file.h"

namespace gw::test {

namespace {
template <std::size_t N>
void putName(std::array<char, N>& field, const std::string& name) {
    const std::string stored = zeroEnded(name, N);
    std::copy_n(stored.begin(), N, field.begin());
}
}  // namespace

Race makeRace(std::int16_t number, const std::string& name) {
    Race r{};
    r.Number = number;
    putName(r.Name, name);
    r.NameEnd = static_cast<std::uint8_t>(0x40 + number);
    const auto n = static_cast<std::int16_t>(number * 100);
    r.MinIntellect = n + 1, r.MinWillpower = n + 2, r.MinStrength = n + 3;
    r.MinHealth = n + 4, r.MinAgility = n + 5, r.MinCharm = n + 6;
    r.HpBonus = n + 7, r.Cp = n + 8, r.ExpChart = n + 9;
    r.MaxIntellect = n + 11, r.MaxWillpower = n + 12, r.MaxStrength = n + 13;
    r.MaxHealth = n + 14, r.MaxAgility = n + 15, r.MaxCharm = n + 16;
    for (int i = 0; i < 10; ++i) {
        r.AbilityA[i] = static_cast<std::int16_t>((number + i * 17) % 188);
        r.AbilityB[i] = static_cast<std::int16_t>(-number * 10 - i);
    }
    r.Reserved1 = 0x01010101 * number, r.Reserved2 = -2 * number, r.Reserved3 = 3 * number;
    r.Reserved4 = 4 * number, r.Reserved5 = 5 * number, r.Reserved6 = -6, r.Reserved7 = 7;
    return r;
}

Class makeClass(std::int16_t number, const std::string& name) {
    Class c{};
    c.Number = number;
    putName(c.Name, name);
    c.NameEnd = 0x7E;
    c.MinHP = 10, c.MaxHP = 5, c.Exp = 0, c.Combat = 2, c.TitleText = 40 + number;
    c.MagicType = 2, c.MagicLvL = 3, c.Weapon = 9, c.Armour = 7;
    c.Reserved1 = -1, c.Reserved2 = 2, c.Reserved3 = 3, c.Reserved4 = 4, c.Reserved5 = 5;
    c.Reserved6 = 6;
    for (int i = 0; i < 10; ++i) {
        c.AbilityA[i] = static_cast<std::int16_t>(187 - i - number);
        c.AbilityB[i] = static_cast<std::int16_t>(i * 1000 + number);
    }
    return c;
}

std::vector<std::uint8_t> rowOf(RecordKind kind, const void* record) {
    RecordFile scratch(recordType(kind));
    std::memcpy(scratch.record(), record, recordType(kind).recordSize());
    scratch.recordToRow();
    const auto row = scratch.row().first(recordType(kind).mappedLength());
    return {row.begin(), row.end()};
}

EditorWorld::EditorWorld() { testApplication(); }

EditorWorld::~EditorWorld() {
    for (RecordKind kind : allRecordKinds())
        if (world.file(kind).isOpen()) world.file(kind).close("BCLOSE, test, Error: ");
}

void EditorWorld::createFile(RecordKind kind) {
    const RecordType& type = recordType(kind);
    DataFileInfo info{std::string(type.name()), type.key(), type.dataLength(), kFormatVersion};
    ASSERT_EQ(createDataFile(std::string(type.fileName()), info, true), status::kSuccess);
    ASSERT_EQ(world.file(kind).open("BOPEN, test, Error: "), status::kSuccess);
}

void EditorWorld::insert(RecordKind kind, const void* record, std::uint8_t tail) {
    RecordFile& f = world.file(kind);
    std::memcpy(f.record(), record, f.type().recordSize());
    auto row = f.row();
    std::fill(row.begin() + static_cast<std::ptrdiff_t>(f.type().mappedLength()), row.end(), tail);
    ASSERT_EQ(f.call(BINSERT, "BINSERT, test, Error: "), status::kSuccess);
}

std::vector<std::uint8_t> EditorWorld::storedRow(RecordKind kind, std::int32_t number) {
    RecordFile& f = world.file(kind);
    if (f.getEqual32(number, "", {status::kKeyNotFound}) != status::kSuccess) return {};
    const auto row = f.row().first(std::min<std::size_t>(f.lengthRead(), f.row().size()));
    return {row.begin(), row.end()};
}

std::size_t EditorWorld::recordCount(RecordKind kind) {
    RecordFile& f = world.file(kind);
    std::size_t n = 0;
    for (Status s = f.call(BGETFIRST, "", {status::kEndOfFile}); s == status::kSuccess;
         s = f.call(BGETNEXT, "", {status::kEndOfFile}))
        ++n;
    return n;
}

void selectRow(QWidget* editor, int row) {
    auto* list = editor->findChild<QListView*>(QStringLiteral("lstDatabase"));
    ASSERT_NE(list, nullptr);
    list->setCurrentIndex(list->model()->index(row, 0));
}

int currentRow(QWidget* editor) {
    return editor->findChild<QListView*>(QStringLiteral("lstDatabase"))->currentIndex().row();
}

QStringList listTexts(QWidget* editor) {
    auto* model = editor->findChild<QListView*>(QStringLiteral("lstDatabase"))->model();
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r) texts << model->index(r, 0).data().toString();
    return texts;
}

QString boxText(QWidget* editor, const QString& name) {
    if (auto* box = editor->findChild<QLineEdit*>(name)) return box->text();
    if (auto* combo = editor->findChild<QComboBox*>(name)) return combo->currentText();
    ADD_FAILURE() << "no box " << name.toStdString();
    return {};
}

void setBoxText(QWidget* editor, const QString& name, const QString& text) {
    auto* box = editor->findChild<QLineEdit*>(name);
    ASSERT_NE(box, nullptr) << name.toStdString();
    box->setText(text);
}

void click(QWidget* editor, const QString& button) {
    auto* b = editor->findChild<QPushButton*>(button);
    ASSERT_NE(b, nullptr) << button.toStdString();
    b->click();
}

}  // namespace gw::test
