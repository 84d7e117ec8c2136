#include "shell/about_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "shell/version.h"

namespace gw {

namespace {

constexpr std::array kThanks{
    "Thanks to the world builders, whose rooms, monsters and items fill the game.",
    "Thanks to the players, who keep exploring and tell us what breaks.",
    "Thanks to the board operators, who keep the game running night after night.",
    "Thanks to the testers, who tried every button before anyone else had to.",
    "Thanks to everyone who wrote down the file layouts so they could be kept.",
    "Thanks to all who sent ideas, fixes and patience.",
};

constexpr std::array kContact{
    "Questions, bug reports and ideas:",
    "see the README that comes with Gravewind.",
};

QLabel* addLabel(QWidget* parent, QLayout* layout, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    layout->addWidget(label);
    return label;
}

class AboutWindow final : public QWidget {
public:
    explicit AboutWindow(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("frmAbout"));
        setWindowTitle(QStringLiteral("About Gravewind"));
        auto* layout = new QVBoxLayout(this);

        auto* version = addLabel(this, layout, "lblVersion", "Gravewind v##");
        QFont big = version->font();
        big.setPointSizeF(big.pointSizeF() * 1.6);
        big.setBold(true);
        version->setFont(big);
        version->setAlignment(Qt::AlignCenter);

        auto* frame = new QGroupBox(QStringLiteral("Thanks and Props"), this);
        frame->setObjectName(QStringLiteral("Frame1"));
        auto* frameLayout = new QVBoxLayout(frame);
        for (std::size_t i = 0; i < kThanks.size(); ++i)
            addLabel(frame, frameLayout, ("Label1_" + std::to_string(i)).c_str(), kThanks[i]);
        layout->addWidget(frame);

        for (std::size_t i = 0; i < kContact.size(); ++i)
            addLabel(this, layout, ("Label2_" + std::to_string(i)).c_str(), kContact[i]);

        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        auto* ok = new QPushButton(QStringLiteral("N$ ok $M"), this);
        ok->setObjectName(QStringLiteral("cmdOK"));
        ok->setDefault(true);
        buttons->addWidget(ok);
        buttons->addStretch();
        layout->addLayout(buttons);
        connect(ok, &QPushButton::clicked, this, &AboutWindow::cmdOK_Click);

        Form_Load();
    }

private:
    void Form_Load() { findChild<QLabel*>(QStringLiteral("lblVersion"))->setText(versionLine()); }
    void cmdOK_Click() { close(); }
};

}  // namespace

QWidget* createAboutWindow(QWidget* parent) { return new AboutWindow(parent); }

}  // namespace gw
