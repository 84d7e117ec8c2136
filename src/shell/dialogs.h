#pragma once
// Every message box and question of the editor goes through here, so that tests can answer
// prompts and read messages without a screen.
#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

namespace gw {

// The answers of a question that can also be cancelled.
enum class Answer { Yes, No, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message with an OK button only, no icon, titled "Gravewind".
    virtual void message(const QString& text) = 0;
    // A Yes/No question with its own title; true for Yes. Every such question can throw work
    // away when answered Yes: No is the default button, and Escape answers No.
    virtual bool question(const QString& text, const QString& title) = 0;
    // The same question with a long text (a list) the operator may open beside it.
    virtual bool questionWithDetails(const QString& text, const QString& title,
                                     const QString& details) {
        return question(text + QStringLiteral("\n\n") + details, title);
    }
    // A question with a third answer, Cancel: `yes` and `no` are the texts of the first two
    // buttons ("Save", "Discard"). Cancel, which changes nothing, is the default button and
    // Escape's answer.
    virtual Answer questionWithCancel(const QString& text, const QString& title, const QString& yes,
                                      const QString& no) = 0;
    // An input box; the empty text when the user cancels.
    virtual QString askText(const QString& prompt, const QString& title,
                            const QString& defaultText) = 0;
    // A whole number from `min` to `max`, `proposed` filled in; nothing when cancelled.
    virtual std::optional<std::int64_t> askNumber(const QString& prompt, const QString& title,
                                                  std::int64_t proposed, std::int64_t min,
                                                  std::int64_t max) {
        (void)prompt, (void)title, (void)proposed, (void)min, (void)max;
        return std::nullopt;
    }
    // A folder chooser starting at `start`; the empty text when the user cancels.
    virtual QString chooseFolder(const QString& title, const QString& start) {
        (void)title, (void)start;
        return {};
    }
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
    bool questionWithDetails(const QString& text, const QString& title,
                             const QString& details) override;
    Answer questionWithCancel(const QString& text, const QString& title, const QString& yes,
                              const QString& no) override;
    QString askText(const QString& prompt, const QString& title,
                    const QString& defaultText) override;
    std::optional<std::int64_t> askNumber(const QString& prompt, const QString& title,
                                          std::int64_t proposed, std::int64_t min,
                                          std::int64_t max) override;
    QString chooseFolder(const QString& title, const QString& start) override;
    QString askSaveFileName(const QString& title, const QString& suggested,
                            const QString& filter) override;

private:
    QWidget* parent_;
};

}  // namespace gw
