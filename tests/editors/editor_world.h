#pragma once
// A scratch directory holding real data files, the world that opens them and the scripted
// dialogs it reports through: what every catalogue editor test starts from.
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "records/class.h"
#include "records/race.h"
#include "scripted_dialogs.h"
#include "shell/world.h"

class QWidget;

namespace gw::test {

// A race whose every field differs from its neighbours', unshown fields included.
Race makeRace(std::int16_t number, const std::string& name);
Class makeClass(std::int16_t number, const std::string& name);

// The bytes of a record as its file would store them (mapped fields only).
std::vector<std::uint8_t> rowOf(RecordKind kind, const void* record);

class EditorWorld {
public:
    EditorWorld();
    ~EditorWorld();

    // Creates the kind's data file holding these records and opens it in the world. `tail`
    // fills the row bytes that no field maps (the Class row's last 54).
    template <class Rec>
    void create(RecordKind kind, const std::vector<Rec>& records, std::uint8_t tail = 0) {
        createFile(kind);
        for (const Rec& r : records) insert(kind, &r, tail);
    }
    void createFile(RecordKind kind);
    void insert(RecordKind kind, const void* record, std::uint8_t tail = 0);

    // The stored row of a record, read through the world's file (which moves it, as any
    // name lookup would); empty when there is none.
    std::vector<std::uint8_t> storedRow(RecordKind kind, std::int32_t number);
    template <class Rec>
    Rec stored(RecordKind kind, std::int32_t number) {
        storedRow(kind, number);
        return world.file(kind).as<Rec>();
    }
    std::size_t recordCount(RecordKind kind);

    ScratchDirectory dir;
    ScriptedDialogs dialogs;
    World world{dialogs};
};

// Selects a list entry the way a click does.
void selectRow(QWidget* editor, int row);
int currentRow(QWidget* editor);
QStringList listTexts(QWidget* editor);
QString boxText(QWidget* editor, const QString& name);
void setBoxText(QWidget* editor, const QString& name, const QString& text);
void click(QWidget* editor, const QString& button);

}  // namespace gw::test
