// frmRace: the Race records of wccrace2.dat, and the race listing export.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editors/catalogue_editor.h"
#include "editors/catalogue_windows.h"
#include "editors/race_listing.h"
#include "shell/form_layout.h"
#include "shell/world.h"

namespace gw {

namespace {

// The six statistics, in stored order: (row caption, field suffix).
constexpr const char* kStatistics[][2] = {
    {"Intellect", "Intellect"}, {"Willpower", "Willpower"}, {"Strength", "Strength"},
    {"Health", "Health"},       {"Agility", "Agility"},     {"Charm", "Charm"},
};

const Binding kRaceBindings[] = {
    {"txtNumber", "Number", Conversion::Number},
    {"txtName", "Name", Conversion::ZeroEndedText},
    {"txtExpChart", "ExpChart", Conversion::Number},
    {"txtCp", "Cp", Conversion::Number},
    {"txtHpBonus", "HpBonus", Conversion::Number},
    {"txtMinIntellect", "MinIntellect", Conversion::Number},
    {"txtMaxIntellect", "MaxIntellect", Conversion::Number},
    {"txtMinWillpower", "MinWillpower", Conversion::Number},
    {"txtMaxWillpower", "MaxWillpower", Conversion::Number},
    {"txtMinStrength", "MinStrength", Conversion::Number},
    {"txtMaxStrength", "MaxStrength", Conversion::Number},
    {"txtMinHealth", "MinHealth", Conversion::Number},
    {"txtMaxHealth", "MaxHealth", Conversion::Number},
    {"txtMinAgility", "MinAgility", Conversion::Number},
    {"txtMaxAgility", "MaxAgility", Conversion::Number},
    {"txtMinCharm", "MinCharm", Conversion::Number},
    {"txtMaxCharm", "MaxCharm", Conversion::Number},
    abilityCodeBinding(10),
    abilityAmountBinding(10),
};

const CatalogueDescription kRace{
    .windowName = "frmRace",
    .caption = "Race Editor",
    .kind = RecordKind::Race,
    .insertPrompt = "New Race Number:",
    .insertName = "New Race",
    .messages = {.loadFirst = "LoadRacees, BGETFIRST, Error: ",
                 .loadNext = "LoadRace, BGETNEXT, , Error: "},
    .bindings = kRaceBindings,
    .loadTiming = LoadTiming::AfterShow,
};

QWidget* raceForm() {
    QWidget* general = nullptr;
    QTabWidget* tabs = generalAndAbilitiesTabs(10, general);

    auto* identity = new QGridLayout;
    addRow(identity, 0, QStringLiteral("Number"), {numberBox("txtNumber")});
    addRow(identity, 1, QStringLiteral("Name"), {textBox(QStringLiteral("txtName"), 28)});
    identity->setColumnStretch(1, 1);

    auto* statistics = new QGroupBox(QStringLiteral("Statistics"));
    auto* stats = new QGridLayout(statistics);
    stats->addWidget(new QLabel(QStringLiteral("Min")), 0, 1, Qt::AlignHCenter);
    stats->addWidget(new QLabel(QStringLiteral("Max")), 0, 2, Qt::AlignHCenter);
    int row = 1;
    for (const auto& [caption, suffix] : kStatistics) {
        addRow(stats, row++, QString::fromLatin1(caption),
               {numberBox(QStringLiteral("txtMin") + QString::fromLatin1(suffix)),
                numberBox(QStringLiteral("txtMax") + QString::fromLatin1(suffix))});
    }

    auto* points = new QGroupBox(QStringLiteral("Points"));
    auto* pointsGrid = new QGridLayout(points);
    addRow(pointsGrid, 0, QStringLiteral("Hp Bonus"), {numberBox("txtHpBonus")});
    addRow(pointsGrid, 1, QStringLiteral("Starting Cp"), {numberBox("txtCp")});
    addRow(pointsGrid, 2, QStringLiteral("Exp Chart"), {numberBox("txtExpChart")});
    pointsGrid->setRowStretch(3, 1);

    auto* figures = new QHBoxLayout;
    figures->addWidget(statistics);
    figures->addWidget(points);
    figures->addStretch(1);

    auto* print = new QPushButton(QStringLiteral("Print Html"));
    print->setObjectName(QStringLiteral("cmdPrintHtml"));
    auto* actions = new QHBoxLayout;
    actions->addStretch(1);
    actions->addWidget(print);

    auto* page = new QVBoxLayout(general);
    page->addLayout(identity);
    page->addLayout(figures);
    page->addStretch(1);
    page->addLayout(actions);
    return tabs;
}

}  // namespace

QWidget* createRaceEditor(World& world, QWidget* parent) {
    auto* editor = new CatalogueEditor(world, kRace, raceForm(), parent);
    auto* print = editor->findChild<QPushButton*>(QStringLiteral("cmdPrintHtml"));
    // The listing goes to the current directory, the one the data files are opened from.
    QObject::connect(print, &QPushButton::clicked, editor, [&world] {
        if (!writeRaceListing(world.file(RecordKind::Race), "races.txt"))
            world.dialogs().message(QStringLiteral("races.txt could not be written."));
    });
    return editor;
}

}  // namespace gw
