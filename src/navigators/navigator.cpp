#include "navigators/navigator.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <limits>
#include <utility>

#include "records/number_text.h"
#include "records/references.h"
#include "shell/dialogs.h"
#include "shell/form_layout.h"
#include "shell/latin1.h"
#include "shell/name_lookups.h"
#include "shell/record_form.h"
#include "shell/used_by.h"
#include "shell/world.h"
#include "store/record_file.h"
#include "world/world_scan.h"

namespace gw {

SearchKey searchKeyOfRow(const KeySpec& key, std::span<const std::uint8_t> row) {
    const std::size_t width = std::min<std::size_t>(key.width, row.size());
    SearchKey out;
    out.bytes.assign(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(width));
    switch (key.kind) {
        case KeyKind::Int16:
        case KeyKind::Int32:
            out.length = static_cast<std::uint16_t>(width);
            break;
        case KeyKind::Int32Pair:
            out.length = 4;
            break;
        case KeyKind::Text: {
            auto end = std::find(out.bytes.begin(), out.bytes.end(), std::uint8_t{0});
            while (end != out.bytes.begin() && *(end - 1) == ' ') --end;
            out.bytes.erase(end, out.bytes.end());
            out.length = static_cast<std::uint16_t>(out.bytes.size());
            break;
        }
    }
    return out;
}

SearchKey int32Key(std::initializer_list<std::int32_t> parts) {
    SearchKey key;
    for (std::int32_t part : parts)
        for (int i = 0; i < 4; ++i)
            key.bytes.push_back(static_cast<std::uint8_t>(std::uint32_t(part) >> (8 * i)));
    key.length = 4;
    return key;
}

std::optional<std::int32_t> readInt32(const QString& text, const QString& boxName,
                                      QString& refusal) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    if (auto value = parseInRange(toGame(text), kMin, kMax))
        return static_cast<std::int32_t>(*value);
    refusal = QStringLiteral("%1: \"%2\" is not a whole number from %3 to %4.")
                  .arg(boxName, text, QString::number(kMin), QString::number(kMax));
    return std::nullopt;
}

Navigator::Navigator(World& world, const NavigatorDescription& description, QWidget* parent)
    : QWidget(parent),
      world_(world),
      description_(description),
      file_(world.file(description.kind)),
      dialogs_(world.dialogs()) {
    setObjectName(QString::fromLatin1(description.windowName));
    setWindowTitle(QString::fromLatin1(description.caption));
    world_.events().followRecords(
        this, description_.kind,
        [this](const QByteArray& key, bool& may) { askBeforeReplaced(key, may); },
        [this](const QByteArray& key) { followWrite(key); });
}

bool Navigator::shows(const QByteArray& key) const {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(key.data()),
                                              static_cast<std::size_t>(key.size()));
    return shown_ && searchKeyOfRow(file_.type().key(), bytes).bytes == shown_->bytes;
}

void Navigator::askBeforeReplaced(const QByteArray& key, bool& may) {
    if (!may || !description_.writes || !hasEdits() || !shows(key)) return;
    if (!discardEditsForHistory(dialogs_, shownRecord_.label(file_.type(), true))) {
        may = false;
        return;
    }
    // The edits go at once: the record as stored shows again (deleted meanwhile, nothing).
    const Status read = positionOnShown(description_.reports.goTo, {status::kKeyNotFound});
    if (read == status::kSuccess)
        showRecord();
    else if (read == status::kKeyNotFound)
        forgetShown();
    else
        may = false;
}

void Navigator::followWrite(const QByteArray& key) {
    if (hasEdits() || !shows(key)) return;
    const Status read = [&] {
        QuietCalls quiet(file_);
        return positionOnShown("");
    }();
    if (read == status::kSuccess && shownRecord_.changedElsewhere(file_)) {
        showRecord();
    } else if (read == status::kKeyNotFound) {
        // The record on screen is gone (an insert taken back): the first one takes its place.
        forgetShown();
        first();
    }
}

void Navigator::open() {
    if (file_.call(BGETFIRST, description_.reports.open) == status::kSuccess) showRecord();
}

void Navigator::first() { move(BGETFIRST, description_.reports.first, false); }
void Navigator::previous() { move(BGETPREVIOUS, description_.reports.previous, true); }
void Navigator::next() { move(BGETNEXT, description_.reports.next, true); }
void Navigator::last() { move(BGETLAST, description_.reports.last, false); }

