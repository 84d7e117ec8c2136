#include "editors/catalogue_editor.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "editors/catalogue_list.h"
#include "records/number_text.h"
#include "records/references.h"
#include "records/text_fields.h"
#include "shell/dialogs.h"
#include "shell/form_layout.h"
#include "shell/latin1.h"
#include "shell/name_lookups.h"
#include "shell/used_by.h"
#include "shell/world.h"
#include "store/record_file.h"
#include "world/renumber.h"

namespace gw {

namespace {
// What the list shows of the row the file holds: its number and stored name.
struct Listed {
    std::int32_t number;
    std::string_view name;
};
Listed listedOf(const RecordFile& f, const CatalogueDescription& description) {
    const FieldInfo& number = *f.type().field(description.numberField);
    const FieldInfo& name = *f.type().field(description.nameField);
    return {static_cast<std::int32_t>(rowInt(f.row(), number)), rowText(f.row(), name)};
}
}  // namespace

CatalogueEditor::CatalogueEditor(World& world, const CatalogueDescription& description,
                                 QWidget* form, QWidget* parent)
    : QWidget(parent), world_(world), description_(description) {
    setObjectName(QString::fromLatin1(description.windowName));
    setWindowTitle(QString::fromLatin1(description.caption));

    search_ = new QLineEdit;
    search_->setObjectName(QStringLiteral("txtSearch"));
    search_->setPlaceholderText(QStringLiteral("Search"));
    search_->installEventFilter(this);

    list_ = new CatalogueList(this);
    listView_ = new QListView;
    listView_->setObjectName(QStringLiteral("lstDatabase"));
    listView_->setModel(list_);
    listView_->setUniformItemSizes(true);
    listView_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView_->setMinimumWidth(listView_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 36);
    // The current row, not the selection: arrow keys in the list then behave like clicks.
    connect(listView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) lstDatabaseClick(current.row());
            });

    insert_ = new QPushButton(QStringLiteral("Insert"));
    insert_->setObjectName(QStringLiteral("cmdInsert"));
    connect(insert_, &QPushButton::clicked, this, [this] { cmdInsertClick(); });
    delete_ = new QPushButton(QStringLiteral("Delete"));
    delete_->setObjectName(QStringLiteral("cmdDelete"));
    connect(delete_, &QPushButton::clicked, this, [this] { cmdDeleteClick(); });
    renumber_ = new QPushButton(QStringLiteral("Renumber…"));
    renumber_->setObjectName(QStringLiteral("cmdRenumber"));
    renumber_->setToolTip(
        QStringLiteral("Give this record another number, and every record "
                       "that names it the new one"));
    connect(renumber_, &QPushButton::clicked, this, [this] { cmdRenumberClick(); });

    usedBy_ = new UsedByButton(world_, description.kind);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert_);
    buttons->addWidget(delete_);
    buttons->addWidget(renumber_);
    auto* left = new QVBoxLayout;
    left->addWidget(search_);
    left->addWidget(listView_, 1);
    left->addLayout(buttons);
    left->addWidget(usedBy_);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(form, 1);

    // The search box and the list from the keyboard, wherever the focus is in the window.
    search_->setToolTip(QStringLiteral("Type the start of a name (Alt+S)"));
    listView_->setToolTip(QStringLiteral("Every record by number and name (Alt+L)"));
    onKey(this, QKeySequence(Qt::ALT | Qt::Key_S), [this] { search_->setFocus(); });
    onKey(this, QKeySequence(Qt::ALT | Qt::Key_L), [this] { listView_->setFocus(); });

    formWidget_ = form;
    form_ = std::make_unique<RecordForm>(form, file().type(), description.bindings, &world_);
    for (DeferredPage* page : form->findChildren<DeferredPage*>()) {
        page->onBuilt = [this](QWidget* built) {
            const LookupReports reports(world_, lookupReported_);
            form_->adopt(built);
            if (form_->shownRecord() && description_.hooks.afterShow)
                description_.hooks.afterShow(*this);
            // What the new controls show now is the record as shown, not an edit.
            form_->markShown(built);
        };
    }

    world_.events().followRecords(
        this, description_.kind,
        [this](const QByteArray& key, bool& may) { askBeforeReplaced(key, may); },
        [this](const QByteArray& key) { followWrite(key); });

    if (description.loadTiming == LoadTiming::BeforeShow) formLoad();
}

