#include "shell/history.h"

#include <QStringList>
#include <QUndoView>
#include <algorithm>
#include <string>

#include "navigators/navigator.h"
#include "records/references.h"
#include "shell/dialogs.h"
#include "shell/latin1.h"
#include "shell/record_form.h"
#include "shell/shown_record.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace gw {

namespace {

using Bytes = std::span<const std::uint8_t>;

bool same(Bytes a, Bytes b) { return std::equal(a.begin(), a.end(), b.begin(), b.end()); }

// The key as the row stores it, as windows are told of it.
Bytes keyBytes(RecordKind kind, Bytes row) { return keyBytesOfRow(recordType(kind), row); }

// A long list of fields is cut short: the entry's text is a menu item's.
constexpr int kFieldsNamed = 4;

}  // namespace

std::vector<std::uint8_t> rowOf(const RecordFile& file) {
    return {file.row().begin(), file.row().end()};
}

class History::Entry final : public QUndoCommand {
public:
    // `replay` writes the entry's undo (true) or redo (false); false when refused or failed.
    Entry(History& history, std::function<bool(bool undo)> replay, const QString& text)
        : history_(history), replay_(std::move(replay)) {
        setText(text);
    }
    void undo() override { run(true); }
    void redo() override { run(false); }

private:
    void run(bool undo) {
        if (history_.quiet_ || history_.halted_) return;
        if (!replay_(undo)) history_.stopAt(this, undo);
    }

    History& history_;
    const std::function<bool(bool undo)> replay_;
};

History::History(World& world) : world_(world) {
    stack_.setUndoLimit(1000);
    // An entry that could not be replayed stops the walk there: the entries after it were
    // left alone, and the position goes back to where the files now are.
    connect(&stack_, &QUndoStack::indexChanged, this, [this] {
        if (!halted_) return;
        halted_ = false;
        quiet_ = true;
        stack_.setIndex(haltIndex_);
        quiet_ = false;
    });
}

History::~History() = default;

void History::wrote(std::vector<RowChange> changes, const QString& text) {
    // A save that wrote the row as it was leaves nothing to take back.
    std::erase_if(changes, [](const RowChange& c) { return c.before == c.after; });
    if (changes.empty()) return;
    const QString shown = text.isEmpty() ? describe(changes.front()) : text;
    push(new Entry(
        *this, [this, changes = std::move(changes)](bool undo) { return replay(changes, undo); },
        shown));
}

void History::renumbered(RecordKind kind, const RecordKey& from, const RecordKey& to,
                         const QString& text) {
    push(new Entry(
        *this,
        [this, kind, from, to, text](bool undo) { return renumber(kind, from, to, text, undo); },
        text));
}

void History::push(Entry* entry) {
    // The stack does an entry as it takes it; this one is done already.
    quiet_ = true;
    stack_.push(entry);
    quiet_ = false;
}

bool History::renumber(RecordKind kind, const RecordKey& from, const RecordKey& to,
                       const QString& text, bool undo) {
    const RecordKey& now = undo ? to : from;
    const RecordKey& wanted = undo ? from : to;
    const QString title = undo ? QStringLiteral("Undo") : QStringLiteral("Redo");
    auto refused = [&](const world::Renumbering& r) {
        world_.dialogs().message(
            QStringLiteral("%1 %2: %3.").arg(title, text, fromGame(r.message)));
        return false;
    };
    // The records it would rewrite now (others may name the record since): windows with edits
    // on them are asked first, and a No leaves every file as it is.
    const world::Renumbering plan =
        world::renumber(world_.directory(), kind, now, wanted, /*dryRun=*/true);
    if (plan.outcome != world::RenumberOutcome::Done) return refused(plan);
    for (const world::RenumberedRow& row : plan.rows)
        if (!world_.events().mayReplace(row.kind, keyBytes(row.kind, row.before))) return false;
    const world::Renumbering done = world_.renumber(kind, now, wanted);
    return done.outcome == world::RenumberOutcome::Done || refused(done);
}

QString History::describe(const RowChange& change) {
    const RecordType& type = recordType(change.kind);
    if (change.before.empty())
        return QStringLiteral("insert of ") + recordLabel(type, change.after, false);
    if (change.after.empty())
        return QStringLiteral("delete of ") + recordLabel(type, change.before, false);
    QString text = QStringLiteral("save of ") + recordLabel(type, change.after, true);
    const std::vector<FieldElement> changed = changedElements(type, change.before, change.after);
    if (changed.empty()) return text;
    const std::size_t named = std::min<std::size_t>(changed.size(), kFieldsNamed);
    QString fields = elementNames(std::span(changed).first(named));
    if (named < changed.size()) fields += QStringLiteral(", \u2026");
    return text + QStringLiteral(" (%1)").arg(fields);
}

void History::stopAt(const Entry* entry, bool undo) {
    for (int i = 0; i < stack_.count(); ++i) {
        if (stack_.command(i) != entry) continue;
        // An undo that failed leaves the entry done; a redo that failed leaves it undone.
        haltIndex_ = undo ? i + 1 : i;
        halted_ = true;
        return;
    }
}

