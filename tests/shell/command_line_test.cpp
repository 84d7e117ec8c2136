#include <QProcess>

#include "gui_test.h"

namespace {

TEST(CommandLine, AnswersWithoutOpeningAWindow) {
    gw::test::testApplication();
    qputenv("ASAN_OPTIONS", "detect_leaks=0");  // the program's Qt keeps lifetime allocations
    struct Case {
        QStringList args;
        int exitCode;
        const char* out;  // what standard output starts with
        const char* err;  // what standard error holds
    } const cases[] = {
        {{QStringLiteral("--version")}, 0, "gravewind 0.95.59\n", ""},
        {{QStringLiteral("--help")}, 0, "Usage: gravewind", ""},
        {{QStringLiteral("/nonexistent/gravewind-world")},
         2,
         "",
         "cannot change into /nonexistent/gravewind-world"},
        {{QStringLiteral("a"), QStringLiteral("b")}, 2, "", "Usage: gravewind"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QProcess p;
        p.start(QStringLiteral(GRAVEWIND_BINARY), c.args);
        ASSERT_TRUE(p.waitForFinished(-1));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), c.exitCode);
        const std::string out = p.readAllStandardOutput().toStdString();
        const std::string err = p.readAllStandardError().toStdString();
        EXPECT_TRUE(out.starts_with(c.out) && (*c.out || out.empty())) << out;
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
    }
}

}  // namespace
