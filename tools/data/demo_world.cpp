#include "tools/data/demo_world.h"

#include <filesystem>

#include "store/record_file.h"
#include "tools/data/demo_plan.h"

namespace gw::demo {

DemoPlan demoPlan(DemoSize size, int scale) {
    DemoPlan p = size == DemoSize::Small
                     ? DemoPlan{5, 4, 10, 10, 20, 3, 2, 4, 3, 30, 5, 4}
                     : DemoPlan{15, 15, 400, 1200, 3000, 150, 20, 50, 30, 8000, 3000, 500};
    for (int* n : {&p.spells, &p.monsters, &p.items, &p.shops, &p.maps, &p.messages, &p.textblocks,
                   &p.users})
        *n *= scale;
    return p;
}

namespace {

namespace fs = std::filesystem;

// One file: created empty, then every record inserted inside one transaction.
template <class Rec, class Fill>
Status writeFile(const fs::path& dir, int count, Fill fill, std::string* error,
                 std::size_t* written) {
    const RecordType& type = RecordTraits<Rec>::type();
    const std::string path = (dir / type.fileName()).string();
    auto fault = [&](std::string_view what, Status s) {
        if (error)
            *error = path + ": " + std::string(what) + ": " + std::string(statusText(s)) +
                     " (status " + std::to_string(s) + ")";
        return s;
    };
    DataFileInfo info{std::string(type.name()), type.key(), type.dataLength(), kFormatVersion};
    if (Status s = createDataFile(path, info, /*overwrite=*/true); s != status::kSuccess)
        return fault("create", s);
    RecordFile file(type);
    file.setFileName(path);
    if (Status s = file.open("BOPEN"); s != status::kSuccess) return fault("BOPEN", s);
    Status s = inTransaction(file.positionBlock(), [&]() -> Status {
        for (int i = 1; i <= count; ++i) {
            Rec& r = file.as<Rec>();
            r = Rec{};
            fill(r, i);
            if (Status st = file.call(BINSERT, "BINSERT"); st != status::kSuccess) return st;
        }
        return status::kSuccess;
    });
    const Status closed = file.close("BCLOSE");
    if (s != status::kSuccess) return fault("BINSERT", s);
    if (closed != status::kSuccess) return fault("BCLOSE", closed);
    if (written) *written = static_cast<std::size_t>(count);
    return status::kSuccess;
}

}  // namespace

Status buildDemoWorld(const std::string& dir, DemoSize size, std::string* error) {
    return buildDemoWorld(dir, DemoOptions{size, false}, error, nullptr);
}

Status buildDemoWorld(const std::string& dir, const DemoOptions& options, std::string* error,
                      DemoCounts* counts) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        if (error) *error = dir + ": cannot create the directory: " + ec.message();
        return status::kIoError;
    }
    if (!options.overwrite) {
        for (RecordKind kind : allRecordKinds()) {
            const fs::path path = fs::path(dir) / recordType(kind).fileName();
            if (fs::exists(path, ec)) {
                if (error) *error = path.string() + ": file exists (use --force to replace it)";
                return status::kFileExists;
            }
        }
    }
    const World w = planWorld(options.size, options.scale);
    DemoCounts local;
    auto& n = (counts ? *counts : local).records;
    n.fill(0);
    const fs::path d(dir);
    const int rooms = w.plan.maps * w.plan.roomsPerMap();
    auto fill = [&w](auto fn) { return [&w, fn](auto& r, int i) { fn(w, r, i); }; };
    Status s = status::kSuccess;
    // Race, Class, Spell, Monster, Item, Shop, Room, Message, Textblock, User.
    if (s == status::kSuccess) s = writeFile<Race>(d, w.plan.races, fill(fillRace), error, &n[0]);
    if (s == status::kSuccess)
        s = writeFile<Class>(d, w.plan.classes, fill(fillClass), error, &n[1]);
    if (s == status::kSuccess)
        s = writeFile<Spell>(d, w.plan.spells, fill(fillSpell), error, &n[2]);
    if (s == status::kSuccess)
        s = writeFile<Monster>(d, w.plan.monsters, fill(fillMonster), error, &n[3]);
    if (s == status::kSuccess) s = writeFile<Item>(d, w.plan.items, fill(fillItem), error, &n[4]);
    if (s == status::kSuccess) s = writeFile<Shop>(d, w.plan.shops, fill(fillShop), error, &n[5]);
    if (s == status::kSuccess) s = writeFile<Room>(d, rooms, fill(fillRoom), error, &n[6]);
    if (s == status::kSuccess)
        s = writeFile<Message>(d, w.plan.messages, fill(fillMessage), error, &n[7]);
    if (s == status::kSuccess)
        s = writeFile<Textblock>(d, w.plan.textblocks, fill(fillTextblock), error, &n[8]);
    if (s == status::kSuccess) s = writeFile<User>(d, w.plan.users, fill(fillUser), error, &n[9]);
    return s;
}

}  // namespace gw::demo
