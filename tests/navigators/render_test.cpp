// Renders the two windows over a small demo world into PNG files beside the test program, for
// a person to look at; checks only that something was drawn.
#include <gtest/gtest.h>

#include <QImage>
#include <QPlainTextEdit>
#include <memory>
#include <string>

#include "navigators/navigator_windows.h"
#include "scripted_dialogs.h"
#include "shell/world.h"
#include "tools/data/demo_world.h"

namespace gw::test {
namespace {

TEST(NavigatorRender, WindowsOverTheSmallDemoWorld) {
    testApplication();
    ScratchDirectory scratch;
    std::string error;
    ASSERT_EQ(demo::buildDemoWorld(scratch.path().string(), demo::DemoSize::Small, &error),
              status::kSuccess)
        << error;
    ScriptedDialogs dialogs;
    World world(dialogs);
    for (RecordKind kind : {RecordKind::Message, RecordKind::Textblock})
        ASSERT_EQ(world.file(kind).open("open: "), status::kSuccess);
    const std::pair<const char*, QWidget* (*)(World&, QWidget*)> windows[] = {
        {"frmMessage", createMessageEditor}, {"frmTextblock", createTextblockEditor}};
    for (const auto& [name, create] : windows) {
        SCOPED_TRACE(name);
        std::unique_ptr<QWidget> window(create(world, nullptr));
        window->show();
        window->resize(window->sizeHint());
        processEventsUntil([] { return false; }, 5);
        const QString path =
            QStringLiteral(GRAVEWIND_TEST_OUTPUT_DIR "/%1.png").arg(QString::fromLatin1(name));
        const QImage image = window->grab().toImage();
        EXPECT_FALSE(image.isNull());
        EXPECT_TRUE(image.save(path));
        window.reset();
    }
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(u'\n').toStdString();
    for (RecordKind kind : {RecordKind::Message, RecordKind::Textblock})
        world.file(kind).close("close: ");
}

}  // namespace
}  // namespace gw::test
