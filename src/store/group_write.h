#pragma once
// Rows of several data files rewritten as one change: one sqlite connection attaches every
// file and commits them together through sqlite's super-journal, so a crash at any point
// leaves every file as it was before or every file as it is after.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/status.h"

namespace gw {

struct RowRewrite {
    std::vector<std::uint8_t> before;  // the row as read; the file must still hold it
    std::vector<std::uint8_t> after;   // may carry another key: the row moves to it
};

struct FileRewrite {
    std::string path;
    std::string recordType;  // what the file must say it holds
    std::vector<RowRewrite> rows;
};

// Writes every rewrite or none. Refuses without waiting more than a moment when another
// program holds one of the files (kLocked), when a row is no longer as read (kKeyNotFound),
// when a moved row's new key is taken (kDuplicateKey), and with the statuses of BOPEN for a
// file that is missing, read-only or not one of ours. On failure, `problem` names the file
// and says why.
Status rewriteTogether(std::span<const FileRewrite> files, std::string& problem);

}  // namespace gw
