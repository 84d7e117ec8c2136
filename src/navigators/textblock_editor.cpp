// frmTextblock: steps through wcctext2.dat, edits a block's text, inserts and deletes blocks.
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cstring>

#include "navigators/navigator.h"
#include "navigators/navigator_windows.h"
#include "navigators/textblock_box.h"
#include "records/textblock.h"
#include "records/textblock_text.h"
#include "shell/dialogs.h"
#include "shell/form_layout.h"
#include "shell/record_form.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace gw {

namespace {

constexpr const char* kInsertPrefix = "cmdInsert, Error: ";
constexpr const char* kDeletePrefix = "cmdDelete, Error: ";

const NavigatorDescription kTextblockNavigator{
    .windowName = "frmTextblock",
    .caption = "Textblock Editor",
    .kind = RecordKind::Textblock,
    .reports = {"LoadTextblock, BGETFIRST, Textblock, Error: ", "cmd_Save, Error: ",
                "cmdFirst_Click, BGETFIRST, Textblock, Error: ",
                "cmdPrevious_Click, BGETPREVIOUS, Textblock, Error: ",
                "cmdNext_Click, BGETNEXT, Textblock, Error: ",
                "cmdLast_Click, BGETLAST, Textblock, Error: ", "cmdGoto_Click, Error: "},
    .refreshAfterSave = false,
    .saveOnClose = false,
};

// Shown, never collected: only the text is edited here.
const Binding kTextblockBindings[] = {
    {.control = "txtNumber", .field = "Number", .conversion = Conversion::Number, .showOnly = true},
    {.control = "txtStepOrder",
     .field = "StepOrder",
     .conversion = Conversion::Number,
     .showOnly = true},
    {.control = "txtLinkTo", .field = "LinkTo", .conversion = Conversion::Number, .showOnly = true},
};

class TextblockEditor final : public Navigator {
public:
    TextblockEditor(World& world, QWidget* parent) : Navigator(world, kTextblockNavigator, parent) {
        auto* numbers = new QHBoxLayout;
        auto addNumber = [&](const char* caption, const char* name, bool enabled) {
            auto* box = new QLineEdit;
            box->setObjectName(QString::fromLatin1(name));
            box->setEnabled(enabled);
            limitTyping(box, 5);
            box->setMaximumWidth(
                box->fontMetrics().horizontalAdvance(QStringLiteral("-2147483648")) + 16);
            auto* label = new QLabel(QString::fromLatin1(caption));
            label->setBuddy(box);
            numbers->addWidget(label);
            numbers->addWidget(box);
            numbers->addSpacing(12);
        };
        addNumber("Block #:", "txtNumber", false);
        addNumber("Step Order:", "txtStepOrder", false);
        addNumber("Link to:", "txtLinkTo", true);
        numbers->addStretch(1);
        auto* lineFeed = new QPushButton(QStringLiteral("||"));
        lineFeed->setObjectName(QStringLiteral("cmdSeperate"));
        lineFeed->setToolTip(QStringLiteral("Add a line feed at the end of the text"));
        lineFeed->setAutoDefault(false);
        numbers->addWidget(lineFeed);

        data_ = new QPlainTextEdit;
        data_->setObjectName(QStringLiteral("txtData"));
        // The game shows these texts on an 80-column terminal.
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        data_->setFont(fixed);
        data_->setTabChangesFocus(true);
        new ControlPictureShading(data_->document());
        const QFontMetrics metrics(fixed);
        data_->setMinimumSize(metrics.horizontalAdvance(QString(80, u'M')) + 32,
                              metrics.lineSpacing() * 16);

        auto* layout = new QVBoxLayout(this);
        layout->addLayout(numbers);
        layout->addWidget(data_, 1);
        layout->addLayout(navigationRow({{"cmdInsert", "Insert"}, {"cmdDelete", "Delete"}}));
        showInitialTexts();
        connectSteps();
        connect(lineFeed, &QPushButton::clicked, this, &TextblockEditor::addLineFeed);
        connect(button("cmdInsert"), &QPushButton::clicked, this, &TextblockEditor::insert);
        connect(button("cmdDelete"), &QPushButton::clicked, this, &TextblockEditor::remove);
        form_.emplace(this, RecordTraits<Textblock>::type(), kTextblockBindings);
        form_->watch(data_, "Data");
        trackEdits(*form_);
        data_->setFocus();
    }

protected:
    void showFields(const void* record) override {
        form_->show(record);
        const auto& block = *static_cast<const Textblock*>(record);
        data_->setPlainText(
            textblockBoxText(decodeTextblockData({block.Data.data(), block.Data.size()})));
    }

    QStringList collectFields(void* record) override {
        auto& block = *static_cast<Textblock*>(record);
        const std::string stored =
            encodeTextblockData(textblockTextOfBox(data_->document()->toRawText()));
        std::memcpy(block.Data.data(), stored.data(), block.Data.size());
        return {};
    }

private:
    void showInitialTexts() {
        for (const char* name : {"txtNumber", "txtStepOrder", "txtLinkTo"})
            findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QStringLiteral("NNNNN"));
        data_->setPlainText(QStringLiteral("Text1"));
    }

    void addLineFeed() {
        QTextCursor end(data_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("\n"));
    }

    void insert() {
        if (saveRecord() == SaveOutcome::Refused) return;
        const auto number = askInsertNumber("New TextBlock Number", "10999", Answer::RecordNumber);
        if (!number) return;
        const auto stepOrder = askInsertNumber("New Step Order", "0");
        if (!stepOrder) return;
        auto& block = file().as<Textblock>();
        block.Number = *number;
        block.StepOrder = *stepOrder;
        block.LinkTo = 0;
        const std::string empty = encodeTextblockData({});
        std::memcpy(block.Data.data(), empty.data(), block.Data.size());
        // A refused insert leaves the shown block current: the next save reads it again.
        if (file().call(BINSERT, kInsertPrefix) == status::kSuccess) {
            world().history().wrote({RecordKind::Textblock, {}, rowOf(file())});
            showRecord();
        }
    }

    void remove() {
        if (!deleteShown(kDeletePrefix)) return;
        // The deleted block must not stay on screen as if it were current.
        showInitialTexts();
        open();
    }

    QPlainTextEdit* data_ = nullptr;
    std::optional<RecordForm> form_;
};

}  // namespace

QWidget* createTextblockEditor(World& world, QWidget* parent) {
    return openNavigator<TextblockEditor>(world, parent);
}

}  // namespace gw
