// gravewind [DIR]: the editor, run in the directory that holds the game's data files.
#include <unistd.h>

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "shell/dialogs.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/version.h"

namespace {

constexpr const char* kUsage =
    "Usage: gravewind [options] [DIR]\n"
    "Edit the game's world database: the ten data files in DIR, or in the current\n"
    "directory when DIR is not given (or in the last world opened, when \"Reopen last\n"
    "world on start-up\" is chosen in the File menu).\n"
    "\n"
    "Options:\n"
    "  --help       show this text and exit\n"
    "  --version    show the version and exit\n"
    "Qt's own options (-platform, -style ...) are accepted as well.\n";

}  // namespace

int main(int argc, char** argv) {
    // --help and --version answer before any window system is touched.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("gravewind %d.%d.%d\n", gw::kVersionMajor, gw::kVersionMinor,
                        gw::kVersionRevision);
            return 0;
        }
    }

    QApplication app(argc, argv);  // takes Qt's own options out of argv
    QCoreApplication::setOrganizationName(QStringLiteral("Gravewind"));
    QCoreApplication::setApplicationName(QStringLiteral("Gravewind"));
    QGuiApplication::setDesktopFileName(QStringLiteral("gravewind"));

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() > 1 || (!args.isEmpty() && args.front().startsWith(QLatin1Char('-')))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString folder = args.isEmpty() ? gw::worldToReopen() : args.front();
    if (!folder.isEmpty()) {
        const QByteArray dir = folder.toLocal8Bit();
        if (::chdir(dir.constData()) != 0) {
            std::fprintf(stderr, "gravewind: cannot change into %s: %s\n", dir.constData(),
                         std::strerror(errno));
            return 2;
        }
    }

    gw::QtDialogs dialogs;
    gw::MDIForm1 window(dialogs);
    dialogs.setParent(&window);
    window.startUp();
    return app.exec();
}
