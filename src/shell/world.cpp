#include "shell/world.h"

#include "shell/latin1.h"

namespace gw {

World::World(Dialogs& dialogs) : dialogs_(dialogs) {
    for (RecordKind kind : allRecordKinds()) {
        auto& slot = files_[static_cast<std::size_t>(kind)];
        slot = std::make_unique<RecordFile>(recordType(kind));
        slot->setReporter(this);
    }
}

void World::report(const std::string& message) { dialogs_.message(fromGame(message)); }

}  // namespace gw
