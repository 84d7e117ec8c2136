// Renders the Race and Class editors over a small demo world to PNG files in the build tree,
// for a person to look at; the test checks only that the pictures were made.
#include <gtest/gtest.h>

#include <QPixmap>
#include <QTabWidget>
#include <memory>

#include "editor_world.h"
#include "editors/catalogue_windows.h"
#include "tools/data/demo_world.h"

namespace gw::test {
namespace {

void render(QWidget* editor, const QString& file) {
    editor->resize(820, 500);
    editor->show();
    processEventsUntil([&] { return editor->isVisible(); });
    const QString path = QStringLiteral(GRAVEWIND_SCREENSHOT_DIR "/") + file;
    EXPECT_TRUE(editor->grab().save(path)) << path.toStdString();
}

TEST(EditorScreenshots, RaceAndClassOverADemoWorld) {
    EditorWorld w;
    std::string error;
    ASSERT_EQ(demo::buildDemoWorld(".", demo::DemoSize::Small, &error), 0) << error;
    for (RecordKind kind : {RecordKind::Race, RecordKind::Class})
        ASSERT_EQ(w.world.file(kind).open("BOPEN, test, Error: "), 0);

    std::unique_ptr<QWidget> race(createRaceEditor(w.world));
    render(race.get(), QStringLiteral("frmRace.png"));
    auto* tabs = race->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    tabs->setCurrentIndex(1);
    render(race.get(), QStringLiteral("frmRace_abilities.png"));

    std::unique_ptr<QWidget> cls(createClassEditor(w.world));
    render(cls.get(), QStringLiteral("frmClass.png"));
    EXPECT_TRUE(w.dialogs.messages().isEmpty()) << w.dialogs.messages().join(u'|').toStdString();
}

}  // namespace
}  // namespace gw::test
