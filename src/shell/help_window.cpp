#include "shell/help_window.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

namespace gw {

QWidget* createHelpWindow(QWidget* parent) {
    auto* browser = new QTextBrowser(parent);
    // A window of its own beside the main window, so the manual stays open while editing.
    browser->setWindowFlag(Qt::Window);
    browser->setObjectName(QStringLiteral("frmHelp"));
    browser->setWindowTitle(QStringLiteral("Gravewind Manual"));
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(QString::fromLatin1(kManualUrl)), QTextDocument::MarkdownResource);
    browser->resize(820, 760);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), browser);
    QObject::connect(close, &QShortcut::activated, browser, &QWidget::close);
    return browser;
}

}  // namespace gw
