#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "scripted_dialogs.h"

namespace {

struct ProgramRun {
    int exitCode;
    QString out;
    QString err;
};

ProgramRun runGravewind(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(GRAVEWIND_BINARY), args);
    EXPECT_TRUE(p.waitForFinished(-1));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

TEST(CommandLine, AnswersWithoutOpeningAWindow) {
    gw::test::testApplication();
    {
        SCOPED_TRACE("--version");
        const ProgramRun r = runGravewind({QStringLiteral("--version")});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, QStringLiteral("gravewind 0.95.59\n"));
    }
    {
        SCOPED_TRACE("--help");
        const ProgramRun r = runGravewind({QStringLiteral("--help")});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: gravewind"))) << r.out.toStdString();
    }
    {
        SCOPED_TRACE("a directory that does not exist");
        const ProgramRun r = runGravewind({QStringLiteral("/nonexistent/gravewind-world")});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(
            r.err.contains(QStringLiteral("cannot change into /nonexistent/gravewind-world")))
            << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    {
        SCOPED_TRACE("two directories");
        const ProgramRun r = runGravewind({QStringLiteral("a"), QStringLiteral("b")});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage: gravewind"))) << r.err.toStdString();
    }
}

}  // namespace