CatalogueEditor::~CatalogueEditor() = default;

RecordFile& CatalogueEditor::file() { return world_.file(description_.kind); }

void CatalogueEditor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window is on screen while its list is built, as the game's Race editor does it.
    if (!firstShowDone_ && description_.loadTiming == LoadTiming::AfterShow) {
        firstShowDone_ = true;
        formLoad();
    }
}

void CatalogueEditor::closeEvent(QCloseEvent* event) {
    // A save that failed with edits on screen keeps the window open if the operator says so;
    // the main window's shutdown then stops too, with every file still open. A window that
    // does not save on closing asks first, and only when there are edits to lose.
    if (loaded_ && currentIndex_ >= 0 && form_->hasEdits()) {
        Answer answer = Answer::Yes;
        if (!description_.saveOnClose)
            answer = askSaveOnClose(world_.dialogs(), shown_.label(file().type(), true));
        if (answer == Answer::Cancel ||
            (answer == Answer::Yes && !mayGoOnAfter(saveRecord(currentIndex_)))) {
            event->ignore();
            return;
        }
    }
    // Closing can be asked twice (the frame, then the main window's shutdown): one save.
    currentIndex_ = -1;
    event->accept();
}

void CatalogueEditor::formLoad(std::optional<std::int32_t> show) {
    loaded_ = false;
    if (description_.hooks.beforeLoad) description_.hooks.beforeLoad(*this);
    currentIndex_ = -1;
    loadList();
    // With no entry the boxes belong to no record: nothing typed there could be kept.
    formWidget_->setEnabled(list_->size() > 0);
    if (list_->size() == 0) {
        usedBy_->showFor(std::nullopt);
        return;  // nothing shown, nothing to save: the flag stays false
    }
    selectEntry(show ? std::max(list_->rowOf(*show), 0) : 0);
    loaded_ = true;
}

void CatalogueEditor::loadList() {
    RecordFile& f = file();
    list_->beginRebuild();
    // One committed state for the whole walk: quicker than the look for other writers at
    // every step, and the list never mixes two states of a file the game writes meanwhile.
    // Without it (the file locked) the walk goes on step by step.
    const bool snapshot = beginSnapshot(f.positionBlock()) == status::kSuccess;
    // Only the number and the name of each row are needed: no whole-record conversion.
    Status s = f.readRow(BGETFIRST, description_.messages.loadFirst);
    // Without a first record there is no position to walk on from.
    int failuresInRow = s == status::kSuccess ? 0 : 2;
    while (failuresInRow < 2) {
        // A failed read leaves the previous record in memory: it is not listed again.
        if (s == status::kSuccess) {
            const Listed listed = listedOf(f, description_);
            list_->add(listed.number, listed.name);
            failuresInRow = 0;
        }
        s = f.readRow(BGETNEXT, description_.messages.loadNext, {status::kEndOfFile});
        if (s == status::kEndOfFile) break;
        // A second failure in a row ends the walk instead of repeating it without end.
        if (s != status::kSuccess) ++failuresInRow;
    }
    if (snapshot) endTransaction(f.positionBlock(), false);
    list_->endRebuild();
}

void CatalogueEditor::showRecord() {
    RecordFile& f = file();
    f.rowToRecord();
    // Before the hooks: their name lookups may read this same file.
    shown_.remember(f);
    deletedReported_ = false;
    repair(f.record());
    // However many name boxes a missing file leaves empty, a visit reports it once.
    const LookupReports reports(world_, lookupReported_);
    if (description_.hooks.beforeShow) description_.hooks.beforeShow(*this);
    form_->show(f.record());
    if (description_.hooks.afterShow) description_.hooks.afterShow(*this);
    form_->markShown();
    usedBy_->showFor(recordKeyOf(f.type(), f.record()));
}

