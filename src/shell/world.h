#pragma once
// The program-wide state of one editing session: the ten open data files, the race and
// class name tables, and the dialogs through which every status is reported. Created at
// start-up, alive until shutdown; every window and lookup uses the same RecordFiles.
#include <QString>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "records/records.h"
#include "records/references.h"
#include "shell/dialogs.h"
#include "shell/world_events.h"
#include "store/record_file.h"

class QWidget;

namespace gw {

namespace world {
class ReverseIndex;
}
class History;

// One entry of the race or class name table: index = record number.
struct NameEntry {
    std::int16_t number = 0;
    std::string name;  // the 29 stored characters, untrimmed ("None" for entry 0)
};
using NameTable = std::vector<NameEntry>;

class World final : private StatusReporter {
public:
    explicit World(Dialogs& dialogs);
    ~World() override;
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    RecordFile& file(RecordKind kind) { return *files_[static_cast<std::size_t>(kind)]; }
    Dialogs& dialogs() { return dialogs_; }
    WorldEvents& events() { return events_; }
    // Every write the editor made to these files, to undo and redo.
    History& history() { return *history_; }

    // Opens the editor window of that name (frmRoom ...) as its menu entry does, or brings it
    // forward; the window's widget, or nullptr when none could be opened.
    using WindowOpener = std::function<QWidget*(const QString& windowName)>;
    void setWindowOpener(WindowOpener opener) { opener_ = std::move(opener); }
    QWidget* openWindow(const QString& windowName) {
        return opener_ ? opener_(windowName) : nullptr;
    }
    // Opens the window of `kind` and moves it to the record whose row begins with these key
    // bytes, the record on screen there saved first as any move does.
    void openRecord(RecordKind kind, std::span<const std::uint8_t> keyBytes);

    // The directory of the data files.
    std::filesystem::path directory();

    // Empty (no entries at all) when the file failed to open.
    NameTable& raceNames() { return raceNames_; }
    NameTable& classNames() { return classNames_; }

    // Who names whom, built from the files on first use (a walk over all ten) and again after
    // another program changed one of them.
    world::ReverseIndex& references();
    bool referencesReady() const { return references_ != nullptr; }
    // The editor wrote record `key` of `kind` (now `record`, or deleted: nullptr).
    void recordWritten(RecordKind kind, const RecordKey& key, const void* record);
    // Called when the editor becomes active: a file another program changed since the index
    // was built makes it be built again at its next use.
    void forgetReferencesIfChangedElsewhere();
    // Records of `kind` were renumbered (with every field naming them) behind the open files:
    // the index is built again at its next use, and the race and class names read again.
    void renumbered(RecordKind kind);

private:
    void report(const std::string& message) override;
    // Each file's commit counter, as the index knows it.
    std::uint32_t stampOf(RecordKind kind) const;

    Dialogs& dialogs_;
    WorldEvents events_;
    WindowOpener opener_;
    std::unique_ptr<History> history_;
    std::array<std::unique_ptr<RecordFile>, kRecordKindCount> files_;
    NameTable raceNames_;
    NameTable classNames_;
    std::unique_ptr<world::ReverseIndex> references_;
    std::array<std::uint32_t, kRecordKindCount> stamps_{};
};

}  // namespace gw
