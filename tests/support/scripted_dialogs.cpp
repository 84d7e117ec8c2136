#include "scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace gw::test {

ScriptedDialogs::~ScriptedDialogs() {
    EXPECT_EQ(pendingAnswers(), 0u) << "scripted answers were never asked for";
}

void ScriptedDialogs::message(const QString& text) { messages_.append(text); }

bool ScriptedDialogs::question(const QString& text, const QString& title) {
    questions_.push_back({text, title});
    if (questionAnswers_.empty()) {
        ADD_FAILURE() << "unscripted question \"" << text.toStdString() << "\" (title \""
                      << title.toStdString() << "\"); answering No";
        return false;
    }
    const bool answer = questionAnswers_.front();
    questionAnswers_.pop_front();
    return answer;
}

QString ScriptedDialogs::askText(const QString& prompt, const QString& title,
                                 const QString& defaultText) {
    prompts_.push_back({prompt, title, defaultText});
    if (promptAnswers_.empty()) {
        ADD_FAILURE() << "unscripted prompt \"" << prompt.toStdString() << "\" (title \""
                      << title.toStdString() << "\"); answering with the empty text";
        return QString();
    }
    QString answer = promptAnswers_.front();
    promptAnswers_.pop_front();
    return answer;
}

void ScriptedDialogs::answerQuestions(std::initializer_list<bool> answers) {
    questionAnswers_.insert(questionAnswers_.end(), answers);
}

void ScriptedDialogs::answerPrompts(std::initializer_list<QString> answers) {
    promptAnswers_.insert(promptAnswers_.end(), answers);
}

void ScriptedDialogs::answerPrompts(std::initializer_list<const char*> answers) {
    for (const char* a : answers) promptAnswers_.push_back(QString::fromUtf8(a));
}

void ScriptedDialogs::clear() {
    messages_.clear();
    questions_.clear();
    prompts_.clear();
}

QApplication& testApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "gravewind-test";
    static char* argv[] = {name, nullptr};
    // Destroyed when the test program's environment tears down, before static destruction:
    // Qt's own globals go away at exit in an order a static QApplication would race.
    class AppEnvironment final : public ::testing::Environment {
    public:
        QApplication* app = new QApplication(argc, argv);
        void TearDown() override {
            delete app;
            app = nullptr;
        }
    };
    auto* environment = new AppEnvironment;
    ::testing::AddGlobalTestEnvironment(environment);
    return *environment->app;
}

bool processEventsUntil(const std::function<bool()>& done, int maxRounds) {
    testApplication();
    for (int round = 0; round < maxRounds; ++round) {
        if (done()) return true;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return done();
}

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/gravewind-test-XXXXXX"));
    dir.setAutoRemove(false);
    if (!dir.isValid()) {
        ADD_FAILURE() << "cannot make a temporary directory";
        path_ = previous_;
        return;
    }
    path_ = std::filesystem::path(dir.path().toStdString());
    std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    std::filesystem::current_path(previous_);
    if (path_ != previous_) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

}  // namespace gw::test

// The GUI tests run with leak detection off, as the test list asks: Qt and fontconfig keep
// program-lifetime allocations that LeakSanitizer would report. Set here as well because
// ctest drops all but the first entry of the test list's ENVIRONMENT.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