RecordKey CatalogueEditor::keyAt(int row) const {
    RecordKey key;
    key.kind = world_.file(description_.kind).type().key().kind;
    key.number = list_->number(row);
    return key;
}

void CatalogueEditor::repair(void* record) const {
    form_->repair(record);
    if (description_.hooks.repair) description_.hooks.repair(record);
}

Status CatalogueEditor::readListed(int row) {
    RecordFile& f = file();
    const Status s =
        f.getEqual32(list_->number(row), description_.messages.reread, {status::kKeyNotFound});
    if (s == status::kKeyNotFound)
        reportDeletedElsewhere(
            world_.dialogs(),
            QString::fromLatin1(f.type().name().data(), qsizetype(f.type().name().size())) + u' ' +
                QString::number(list_->number(row)));
    return s;
}

CatalogueEditor::SaveResult CatalogueEditor::saveRecord(int row) {
    if (row < 0 || row >= list_->size()) return SaveResult::NotRead;
    // Stepping and searching write nothing: a save touches the file only for edits.
    if (!form_->hasEdits()) return SaveResult::Saved;
    RecordFile& f = file();
    SaveEdits how;
    how.prefix = description_.messages.update;
    // Another window or a name lookup may have moved the file: the record on screen is read
    // again by its key, and nothing is written when it cannot be found, so that the update
    // never lands on another record.
    how.reread = [&] {
        return f.getEqual32(list_->number(row), description_.messages.reread,
                            {status::kKeyNotFound});
    };
    how.shownRecord = form_->shownRecord();
    how.edited = form_->editedFields();
    how.collect = [&](void* record) {
        QStringList refusals = form_->collect(record);
        if (description_.hooks.afterCollect) description_.hooks.afterCollect(*this);
        return refusals;
    };
    how.repair = [this](void* record) { repair(record); };
    SavedEdits saved = shown_.saveEdits(f, how);
    if (description_.reportRefusals) reportRefusals(world_.dialogs(), saved.refusals);
    switch (saved.outcome) {
        case SavedEdits::Outcome::Saved:
            reportOverwrittenChanges(world_.dialogs(), saved.overwritten);
            showSaved(row, {description_.kind, std::move(saved.before), std::move(saved.after)});
            return SaveResult::Saved;
        case SavedEdits::Outcome::Gone:
            return saveDeletedElsewhere(row);
        case SavedEdits::Outcome::UpdateFailed:
            return SaveResult::UpdateFailed;
        case SavedEdits::Outcome::NotRead:
        case SavedEdits::Outcome::Refused:
            break;
    }
    return SaveResult::NotRead;
}

void CatalogueEditor::showSaved(int row, RowChange change) {
    world_.history().wrote(std::move(change));
    world_.recordWritten(description_.kind, keyAt(row), file().record());
    // The entry follows the record: a save may have given it another number or name.
    const Listed listed = listedOf(file(), description_);
    list_->replaceEntry(row, listed.number, listed.name);
    showRecord();
    tellWritten(file().row());
}

void CatalogueEditor::tellWritten(std::span<const std::uint8_t> row) {
    world_.events().recordWritten(description_.kind, keyBytesOfRow(file().type(), row));
}

CatalogueEditor::SaveResult CatalogueEditor::saveDeletedElsewhere(int row) {
    switch (askInsertDeletedAgain(world_.dialogs(), shown_.label(file().type(), false))) {
        case Answer::Cancel:
            return SaveResult::Kept;
        case Answer::No:
            return SaveResult::Discarded;
        case Answer::Yes:
            break;
    }
    QStringList refusals;
    const Status s = insertShownAgain(
        file(), form_->shownRecord(), description_.messages.insert,
        [this](void* record) { return form_->collect(record); }, refusals);
    if (description_.reportRefusals) reportRefusals(world_.dialogs(), refusals);
    if (s != status::kSuccess) return SaveResult::UpdateFailed;
    showSaved(row, {description_.kind, {}, rowOf(file())});
    return SaveResult::Saved;
}

