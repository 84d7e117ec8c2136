#pragma once
// Every message box and question of the editor goes through here, so that tests can answer
// prompts and read messages without a screen.
#include <QString>

class QWidget;

namespace gw {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message with an OK button only, no icon, titled "Gravewind".
    virtual void message(const QString& text) = 0;
    // A Yes/No question with its own title; true for Yes.
    virtual bool question(const QString& text, const QString& title) = 0;
    // An input box; the empty text when the user cancels.
    virtual QString askText(const QString& prompt, const QString& title,
                            const QString& defaultText) = 0;
    // A file to write, chosen by the user; the empty text when cancelled.
    virtual QString askSaveFileName(const QString& title, const QString& suggested,
                                    const QString& filter) {
        (void)title, (void)suggested, (void)filter;
        return {};
    }
};

// The real dialogs: QMessageBox and QInputDialog over `parent`.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void message(const QString& text) override;
    bool question(const QString& text, const QString& title) override;
    QString askText(const QString& prompt, const QString& title,
                    const QString& defaultText) override;
    QString askSaveFileName(const QString& title, const QString& suggested,
                            const QString& filter) override;

private:
    QWidget* parent_;
};

}  // namespace gw
