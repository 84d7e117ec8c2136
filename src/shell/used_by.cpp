#include "shell/used_by.h"

#include <QHeaderView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "shell/latin1.h"
#include "shell/world.h"
#include "world/reverse_index.h"

namespace gw {

namespace {

// "monsters", "text blocks": a record type as a count names it.
QString typeCount(RecordKind kind, std::size_t n) {
    QString name = QString::fromLatin1(recordType(kind).name()).toLower();
    if (kind == RecordKind::Textblock) name = QStringLiteral("text block");
    if (n == 1) return QStringLiteral("%1 %2").arg(n).arg(name);
    return QStringLiteral("%1 %2").arg(n).arg(
        kind == RecordKind::Class ? name + QStringLiteral("es") : name + u's');
}

QString keyText(const RecordKey& key) {
    switch (key.kind) {
        case KeyKind::Int32Pair:
            return QStringLiteral("%1:%2").arg(key.number).arg(key.room);
        case KeyKind::Text:
            return u'"' + fromGame(key.text) + u'"';
        default:
            return QString::number(key.number);
    }
}

}  // namespace

QString recordTitle(RecordKind kind, const RecordKey& key) {
    return QString::fromLatin1(recordType(kind).name()) + u' ' + keyText(key);
}

UsedByButton::UsedByButton(World& world, RecordKind kind, QWidget* parent)
    : QPushButton(parent), world_(world), kind_(kind) {
    setObjectName(QStringLiteral("cmdUsedBy"));
    setToolTip(QStringLiteral("The records whose fields name this one"));
    setEnabled(false);
    connect(this, &QPushButton::clicked, this, [this] { openList(); });
}

void UsedByButton::showFor(std::optional<RecordKey> key) {
    key_ = std::move(key);
    if (!key_) {
        setText(QStringLiteral("Used by"));
        setEnabled(false);
        return;
    }
    if (!world_.referencesReady()) {
        setText(QStringLiteral("Used by …"));
        setEnabled(false);
        // The walk over every file waits until the window is on screen.
        if (!buildQueued_) {
            buildQueued_ = true;
            QTimer::singleShot(0, this, [this] {
                buildQueued_ = false;
                world_.references();
                refresh();
            });
        }
        return;
    }
    const std::size_t n = world_.references().referringRecords(kind_, *key_);
    setText(QStringLiteral("Used by %1").arg(n));
    setEnabled(true);
    if (list_ && list_->isVisible()) openList();
}

void UsedByButton::openList() {
    if (!key_) return;
    if (!list_) {
        list_ = new QWidget(window(), Qt::Window);
        list_->setObjectName(QStringLiteral("frmUsedBy"));
        list_->setAttribute(Qt::WA_DeleteOnClose, false);
        tree_ = new QTreeWidget;
        tree_->setObjectName(QStringLiteral("lstUsedBy"));
        tree_->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("Key"),
                                QStringLiteral("Name"), QStringLiteral("Field")});
        tree_->setRootIsDecorated(false);
        tree_->setUniformRowHeights(true);
        // The record opens as a click on it in its own window would: the record on screen there
        // is saved first.
        connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
            const auto at = static_cast<std::size_t>(tree_->indexOfTopLevelItem(item));
            if (at >= listed_.size()) return;
            const auto [kind, key] = listed_[at];
            world_.openRecord(kind, storedKeyBytes(recordType(kind), key));
        });
        auto* layout = new QVBoxLayout(list_);
        layout->addWidget(tree_);
        list_->resize(560, 320);
    }
    tree_->clear();
    listed_.clear();
    const auto referrers = world_.references().referrers(kind_, *key_);
    for (const world::Referrer& r : referrers) {
        listed_.emplace_back(r.kind, r.key);
        QString field = QString::fromLatin1(r.field->name);
        if (r.field->count > 1) field += QStringLiteral("[%1]").arg(r.index);
        new QTreeWidgetItem(tree_, {QString::fromLatin1(recordType(r.kind).name()), keyText(r.key),
                                    fromGame(r.name), field});
    }
    tree_->header()->resizeSections(QHeaderView::ResizeToContents);
    list_->setWindowTitle(QStringLiteral("%1 is used by").arg(recordTitle(kind_, *key_)));
    list_->show();
    list_->raise();
}

QString deleteQuestion(World& world, RecordKind kind, const RecordKey& key, const QString& name) {
    const QString plain = QStringLiteral("Delete this record from database?");
    // Users are named by nothing; no walk for them.
    if (kind == RecordKind::User) return plain;
    const auto referrers = world.references().referrers(kind, key);
    if (referrers.empty()) return plain;
    // Records per type, in the order of the files.
    std::map<RecordKind, std::size_t> perType;
    std::size_t records = 0;
    for (std::size_t i = 0; i < referrers.size(); ++i) {
        const auto& r = referrers[i];
        const bool sameRecord =
            i > 0 && referrers[i - 1].kind == r.kind && referrers[i - 1].key == r.key;
        if (sameRecord) continue;
        ++perType[r.kind];
        ++records;
    }
    QStringList parts;
    for (const auto& [type, n] : perType) parts << typeCount(type, n);
    QString title = recordTitle(kind, key);
    if (!name.trimmed().isEmpty()) title += QStringLiteral(" \"%1\"").arg(name.trimmed());
    return QStringLiteral("%1 is used by %2 %3 (%4). Delete it anyway?")
        .arg(title)
        .arg(records)
        .arg(records == 1 ? QStringLiteral("record") : QStringLiteral("records"))
        .arg(parts.join(QStringLiteral(", ")));
}

}  // namespace gw