bool CatalogueEditor::mayGoOnAfter(SaveResult result) {
    switch (result) {
        case SaveResult::Saved:
        case SaveResult::Discarded:
            return true;
        case SaveResult::Kept:
            return false;
        case SaveResult::NotRead:
        case SaveResult::UpdateFailed:
            break;
    }
    return !form_->hasEdits() || !keepEditsAfterFailedSave(world_.dialogs());
}

void CatalogueEditor::showChangesMadeElsewhere() {
    usedBy_->refresh();
    if (!loaded_ || currentIndex_ < 0 || currentIndex_ >= list_->size() || form_->hasEdits())
        return;
    RecordFile& f = file();
    // A look nobody asked for: if the game holds the file, it says nothing and shows nothing.
    const Status read = [&] {
        QuietCalls quiet(f);
        return f.getEqual32(list_->number(currentIndex_), "");
    }();
    if (read == status::kKeyNotFound && !deletedReported_) {
        // Said once: the message box makes the window active again.
        deletedReported_ = true;
        reportDeletedElsewhere(world_.dialogs(), shown_.label(f.type(), false));
        dropCurrentEntry();
    } else if (read == status::kSuccess && shown_.changedElsewhere(f)) {
        showRecord();
    }
}

void CatalogueEditor::lstDatabaseClick(int row) {
    if (row < 0 || row >= list_->size() || restoringSelection_) return;
    if (loaded_ && !mayGoOnAfter(saveRecord(currentIndex_))) {
        // The edits stay on screen, and so does the entry they belong to.
        selectShownEntry();
        return;
    }
    // When the chosen record cannot be read the boxes still hold the one before: the current
    // index and the highlight stay with it, so that the next save writes them back where they
    // came from.
    if (readListed(row) != status::kSuccess) {
        selectShownEntry();
        return;
    }
    currentIndex_ = row;
    lookupReported_ = false;  // a visit begins
    showRecord();
}

namespace {
// Catalogue files are keyed by a 16- or 32-bit number, stored little-endian.
std::int32_t storedKeyNumber(std::span<const std::uint8_t> keyBytes) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(keyBytes.size(), 4); ++i)
        bits |= std::uint32_t{keyBytes[i]} << (8 * i);
    return keyBytes.size() == 2 ? std::int32_t{static_cast<std::int16_t>(bits)}
                                : static_cast<std::int32_t>(bits);
}
std::int32_t storedKeyNumber(const QByteArray& key) {
    return storedKeyNumber(std::span(reinterpret_cast<const std::uint8_t*>(key.data()),
                                     static_cast<std::size_t>(key.size())));
}
}  // namespace

void CatalogueEditor::goToStoredKey(std::span<const std::uint8_t> keyBytes) {
    if (const int row = list_->rowOf(storedKeyNumber(keyBytes)); row >= 0) selectEntry(row);
}

void CatalogueEditor::askBeforeReplaced(const QByteArray& key, bool& may) {
    if (!may || !loaded_ || currentIndex_ < 0 || !form_->hasEdits() ||
        list_->number(currentIndex_) != storedKeyNumber(key))
        return;
    if (!discardEditsForHistory(world_.dialogs(), shown_.label(file().type(), true))) {
        may = false;
        return;
    }
    // The edits go at once: the record as stored shows again.
    const Status read = readListed(currentIndex_);
    if (read == status::kSuccess)
        showRecord();
    else if (read == status::kKeyNotFound)
        dropCurrentEntry();
    else
        may = false;
}