void Navigator::move(std::uint16_t operation, const char* prefix, bool relative) {
    const SaveOutcome saved = saveRecord();
    if (saved == SaveOutcome::Refused) return;
    // Unless the save just read it, the file may stand on another record (a lookup moved it):
    // a step from the record shown starts from it.
    if (relative && saved != SaveOutcome::Written && isShowing()) {
        if (positionOnShown(prefix, {status::kKeyNotFound, status::kEndOfFile}) ==
                status::kKeyNotFound &&
            !deletedReported_) {
            deletedReported_ = true;
            reportDeletedElsewhere(dialogs_, shownRecord_.label(file_.type(), false));
        }
    }
    if (file_.call(operation, prefix) == status::kSuccess) showRecord();
}

void Navigator::goTo() {
    // The key is checked first: a box that holds no key neither moves nor writes.
    const std::optional<SearchKey> key = gotoKey();
    if (key) goToKey(*key);
}

void Navigator::goToKey(const SearchKey& key) {
    if (saveRecord() == SaveOutcome::Refused) return;
    std::vector<std::uint8_t> buffer = key.bytes;
    if (file_.call(BGETEQUAL, description_.reports.goTo, buffer, key.length) == status::kSuccess)
        showRecord();
}

void Navigator::goToStoredKey(std::span<const std::uint8_t> keyBytes) {
    goToKey(searchKeyOfRow(file_.type().key(), keyBytes));
}

std::optional<SearchKey> Navigator::gotoKey() {
    auto* box = findChild<QLineEdit*>(QString::fromLatin1(description_.gotoBox));
    if (!box) return std::nullopt;
    const KeySpec& spec = file_.type().key();
    if (spec.kind == KeyKind::Text) {
        // Read as the stored key would be: the key length is what is left of the text.
        const std::string typed = toGame(box->text());
        const std::span<const std::uint8_t> bytes(
            reinterpret_cast<const std::uint8_t*>(typed.data()), typed.size());
        return searchKeyOfRow(spec, bytes);
    }
    QString refusal;
    const std::optional<std::int32_t> number =
        readInt32(box->text(), QString::fromLatin1(description_.gotoBox), refusal);
    if (!number) {
        dialogs_.message(refusal);
        return std::nullopt;
    }
    return int32Key({*number});
}

Navigator::SaveOutcome Navigator::saveRecord(SaveFor purpose) {
    // With nothing shown there is no record of this window to write; an update now would
    // replace whatever record the file happens to be on. Without edits nothing needs writing.
    if (!description_.writes || !shown_ || !hasEdits()) return SaveOutcome::Unchanged;
    SaveEdits how;
    how.prefix = description_.reports.save;
    how.reread = [this] {
        return positionOnShown(description_.reports.save, {status::kKeyNotFound});
    };
    how.shownRecord = edits_->shownRecord();
    how.edited = edits_->editedFields();
    how.collect = [this](void* record) { return collectFields(record); };
    how.repair = [this](void* record) { edits_->repair(record); };
    // A closing window cannot wait for a correction: the other boxes are still saved and the
    // unreadable ones keep their stored values.
    how.refusalsStop = purpose == SaveFor::Move;
    SavedEdits saved = shownRecord_.saveEdits(file_, how);
    reportRefusals(dialogs_, saved.refusals);
    switch (saved.outcome) {
        case SavedEdits::Outcome::Saved:
            reportOverwrittenChanges(dialogs_, saved.overwritten);
            showWritten({description_.kind, std::move(saved.before), std::move(saved.after)});
            return SaveOutcome::Written;
        case SavedEdits::Outcome::Refused:
            return SaveOutcome::Refused;
        case SavedEdits::Outcome::Gone:
            return saveDeletedElsewhere();
        case SavedEdits::Outcome::NotRead:
        case SavedEdits::Outcome::UpdateFailed:
            break;
    }
    return failedSave();
}

void Navigator::showWritten(RowChange change) {
    world_.history().wrote(std::move(change));
    if (shownKey_) world_.recordWritten(description_.kind, *shownKey_, file_.record());
    world_.events().recordWritten(description_.kind, shown_->bytes);
    if (description_.refreshAfterSave) {
        showRecord();
        return;
    }
    // The controls already show what was written.
    shown_ = searchKeyOfRow(file_.type().key(), file_.row());
    shownRecord_.remember(file_);
    if (edits_) edits_->markShown();
}

