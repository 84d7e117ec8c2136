#pragma once
// What the GUI tests share: dialogs that answer from a script and record what they were
// asked, a scratch directory of real data files, the world over them, and the window under
// test reached through its widgets' names.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <deque>
#include <filesystem>
#include <functional>
#include <utility>

#include "records/class.h"
#include "records/race.h"
#include "records/text_fields.h"
#include "shell/dialogs.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace gw::test {

using Row = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;

// Keeps every message, question ("text|title") and prompt ("prompt|title|default") in
// order. Answers come from queues filled beforehand; a question or prompt that finds its
// queue empty fails the test and gets what a cancelled dialog gives.
class ScriptedDialogs final : public Dialogs {
public:
    ~ScriptedDialogs() override;
    void message(const QString& text) override {
        messages.push_back(text.toStdString());
        if (auto hook = std::exchange(onMessage, nullptr)) hook();
    }
    bool question(const QString& text, const QString& title) override;
    Answer questionWithCancel(const QString& text, const QString& title, const QString& yes,
                              const QString& no) override;
    QString askText(const QString& prompt, const QString& title,
                    const QString& defaultText) override;
    // Recorded as a prompt ("prompt|title|proposed|min..max"), answered from the prompts'
    // queue: an empty answer cancels; any number is passed on, in range or not.
    std::optional<std::int64_t> askNumber(const QString& prompt, const QString& title,
                                          std::int64_t proposed, std::int64_t min,
                                          std::int64_t max) override;
    // Recorded as a prompt ("title|start"), answered from the prompts' queue.
    QString chooseFolder(const QString& title, const QString& start) override;

    void answerQuestions(std::initializer_list<bool> a) { yes.insert(yes.end(), a); }
    void answerWithCancel(std::initializer_list<Answer> a) { choices.insert(choices.end(), a); }
    void answerPrompts(std::initializer_list<const char*> a) {
        typed.insert(typed.end(), a.begin(), a.end());
    }
    void clear() { messages.clear(), questions.clear(), prompts.clear(); }

    Strings messages, questions, prompts;
    // Run once, at the next message: as the box's closing makes its window active again.
    std::function<void()> onMessage;

private:
    std::deque<bool> yes;
    std::deque<Answer> choices;
    std::deque<std::string> typed;
};

// The program's QApplication, made on first use.
QApplication& testApplication();
std::string joined(const Strings& lines, const char* between = "\n");

// Copies `bytes` into a fixed-width field and fills the rest with blanks.
template <std::size_t N>
void setField(std::array<char, N>& field, std::string_view bytes) {
    field.fill(' ');
    std::copy_n(bytes.begin(), std::min(N, bytes.size()), field.begin());
}
// The record with this name stored as a typed one would be.
template <class Rec>
Rec renamed(Rec r, const char* name) {
    return setField(r.Name, zeroEnded(name, r.Name.size())), r;
}

// A race or class whose every field differs from its neighbours', unshown ones included.
Race makeRace(std::int16_t number, const char* name);
Class makeClass(std::int16_t number, const char* name);

// A fresh temporary directory as the current one, real data files in it, the world over
// them reporting through scripted dialogs, and the window under test.
class GuiTest : public ::testing::Test {
public:
    GuiTest();
    ~GuiTest() override;

    // The small demo world's files in the scratch directory (or `where`), none of them opened.
    void buildSmallWorld(const std::filesystem::path& where = ".");
    // An empty data file of each kind, opened in the world unless `open` is false.
    void create(std::initializer_list<RecordKind> kinds, bool open = true);
    // Inserts the record `fill` makes of a zeroed row.
    void put(RecordKind kind, const std::function<void(RecordFile&)>& fill);
    // Inserts `r` with `tail` in the row bytes no field maps.
    template <class Rec>
    void add(RecordKind kind, const Rec& r, std::uint8_t tail = 0) {
        put(kind, [&](RecordFile& f) {
            f.as<Rec>() = r;
            std::fill(f.row().begin() + f.type().mappedLength(), f.row().end(), tail);
        });
    }
    // The stored row of that number (empty when none), as far as it was read; moves the file.
    Row stored(RecordKind kind, std::int32_t number);
    std::vector<Row> all(RecordKind kind);  // in key order
    // The mapped bytes a file would store for `r`.
    template <class Rec>
    static Row rowOf(RecordKind kind, const Rec& r) {
        RecordFile f(recordType(kind));
        f.as<Rec>() = r;
        f.recordToRow();
        return Row(f.row().begin(), f.row().begin() + recordType(kind).mappedLength());
    }

    // Shows the window with every deferred page made, so that each control can be reached.
    void open(QWidget* (*make)(World&, QWidget*));
    void makeDeferredPages();
    template <class W = QWidget>
    W* child(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::string text(const char* name);  // a line edit's text or a combo box's shown text
    std::string texts(std::initializer_list<const char*> names);  // joined by blanks
    void type(const char* name, const char* text);
    // As an operator types: the line edit's text selected, then replaced key by key.
    void typeKeys(const char* name, const char* text);
    void click(const char* name);
    // The catalogue list: its entries one per line, the current one, a click on one.
    std::string list();
    int current();
    void select(int row);
    std::string said() { return joined(dialogs.messages); }
    // Each (answer, text of the one message it gets, or null for none) to the Insert prompt
    // of the catalogue on screen: nothing of the file changes.
    void expectInsertsRefused(RecordKind kind,
                              std::initializer_list<std::pair<const char*, const char*>> answers);

    std::filesystem::path previousDir, dir;
    ScriptedDialogs dialogs;
    World world{dialogs};
    std::unique_ptr<QWidget> window;
};

}  // namespace gw::test
