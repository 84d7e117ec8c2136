#pragma once
// What the editor's windows tell each other about records: which one a window now shows, and
// which one it has just written (saved, inserted or deleted). Windows that follow another
// one (the World Map follows the Room editor) listen here instead of knowing each other.
#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <functional>
#include <span>

#include "records/records.h"

namespace gw {

class WorldEvents final : public QObject {
    Q_OBJECT
public:
    // `key` is the record's key as its row stores it.
    void recordShown(RecordKind kind, std::span<const std::uint8_t> key) {
        emit shown(static_cast<int>(kind), bytes(key));
    }
    void recordWritten(RecordKind kind, std::span<const std::uint8_t> key) {
        emit written(static_cast<int>(kind), bytes(key));
    }
    // Before the editor writes a record from its history: a window that shows it with edits
    // asks whether they may go, and shows the record as stored if so. False when the
    // operator keeps them: then nothing may be written.
    bool mayReplace(RecordKind kind, std::span<const std::uint8_t> key) {
        bool may = true;
        emit replacing(static_cast<int>(kind), bytes(key), may);
        return may;
    }
    // Hands `receiver`, while it lives, the events of `kind`'s records only: before the history
    // replaces one (`onReplacing` may set `may` to false) and after any write of one.
    void followRecords(QObject* receiver, RecordKind kind,
                       std::function<void(const QByteArray& key, bool& may)> onReplacing,
                       std::function<void(const QByteArray& key)> onWritten) {
        const int wanted = static_cast<int>(kind);
        connect(this, &WorldEvents::replacing, receiver,
                [wanted, onReplacing](int k, const QByteArray& key, bool& may) {
                    if (k == wanted) onReplacing(key, may);
                });
        connect(this, &WorldEvents::written, receiver,
                [wanted, onWritten](int k, const QByteArray& key) {
                    if (k == wanted) onWritten(key);
                });
    }

signals:
    void shown(int kind, const QByteArray& key);
    void written(int kind, const QByteArray& key);
    // Connected directly only: a slot that keeps its edits sets `may` to false.
    void replacing(int kind, const QByteArray& key, bool& may);

private:
    static QByteArray bytes(std::span<const std::uint8_t> key) {
        return QByteArray(reinterpret_cast<const char*>(key.data()),
                          static_cast<qsizetype>(key.size()));
    }
};

}  // namespace gw
