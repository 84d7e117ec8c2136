#include "shell/world.h"

#include <QWidget>
#include <algorithm>

#include "shell/history.h"
#include "shell/latin1.h"
#include "shell/name_lookups.h"
#include "shell/record_window.h"
#include "world/renumber.h"
#include "world/reverse_index.h"

namespace gw {

World::World(Dialogs& dialogs) : dialogs_(dialogs), history_(std::make_unique<History>(*this)) {
    for (RecordKind kind : allRecordKinds()) {
        auto& slot = files_[static_cast<std::size_t>(kind)];
        slot = std::make_unique<RecordFile>(recordType(kind));
        slot->setReporter(this);
    }
}

World::~World() = default;

std::uint32_t World::stampOf(RecordKind kind) const {
    return commitCounter(files_[static_cast<std::size_t>(kind)]->fileName());
}

void World::openRecord(RecordKind kind, std::span<const std::uint8_t> keyBytes) {
    const QString window = QStringLiteral("frm") + fromGame(recordType(kind).name());
    if (auto* editor = dynamic_cast<RecordWindow*>(openWindow(window)))
        editor->goToStoredKey(keyBytes);
}

std::filesystem::path World::directory() {
    const std::filesystem::path dir =
        std::filesystem::path(file(RecordKind::Race).fileName()).parent_path();
    return dir.empty() ? "." : dir;
}

world::ReverseIndex& World::references() {
    if (!references_) {
        for (RecordKind kind : allRecordKinds())
            stamps_[static_cast<std::size_t>(kind)] = stampOf(kind);
        references_ = std::make_unique<world::ReverseIndex>(directory());
    }
    return *references_;
}

world::Renumbering World::renumber(RecordKind kind, const RecordKey& from, const RecordKey& to) {
    world::Renumbering done = world::renumber(directory(), kind, from, to, /*dryRun=*/false);
    if (done.outcome != world::RenumberOutcome::Done) return done;
    references_.reset();
    // The name tables are indexed by record number.
    if (kind == RecordKind::Race) LoadRaceArray(*this);
    if (kind == RecordKind::Class) LoadClassArray(*this);
    for (const world::RenumberedRow& row : done.rows) {
        const RecordType& type = recordType(row.kind);
        const auto before = keyBytesOfRow(type, row.before);
        const auto after = keyBytesOfRow(type, row.after);
        events_.recordWritten(row.kind, before);
        if (!std::ranges::equal(before, after)) events_.recordWritten(row.kind, after);
    }
    return done;
}

void World::recordWritten(RecordKind kind, const RecordKey& key, const void* record) {
    if (!references_) return;
    references_->update(kind, key, record);
    stamps_[static_cast<std::size_t>(kind)] = stampOf(kind);
}

void World::forgetReferencesIfChangedElsewhere() {
    if (!references_) return;
    for (RecordKind kind : allRecordKinds())
        if (stampOf(kind) != stamps_[static_cast<std::size_t>(kind)]) {
            references_.reset();
            return;
        }
}

void World::report(const std::string& message) { dialogs_.message(fromGame(message)); }

}  // namespace gw
