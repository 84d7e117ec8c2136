#include "shell/shown_record.h"

#include <algorithm>
#include <cstring>

#include "shell/dialogs.h"
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
        const std::size_t at = memberOffset(e), inRow = rowOffset(e);
        const std::size_t width = e.field->width;
        if (at + width > size) continue;
        // Changed elsewhere: the stored bytes differ from those of the row shown.
        if (inRow + width <= row_.size() && inRow + width <= now.size() &&
            !std::equal(row_.begin() + inRow, row_.begin() + inRow + width, now.begin() + inRow))
            bothChanged << fieldElementName(e);
        std::memcpy(record + at, screen.data() + at, width);
    }
    return bothChanged;
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

bool keepEditsAfterFailedSave(Dialogs& dialogs) {
    return !dialogs.question(
        QStringLiteral("The record on screen could not be saved, and your edits would be "
                       "lost.\nDiscard the edits and go on?"),
        QStringLiteral("Save Failed"));
}

}  // namespace gw