bool History::replay(const std::vector<RowChange>& changes, bool undo) {
    // Windows with edits on these records are asked first: a No leaves every file as it is.
    for (const RowChange& c : changes)
        for (const auto* row : {&c.before, &c.after})
            if (!row->empty() && !world_.events().mayReplace(c.kind, keyBytes(c.kind, *row)))
                return false;
    auto step = [this](const RowChange& c, bool back) {
        return back ? put(c.kind, c.after, c.before, true) : put(c.kind, c.before, c.after, false);
    };
    std::vector<const RowChange*> order;
    for (const RowChange& c : changes) order.push_back(&c);
    if (undo) std::reverse(order.begin(), order.end());
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (step(*order[i], undo)) continue;
        // An entry of several records is never left half replayed: those written go back.
        while (i-- > 0) step(*order[i], !undo);
        return false;
    }
    return true;
}

bool History::put(RecordKind kind, Bytes expected, Bytes wanted, bool undo) {
    RecordFile& f = world_.file(kind);
    const RecordType& type = f.type();
    const QString title = undo ? QStringLiteral("Undo") : QStringLiteral("Redo");
    const std::string prefix = title.toStdString() + ", " + std::string(type.name()) + ", Error: ";
    const Bytes keyRow = expected.empty() ? wanted : expected;
    const QString label = recordLabel(type, keyRow, false);
    const SearchKey key = searchKeyOfRow(type.key(), keyRow);
    auto readStored = [&] {
        std::vector<std::uint8_t> buffer = key.bytes;
        return f.call(BGETEQUAL, prefix, buffer, key.length, {status::kKeyNotFound});
    };
    Dialogs& dialogs = world_.dialogs();

    // The questions come before the write transaction: other programs do not wait for the
    // operator's answer.
    const Status looked = readStored();
    if (looked != status::kSuccess && looked != status::kKeyNotFound) return false;
    const bool found = looked == status::kSuccess;
    auto ask = [&](const char* text) {
        return dialogs.question(QString::fromLatin1(text).arg(label), title);
    };
    if (!found && !expected.empty() && !wanted.empty() &&
        !ask("%1 was deleted by another program. Insert it again?"))
        return false;
    if (found && expected.empty() && !same(f.row(), wanted) &&
        !ask("Another program has inserted %1 again. Replace its record?"))
        return false;
    if (found && wanted.empty() && !same(f.row(), expected) &&
        !ask("Another program has changed %1 since. Delete it all the same?"))
        return false;

    std::vector<FieldElement> kept;
    bool wrote = false, wasStored = false;
    RecordKey storedKey;
    const Status s = f.inWriteTransaction(prefix, [&]() -> Status {
        const Status read = readStored();
        if (read != status::kSuccess && read != status::kKeyNotFound) return read;
        const bool stored = read == status::kSuccess;
        wasStored = stored;
        if (stored) storedKey = recordKeyOf(type, f.record());
        if (wanted.empty()) {
            if (!stored) return status::kSuccess;
            wrote = true;
            return f.call(BDELETE, prefix);
        }
        std::vector<std::uint8_t> row(wanted.begin(), wanted.end());
        if (stored && !expected.empty() && !same(f.row(), expected)) {
            // Changed elsewhere since: only the fields this write changed go back, and only
            // where the other program left them as this write made them.
            row = rowOf(f);
            for (const FieldElement& e : changedElements(type, expected, wanted)) {
                if (sameElement(f.row(), expected, e))
                    copyElement(row, wanted, e);
                else
                    kept.push_back(e);
            }
        }
        if (stored && same(row, f.row())) return status::kSuccess;
        std::copy_n(row.begin(), std::min(row.size(), f.row().size()), f.row().begin());
        f.rowToRecord();
        wrote = true;
        return f.call(stored ? BUPDATE : BINSERT, prefix);
    });
    if (s != status::kSuccess) return false;
    if (wrote) {
        const bool deleted = wanted.empty();
        const RecordKey nowKey = deleted ? storedKey : recordKeyOf(type, f.record());
        // A write that gave the record another key leaves nothing under the old one.
        if (wasStored && !deleted && storedKey != nowKey)
            world_.recordWritten(kind, storedKey, nullptr);
        world_.recordWritten(kind, nowKey, deleted ? nullptr : f.record());
        world_.events().recordWritten(kind, keyBytes(kind, keyRow));
        if (!expected.empty() && !wanted.empty() &&
            !same(keyBytes(kind, expected), keyBytes(kind, wanted)))
            world_.events().recordWritten(kind, keyBytes(kind, wanted));
    }
    if (!kept.empty())
        dialogs.message(QStringLiteral("Another program has changed %1 since; its values were kept "
                                       "in: %2.")
                            .arg(label, elementNames(kept)));
    return true;
}

QWidget* createHistoryWindow(World& world, QWidget* parent) {
    auto* view = new QUndoView(&world.history().stack(), parent);
    view->setObjectName(QStringLiteral("frmHistory"));
    view->setWindowTitle(QStringLiteral("History"));
    view->setEmptyLabel(QStringLiteral("The world as opened"));
    return view;
}

}  // namespace gw