Navigator::SaveOutcome Navigator::saveDeletedElsewhere() {
    // The question says it: the step after it does not say it again.
    deletedReported_ = true;
    switch (askInsertDeletedAgain(dialogs_, shownRecord_.label(file_.type(), false))) {
        case gw::Answer::Cancel:
            return SaveOutcome::Refused;
        case gw::Answer::No:
            return SaveOutcome::Failed;
        case gw::Answer::Yes:
            break;
    }
    QStringList refusals;
    const Status s = insertShownAgain(
        file_, edits_->shownRecord(), description_.reports.save,
        [this](void* record) { return collectFields(record); }, refusals);
    reportRefusals(dialogs_, refusals);
    if (s != status::kSuccess) return failedSave();
    showWritten({description_.kind, {}, rowOf(file_)});
    return SaveOutcome::Written;
}

Navigator::SaveOutcome Navigator::failedSave() {
    // Without edits the step goes on, so that a world the editor cannot write can still be
    // browsed; with edits the operator decides whether they are lost.
    if (hasEdits() && keepEditsAfterFailedSave(dialogs_)) return SaveOutcome::Refused;
    return SaveOutcome::Failed;
}

bool Navigator::hasEdits() const { return shown_ && edits_ && edits_->hasEdits(); }

void Navigator::showChangesMadeElsewhere() {
    if (usedBy_) usedBy_->refresh();
    if (!shown_ || hasEdits()) return;
    // A look nobody asked for: if the game holds the file, it says nothing and shows nothing.
    const Status read = [&] {
        QuietCalls quiet(file_);
        return positionOnShown("");
    }();
    if (read == status::kKeyNotFound && !deletedReported_) {
        // Said once: the message box makes the window active again.
        deletedReported_ = true;
        reportDeletedElsewhere(dialogs_, shownRecord_.label(file_.type(), false));
    } else if (read == status::kSuccess && shownRecord_.changedElsewhere(file_)) {
        showRecord();
    }
}

void Navigator::showRecord() {
    file_.rowToRecord();
    shownRecord_.remember(file_);
    deletedReported_ = false;
    if (edits_) edits_->repair(file_.record());
    SearchKey key = searchKeyOfRow(file_.type().key(), file_.row());
    // A visit begins with another record; the same one shown again after its save goes on.
    if (!shown_ || shown_->bytes != key.bytes) lookupReported_ = false;
    {
        // However many name boxes a missing file leaves empty, a visit reports it once.
        const LookupReports reports(world_, lookupReported_);
        showFields(file_.record());
    }
    shown_ = std::move(key);
    if (edits_) edits_->markShown();
    shownKey_ = recordKeyOf(file_.type(), file_.record());
    shownName_ = fromGame(world::recordName(file_.type(), file_.record()));
    if (usedBy_) usedBy_->showFor(shownKey_);
    world_.events().recordShown(description_.kind, shown_->bytes);
}

void Navigator::forgetShown() {
    shown_.reset();
    shownRecord_.forget();
    shownKey_.reset();
    if (usedBy_) usedBy_->showFor(std::nullopt);
}

Status Navigator::positionOnShown(std::string_view prefix, std::initializer_list<Status> quiet) {
    if (!shown_) return status::kNoCurrentRecord;
    std::vector<std::uint8_t> buffer = shown_->bytes;
    return file_.call(BGETEQUAL, prefix, buffer, shown_->length, quiet);
}

bool Navigator::deleteShown(const char* prefix) {
    const QString question = shownKey_
                                 ? deleteQuestion(world_, description_.kind, *shownKey_, shownName_)
                                 : QStringLiteral("Delete this record from database?");
    if (!dialogs_.question(question, QStringLiteral("Delete Record?"))) return false;
    // The file may stand on a record a lookup read, or on none: only the shown one may go.
    if (!shown_) {
        dialogs_.message(fromGame(statusReport(prefix, status::kNoCurrentRecord)));
        return false;
    }
    if (positionOnShown(prefix) != status::kSuccess) return false;
    std::vector<std::uint8_t> before = rowOf(file_);
    if (file_.call(BDELETE, prefix) != status::kSuccess) return false;
    world_.history().wrote({description_.kind, std::move(before), {}});
    world_.recordWritten(description_.kind, *shownKey_, nullptr);
    // Nothing is shown by the time the other windows hear of it.
    const SearchKey key = *shown_;
    forgetShown();
    world_.events().recordWritten(description_.kind, key.bytes);
    return true;
}

std::optional<std::int32_t> Navigator::askInsertNumber(const char* prompt, const char* proposed,
                                                       Answer answerIs) {
    const QString prompted = QString::fromLatin1(prompt);
    const QString answer =
        dialogs_.askText(prompted, QStringLiteral("Insert"), QString::fromLatin1(proposed));
    if (answer.isEmpty()) return std::nullopt;
    QString refusal;
    // The message names the prompt without its colon.
    QString label = prompted;
    if (label.endsWith(u':')) label.chop(1);
    std::optional<std::int32_t> number = readInt32(answer, label, refusal);
    if (number && answerIs == Answer::RecordNumber) {
        if (const std::string reason = newNumberRefusal(file_.type(), *number); !reason.empty()) {
            refusal = QStringLiteral("%1: %2; nothing was inserted.").arg(label, fromGame(reason));
            number.reset();
        }
    }
    if (!number) dialogs_.message(refusal);
    return number;
}

