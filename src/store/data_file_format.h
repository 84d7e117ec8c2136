#pragma once
// How a data file names itself: the sqlite header (application id, format version in the
// user version, page size and count) and the one-row description table. Internal to the store.
#include <sqlite3.h>

#include <cstdint>

#include "store/record_manager.h"

namespace gw {

inline constexpr std::uint32_t kApplicationId = 0x47574446;  // "GWDF"
inline constexpr int kHeaderSize = 100;
inline constexpr int kBusyTimeoutMs = 1000;
// Header bytes 18..27: the write version (1 rollback journal, 2 WAL) through the change
// counter, which every commit in rollback-journal mode increments.
inline constexpr int kChangeBytesOffset = 18;
inline constexpr std::uint8_t kRollbackJournalVersion = 1;
// Mapping the file's first 64 KiB lets a walk check the change counter without a system
// call. Only the head is mapped: the other pages are read as usual, and a mapping that
// covers the whole file would give more for a foreign program's truncation to hit.
inline constexpr const char* kMmapPragma = "PRAGMA mmap_size=65536";

inline constexpr const char* kDescriptionQuery =
    "SELECT record_type, key_kind, key_width, record_length FROM gravewind_file";

// Checks the first 100 bytes of a file of `size` bytes: an sqlite file with our application
// id and a version we read. With wholeFileKnown (checked under a read lock) the size must also
// hold every page the header counts, which catches a truncated copy without reading it all.
Status checkHeader(const std::uint8_t* header, std::int64_t size, bool wholeFileKnown);

// Fills info from a row of kDescriptionQuery and the header's version; kCorruptFile when the
// description does not make sense.
Status describeFrom(sqlite3_stmt* row, const std::uint8_t* header, DataFileInfo& info);

}  // namespace gw
