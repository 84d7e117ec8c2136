// BTRCALL: decodes the arguments, finds the open file behind a position block and hands the
// operation to its DataFile.
#include "store/record_manager.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "store/data_file.h"

namespace gw {

namespace {

// A position block holds a magic number, the handle's slot and the slot's generation, so a
// zeroed, stale or foreign block never reaches another file.
constexpr std::uint32_t kBlockMagic = 0x42505747;  // "GWPB"
constexpr std::size_t kBlockUsed = 16;
constexpr std::size_t kMaxOpenFiles = 255;

struct Slot {
    std::unique_ptr<DataFile> file;
    std::uint64_t generation = 0;
};

// The lock guards the slots only: an operation runs on its file outside it, so a search
// walking its own handles on a worker thread never makes the editor's calls wait.
struct Registry {
    std::mutex lock;
    std::vector<Slot> slots;
    std::uint64_t lastGeneration = 0;
};

thread_local std::string lastComplaint;

Registry& registry() {
    static Registry r;
    return r;
}

DataFile* fileOf(std::span<const std::uint8_t> block) {
    if (block.size() < kBlockUsed) return nullptr;
    std::uint32_t magic = 0;
    std::uint32_t index = 0;
    std::uint64_t generation = 0;
    std::memcpy(&magic, block.data(), 4);
    std::memcpy(&index, block.data() + 4, 4);
    std::memcpy(&generation, block.data() + 8, 8);
    Registry& r = registry();
    const std::lock_guard guard(r.lock);
    auto& slots = r.slots;
    if (magic != kBlockMagic || index >= slots.size()) return nullptr;
    Slot& slot = slots[index];
    return slot.file && slot.generation == generation ? slot.file.get() : nullptr;
}

std::size_t slotOf(std::span<const std::uint8_t> block) {
    std::uint32_t index = 0;
    std::memcpy(&index, block.data() + 4, 4);
    return index;
}

Status openFile(std::span<std::uint8_t> block, std::uint32_t dataLength,
                std::span<const std::uint8_t> key, std::uint16_t keyLength) {
    lastComplaint.clear();
    if (block.size() < kPositionBlockSize) return status::kInvalidPositionBlock;
    if (fileOf(block)) return status::kAlreadyOpen;
    const auto nameArea = key.first(std::min<std::size_t>(keyLength, key.size()));
    const auto end = std::find(nameArea.begin(), nameArea.end(), std::uint8_t{0});
    const std::string path(nameArea.begin(), end);
    if (path.empty()) return status::kInvalidFileName;

    auto& r = registry();
    auto hasRoom = [&r] {
        return r.slots.size() < kMaxOpenFiles ||
               std::any_of(r.slots.begin(), r.slots.end(), [](const Slot& s) { return !s.file; });
    };
    {
        const std::lock_guard guard(r.lock);
        if (!hasRoom()) return status::kTooManyOpenFiles;
    }
    std::unique_ptr<DataFile> file;
    if (Status s = DataFile::open(path, dataLength, file, lastComplaint); s != status::kSuccess)
        return s;
    const std::lock_guard guard(r.lock);
    auto free = std::find_if(r.slots.begin(), r.slots.end(), [](const Slot& s) { return !s.file; });
    if (free == r.slots.end() && r.slots.size() >= kMaxOpenFiles) return status::kTooManyOpenFiles;
    if (free == r.slots.end()) free = r.slots.emplace(r.slots.end());
    free->file = std::move(file);
    free->generation = ++r.lastGeneration;

    const auto index = static_cast<std::uint32_t>(free - r.slots.begin());
    std::fill(block.begin(), block.end(), std::uint8_t{0});
    std::memcpy(block.data(), &kBlockMagic, 4);
    std::memcpy(block.data() + 4, &index, 4);
    std::memcpy(block.data() + 8, &free->generation, 8);
    return status::kSuccess;
}

Status dispatch(std::uint16_t operation, std::span<std::uint8_t> block,
                std::span<std::uint8_t> data, std::uint32_t& dataLength,
                std::span<std::uint8_t> key, std::uint16_t keyLength, std::int16_t keyNumber) {
    if (operation == BSTOP) {
        const std::lock_guard guard(registry().lock);
        registry().slots.clear();
        return status::kSuccess;
    }
    if (operation == BOPEN) {
        if (keyNumber != 0) return status::kInvalidKeyNumber;
        return openFile(block, dataLength, key, keyLength);
    }
    DataFile* file = fileOf(block);
    if (!file) return status::kNotOpen;
    if (keyNumber != 0) return status::kInvalidKeyNumber;
    switch (operation) {
        case BCLOSE: {
            // The file closes outside the lock.
            Slot closing;
            {
                const std::lock_guard guard(registry().lock);
                closing = std::move(registry().slots[slotOf(block)]);
                registry().slots[slotOf(block)] = Slot{};
            }
            std::fill(block.begin(), block.end(), std::uint8_t{0});
            return status::kSuccess;
        }
        case BINSERT:
            return file->insert(data, dataLength);
        case BUPDATE:
            return file->update(data, dataLength);
        case BDELETE:
            return file->remove();
        case BGETEQUAL:
            return file->getEqual(key, keyLength, data, dataLength);
        case BGETNEXT:
            return file->getNext(data, dataLength);
        case BGETPREVIOUS:
            return file->getPrevious(data, dataLength);
        case BGETFIRST:
            return file->getFirst(data, dataLength);
        case BGETLAST:
            return file->getLast(data, dataLength);
        default:
            return status::kInvalidOperation;
    }
}

}  // namespace

Status BTRCALL(std::uint16_t operation, std::span<std::uint8_t> positionBlock,
               std::span<std::uint8_t> data, std::uint32_t& dataLength, std::span<std::uint8_t> key,
               std::uint16_t keyLength, std::int16_t keyNumber) {
    try {
        return dispatch(operation, positionBlock, data, dataLength, key, keyLength, keyNumber);
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    } catch (...) {
        return status::kIoError;
    }
}

std::string lastOpenComplaint() { return lastComplaint; }

std::optional<DataFileInfo> openFileInfo(std::span<const std::uint8_t> positionBlock) {
    const DataFile* file = fileOf(positionBlock);
    if (!file) return std::nullopt;
    return file->info();
}

Status beginTransaction(std::span<std::uint8_t> positionBlock) {
    DataFile* file = fileOf(positionBlock);
    return file ? file->beginTransaction() : status::kNotOpen;
}

Status endTransaction(std::span<std::uint8_t> positionBlock, bool commit) {
    DataFile* file = fileOf(positionBlock);
    return file ? file->endTransaction(commit) : status::kNotOpen;
}

Status beginSnapshot(std::span<std::uint8_t> positionBlock) {
    DataFile* file = fileOf(positionBlock);
    return file ? file->beginSnapshot() : status::kNotOpen;
}

Status checkIntegrity(std::span<std::uint8_t> positionBlock, std::string& complaint) {
    DataFile* file = fileOf(positionBlock);
    if (!file) return status::kNotOpen;
    try {
        return file->checkIntegrity(/*quick=*/false, complaint);
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
}

Status walkRows(std::span<std::uint8_t> positionBlock, const RowVisitor& visit, bool faultyOnly) {
    DataFile* file = fileOf(positionBlock);
    if (!file) return status::kNotOpen;
    try {
        return file->walkRows(visit, faultyOnly);
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
}

}  // namespace gw
