#include "shell/shown_record.h"

#include <algorithm>
#include <cstring>

#include "shell/dialogs.h"
#include "store/record_file.h"

namespace gw {

namespace {

std::span<const std::uint8_t> recordBytes(const RecordFile& file) {
    return {static_cast<const std::uint8_t*>(file.record()), file.type().recordSize()};
}

// The bytes of one field element inside an in-memory record.
std::size_t elementOffset(const FieldElement& e) {
    return e.field->memberOffset + e.field->stride * static_cast<std::size_t>(e.element);
}

}  // namespace

void ShownRecord::remember(const RecordFile& file) {
    row_.assign(file.row().begin(), file.row().end());
    const auto record = recordBytes(file);
    record_.assign(record.begin(), record.end());
}

void ShownRecord::forget() {
    row_.clear();
    record_.clear();
}

bool ShownRecord::changedElsewhere(const RecordFile& file) const {
    return isRemembered() &&
           !std::equal(row_.begin(), row_.end(), file.row().begin(), file.row().end());
}

QStringList ShownRecord::mergeEdits(RecordFile& file, std::span<const FieldElement> edited,
                                    const std::function<void(void*)>& collect) const {
    auto* record = static_cast<std::uint8_t*>(file.record());
    const std::size_t size = file.type().recordSize();
    const std::vector<std::uint8_t> current(record, record + size);
    // The screen's values, collected over the record as it was shown, exactly as a save
    // without another writer would have written them.
    std::copy(record_.begin(), record_.end(), record);
    collect(record);
    const std::vector<std::uint8_t> screen(record, record + size);

    std::copy(current.begin(), current.end(), record);
    QStringList bothChanged;
    for (const FieldElement& e : edited) {
        const std::size_t at = elementOffset(e);
        const std::size_t width = e.field->width;
        if (at + width > size) continue;
        if (!std::equal(current.begin() + at, current.begin() + at + width, record_.begin() + at))
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