QBoxLayout* Navigator::navigationRow(
    std::initializer_list<std::pair<const char*, const char*>> extra) {
    auto* row = new QHBoxLayout;
    if (description_.gotoBox) {
        auto* box = new QLineEdit(QString::fromLatin1(description_.gotoText));
        box->setObjectName(QString::fromLatin1(description_.gotoBox));
        const bool byText = file_.type().key().kind == KeyKind::Text;
        if (description_.gotoLimit > 0) limitTyping(box, description_.gotoLimit);
        const QString widest = byText ? QString(16, u'M') : QStringLiteral("-0000000");
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(widest) + 16);
        box->setToolTip(byText ? QStringLiteral("Name to go to")
                               : QStringLiteral("Number to go to"));
        row->addWidget(box);
    }
    const std::pair<const char*, const char*> steps[] = {{description_.gotoButton, "Goto"},
                                                         {"cmdFirst", "First"},
                                                         {"cmdPrevious", "Previous"},
                                                         {"cmdNext", "Next"},
                                                         {"cmdLast", "Last"}};
    auto add = [&](const std::pair<const char*, const char*>& b) {
        auto* push = new QPushButton(QString::fromLatin1(b.second));
        push->setObjectName(QString::fromLatin1(b.first));
        push->setAutoDefault(false);
        row->addWidget(push);
    };
    for (const auto& b : steps) add(b);
    // Beside the moves: how many records name the one shown, for a type others name.
    const auto refs = allReferences();
    const bool named = std::any_of(
        refs.begin(), refs.end(), [this](const Reference& r) { return r.to == description_.kind; });
    if (!usedBy_ && named) {
        usedBy_ = new UsedByButton(world_, description_.kind);
        usedBy_->setAutoDefault(false);
        row->addWidget(usedBy_);
    }
    row->addStretch(1);
    for (const auto& b : extra) add(b);
    return row;
}

QPushButton* Navigator::button(const char* name) const {
    return findChild<QPushButton*>(QString::fromLatin1(name));
}

void Navigator::connectSteps() {
    const std::pair<const char*, void (Navigator::*)()> steps[] = {
        {description_.gotoButton, &Navigator::goTo},
        {"cmdFirst", &Navigator::first},
        {"cmdPrevious", &Navigator::previous},
        {"cmdNext", &Navigator::next},
        {"cmdLast", &Navigator::last}};
    for (const auto& [name, step] : steps)
        if (QPushButton* b = button(name))
            connect(b, &QPushButton::clicked, this, [this, step = step] { (this->*step)(); });
    if (description_.gotoBox)
        if (auto* box = findChild<QLineEdit*>(QString::fromLatin1(description_.gotoBox)))
            connect(box, &QLineEdit::returnPressed, this, &Navigator::goTo);
    // Stepping from the keyboard goes through the buttons, so a disabled one stays disabled.
    const std::pair<QKeySequence, const char*> keys[] = {
        {QKeySequence(Qt::Key_PageDown), "cmdNext"},
        {QKeySequence(Qt::Key_PageUp), "cmdPrevious"},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), "cmdFirst"},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), "cmdLast"}};
    for (const auto& [key, name] : keys)
        if (QPushButton* b = button(name)) onKey(this, key, [b] { b->click(); });
}

void Navigator::closeEvent(QCloseEvent* event) {
    // Closing can be asked twice (the frame, then the main window's shutdown): one save. A
    // failed save whose edits the operator keeps keeps the window, and the program, open. A
    // window that does not save on closing asks first, and only when there are edits to lose.
    if (!closed_ && description_.writes && hasEdits()) {
        gw::Answer answer = gw::Answer::Yes;
        if (!description_.saveOnClose)
            answer = askSaveOnClose(dialogs_, shownRecord_.label(file_.type(), true));
        if (answer == gw::Answer::Cancel ||
            (answer == gw::Answer::Yes && saveRecord(SaveFor::Close) == SaveOutcome::Refused)) {
            event->ignore();
            return;
        }
    }
    closed_ = true;
    QWidget::closeEvent(event);
}

void Navigator::showEvent(QShowEvent* event) {
    closed_ = false;
    QWidget::showEvent(event);
}

}  // namespace gw
