// The only file of the editor that shows QMessageBox, QInputDialog or QFileDialog.
#include "shell/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "shell/version.h"

namespace gw {

void QtDialogs::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::question(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::askText(const QString& prompt, const QString& title,
                           const QString& defaultText) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

QString QtDialogs::askSaveFileName(const QString& title, const QString& suggested,
                                  const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, suggested, filter);
}

}  // namespace gw
