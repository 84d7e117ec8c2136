#include "editors/catalogue_list.h"

#include "records/text_fields.h"
#include "shell/latin1.h"

namespace gw {

int CatalogueList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

QVariant CatalogueList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size()) return {};
    const Entry& e = entries_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) return e.text;
    if (role == NumberRole) return e.number;
    return {};
}

void CatalogueList::beginRebuild() {
    beginResetModel();
    entries_.clear();
    foldedNames_.clear();
}

void CatalogueList::add(std::int32_t number, std::string_view storedName) {
    entries_.push_back(makeEntry(number, storedName));
}

CatalogueList::Entry CatalogueList::makeEntry(std::int32_t number, std::string_view storedName) {
    const std::string_view name = shownText(storedName);
    Entry e;
    e.number = number;
    e.text.reserve(static_cast<qsizetype>(name.size()) + 14);
    e.text.append(QString::number(number)).append(QLatin1String("   ")).append(fromGame(name));
    // Only blanks count, as the game trims them; the number itself never holds one.
    const auto firstBlank = e.text.indexOf(QLatin1Char(' '));
    int start = firstBlank < 0 ? static_cast<int>(e.text.size()) : static_cast<int>(firstBlank) + 1;
    int end = static_cast<int>(e.text.size());
    while (start < end && e.text[start] == QLatin1Char(' ')) ++start;
    while (end > start && e.text[end - 1] == QLatin1Char(' ')) --end;
    e.nameStart = start;
    e.nameLength = end - start;
    return e;
}

void CatalogueList::endRebuild() { endResetModel(); }

void CatalogueList::removeEntry(int row) {
    if (row < 0 || row >= size()) return;
    beginRemoveRows({}, row, row);
    entries_.erase(entries_.begin() + row);
    if (!foldedNames_.empty()) foldedNames_.erase(foldedNames_.begin() + row);
    endRemoveRows();
}

QString CatalogueList::foldedName(const Entry& e) {
    return QStringView(e.text).mid(e.nameStart, e.nameLength).toString().toCaseFolded();
}

void CatalogueList::replaceEntry(int row, std::int32_t number, std::string_view storedName) {
    if (row < 0 || row >= size()) return;
    Entry& e = entries_[static_cast<std::size_t>(row)];
    e = makeEntry(number, storedName);
    if (!foldedNames_.empty()) foldedNames_[static_cast<std::size_t>(row)] = foldedName(e);
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed);
}

QString CatalogueList::namePart(int row) const {
    const Entry& e = entries_[static_cast<std::size_t>(row)];
    return e.text.mid(e.nameStart, e.nameLength);
}

int CatalogueList::rowOf(std::int32_t number) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [number](const Entry& e) { return e.number == number; });
    return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

int CatalogueList::findPrefix(const QString& prefix) const {
    if (foldedNames_.size() != entries_.size()) {
        foldedNames_.clear();
        foldedNames_.reserve(entries_.size());
        for (const Entry& e : entries_) foldedNames_.push_back(foldedName(e));
    }
    const QString folded = prefix.toCaseFolded();
    for (std::size_t i = 0; i < foldedNames_.size(); ++i)
        if (foldedNames_[i].startsWith(folded)) return static_cast<int>(i);
    return -1;
}

}  // namespace gw
