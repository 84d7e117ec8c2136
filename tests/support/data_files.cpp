#include "data_files.h"

#include <gtest/gtest.h>

#include <string>

namespace gw::test {

void createEmptyDataFile(RecordKind kind) {
    const RecordType& type = recordType(kind);
    DataFileInfo info;
    info.recordType = std::string(type.name());
    info.key = type.key();
    info.recordLength = type.dataLength();
    const Status s = createDataFile(std::string(type.fileName()), info, /*overwrite=*/true);
    EXPECT_EQ(s, status::kSuccess) << "cannot create " << type.fileName() << ": " << statusText(s);
}

void createEmptyDataFiles(std::initializer_list<RecordKind> kinds) {
    for (RecordKind kind : kinds) createEmptyDataFile(kind);
}

void createAllDataFilesBut(RecordKind missing) {
    for (RecordKind kind : allRecordKinds())
        if (kind != missing) createEmptyDataFile(kind);
}

}  // namespace gw::test
