#pragma once
// The entries of a catalogue editor's list: "number, three blanks, name up to its zero byte",
// each keeping its record number. The case-folded name parts are made at the first search and
// kept beside the entries, so that opening a window does not pay for them and a keystroke walks
// ten thousand entries without building a string.
#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

namespace gw {

class CatalogueList final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // The number kept with each entry, as item data.
    static constexpr int NumberRole = Qt::UserRole;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Building the list: begin, add each record, end (one model reset for the lot).
    void beginRebuild();
    void add(std::int32_t number, std::string_view storedName);
    void endRebuild();

    void removeEntry(int row);
    // The entry at `row` made anew for the record as now stored (a save may renumber or
    // rename it); it keeps its place.
    void replaceEntry(int row, std::int32_t number, std::string_view storedName);

    int size() const { return static_cast<int>(entries_.size()); }
    std::int32_t number(int row) const { return entries_[static_cast<std::size_t>(row)].number; }
    const QString& text(int row) const { return entries_[static_cast<std::size_t>(row)].text; }
    // The text after the entry's first blank, blanks removed at both ends.
    QString namePart(int row) const;

    // The entry of that record number; -1 if none.
    int rowOf(std::int32_t number) const;
    // The first entry whose name part begins with the prefix, letter case aside; -1 if none.
    int findPrefix(const QString& prefix) const;

private:
    struct Entry {
        std::int32_t number;
        QString text;
        int nameStart;  // where the trimmed name part begins in text
        int nameLength;
    };
    static Entry makeEntry(std::int32_t number, std::string_view storedName);
    static QString foldedName(const Entry& e);
    std::vector<Entry> entries_;
    mutable std::vector<QString> foldedNames_;  // empty until the first search
};

}  // namespace gw
