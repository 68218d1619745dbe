// Loading and saving a full keyboard profile (126 keys, eight custom light groups of
// 126 colours): the work behind every profile selection and every setting change.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "profile/keyboard_profile_data.h"

namespace {

using namespace korvane;
namespace fs = std::filesystem;

struct Folder {
    fs::path path;
    Folder() {
        char pattern[] = "/tmp/korvane-bench-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

fs::path defaultKeyboardFile() {
    return fs::path(KORVANE_SOURCE_DIR) / "DefaultData" / "keyboard.Json";
}

// A new profile's first load: the file is made from the default data file.
void BM_LoadKeyboardProfile(benchmark::State& state) {
    Folder folder;
    const fs::path file = folder.path / "profile.Json";
    for (auto _ : state) {
        profile::CKeyboardProfiledata data;
        data.setDefaultDataFilePath(defaultKeyboardFile());
        data.setProfileFilePath(file);
        data.LoadEntry(file);
        benchmark::DoNotOptimize(data.ReadKeyList());
        data.ReadLightInfo();
        data.ReadLightList();
        data.ReadAudioLightInfo();
        data.ReadSystemStages();
        int group = data.ReadCustomLightModeGroupIndex();
        benchmark::DoNotOptimize(data.ReadCustomLightMode(group, 126));
    }
}
BENCHMARK(BM_LoadKeyboardProfile)->Unit(benchmark::kMicrosecond);

// One setting changed and saved: the file is read again, its entry replaced and written
// atomically (temporary file, fsync, rename).
void BM_SaveKeyboardProfile(benchmark::State& state) {
    Folder folder;
    const fs::path file = folder.path / "profile.Json";
    profile::CKeyboardProfiledata data;
    data.setDefaultDataFilePath(defaultKeyboardFile());
    data.setProfileFilePath(file);
    data.LoadEntry(file);
    auto keys = data.ReadKeyList();
    int i = 0;
    for (auto _ : state) {
        keys[static_cast<size_t>(i++ % 126)].assignment.second ^= 1;
        data.WriteKeyList(keys);
        if (!data.SaveProfile()) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveKeyboardProfile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
