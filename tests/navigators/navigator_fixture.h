#pragma once
// A world with real, empty data files in a scratch directory, the scripted dialogs, and the
// small helpers the navigator tests share: rows put in and read back by key, buttons
// clicked by name.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "scripted_dialogs.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace gw::test {

using Row = std::vector<std::uint8_t>;

class NavigatorTest : public ::testing::Test {
protected:
    NavigatorTest();
    ~NavigatorTest() override;

    RecordFile& file(RecordKind kind) { return world_.file(kind); }
    // Fills the file's in-memory record with `fill`, inserts it; fails the test otherwise.
    void insert(RecordKind kind, const std::function<void(RecordFile&)>& fill);
    // The stored row with this number (empty when there is none); moves the file.
    Row stored(RecordKind kind, std::int32_t number);
    // Every stored row in key order; moves the file.
    std::vector<Row> all(RecordKind kind);

    void open(QWidget* (*create)(World&, QWidget*));
    void click(const char* name);
    QLineEdit* box(const char* name);
    QString text(const char* name) { return box(name)->text(); }

    ScratchDirectory scratch_;
    ScriptedDialogs dialogs_;
    World world_{dialogs_};
    std::unique_ptr<QWidget> window_;
};

}  // namespace gw::test