void CatalogueEditor::followWrite(const QByteArray& key) {
    if (description_.loadTiming == LoadTiming::AfterShow && !firstShowDone_) return;
    const std::int32_t number = storedKeyNumber(key);
    const int row = list_->rowOf(number);
    RecordFile& f = file();
    const Status read = [&] {
        QuietCalls quiet(f);
        return f.getEqual32(number, "");
    }();
    // Held by the game: the window shows it when it becomes active again.
    if (read != status::kSuccess && read != status::kKeyNotFound) return;
    const bool found = read == status::kSuccess;
    if (found && row >= 0) {
        const Listed listed = listedOf(f, description_);
        list_->replaceEntry(row, listed.number, listed.name);
        if (row == currentIndex_ && !form_->hasEdits() && shown_.changedElsewhere(f)) showRecord();
        return;
    }
    if (!found && row < 0) return;
    // An entry comes or goes: the list is built again around the record on screen.
    if (!loaded_ || currentIndex_ < 0 || row == currentIndex_) {
        formLoad();
        return;
    }
    const std::int32_t shown = list_->number(currentIndex_);
    loadList();
    currentIndex_ = list_->rowOf(shown);
    if (currentIndex_ < 0) {
        formLoad();
        return;
    }
    selectShownEntry();
}

void CatalogueEditor::selectShownEntry() {
    restoringSelection_ = true;
    selectEntry(currentIndex_);
    restoringSelection_ = false;
}

void CatalogueEditor::selectEntry(int row) {
    const QModelIndex index = list_->index(row, 0);
    listView_->setCurrentIndex(index);
    listView_->scrollTo(index);
}

bool CatalogueEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        // One key-up per press: held keys repeat their presses, not their release.
        if (!key->isAutoRepeat()) txtSearchKeyUp(key->key());
    }
    return QWidget::eventFilter(watched, event);
}

void CatalogueEditor::txtSearchKeyUp(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Left:
        case Qt::Key_Right:
            return;
        case Qt::Key_Backspace:
            if (!searchPrefix_.isEmpty()) searchPrefix_.chop(1);
            break;
        default: {
            // Read before the focus moves: leaving the box clears its selection, and the
            // completed rest of the name would become part of the prefix.
            const QString text = search_->text();
            searchPrefix_ = text.left(text.size() - search_->selectedText().size());
            if (key == Qt::Key_Down) listView_->setFocus();
        }
    }
    const int match = list_->findPrefix(searchPrefix_);
    if (match >= 0) {
        // The entry on screen found again is taken as a click on it: saved and shown anew.
        if (match == listView_->currentIndex().row())
            lstDatabaseClick(match);
        else
            selectEntry(match);
        search_->setText(list_->namePart(match));
    }
    // The completed rest of the name is selected, so the next typed letter replaces it.
    const int start =
        std::min(static_cast<int>(searchPrefix_.size()), static_cast<int>(search_->text().size()));
    const int row = listView_->currentIndex().row();
    const int length = row >= 0 ? static_cast<int>(list_->text(row).size()) : 0;
    if (length > 0 && start < search_->text().size())
        search_->setSelection(start, length);
    else
        search_->setCursorPosition(start);
}

