#pragma once
// A demo world made once in a fresh temporary directory and removed at exit: what the world
// library's benchmarks walk. No Qt: the data tool's benchmarks use it too.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "tools/data/demo_world.h"

namespace gw::bench {

struct DemoDir {
    std::filesystem::path dir;
    double seconds = 0;  // how long making it took

    explicit DemoDir(demo::DemoSize size, int scale = 1) {
        std::string pattern = (std::filesystem::temp_directory_path() / "gw_bench_XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
        dir = pattern;
        const auto start = std::chrono::steady_clock::now();
        demo::DemoOptions options;
        options.size = size;
        options.scale = scale;
        std::string error;
        if (demo::buildDemoWorld(dir.string(), options, &error) != status::kSuccess)
            throw std::runtime_error(error);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ~DemoDir() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    DemoDir(const DemoDir&) = delete;
    DemoDir& operator=(const DemoDir&) = delete;
};

// The large demo world, made at its first use.
inline const DemoDir& largeDemo() {
    static const DemoDir large(demo::DemoSize::Large);
    return large;
}

// Ten times the large demo world, made at its first use; how long that took goes to stderr.
inline const DemoDir& tenTimesLargeDemo() {
    static const DemoDir& made = [] {
        std::fprintf(stderr, "making ten times the large demo world...\n");
        static const DemoDir d(demo::DemoSize::Large, 10);
        std::fprintf(stderr, "made in %.1f s\n", d.seconds);
        return std::cref(d);
    }();
    return made;
}

}  // namespace gw::bench
