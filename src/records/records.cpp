#include "records/records.h"

#include "records/race.h"

namespace gw {

const RecordType& recordType(RecordKind kind) {
    switch (kind) {
        case RecordKind::Race:
            return RecordTraits<Race>::type();
        default:
            break;
    }
    return RecordTraits<Race>::type();  // the other nine are being declared
}

const std::array<RecordKind, kRecordKindCount>& allRecordKinds() {
    static const std::array<RecordKind, kRecordKindCount> kinds{
        RecordKind::Race,  RecordKind::Class, RecordKind::Spell,   RecordKind::Monster,
        RecordKind::Item,  RecordKind::Shop,  RecordKind::Room,    RecordKind::Message,
        RecordKind::Textblock, RecordKind::User};
    return kinds;
}

const RecordType* recordTypeForFile(std::string_view fileName) {
    for (RecordKind kind : allRecordKinds())
        if (recordType(kind).fileName() == fileName) return &recordType(kind);
    return nullptr;
}

}  // namespace gw
