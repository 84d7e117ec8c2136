#pragma once
// Statuses returned by BTRCALL. 0, 4 and 9 are the ones the game's editor tells apart;
// the others are this record manager's own, each with a short text for messages and logs.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace gw {

using Status = std::int16_t;

namespace status {
inline constexpr Status kSuccess = 0;
inline constexpr Status kKeyNotFound = 4;
inline constexpr Status kEndOfFile = 9;
inline constexpr Status kInvalidOperation = 20;
inline constexpr Status kNotOpen = 21;
inline constexpr Status kInvalidKeyNumber = 22;
inline constexpr Status kDuplicateKey = 23;
inline constexpr Status kNoCurrentRecord = 24;
inline constexpr Status kDataBufferTooShort = 25;
inline constexpr Status kInvalidDataLength = 26;
inline constexpr Status kInvalidKeyBuffer = 27;
inline constexpr Status kInvalidFileName = 28;
inline constexpr Status kTooManyOpenFiles = 29;
inline constexpr Status kFileNotFound = 30;
inline constexpr Status kNotADataFile = 31;
inline constexpr Status kCorruptFile = 32;
inline constexpr Status kUnsupportedVersion = 33;
inline constexpr Status kWrongRecordLength = 34;
inline constexpr Status kReadOnly = 35;
inline constexpr Status kLocked = 36;
inline constexpr Status kIoError = 37;
inline constexpr Status kFileExists = 38;
inline constexpr Status kOutOfMemory = 39;
inline constexpr Status kAccessDenied = 40;
inline constexpr Status kInvalidDefinition = 41;
inline constexpr Status kInvalidPositionBlock = 42;
inline constexpr Status kAlreadyOpen = 43;
inline constexpr Status kTransactionActive = 44;
inline constexpr Status kNoTransaction = 45;
inline constexpr Status kTransactionAborted = 46;
inline constexpr Status kDiskFull = 47;
inline constexpr Status kForeignSchema = 48;
inline constexpr Status kFileReplaced = 49;
inline constexpr Status kLinkLoop = 50;
inline constexpr Status kJournalBlocked = 51;
inline constexpr Status kDirectoryReadOnly = 52;
}  // namespace status

struct StatusInfo {
    Status code;
    std::string_view name;
    std::string_view text;
};

// Every status BTRCALL can return, in code order.
std::span<const StatusInfo> allStatuses();

// The text of a status ("key not found"); unknown codes give "unknown status".
std::string_view statusText(Status code);

// How an unexpected status is reported, in every window and tool alike: the caller's prefix,
// the status in decimal at once after it, and its meaning in parentheses
// ("cmdInsert, BINSERT, Error: 23 (a record with this key already exists)").
std::string statusReport(std::string_view prefix, Status code);

}  // namespace gw
