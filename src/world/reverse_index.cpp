#include "world/reverse_index.h"

#include <algorithm>
#include <optional>

#include "world/world_scan.h"

namespace gw::world {

ReverseIndex::ReverseIndex(const std::filesystem::path& dir) {
    ScanOptions options;
    options.keepNames = true;
    WorldScan scan(dir, allRecordKinds(), options);
    for (const UnreadableFile& f : scan.unreadable()) unreadable_.push_back(f.path + ": " + f.why);
    byTarget_.reserve(scan.occurrences().size() / 2);
    holders_.reserve(scan.recordCount());
    // A holder per record that names anything, in the order of the walk.
    std::optional<std::pair<RecordKind, std::uint32_t>> last;
    for (const Occurrence& o : scan.occurrences()) {
        if (!last || last->first != o.kind || last->second != o.record) {
            holders_.push_back(
                {o.kind, scan.key(o.kind, o.record), scan.takeName(o.kind, o.record), {}});
            last = std::pair{o.kind, o.record};
        }
        const Holder& h = holders_.back();
        const auto holder = static_cast<std::uint32_t>(holders_.size() - 1);
        byTarget_[targetOf(o.reference->to, targetKey(h.key, *o.reference, o.value))].push_back(
            {holder, o.field, o.index});
    }
}

ReverseIndex::Target ReverseIndex::targetOf(RecordKind kind, const RecordKey& key) {
    if (key.kind == KeyKind::Int32Pair)
        return {kind, key.number * 4294967296LL + (key.room + 2147483648LL)};
    return {kind, key.number};
}

std::string ReverseIndex::holderName(RecordKind kind, const RecordKey& key) {
    return std::to_string(static_cast<int>(kind)) + ":" + std::to_string(key.number) + ":" +
           std::to_string(key.room) + ":" + key.text;
}

void ReverseIndex::add(std::uint32_t holder, Target target, const FieldInfo* field,
                       std::uint32_t index) {
    byTarget_[target].push_back({holder, field, index});
    auto& targets = holders_[holder].targets;
    if (std::find(targets.begin(), targets.end(), target) == targets.end())
        targets.push_back(target);
}

void ReverseIndex::prepareUpdates() {
    // Made at the first update, not with the index: most sessions never need them.
    for (std::uint32_t i = 0; i < holders_.size(); ++i)
        holderIds_[holderName(holders_[i].kind, holders_[i].key)] = i;
    for (const auto& [target, entries] : byTarget_)
        for (const Entry& e : entries) {
            auto& targets = holders_[e.holder].targets;
            if (std::find(targets.begin(), targets.end(), target) == targets.end())
                targets.push_back(target);
        }
}

std::vector<Referrer> ReverseIndex::referrers(RecordKind kind, const RecordKey& key) const {
    std::vector<Referrer> out;
    const auto it = byTarget_.find(targetOf(kind, key));
    if (it == byTarget_.end()) return out;
    for (const Entry& e : it->second) {
        const Holder& h = holders_[e.holder];
        out.push_back({h.kind, h.key, h.name, e.field, e.index});
    }
    return out;
}

std::size_t ReverseIndex::referringRecords(RecordKind kind, const RecordKey& key) const {
    const auto it = byTarget_.find(targetOf(kind, key));
    if (it == byTarget_.end()) return 0;
    std::size_t records = 0;
    // A record's entries for one target are added together.
    for (std::size_t i = 0; i < it->second.size(); ++i)
        if (i == 0 || it->second[i].holder != it->second[i - 1].holder) ++records;
    return records;
}

void ReverseIndex::update(RecordKind kind, const RecordKey& key, const void* record) {
    if (holderIds_.empty()) prepareUpdates();
    const std::string name = holderName(kind, key);
    auto found = holderIds_.find(name);
    if (found == holderIds_.end()) {
        holders_.push_back({kind, key, {}, {}});
        found = holderIds_.emplace(name, static_cast<std::uint32_t>(holders_.size() - 1)).first;
    }
    const std::uint32_t holder = found->second;
    for (const Target& t : holders_[holder].targets) {
        auto& entries = byTarget_[t];
        std::erase_if(entries, [holder](const Entry& e) { return e.holder == holder; });
        if (entries.empty()) byTarget_.erase(t);
    }
    holders_[holder].targets.clear();
    if (!record) return;
    holders_[holder].name = recordName(recordType(kind), record);
    std::vector<FoundReference> names;
    referencesIn(kind, record, names);
    for (const FoundReference& f : names)
        add(holder, targetOf(f.reference->to, targetKey(key, *f.reference, f.value)), f.field,
            static_cast<std::uint32_t>(f.index));
}

}  // namespace gw::world
