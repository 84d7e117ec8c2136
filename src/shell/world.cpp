#include "shell/world.h"

#include "shell/history.h"
#include "shell/latin1.h"
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

world::ReverseIndex& World::references() {
    if (!references_) {
        for (RecordKind kind : allRecordKinds())
            stamps_[static_cast<std::size_t>(kind)] = stampOf(kind);
        const std::filesystem::path dir =
            std::filesystem::path(file(RecordKind::Race).fileName()).parent_path();
        references_ = std::make_unique<world::ReverseIndex>(dir.empty() ? "." : dir);
    }
    return *references_;
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
