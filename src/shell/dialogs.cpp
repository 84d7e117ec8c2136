// The only file of the editor that shows QMessageBox, QInputDialog or QFileDialog.
#include "shell/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <limits>

#include "shell/version.h"

namespace gw {

void QtDialogs::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::question(const QString& text, const QString& title) {
    return questionWithDetails(text, title, {});
}

bool QtDialogs::questionWithDetails(const QString& text, const QString& title,
                                    const QString& details) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
    if (!details.isEmpty()) box.setDetailedText(details);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Answer QtDialogs::questionWithCancel(const QString& text, const QString& title, const QString& yes,
                                     const QString& no) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent_);
    QAbstractButton* yesButton = box.addButton(yes, QMessageBox::AcceptRole);
    QAbstractButton* noButton = box.addButton(no, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yesButton) return Answer::Yes;
    if (box.clickedButton() == noButton) return Answer::No;
    return Answer::Cancel;
}

QString QtDialogs::askText(const QString& prompt, const QString& title,
                           const QString& defaultText) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

std::optional<std::int64_t> QtDialogs::askNumber(const QString& prompt, const QString& title,
                                                 std::int64_t proposed, std::int64_t min,
                                                 std::int64_t max) {
    // The box holds an int; every key of our files fits in one.
    auto fit = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                         std::numeric_limits<int>::max()));
    };
    bool accepted = false;
    const int value = QInputDialog::getInt(parent_, title, prompt, fit(proposed), fit(min),
                                           fit(max), 1, &accepted);
    if (!accepted) return std::nullopt;
    return value;
}

QString QtDialogs::chooseFolder(const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent_, title, start);
}

QString QtDialogs::askSaveFileName(const QString& title, const QString& suggested,
                                   const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, suggested, filter);
}

}  // namespace gw
