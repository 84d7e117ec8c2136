#pragma once
// The editor's history: every write it makes (a save, an insert, a delete) kept as the rows
// before and after, so that the operator can take it back and do it again while the program
// runs. A write enters the history once it has succeeded. Taking it back writes the row
// before; where another program changed the record since, only the fields the write changed
// go back, and what the other program changed stays as it has it.
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "records/records.h"
#include "records/references.h"

class QWidget;

namespace gw {

class RecordFile;
class World;

// One record's write: its stored row before (empty: the write inserted it) and after (empty:
// the write deleted it).
struct RowChange {
    RecordKind kind;
    std::vector<std::uint8_t> before, after;
};

// The row the file holds now, for a RowChange.
std::vector<std::uint8_t> rowOf(const RecordFile& file);

class History final : public QObject {
public:
    explicit History(World& world);
    ~History() override;

    QUndoStack& stack() { return stack_; }

    // Enters writes that have been made as one entry, taken back and done again as one. The
    // text defaults to the first change's description.
    void wrote(std::vector<RowChange> changes, const QString& text = {});
    void wrote(RowChange change) { wrote(std::vector<RowChange>{std::move(change)}); }
    // Enters a renumbering made through World::renumber: taken back by renumbering the record
    // back, so that every field naming it follows again, in all files or none.
    void renumbered(RecordKind kind, const RecordKey& from, const RecordKey& to,
                    const QString& text);

    // "save of Race 3 "Elf" (Name, MaxHP)", "insert of Item 12", "delete of Item 12".
    static QString describe(const RowChange& change);

private:
    class Entry;
    // Writes every change's row before (undo) or after (redo); false when one was refused or
    // failed, after the changes already written were put back.
    bool replay(const std::vector<RowChange>& changes, bool undo);
    bool renumber(RecordKind kind, const RecordKey& from, const RecordKey& to, const QString& text,
                  bool undo);
    // Makes the stored record `wanted` (empty: no record), expecting it to be `expected`.
    bool put(RecordKind kind, std::span<const std::uint8_t> expected,
             std::span<const std::uint8_t> wanted, bool undo);
    // An entry that could not be replayed: the position goes back to just before it.
    void stopAt(const Entry* entry, bool undo);
    void push(Entry* entry);

    World& world_;
    QUndoStack stack_;
    bool quiet_ = false;  // entries are entered or the position is put back: nothing is written
    bool halted_ = false;
    int haltIndex_ = 0;
};

// The History window (frmHistory): the entries, the current position marked; a click on an
// entry takes the history back or forth to it.
QWidget* createHistoryWindow(World& world, QWidget* parent = nullptr);

}  // namespace gw
