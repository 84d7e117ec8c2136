// Every window over the small demo world, drawn to PNG files beside the test program for a
// person to look at; the test checks only that each was opened and drawn.
#include <QAction>
#include <QMdiSubWindow>

#include "gui_test.h"
#include "shell/main_window.h"
#include "tools/data/demo_world.h"

namespace gw::test {
namespace {

TEST(Render, EachWindowOverTheDemoWorld) {
    testApplication();
    ScratchDirectory dir;
    std::string error;
    ASSERT_EQ(demo::buildDemoWorld(".", demo::DemoSize::Small, &error), status::kSuccess) << error;
    ScriptedDialogs dialogs;
    MDIForm1 main(dialogs);
    main.startUp();
    main.resize(1280, 860);
    const QString out = QStringLiteral(GRAVEWIND_TEST_OUTPUT_DIR "/");
    const std::pair<const char*, const char*> windows[] = {{"mnuAbout2", "frmAbout"},
                                                           {"mnuEditRace", "frmRace"},
                                                           {"mnuEditClass", "frmClass"},
                                                           {"mnuEditMessage", "frmMessage"},
                                                           {"mnuEditTextblock", "frmTextblock"}};
    for (const auto& [item, name] : windows) {
        SCOPED_TRACE(name);
        main.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        QMdiSubWindow* sub = main.subWindow(QString::fromLatin1(name));
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->widget()->objectName(), QString::fromLatin1(name));
        processEventsUntil([] { return false; }, 10);
        EXPECT_TRUE(
            sub->widget()->grab().save(out + QString::fromLatin1(name) + QStringLiteral(".png")));
    }
    EXPECT_EQ(main.objectName(), QStringLiteral("MDIForm1"));
    EXPECT_TRUE(main.grab().save(out + QStringLiteral("MDIForm1.png")));
    EXPECT_TRUE(main.close());
    EXPECT_EQ(joined(dialogs.messages), "");
}

}  // namespace
}  // namespace gw::test
