#pragma once
// What the benchmarks over the large demo world share: dialogs that count what they are told,
// and the world built in a scratch directory with the files a benchmark reads open.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "shell/world.h"
#include "store/record_file.h"
#include "tools/data/demo_world.h"

namespace gw::bench {

class CountingDialogs final : public Dialogs {
public:
    void message(const QString& text) override {
        ++messages;
        last = text;
    }
    bool question(const QString&, const QString&) override { return false; }
    QString askText(const QString&, const QString&, const QString&) override { return {}; }
    int messages = 0;
    QString last;
};

class DemoBench {
public:
    // Builds the world in a directory named after the benchmark, makes it the current one and
    // opens `kinds`; any failure ends the program with its reason.
    DemoBench(const char* name, std::initializer_list<RecordKind> kinds) : opened_(kinds) {
        dir = std::filesystem::temp_directory_path() /
              ("gravewind-bench-" + std::string(name) + "-" + std::to_string(::getpid()));
        std::string error;
        if (demo::buildDemoWorld(dir.string(), demo::DemoSize::Large, &error) != status::kSuccess) {
            std::fprintf(stderr, "demo world: %s\n", error.c_str());
            std::exit(1);
        }
        std::filesystem::current_path(dir);
        world = std::make_unique<World>(dialogs);
        for (RecordKind kind : opened_)
            if (file(kind).open("open: ") != status::kSuccess) std::exit(1);
    }
    ~DemoBench() {
        for (RecordKind kind : opened_) file(kind).close("close: ");
        std::filesystem::current_path(dir.parent_path());
        std::filesystem::remove_all(dir);
    }
    DemoBench(const DemoBench&) = delete;
    DemoBench& operator=(const DemoBench&) = delete;

    RecordFile& file(RecordKind kind) { return world->file(kind); }

    std::filesystem::path dir;
    CountingDialogs dialogs;
    std::unique_ptr<World> world;

private:
    std::vector<RecordKind> opened_;
};

}  // namespace gw::bench
