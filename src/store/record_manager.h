#pragma once
// The record manager: keyed, ordered files of fixed-layout rows behind one entry point.
// Each data file is an SQLite database that names itself (application id, record type,
// key definition, format version). Several threads may call it, each on files it opened
// itself; a file is used by one thread at a time.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "store/key_definition.h"
#include "store/status.h"

namespace gw {

inline constexpr std::uint16_t BOPEN = 0;
inline constexpr std::uint16_t BCLOSE = 1;
inline constexpr std::uint16_t BINSERT = 2;
inline constexpr std::uint16_t BUPDATE = 3;
inline constexpr std::uint16_t BDELETE = 4;
inline constexpr std::uint16_t BGETEQUAL = 5;
inline constexpr std::uint16_t BGETNEXT = 6;
inline constexpr std::uint16_t BGETPREVIOUS = 7;
inline constexpr std::uint16_t BGETFIRST = 12;
inline constexpr std::uint16_t BGETLAST = 13;
inline constexpr std::uint16_t BSTOP = 25;

inline constexpr std::size_t kPositionBlockSize = 128;

// The file format this engine writes; it opens files of this version and older.
inline constexpr std::uint32_t kFormatVersion = 1;
inline constexpr std::uint32_t kMaxRecordLength = 65535;

// The one entry point. Every buffer is a span that carries its real size: nothing past a
// span's end is read or written, whatever dataLength or keyLength say.
//  - positionBlock: 128 bytes, zero before BOPEN; identifies the open file afterwards.
//  - data, dataLength: in, the number of bytes offered (reads) or the row (writes);
//    out, the length of the row read.
//  - key, keyLength: BOPEN takes the file name; BGETEQUAL the key value; others ignore it.
//  - keyNumber: must be 0.
Status BTRCALL(std::uint16_t operation, std::span<std::uint8_t> positionBlock,
               std::span<std::uint8_t> data, std::uint32_t& dataLength, std::span<std::uint8_t> key,
               std::uint16_t keyLength, std::int16_t keyNumber);

// What a data file says about itself.
struct DataFileInfo {
    std::string recordType;  // "Race", "Room", ...
    KeySpec key;
    std::uint32_t recordLength = 0;  // the longest row the file takes
    int formatVersion = 0;
};

// Creates an empty data file (not a BTRCALL operation: the game ships its files).
// Refuses with kFileExists unless overwrite is set.
Status createDataFile(const std::string& path, const DataFileInfo& info, bool overwrite = false);

// Whether path names a file that starts as a Gravewind data file does (sqlite's magic and our
// application id), whatever state the rest is in. Opens nothing through sqlite.
bool isDataFile(const std::string& path);

// A number that changes with every commit to the data file at path, whichever program makes
// it (0 when the file cannot be read): tells a reader that its picture of the file is old.
std::uint32_t commitCounter(const std::string& path);

// sqlite's first complaint about the file that this thread's last BOPEN refused as damaged
// (status 32 from a failed quick check); empty when the last BOPEN failed otherwise or succeeded.
std::string lastOpenComplaint();

// The self-description of the file open under this position block.
std::optional<DataFileInfo> openFileInfo(std::span<const std::uint8_t> positionBlock);

// Runs body inside one write transaction on the open file: every BTRCALL write made by
// body commits together when it returns 0, or none does when it returns any other status
// (which is then returned). Used by bulk loads that must be all or nothing.
template <class Body>
Status inTransaction(std::span<std::uint8_t> positionBlock, Body&& body);

Status beginTransaction(std::span<std::uint8_t> positionBlock);
Status endTransaction(std::span<std::uint8_t> positionBlock, bool commit);

// A read transaction, ended by endTransaction: every read until then sees one committed state
// of the file, whatever other programs commit meanwhile, and writes are refused. Other
// programs' writes wait for it (kLocked after the lock wait).
Status beginSnapshot(std::span<std::uint8_t> positionBlock);

// sqlite's full integrity check of the open file: kCorruptFile and sqlite's first complaint
// when it fails. BOPEN already refuses a file that fails the quicker check.
Status checkIntegrity(std::span<std::uint8_t> positionBlock, std::string& complaint);

// A stored row that would not load back as it is stored.
struct RowFault {
    std::string key;      // the key it is stored under: 9999, 1:5 (map:room), "Wren"
    std::string problem;  // "the row is 120 bytes; the file's records are 126 bytes"
};

// Called with each row in key order and, for a row that would not load back as stored, what is
// wrong with it (nullptr for a sound row); returns false to stop the walk.
using RowVisitor = std::function<bool(std::span<const std::uint8_t> row, const RowFault* fault)>;

// Every row of the open file in key order, read in one statement, for whole-file passes that
// must pass on only what loads back: a row whose length is not the file's record length, or
// whose own key fields name another key than the one it is stored under, comes with a fault.
// Call it inside a snapshot (beginSnapshot) to read one committed state. With faultyOnly the
// sound rows are skipped inside sqlite: a check that only names faults costs little more than
// reading the file.
Status walkRows(std::span<std::uint8_t> positionBlock, const RowVisitor& visit,
                bool faultyOnly = false);

template <class Body>
Status inTransaction(std::span<std::uint8_t> positionBlock, Body&& body) {
    if (Status s = beginTransaction(positionBlock); s != status::kSuccess) return s;
    Status result = body();
    Status end = endTransaction(positionBlock, result == status::kSuccess);
    return result != status::kSuccess ? result : end;
}

}  // namespace gw
