#include "navigators/navigator.h"

#include <QBoxLayout>
#include <QCloseEvent>
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
#include "shell/world.h"
#include "store/record_file.h"

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
}

void Navigator::open() {
    if (file_.call(BGETFIRST, description_.reports.open) == status::kSuccess) showRecord();
}

void Navigator::first() { move(BGETFIRST, description_.reports.first, false); }
void Navigator::previous() { move(BGETPREVIOUS, description_.reports.previous, true); }
void Navigator::next() { move(BGETNEXT, description_.reports.next, true); }
void Navigator::last() { move(BGETLAST, description_.reports.last, false); }

void Navigator::move(std::uint16_t operation, const char* prefix, bool relative) {
    if (saveRecord() == SaveOutcome::Refused) return;
    // A window that does not write has not positioned on its record; a lookup may have
    // moved the file since it was shown.
    if (relative && !description_.writes && isShowing())
        positionOnShown(prefix, {status::kKeyNotFound, status::kEndOfFile});
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
    // replace whatever record the file happens to be on.
    if (!description_.writes || !shown_) return SaveOutcome::Written;
    if (positionOnShown(description_.reports.save) != status::kSuccess) return failedSave();
    // Collected into the record just read again, so the fields without a control are the
    // shown row's own.
    QStringList refusals;
    auto collect = [&](void* record) { refusals = collectFields(record); };
    QStringList overwritten;
    if (shownRecord_.changedElsewhere(file_)) {
        // Another program wrote this record since it was shown: only what the operator
        // edited goes over its change, and without edits nothing is written.
        std::vector<FieldElement> edited;
        if (edits_) edited = edits_->editedFields();
        if (edited.empty()) return SaveOutcome::Written;
        overwritten = shownRecord_.mergeEdits(file_, edits_->shownRecord(), edited, collect);
    } else {
        collect(file_.record());
    }
    if (!refusals.isEmpty()) {
        reportRefusals(dialogs_, refusals);
        // A closing window cannot wait for a correction: the other boxes are still saved
        // and the unreadable ones keep their stored values.
        if (purpose == SaveFor::Move) return SaveOutcome::Refused;
    }
    if (file_.call(BUPDATE, description_.reports.save) != status::kSuccess) return failedSave();
    world_.events().recordWritten(description_.kind, shown_->bytes);
    reportOverwrittenChanges(dialogs_, overwritten);
    if (description_.refreshAfterSave) {
        showRecord();
    } else {
        // The controls already show what was written.
        shown_ = searchKeyOfRow(file_.type().key(), file_.row());
        shownRecord_.remember(file_);
        if (edits_) edits_->markShown();
    }
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
    if (!shown_ || hasEdits()) return;
    // A look nobody asked for: if the game holds the file, it says nothing and shows nothing.
    const bool read = [&] {
        QuietCalls quiet(file_);
        return positionOnShown("") == status::kSuccess;
    }();
    if (read && shownRecord_.changedElsewhere(file_)) showRecord();
}

void Navigator::showRecord() {
    file_.rowToRecord();
    shownRecord_.remember(file_);
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
    world_.events().recordShown(description_.kind, shown_->bytes);
}

Status Navigator::positionOnShown(std::string_view prefix, std::initializer_list<Status> quiet) {
    if (!shown_) return status::kNoCurrentRecord;
    std::vector<std::uint8_t> buffer = shown_->bytes;
    return file_.call(BGETEQUAL, prefix, buffer, shown_->length, quiet);
}

bool Navigator::deleteShown(const char* prefix) {
    if (!dialogs_.question(QStringLiteral("Delete this record from database?"),
                           QStringLiteral("Delete Record?")))
        return false;
    // The file may stand on a record a lookup read, or on none: only the shown one may go.
    if (!shown_) {
        dialogs_.message(fromGame(statusReport(prefix, status::kNoCurrentRecord)));
        return false;
    }
    if (positionOnShown(prefix) != status::kSuccess) return false;
    if (file_.call(BDELETE, prefix) != status::kSuccess) return false;
    world_.events().recordWritten(description_.kind, shown_->bytes);
    forgetShown();
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
}

void Navigator::closeEvent(QCloseEvent* event) {
    // Closing can be asked twice (the frame, then the main window's shutdown): one save. A
    // failed save whose edits the operator keeps keeps the window, and the program, open.
    if (!closed_ && description_.saveOnClose &&
        saveRecord(SaveFor::Close) == SaveOutcome::Refused) {
        event->ignore();
        return;
    }
    closed_ = true;
    QWidget::closeEvent(event);
}

void Navigator::showEvent(QShowEvent* event) {
    closed_ = false;
    QWidget::showEvent(event);
}

}  // namespace gw
