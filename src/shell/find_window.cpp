#include "shell/find_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "shell/latin1.h"
#include "shell/world.h"
#include "world/world_find.h"

namespace gw {

namespace {

// More would only slow the list down; a narrower text finds what the operator looks for.
constexpr std::size_t kMaxListed = 10000;
// Results travel to the window in batches, so a common word does not flood the event queue.
constexpr std::size_t kBatch = 200;

enum Column { TypeColumn, KeyColumn, NameColumn, FieldColumn, TextColumn };
constexpr int kHitRole = Qt::UserRole;
constexpr int kMatchStartRole = Qt::UserRole + 1;
constexpr int kMatchLengthRole = Qt::UserRole + 2;

// The snippet with its match in bold.
class SnippetDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        const QString text = base.text;
        base.text.clear();
        QStyle* style = base.widget ? base.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);
        const int start = index.data(kMatchStartRole).toInt();
        const int length = index.data(kMatchLengthRole).toInt();
        QRect rect = option.rect.adjusted(3, 0, -3, 0);
        painter->save();
        if (option.state & QStyle::State_Selected)
            painter->setPen(option.palette.color(QPalette::HighlightedText));
        const auto part = [&](const QString& piece, bool bold) {
            QFont font = option.font;
            font.setBold(bold);
            painter->setFont(font);
            painter->drawText(rect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, piece);
            rect.setLeft(rect.left() + QFontMetrics(font).horizontalAdvance(piece));
        };
        part(text.left(start), false);
        part(text.mid(start, length), true);
        part(text.mid(start + length), false);
        painter->restore();
    }
};

class FindWindow final : public QWidget {
public:
    FindWindow(World& world, QWidget* parent) : QWidget(parent), world_(world) {
        setWindowTitle(QStringLiteral("Find"));
        text_ = new QLineEdit;
        text_->setObjectName(QStringLiteral("txtFind"));
        matchCase_ = new QCheckBox(QStringLiteral("Match case"));
        matchCase_->setObjectName(QStringLiteral("chkMatchCase"));
        wholeWord_ = new QCheckBox(QStringLiteral("Whole word"));
        wholeWord_->setObjectName(QStringLiteral("chkWholeWord"));
        find_ = new QPushButton(QStringLiteral("Find"));
        find_->setObjectName(QStringLiteral("cmdFind"));
        find_->setDefault(true);
        stop_ = new QPushButton(QStringLiteral("Stop"));
        stop_->setObjectName(QStringLiteral("cmdStop"));
        stop_->setEnabled(false);

        auto* kinds = new QGridLayout;
        for (RecordKind kind : allRecordKinds()) {
            const auto i = static_cast<int>(kind);
            auto* box = new QCheckBox(fromGame(recordType(kind).name()));
            box->setObjectName(QStringLiteral("chkType_") + fromGame(recordType(kind).name()));
            box->setChecked(true);
            kinds->addWidget(box, i / 5, i % 5);
            kindBoxes_.push_back(box);
        }

        results_ = new QTreeWidget;
        results_->setObjectName(QStringLiteral("lstResults"));
        results_->setRootIsDecorated(false);
        results_->setUniformRowHeights(true);
        results_->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("Key"),
                                   QStringLiteral("Name"), QStringLiteral("Field"),
                                   QStringLiteral("Text")});
        results_->setItemDelegateForColumn(TextColumn, new SnippetDelegate(results_));
        progress_ = new QProgressBar;
        progress_->setObjectName(QStringLiteral("prgSearch"));
        progress_->setVisible(false);
        status_ = new QLabel;
        status_->setObjectName(QStringLiteral("lblStatus"));
        status_->setWordWrap(true);

        auto* row = new QHBoxLayout;
        row->addWidget(text_, 1);
        row->addWidget(find_);
        row->addWidget(stop_);
        auto* options = new QHBoxLayout;
        options->addWidget(matchCase_);
        options->addWidget(wholeWord_);
        options->addStretch(1);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(row);
        layout->addLayout(options);
        layout->addLayout(kinds);
        layout->addWidget(results_, 1);
        layout->addWidget(progress_);
        layout->addWidget(status_);
        resize(760, 480);

        connect(find_, &QPushButton::clicked, this, [this] { start(); });
        connect(text_, &QLineEdit::returnPressed, this, [this] { start(); });
        connect(stop_, &QPushButton::clicked, this, [this] {
            if (search_) search_->cancel = true;
        });
        connect(results_, &QTreeWidget::itemActivated, this,
                [this](QTreeWidgetItem* item) { open(item); });
    }

    ~FindWindow() override { finish(); }

protected:
    void closeEvent(QCloseEvent* event) override {
        // The search's files must be closed before the program stops the record manager.
        finish();
        event->accept();
    }

