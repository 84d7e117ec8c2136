#pragma once
// The records that name the record on screen: a button beside it that counts them ("Used by
// 6"), the list of them it opens, and the delete question that names them. Both window
// engines place one; the counts come from the world's reverse index.
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "records/references.h"

class QTreeWidget;

namespace gw {

class World;

class UsedByButton final : public QPushButton {
public:
    UsedByButton(World& world, RecordKind kind, QWidget* parent = nullptr);

    // The record on screen, or none. Until the index is ready the button says "Used by …" and
    // the index is built once the window has been drawn.
    void showFor(std::optional<RecordKey> key);
    // Counts again (the index may have been rebuilt or changed).
    void refresh() { showFor(key_); }
    // The list of referring records: type, key, name, field. Opens (or raises) its window;
    // a double-click on an entry opens that record in its own window.
    void openList();
    QWidget* listWindow() const { return list_; }

private:
    World& world_;
    RecordKind kind_;
    std::optional<RecordKey> key_;
    std::vector<std::pair<RecordKind, RecordKey>> listed_;  // the list's entries, in order
    QWidget* list_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    bool buildQueued_ = false;
};

// The Delete question for record `key` of `kind` called `name` (empty: no name): when others
// name it, says how many of which type ("Item 3 "Dusty Torch" is used by 6 records (4
// monsters, 1 shop, 1 room). Delete it anyway?"); otherwise the plain question.
QString deleteQuestion(World& world, RecordKind kind, const RecordKey& key, const QString& name);

// "Item 3", "Room 1:12", "User "Ann"": a record as the operator names it.
QString recordTitle(RecordKind kind, const RecordKey& key);

}  // namespace gw
