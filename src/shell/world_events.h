#pragma once
// What the editor's windows tell each other about records: which one a window now shows, and
// which one it has just written (saved, inserted or deleted). Windows that follow another
// one (the World Map follows the Room editor) listen here instead of knowing each other.
#include <QByteArray>
#include <QObject>
#include <cstdint>
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

signals:
    void shown(int kind, const QByteArray& key);
    void written(int kind, const QByteArray& key);

private:
    static QByteArray bytes(std::span<const std::uint8_t> key) {
        return QByteArray(reinterpret_cast<const char*>(key.data()),
                          static_cast<qsizetype>(key.size()));
    }
};

}  // namespace gw