private:
    // What the searching thread shares with the window.
    struct Search {
        std::atomic<bool> cancel = false;
        std::thread thread;
    };

    class Sink final : public world::FindSink {
    public:
        Sink(FindWindow* window, Search& search, int generation)
            : window_(window), search_(search), generation_(generation) {}
        void found(const world::FindHit& hit) override {
            batch_.push_back(hit);
            if (++listed_ >= kMaxListed) search_.cancel = true;
            if (batch_.size() >= kBatch) flush();
        }
        void unreadable(RecordKind, const std::string& path, const std::string& why) override {
            QString text = fromGame(path) + QStringLiteral(": ") + fromGame(why);
            post([text](FindWindow* w) { w->unreadable_ << text; });
        }
        bool cancelled() override { return search_.cancel; }
        void progress(std::size_t done, std::size_t total) override {
            flush();
            post([done, total](FindWindow* w) {
                w->progress_->setRange(0, static_cast<int>(total));
                w->progress_->setValue(static_cast<int>(done));
            });
        }
        void flush() {
            if (batch_.empty()) return;
            post([hits = std::move(batch_)](FindWindow* w) { w->add(hits); });
            batch_.clear();
        }
        void post(std::function<void(FindWindow*)> step) {
            // Dropped by Qt if the window is gone; the window waits for this thread anyway.
            // A stopped search's last steps may still be queued behind a new search's.
            QMetaObject::invokeMethod(
                window_,
                [w = window_, generation = generation_, step = std::move(step)] {
                    if (w->generation_ == generation) step(w);
                },
                Qt::QueuedConnection);
        }

    private:
        FindWindow* window_;
        Search& search_;
        int generation_;
        std::vector<world::FindHit> batch_;
        std::size_t listed_ = 0;
    };

    void start() {
        finish();
        results_->clear();
        hits_.clear();
        unreadable_.clear();
        world::FindQuery query;
        query.text = toGame(text_->text());
        query.matchCase = matchCase_->isChecked();
        query.wholeWord = wholeWord_->isChecked();
        world::WorldFiles files;
        for (RecordKind kind : allRecordKinds()) {
            const auto i = static_cast<std::size_t>(kind);
            query.kinds[i] = kindBoxes_[i]->isChecked();
            files[i] = world_.file(kind).fileName();
        }
        if (query.text.empty()) return;
        setRunning(true);
        status_->setText(QStringLiteral("Searching..."));
        search_ = std::make_unique<Search>();
        search_->thread =
            std::thread([this, query, files, search = search_.get(), generation = ++generation_] {
                Sink sink(this, *search, generation);
                const world::FindSummary summary = world::findInWorld(files, query, sink);
                sink.flush();
                sink.post([summary](FindWindow* w) { w->done(summary); });
            });
    }

    // Stops a running search and waits for its thread.
    void finish() {
        if (!search_) return;
        search_->cancel = true;
        if (search_->thread.joinable()) search_->thread.join();
        search_.reset();
        setRunning(false);
    }

    void setRunning(bool running) {
        find_->setEnabled(!running);
        stop_->setEnabled(running);
        progress_->setVisible(running);
        progress_->setRange(0, 0);
    }

    void add(const std::vector<world::FindHit>& hits) {
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(hits.size()));
        for (const world::FindHit& hit : hits) {
            auto* item = new QTreeWidgetItem;
            item->setText(TypeColumn, fromGame(recordType(hit.kind).name()));
            const std::string key = world::describeKey(hit.kind, hit.key);
            item->setText(
                KeyColumn,
                fromGame(std::string_view(key).substr(recordType(hit.kind).name().size() + 1)));
            item->setText(NameColumn, fromGame(hit.recordName));
            QString field = fromGame(world::describeField(*hit.field, hit.index));
            if (hit.reference)
                field +=
                    QStringLiteral(" \u2192 ") + fromGame(recordType(hit.reference->to).name());
            item->setText(FieldColumn, field);
            item->setText(TextColumn, fromGame(hit.snippet));
            item->setData(TextColumn, kMatchStartRole, static_cast<int>(hit.matchStart));
            item->setData(TextColumn, kMatchLengthRole, static_cast<int>(hit.matchLength));
            item->setData(TypeColumn, kHitRole, static_cast<qulonglong>(hits_.size()));
            hits_.push_back(hit);
            items.append(item);
        }
        results_->addTopLevelItems(items);
        status_->setText(QString::number(hits_.size()) + QStringLiteral(" found..."));
    }

    void done(const world::FindSummary& summary) {
        if (search_ && search_->thread.joinable()) search_->thread.join();
        search_.reset();
        setRunning(false);
        QString text = QString::number(hits_.size()) + QStringLiteral(" found in ") +
                       QString::number(summary.records) + QStringLiteral(" records");
        if (hits_.size() >= kMaxListed)
            text = QStringLiteral("Only the first ") + QString::number(kMaxListed) +
                   QStringLiteral(" found are listed: narrow the search.");
        else if (summary.cancelled)
            text += QStringLiteral(" (stopped)");
        if (!unreadable_.isEmpty())
            text += QStringLiteral(". Not searched: ") + unreadable_.join(QStringLiteral("; "));
        status_->setText(text);
        for (int c = TypeColumn; c < TextColumn; ++c) results_->resizeColumnToContents(c);
    }

    void open(QTreeWidgetItem* item) {
        const auto index = item->data(TypeColumn, kHitRole).toULongLong();
        if (index >= hits_.size()) return;
        const world::FindHit& hit = hits_[index];
        world_.openRecord(hit.kind, hit.keyBytes);
    }

    World& world_;
    QLineEdit* text_;
    QCheckBox* matchCase_;
    QCheckBox* wholeWord_;
    QPushButton* find_;
    QPushButton* stop_;
    std::vector<QCheckBox*> kindBoxes_;
    QTreeWidget* results_;
    QProgressBar* progress_;
    QLabel* status_;
    std::unique_ptr<Search> search_;
    int generation_ = 0;
    std::vector<world::FindHit> hits_;
    QStringList unreadable_;
};

}  // namespace

QWidget* createFindWindow(World& world, QWidget* parent) { return new FindWindow(world, parent); }

}  // namespace gw
