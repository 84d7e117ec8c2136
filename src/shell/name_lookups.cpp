#include "shell/name_lookups.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "records/class.h"
#include "records/item.h"
#include "records/message.h"
#include "records/monster.h"
#include "records/number_text.h"
#include "records/race.h"
#include "records/spell.h"
#include "records/text_fields.h"
#include "shell/latin1.h"
#include "shell/record_form.h"
#include "shell/world.h"

namespace gw {

namespace {

template <std::size_t N>
QString textOf(const std::array<char, N>& field) {
    return fromGame(std::string_view(field.data(), N));
}

QString none() { return QStringLiteral("none"); }

// Walks the file in key order into the table. The original loop ran until end of file no
// matter what the reads returned; here a record is added only after a good read, a negative
// number (which cannot index the table) is skipped, and the same error twice in a row ends
// the walk instead of reporting it forever.
template <class Rec>
void fillNameTable(RecordFile& file, NameTable& table, std::string_view procedure) {
    const std::string typeName(file.type().name());
    const std::string firstPrefix =
        std::string(procedure) + ", BGETFIRST, " + typeName + ", Error: ";
    const std::string nextPrefix = std::string(procedure) + ", BGETNEXT, " + typeName + ", Error: ";

    table.assign(1, NameEntry{0, "None"});
    Status s = file.call(BGETFIRST, firstPrefix);
    Status lastError = status::kSuccess;
    while (s != status::kEndOfFile) {
        if (s == status::kSuccess) {
            lastError = status::kSuccess;
            const Rec& record = file.as<Rec>();
            if (record.Number >= 0) {
                const auto index = static_cast<std::size_t>(record.Number);
                if (index >= table.size()) table.resize(index + 1);
                table[index] = {record.Number, std::string(record.Name.data(), record.Name.size())};
            }
        } else if (s == lastError) {
            break;
        } else {
            lastError = s;
        }
        s = file.call(BGETNEXT, nextPrefix, {status::kEndOfFile});
    }
}

// A record's Name by its 32-bit number: "none" for 0 (nothing read), `missing` when no
// record has the number, the empty text after a reported error.
template <class Rec>
QString nameOrMissing(RecordFile& file, std::int32_t number, std::string_view prefix,
                      const char* missing) {
    if (number == 0) return none();
    const Status s = file.getEqual32(number, prefix, {status::kKeyNotFound});
    if (s == status::kSuccess) return textOf(file.as<Rec>().Name);
    if (s == status::kKeyNotFound) return QString::fromLatin1(missing);
    return QString();
}

}  // namespace

LookupReports::LookupReports(World& world, Mode mode) : world_(world), mode_(mode) {
    for (RecordKind kind : allRecordKinds()) {
        Gate& gate = gates_[static_cast<std::size_t>(kind)];
        RecordFile& file = world.file(kind);
        gate.scope = this;
        gate.previous = file.reporter();
        file.setReporter(&gate);
    }
}

LookupReports::LookupReports(World& world, bool& reported) : LookupReports(world) {
    failed_ = &reported;
}

LookupReports::~LookupReports() {
    for (RecordKind kind : allRecordKinds())
        world_.file(kind).setReporter(gates_[static_cast<std::size_t>(kind)].previous);
}

void LookupReports::Gate::report(const std::string& message) {
    if (!previous) return;  // the file was quiet before the scope began
    if (!std::exchange(*scope->failed_, true) && scope->mode_ == Mode::FirstOnly)
        previous->report(message);
}

QString GetItemName(World& world, std::int32_t number) {
    return nameOrMissing<Item>(world.file(RecordKind::Item), number,
                               "Function GetItemName, BGETEQUAL, Error: ", "ITEM NOT IN DATABASE!");
}

QString GetMonsterName(World& world, std::int32_t number) {
    return nameOrMissing<Monster>(
        world.file(RecordKind::Monster), number,
        "Function GetMonsterName, BGETEQUAL, Error: ", "MONSTER NOT IN DATABASE!");
}

QString GetSpellName(World& world, std::int16_t number) {
    if (number == 0) return none();
    RecordFile& file = world.file(RecordKind::Spell);
    if (file.getEqual16(number, "Function GetSpellName, BGETEQUAL, Error: ") != status::kSuccess)
        return QString();
    return textOf(file.as<Spell>().Name);
}

QString GetMessageName(World& world, std::int16_t number, int line) {
    if (number == 0) return none();
    RecordFile& file = world.file(RecordKind::Message);
    if (file.getEqual16(number, "Function GetMessageName, BGETEQUAL, Error: ") != status::kSuccess)
        return QString();
    const Message& message = file.as<Message>();
    switch (line) {
        case 1:
            return textOf(message.MessageLine1);
        case 2:
            return textOf(message.MessageLine2);
        case 3:
            return textOf(message.MessageLine3);
        default:
            return QString();
    }
}

namespace {
template <class T>
bool fits(std::int64_t number) {
    return number >= std::numeric_limits<T>::min() && number <= std::numeric_limits<T>::max();
}
}  // namespace

QString itemNameOf(World& world, std::int64_t number) {
    return fits<std::int32_t>(number) ? GetItemName(world, static_cast<std::int32_t>(number))
                                      : QString();
}

QString spellNameOf(World& world, std::int64_t number) {
    return fits<std::int16_t>(number) ? GetSpellName(world, static_cast<std::int16_t>(number))
                                      : QString();
}

QString messageLine1Of(World& world, std::int64_t number) {
    return fits<std::int16_t>(number) ? GetMessageName(world, static_cast<std::int16_t>(number), 1)
                                      : QString();
}

QString messageLine3Of(World& world, std::int64_t number) {
    return fits<std::int16_t>(number) ? GetMessageName(world, static_cast<std::int16_t>(number), 3)
                                      : QString();
}

QString monsterNameOf(World& world, std::int64_t number) {
    return fits<std::int32_t>(number) ? GetMonsterName(world, static_cast<std::int32_t>(number))
                                      : QString();
}

void nameFollowsTyping(QLineEdit* number, QLineEdit* name, World& world,
                       QString (*lookup)(World&, std::int64_t)) {
    // textEdited, not textChanged: a record being shown sets its names with reported lookups.
    QObject::connect(number, &QLineEdit::textEdited, name,
                     [name, &world, lookup](const QString& typed) {
                         const auto value = parseRounded(toGame(typed));
                         // "2.5" is a number box's 2 once saved, but not yet a whole number as
                         // typed.
                         const bool whole = value && !typed.contains(u'.');
                         QString found;
                         if (whole) {
                             LookupReports silent(world, LookupReports::Mode::Silent);
                             found = lookup(world, *value);
                         }
                         showName(name, found);
                     });
}

void LoadRaceArray(World& world) {
    fillNameTable<Race>(world.file(RecordKind::Race), world.raceNames(), "LoadRaceArray");
}

void LoadClassArray(World& world) {
    fillNameTable<Class>(world.file(RecordKind::Class), world.classNames(), "LoadClassArray");
}

QStringList tableNames(const std::vector<NameEntry>& table) {
    QStringList names;
    names.reserve(static_cast<qsizetype>(table.size()));
    for (const NameEntry& entry : table) names << fromGame(shownText(entry.name));
    return names;
}

}  // namespace gw
