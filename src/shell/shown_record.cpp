#include "shell/shown_record.h"

#include <algorithm>
#include <cstring>

#include "records/text_fields.h"
#include "shell/dialogs.h"
#include "shell/latin1.h"
#include "store/record_file.h"

namespace gw {

namespace {

// Where one field element starts, in the in-memory record and in the row.
std::size_t memberOffset(const FieldElement& e) {
    return e.field->memberOffset + e.field->stride * static_cast<std::size_t>(e.element);
}
std::size_t rowOffset(const FieldElement& e) {
    return e.field->rowOffset + e.field->stride * static_cast<std::size_t>(e.element);
}

}  // namespace

void ShownRecord::remember(const RecordFile& file) {
    row_.assign(file.row().begin(), file.row().end());
}

void ShownRecord::forget() { row_.clear(); }

bool ShownRecord::changedElsewhere(const RecordFile& file) const {
    return isRemembered() &&
           !std::equal(row_.begin(), row_.end(), file.row().begin(), file.row().end());
}

QStringList ShownRecord::mergeEdits(RecordFile& file, const void* shownRecord,
                                    std::span<const FieldElement> edited,
                                    const std::function<void(void*)>& collect) const {
    auto* record = static_cast<std::uint8_t*>(file.record());
    const std::size_t size = file.type().recordSize();
    const std::vector<std::uint8_t> current(record, record + size);
    // The screen's values, collected over the record as it was shown, exactly as a save
    // without another writer would have written them.
    if (shownRecord) std::memcpy(record, shownRecord, size);
    collect(record);
    const std::vector<std::uint8_t> screen(record, record + size);

    std::copy(current.begin(), current.end(), record);
    const auto now = file.row();
    QStringList bothChanged;
    for (const FieldElement& e : edited) {
        const std::size_t at = memberOffset(e);
        const std::size_t width = e.field->width;
        if (at + width > size) continue;
        // Changed elsewhere: the stored bytes differ from those of the row shown.
        if (!sameElement(row_, now, e)) bothChanged << fieldElementName(e);
        std::memcpy(record + at, screen.data() + at, width);
    }
    return bothChanged;
}

SavedEdits ShownRecord::saveEdits(RecordFile& file, const SaveEdits& how) const {
    SavedEdits saved;
    using Outcome = SavedEdits::Outcome;
    // A status of our own making for a save the refusals stop: rolls back, reports nothing.
    constexpr Status kStopped = status::kInvalidOperation;
    file.inWriteTransaction(how.prefix, [&]() -> Status {
        const Status read = how.reread();
        if (read != status::kSuccess) {
            saved.outcome = read == status::kKeyNotFound ? Outcome::Gone : Outcome::NotRead;
            return read;
        }
        saved.before.assign(file.row().begin(), file.row().end());
        if (changedElsewhere(file)) {
            saved.overwritten = mergeEdits(file, how.shownRecord, how.edited, [&](void* record) {
                saved.refusals = how.collect(record);
            });
        } else {
            saved.refusals = how.collect(file.record());
        }
        // After the merge too: the edited elements come from the screen, which shows none of
        // the values repaired.
        if (how.repair) how.repair(file.record());
        if (how.refusalsStop && !saved.refusals.isEmpty()) {
            saved.outcome = Outcome::Refused;
            return kStopped;
        }
        const Status s = file.call(BUPDATE, how.prefix);
        saved.outcome = s == status::kSuccess ? Outcome::Saved : Outcome::UpdateFailed;
        // The update wrote the row the record was converted into.
        if (s == status::kSuccess) saved.after.assign(file.row().begin(), file.row().end());
        return s;
    });
    return saved;
}

QString keyText(const KeySpec& key, std::span<const std::uint8_t> row) {
    auto int32At = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4 && at + i < row.size(); ++i)
            v |= std::uint32_t{row[at + i]} << (8 * i);
        return static_cast<std::int32_t>(v);
    };
    switch (key.kind) {
        case KeyKind::Int16:
            if (row.size() < 2) return {};
            return QString::number(static_cast<std::int16_t>(row[0] | (row[1] << 8)));
        case KeyKind::Int32:
            return QString::number(int32At(0));
        case KeyKind::Int32Pair:
            return QString::number(int32At(0)) + u'/' + QString::number(int32At(4));
        case KeyKind::Text: {
            const std::size_t width = std::min<std::size_t>(key.width, row.size());
            const std::string_view text(reinterpret_cast<const char*>(row.data()), width);
            return fromGame(trimRight(shownText(text)));
        }
    }
    return {};
}