void CatalogueEditor::cmdInsertClick() {
    if (list_->size() == 0) {
        world_.dialogs().message(
            QStringLiteral("The list is empty: Insert makes a copy of the record on screen, "
                           "and there is none. Nothing was inserted."));
        return;
    }
    RecordFile& f = file();
    const FieldInfo& number = *f.type().field(description_.numberField);
    const std::int64_t proposal = proposedInsertNumber(number);
    // The copy is of the record on screen as stored (its edits saved first); if it cannot be
    // read again the record in memory is some other one, so nothing is inserted. Read last:
    // the row read carries the bytes beyond the fields into the copy.
    const SaveResult saved = saveRecord(currentIndex_);
    if (saved == SaveResult::NotRead || saved == SaveResult::Discarded || !mayGoOnAfter(saved))
        return;
    if (readListed(currentIndex_) != status::kSuccess) return;
    const QString prompt = QString::fromLatin1(description_.insertPrompt);
    const QString answer =
        world_.dialogs().askText(prompt, QStringLiteral("Insert"), QString::number(proposal));
    if (answer.isEmpty()) return;

    const auto value = parseInRange(toGame(answer), number.minValue(), number.maxValue());
    if (!value) {
        world_.dialogs().message(
            QStringLiteral("%1 \"%2\" is not a whole number from %3 to %4; nothing was "
                           "inserted.")
                .arg(prompt, answer, QString::number(number.minValue()),
                     QString::number(number.maxValue())));
        return;
    }
    if (const std::string refusal = newNumberRefusal(f.type(), *value); !refusal.empty()) {
        world_.dialogs().message(
            QStringLiteral("%1 %2; nothing was inserted.").arg(prompt, fromGame(refusal)));
        return;
    }
    const FieldInfo& name = *f.type().field(description_.nameField);
    setInt(f.record(), number, 0, *value);
    setText(f.record(), name, 0, zeroEnded(description_.insertName, name.width));
    if (description_.hooks.prepareInsert) description_.hooks.prepareInsert(*this);
    if (f.call(BINSERT, description_.messages.insert) != status::kSuccess) return;
    const std::vector<std::uint8_t> inserted = rowOf(f);
    world_.history().wrote({description_.kind, {}, inserted});
    world_.recordWritten(description_.kind, recordKeyOf(f.type(), f.record()), f.record());
    formLoad();
    tellWritten(inserted);
}

std::int64_t CatalogueEditor::proposedInsertNumber(const FieldInfo& number) {
    // Enter on the proposal should make a record nothing else has and that can be named:
    // one above the highest number in the file, or else the lowest free one from 1 up. The
    // file's last key, not the list's, counts: the game may have added records since.
    const std::int64_t lowest = std::max<std::int64_t>(1, number.minValue());
    std::int64_t highest = list_->size() > 0 ? list_->number(list_->size() - 1) : lowest - 1;
    RecordFile& f = file();
    {
        QuietCalls quiet(f);
        if (f.readRow(BGETLAST, "") == status::kSuccess) highest = rowInt(f.row(), number);
    }
    if (highest < lowest) return lowest;
    if (highest < number.maxValue()) return highest + 1;
    std::int64_t candidate = lowest;
    for (int row = 0; row < list_->size() && list_->number(row) <= candidate; ++row)
        if (list_->number(row) == candidate) ++candidate;
    return candidate <= number.maxValue() ? candidate : 0;
}

void CatalogueEditor::cmdDeleteClick() {
    if (list_->size() == 0) {
        world_.dialogs().message(
            QStringLiteral("The list is empty: there is no record to delete."));
        return;
    }
    RecordFile& f = file();
    const bool saveFirst = description_.deleteStyle == DeleteStyle::SaveThenRebuild;
    if (saveFirst) {
        const SaveResult saved = saveRecord(currentIndex_);
        if (saved == SaveResult::NotRead || !mayGoOnAfter(saved)) return;
    }
    const RecordKey key = keyAt(currentIndex_);
    const QString question =
        deleteQuestion(world_, description_.kind, key, list_->namePart(currentIndex_));
    if (!world_.dialogs().question(question, QStringLiteral("Delete Record?"))) return;
    // The delete removes the record the file is positioned on: read the record on screen
    // again so that no other record is deleted. Deleted by another program meanwhile, it is
    // gone all the same.
    const Status read = readListed(currentIndex_);
    if (read != status::kSuccess && read != status::kKeyNotFound) return;
    std::vector<std::uint8_t> before;
    if (read == status::kSuccess) {
        before = rowOf(f);
        if (f.call(BDELETE, description_.messages.remove) != status::kSuccess) return;
        world_.history().wrote({description_.kind, before, {}});
    }
    world_.recordWritten(description_.kind, key, nullptr);
    if (saveFirst)
        formLoad();
    else
        dropCurrentEntry();
    if (!before.empty()) tellWritten(before);
}

