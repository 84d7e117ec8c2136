#pragma once
// Names of the records that other records point at by number. Each lookup reads through the
// shared RecordFile of its file, so it moves that file's position and overwrites its record.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "records/records.h"
#include "store/record_file.h"

class QLineEdit;

namespace gw {

class World;
struct NameEntry;

// While a LookupReports lives, the failed calls of every world file are reported at most
// once: the first message goes out as usual, the later ones are dropped (Silent: none goes
// out). A window holds one over each show of a record, so that a missing file gives one
// message per record shown instead of one per name box; a name box that follows typing holds
// a silent one. Scopes nest: an inner one passes its first report to the outer.
class LookupReports {
public:
    enum class Mode { FirstOnly, Silent };
    explicit LookupReports(World& world, Mode mode = Mode::FirstOnly);
    // FirstOnly over a show in several steps (controls made later for the record on screen):
    // `reported` says whether an earlier step reported a failure, and is set when this one does.
    LookupReports(World& world, bool& reported);
    ~LookupReports();
    LookupReports(const LookupReports&) = delete;
    LookupReports& operator=(const LookupReports&) = delete;

private:
    // One per file: a file that was quiet before stays quiet.
    struct Gate final : StatusReporter {
        LookupReports* scope = nullptr;
        StatusReporter* previous = nullptr;
        void report(const std::string& message) override;
    };
    World& world_;
    Mode mode_;
    bool ownFailed_ = false;
    bool* failed_ = &ownFailed_;
    std::array<Gate, kRecordKindCount> gates_;
};

// The item's 29-character Name; "none" for 0 (nothing read); "ITEM NOT IN DATABASE!" when
// no item has the number; the empty text after a reported error.
QString GetItemName(World& world, std::int32_t number);

// The monster's 29-character Name, as GetItemName: "none" for 0, "MONSTER NOT IN DATABASE!"
// when no monster has the number, the empty text after a reported error.
QString GetMonsterName(World& world, std::int32_t number);

// The spell's Name; "none" for 0; the empty text after a reported error (a missing spell
// included).
QString GetSpellName(World& world, std::int16_t number);

// Line 1, 2 or 3 of the message (74 characters); "none" for 0; the empty text for any other
// line or after a reported error (a missing message included).
QString GetMessageName(World& world, std::int16_t number, int line);

// The lookups as a name box beside a stored number calls them (a NameLookup of the binding
// layer). A number the lookup cannot take, such as a 32-bit message number beyond the 16-bit
// message keys, is looked up nowhere and shows an empty name, not another record's.
QString itemNameOf(World& world, std::int64_t number);
QString spellNameOf(World& world, std::int64_t number);
QString messageLine1Of(World& world, std::int64_t number);
QString messageLine3Of(World& world, std::int64_t number);
QString monsterNameOf(World& world, std::int64_t number);

// Makes the name box beside a number box follow typing: after each edit that leaves a whole
// number in `number`, `name` shows what a silent `lookup` finds for it, up to its zero
// character; after any other edit it is empty. Showing a record sets both boxes as before.
void nameFollowsTyping(QLineEdit* number, QLineEdit* name, World& world,
                       QString (*lookup)(World&, std::int64_t));

// Fill world.raceNames() / world.classNames() from the whole file: entry 0 "None", one entry
// per index up to the highest record number, gaps with number 0 and an empty name.
void LoadRaceArray(World& world);
void LoadClassArray(World& world);

// A race or class name table as a drop-down lists it, entry 0 first, so that the list
// position is the record number; each name shown up to its first zero character.
QStringList tableNames(const std::vector<NameEntry>& table);

}  // namespace gw