QString recordLabel(const RecordType& type, std::span<const std::uint8_t> row, bool withName) {
    QString label = QString::fromLatin1(type.name().data(), qsizetype(type.name().size())) + u' ' +
                    keyText(type.key(), row);
    const FieldInfo* name = type.field("Name");
    if (withName && name && type.key().kind != KeyKind::Text && !row.empty())
        label += QStringLiteral(" \"%1\"").arg(fromGame(trimRight(shownText(rowText(row, *name)))));
    return label;
}

QString ShownRecord::label(const RecordType& type, bool withName) const {
    return recordLabel(type, row_, withName);
}

bool sameElement(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                 const FieldElement& e) {
    const std::size_t at = rowOffset(e), width = e.field->width;
    if (at + width > a.size() || at + width > b.size()) return true;
    return std::equal(a.begin() + at, a.begin() + at + width, b.begin() + at);
}

std::vector<FieldElement> changedElements(const RecordType& type, std::span<const std::uint8_t> a,
                                          std::span<const std::uint8_t> b) {
    std::vector<FieldElement> changed;
    for (const FieldInfo& field : type.fields())
        for (int k = 0; k < field.count; ++k)
            if (const FieldElement e{&field, k}; !sameElement(a, b, e)) changed.push_back(e);
    return changed;
}

void copyElement(std::span<std::uint8_t> to, std::span<const std::uint8_t> from,
                 const FieldElement& e) {
    const std::size_t at = rowOffset(e), width = e.field->width;
    if (at + width <= to.size() && at + width <= from.size())
        std::copy_n(from.begin() + at, width, to.begin() + at);
}

QString elementNames(std::span<const FieldElement> elements) {
    QStringList names;
    for (const FieldElement& e : elements) names << fieldElementName(e);
    return names.join(QStringLiteral(", "));
}

QuietCalls::QuietCalls(RecordFile& file) : file_(file), reporter_(file.reporter()) {
    file.setReporter(nullptr);
}

QuietCalls::~QuietCalls() { file_.setReporter(reporter_); }

void reportOverwrittenChanges(Dialogs& dialogs, const QStringList& fields) {
    if (fields.isEmpty()) return;
    dialogs.message(QStringLiteral("Another program changed this record while it was on screen. "
                                   "Your edits were saved over its changes to: %1.")
                        .arg(fields.join(QStringLiteral(", "))));
}

void reportDeletedElsewhere(Dialogs& dialogs, const QString& label) {
    dialogs.message(QStringLiteral("%1 was deleted by another program.").arg(label));
}

Answer askInsertDeletedAgain(Dialogs& dialogs, const QString& label) {
    return dialogs.questionWithCancel(
        QStringLiteral("%1 was deleted by another program. Insert it again with your edits?")
            .arg(label),
        QStringLiteral("Record Deleted"), QStringLiteral("Yes"), QStringLiteral("No"));
}

Status insertShownAgain(RecordFile& file, const void* shownRecord, std::string_view prefix,
                        const std::function<QStringList(void*)>& collect, QStringList& refusals) {
    if (shownRecord) std::memcpy(file.record(), shownRecord, file.type().recordSize());
    refusals += collect(file.record());
    return file.call(BINSERT, prefix);
}

Answer askSaveOnClose(Dialogs& dialogs, const QString& labelWithName) {
    return dialogs.questionWithCancel(QStringLiteral("Save the changes to %1?").arg(labelWithName),
                                      QStringLiteral("Save Changes"), QStringLiteral("Save"),
                                      QStringLiteral("Discard"));
}

bool discardEditsForHistory(Dialogs& dialogs, const QString& labelWithName) {
    return dialogs.question(
        QStringLiteral("%1 has edits on screen that are not saved, and undo or redo would write "
                       "over them.\nDiscard the edits and go on?")
            .arg(labelWithName),
        QStringLiteral("Unsaved Edits"));
}

bool keepEditsAfterFailedSave(Dialogs& dialogs) {
    return !dialogs.question(
        QStringLiteral("The record on screen could not be saved, and your edits would be "
                       "lost.\nDiscard the edits and go on?"),
        QStringLiteral("Save Failed"));
}

}  // namespace gw
