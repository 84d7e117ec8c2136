#pragma once
// How a data file names itself: the sqlite header (application id, format version in the
// user version, page size and count) and the one-row description table. Internal to the store.
#include <sqlite3.h>

#include <cstdint>

#include "store/record_manager.h"

namespace gw {

inline constexpr std::uint32_t kApplicationId = 0x47574446;  // "GWDF"
inline constexpr int kHeaderSize = 100;
// How long a call waits for another program's lock before it gives kLocked.
inline constexpr int kBusyTimeoutMs = 1000;
// Header byte 18: the write version (1 rollback journal, 2 WAL). Bytes 24..27: the change
// counter, which every commit in rollback-journal mode increments. Bytes 40..43: the schema
// cookie, which only a change of tables or indexes moves.
inline constexpr int kWriteVersionOffset = 18;
inline constexpr std::uint8_t kRollbackJournalVersion = 1;
inline constexpr int kChangeCounterOffset = 24;
inline constexpr int kSchemaCookieOffset = 40;

inline constexpr const char* kDescriptionQuery =
    "SELECT record_type, key_kind, key_width, record_length FROM gravewind_file";

// Everything a data file's schema holds: these two tables, as created, and the index sqlite
// makes for a text primary key. Anything more (a trigger, a view, another index) is foreign.
inline constexpr const char* kDescriptionTableSql =
    "CREATE TABLE gravewind_file(record_type TEXT NOT NULL, key_kind TEXT NOT NULL, "
    "key_width INTEGER NOT NULL, record_length INTEGER NOT NULL)";
inline constexpr const char* kTextRecordsSql =
    "CREATE TABLE records(k BLOB PRIMARY KEY, row BLOB NOT NULL)";
inline constexpr const char* kNumberRecordsSql =
    "CREATE TABLE records(k INTEGER PRIMARY KEY, row BLOB NOT NULL)";

// kSuccess when the schema holds exactly what createDataFile made for this key kind,
// kForeignSchema when it holds anything else. Runs inside the caller's read transaction.
Status checkSchema(sqlite3* db, KeyKind kind);

std::uint32_t bigEndian32(const std::uint8_t* p);

// Checks the first 100 bytes of a file of `size` bytes: an sqlite file with our application
// id and a version we read. With wholeFileKnown (checked under a read lock) the size must also
// hold every page the header counts, which catches a truncated copy without reading it all.
Status checkHeader(const std::uint8_t* header, std::int64_t size, bool wholeFileKnown);

// Fills info from a row of kDescriptionQuery and the header's version; kCorruptFile when the
// description does not make sense.
Status describeFrom(sqlite3_stmt* row, const std::uint8_t* header, DataFileInfo& info);

}  // namespace gw
