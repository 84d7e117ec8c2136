#include "store/status.h"

#include <array>

namespace gw {

namespace {
using namespace status;
constexpr std::array kStatuses{
    StatusInfo{kSuccess, "Success", "success"},
    StatusInfo{kKeyNotFound, "KeyNotFound", "no record has this key"},
    StatusInfo{kEndOfFile, "EndOfFile", "end or beginning of file"},
    StatusInfo{kInvalidOperation, "InvalidOperation", "unknown operation code"},
    StatusInfo{kNotOpen, "NotOpen", "file not open"},
    StatusInfo{kInvalidKeyNumber, "InvalidKeyNumber", "only key number 0 exists"},
    StatusInfo{kDuplicateKey, "DuplicateKey", "a record with this key already exists"},
    StatusInfo{kNoCurrentRecord, "NoCurrentRecord", "no current record to update or delete"},
    StatusInfo{kDataBufferTooShort, "DataBufferTooShort",
               "the stored record is longer than the data buffer"},
    StatusInfo{kInvalidDataLength, "InvalidDataLength",
               "data length is outside the buffer, shorter than the key or longer than the "
               "file's record length"},
    StatusInfo{kInvalidKeyBuffer, "InvalidKeyBuffer", "key buffer too short for the key"},
    StatusInfo{kInvalidFileName, "InvalidFileName",
               "file name is empty, too long, or has a part too long for the system"},
    StatusInfo{kTooManyOpenFiles, "TooManyOpenFiles", "too many files open"},
    StatusInfo{kFileNotFound, "FileNotFound", "file not found"},
    StatusInfo{kNotADataFile, "NotADataFile", "not a Gravewind data file"},
    StatusInfo{kCorruptFile, "CorruptFile", "data file is damaged or truncated"},
    StatusInfo{kUnsupportedVersion, "UnsupportedVersion",
               "data file was written by a newer format version"},
    StatusInfo{kWrongRecordLength, "WrongRecordLength", "data file holds records of another type"},
    StatusInfo{kReadOnly, "ReadOnly", "data file is read-only"},
    StatusInfo{kLocked, "Locked", "data file is locked by another program"},
    StatusInfo{kIoError, "IoError", "input/output error reading or writing the data file"},
    StatusInfo{kFileExists, "FileExists", "file already exists"},
    StatusInfo{kOutOfMemory, "OutOfMemory", "out of memory"},
    StatusInfo{kAccessDenied, "AccessDenied", "no permission to read the data file"},
    StatusInfo{kInvalidDefinition, "InvalidDefinition",
               "record type, key or record length of a new data file is invalid"},
    StatusInfo{kInvalidPositionBlock, "InvalidPositionBlock",
               "position block is shorter than 128 bytes"},
    StatusInfo{kAlreadyOpen, "AlreadyOpen", "position block already refers to an open file"},
    StatusInfo{kTransactionActive, "TransactionActive",
               "a transaction is already active on this file"},
    StatusInfo{kNoTransaction, "NoTransaction", "no transaction is active on this file"},
    StatusInfo{kTransactionAborted, "TransactionAborted",
               "the transaction failed and was rolled back; nothing of it was written"},
    StatusInfo{kDiskFull, "DiskFull", "the disk is full; nothing of the failed write was stored"},
    StatusInfo{kForeignSchema, "ForeignSchema",
               "data file holds tables, indexes, views or triggers that Gravewind does not make"},
    StatusInfo{kFileReplaced, "FileReplaced",
               "data file was replaced or removed by another program since it was opened"},
    StatusInfo{kLinkLoop, "LinkLoop", "the file name's symbolic links form a loop"},
    StatusInfo{kJournalBlocked, "JournalBlocked",
               "the journal beside the data file cannot be made: a directory or another kind "
               "of file has its name"},
    StatusInfo{kDirectoryReadOnly, "DirectoryReadOnly",
               "the data file's directory is read-only, so the journal beside it cannot be "
               "written"},
};
}  // namespace

std::span<const StatusInfo> allStatuses() { return kStatuses; }

std::string_view statusText(Status code) {
    for (const auto& s : kStatuses)
        if (s.code == code) return s.text;
    return "unknown status";
}

std::string statusReport(std::string_view prefix, Status code) {
    return std::string(prefix) + std::to_string(code) + " (" + std::string(statusText(code)) + ")";
}

}  // namespace gw
