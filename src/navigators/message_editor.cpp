// frmMessage: steps through wccmsg2.dat and edits a message's three lines.
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "navigators/navigator.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "shell/form_layout.h"
#include "shell/record_form.h"
#include "shell/world.h"

namespace gw {

namespace {

constexpr int kLineWidth = 74;

const NavigatorDescription kMessageNavigator{
    "frmMessage",
    "Message Editor",
    RecordKind::Message,
    {"LoadMessage, BGETFIRST, Message, Error: ", "cmd_Save, Error: ",
     "cmdFirst_Click, BGETFIRST, Message, Error: ",
     "cmdPrevious_Click, BGETPREVIOUS, Message, Error: ",
     "cmdNext_Click, BGETNEXT, Message, Error: ", "cmdLast_Click, BGETLAST, Message, Error: ",
     "cmdGoto_Click(), BGETEQUAL, Message, Error: "},
};

const Binding kMessageBindings[] = {
    {.control = "txtNumber",
     .field = "Number",
     .conversion = Conversion::Number,
     .label = "Number"},
    {.control = "txtMessageLine1",
     .field = "MessageLine1",
     .conversion = Conversion::TrimmedZeroEnded,
     .label = "Line 1"},
    {.control = "txtMessageLine2",
     .field = "MessageLine2",
     .conversion = Conversion::TrimmedZeroEnded,
     .label = "Line 2"},
    {.control = "txtMessageLine3",
     .field = "MessageLine3",
     .conversion = Conversion::TrimmedZeroEnded,
     .label = "Line 3"},
};

class MessageEditor final : public Navigator {
public:
    MessageEditor(World& world, QWidget* parent) : Navigator(world, kMessageNavigator, parent) {
        auto* grid = new QGridLayout;
        auto addRow = [&](int row, const char* caption, const char* name) {
            auto* box = new QLineEdit;
            box->setObjectName(QString::fromLatin1(name));
            auto* label = new QLabel(QString::fromLatin1(caption));
            label->setBuddy(box);
            grid->addWidget(label, row, 0);
            grid->addWidget(box, row, 1);
            return box;
        };
        QLineEdit* number = addRow(0, "Number", "txtNumber");
        number->setEnabled(false);
        limitTyping(number, 5);
        number->setMaximumWidth(
            number->fontMetrics().horizontalAdvance(QStringLiteral("-2147483648")) + 16);
        // The game prints these lines on a fixed-pitch terminal: show them that way, wide
        // enough for all 74 columns.
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        const char* lines[] = {"txtMessageLine1", "txtMessageLine2", "txtMessageLine3"};
        const char* captions[] = {"Line 1", "Line 2", "Line 3"};
        for (int i = 0; i < 3; ++i) {
            QLineEdit* line = addRow(i + 1, captions[i], lines[i]);
            line->setMaxLength(kLineWidth);
            line->setFont(fixed);
            line->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(kLineWidth, u'M')) +
                                  16);
        }
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(grid);
        layout->addStretch(1);
        layout->addLayout(navigationRow({{"Command2", "Insert"}, {"Command3", "Delete"}}));
        // Messages are only edited here, never added or removed.
        for (const char* name : {"Command2", "Command3"}) button(name)->setEnabled(false);
        connectSteps();
        form_.emplace(this, RecordTraits<Message>::type(), kMessageBindings);
        trackEdits(*form_);
    }

protected:
    void showFields(const void* record) override { form_->show(record); }
    QStringList collectFields(void* record) override { return form_->collect(record); }

private:
    std::optional<RecordForm> form_;
};

}  // namespace

QWidget* createMessageEditor(World& world, QWidget* parent) {
    return openNavigator<MessageEditor>(world, parent);
}

}  // namespace gw
