#pragma once
// Test doubles and helpers shared by the GUI tests: dialogs that record every message and
// answer from a script, event processing until a condition holds, and a scratch working
// directory for tests that open data files by name.
#include <QApplication>
#include <QString>
#include <QStringList>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <vector>

#include "shell/dialogs.h"

namespace gw::test {

struct AskedQuestion {
    QString text;
    QString title;
};

struct AskedPrompt {
    QString prompt;
    QString title;
    QString defaultText;
};

// Records every message, question and prompt in the order they came. Questions and prompts
// are answered from queues the test fills beforehand; one that finds its queue empty fails
// the test and answers No or the empty text (what a cancelled dialog gives).
class ScriptedDialogs final : public Dialogs {
public:
    ~ScriptedDialogs() override;

    void message(const QString& text) override;
    bool question(const QString& text, const QString& title) override;
    QString askText(const QString& prompt, const QString& title,
                    const QString& defaultText) override;

    void answerQuestions(std::initializer_list<bool> answers);
    void answerPrompts(std::initializer_list<QString> answers);
    void answerPrompts(std::initializer_list<const char*> answers);

    const QStringList& messages() const { return messages_; }
    const std::vector<AskedQuestion>& questions() const { return questions_; }
    const std::vector<AskedPrompt>& prompts() const { return prompts_; }

    // Forgets what was recorded (not the pending answers).
    void clear();
    // Answers scripted but never asked for; checked (and reported) on destruction too.
    std::size_t pendingAnswers() const { return questionAnswers_.size() + promptAnswers_.size(); }

private:
    QStringList messages_;
    std::vector<AskedQuestion> questions_;
    std::vector<AskedPrompt> prompts_;
    std::deque<bool> questionAnswers_;
    std::deque<QString> promptAnswers_;
};

// The QApplication of the test program, created on first use (offscreen when no platform
// is chosen).
QApplication& testApplication();

// Processes Qt events, deferred deletes included, until `done` holds or `maxRounds` rounds
// have passed; returns whether it holds. Never sleeps.
bool processEventsUntil(const std::function<bool()>& done, int maxRounds = 1000);

// Makes a fresh temporary directory the current directory for the scope; the previous
// current directory is restored and the directory removed when the scope ends.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace gw::test