void CatalogueEditor::dropCurrentEntry() {
    // The controls still hold the deleted record: nothing may be saved from them.
    loaded_ = false;
    list_->removeEntry(currentIndex_);
    currentIndex_ = -1;
    if (list_->size() == 0) {
        formWidget_->setEnabled(false);
        return;
    }
    if (listView_->currentIndex().row() == 0)
        lstDatabaseClick(0);
    else
        selectEntry(0);
    loaded_ = true;
}

void CatalogueEditor::cmdRenumberClick() {
    if (list_->size() == 0) {
        world_.dialogs().message(
            QStringLiteral("The list is empty: there is no record to renumber."));
        return;
    }
    const SaveResult saved = saveRecord(currentIndex_);
    if (saved == SaveResult::NotRead || saved == SaveResult::Discarded || !mayGoOnAfter(saved))
        return;
    const FieldInfo& number = *file().type().field(description_.numberField);
    const RecordKey from = keyAt(currentIndex_);
    QString title = recordTitle(description_.kind, from);
    if (const QString name = list_->namePart(currentIndex_); !name.isEmpty())
        title += QStringLiteral(" \"%1\"").arg(name);
    const std::int64_t lowest = std::max<std::int64_t>(1, number.minValue());
    const auto answer = world_.dialogs().askNumber(
        QStringLiteral("New number for %1 (%2 to %3):")
            .arg(title, QString::number(lowest), QString::number(number.maxValue())),
        QStringLiteral("Renumber"), proposedInsertNumber(number), lowest, number.maxValue());
    if (!answer) return;
    RecordKey to = from;
    to.number = *answer;

    // The library's refusal is the message: it names the record, the file or the field.
    auto refused = [this, &title](const world::Renumbering& r) {
        world_.dialogs().message(
            QStringLiteral("%1 was not renumbered: %2.").arg(title, fromGame(r.message)));
    };
    const std::filesystem::path dir = world_.directory();
    const world::Renumbering plan = world::renumber(dir, description_.kind, from, to, true);
    if (plan.outcome != world::RenumberOutcome::Done) return refused(plan);
    QStringList changes;
    for (const world::RenumberChange& c : plan.changes)
        changes << fromGame(world::describeChange(c));
    // A long list stays readable: its start in the question, all of it one click away.
    constexpr qsizetype kShown = 12;
    QString shown = changes.mid(0, kShown).join(u'\n');
    if (changes.size() > kShown)
        shown += QStringLiteral("\n… and %1 more").arg(changes.size() - kShown);
    const QString question =
        QStringLiteral("Renumber %1 to %2? %3 %4 in %5 %6 change:\n\n%7")
            .arg(title, QString::number(*answer), QString::number(changes.size()),
                 changes.size() == 1 ? QStringLiteral("field") : QStringLiteral("fields"),
                 QString::number(plan.files),
                 plan.files == 1 ? QStringLiteral("file") : QStringLiteral("files"), shown);
    if (!world_.dialogs().questionWithDetails(
            question, QStringLiteral("Renumber Record?"),
            changes.size() > kShown ? changes.join(u'\n') : QString()))
        return;
    const world::Renumbering done = world_.renumber(description_.kind, from, to);
    if (done.outcome != world::RenumberOutcome::Done) return refused(done);
    world_.history().renumbered(
        description_.kind, from, to,
        QStringLiteral("renumber of %1 to %2").arg(title, QString::number(*answer)));

    // Every window was told of the rewrite, this one too: its list is built again already and
    // only has to show the record under its new number.
    if (const int row = list_->rowOf(static_cast<std::int32_t>(*answer)); row >= 0)
        selectEntry(row);
    else
        formLoad(static_cast<std::int32_t>(*answer));
}

}  // namespace gw
