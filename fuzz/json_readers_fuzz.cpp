// Feeds the input to the JSON file reader and to every section reader of every profile
// class, once as a profile file and once as the default data file, then writes sections
// back and checks what a save and a reload give. A broken promise aborts, so the fuzzer
// reports it.
//
// Files live in a private folder under /dev/shm when there is one (tmpfs: the fsync of
// every atomic write costs nothing there).

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "platform/files/json_document.h"
#include "profile/basic_profile_data.h"
#include "profile/hs6533_profile_data.h"
#include "profile/keyboard_profile_data.h"
#include "profile/mouse_profile_data.h"

namespace {

namespace fs = std::filesystem;
using namespace korvane;
using namespace korvane::profile;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// libFuzzer ends without running atexit handlers, so each process removes the folders of
// earlier runs whose process is gone ("korvane-fuzz-<pid>").
void removeStaleFolders(const fs::path& base) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(base, ec)) {
        const std::string name = e.path().filename().string();
        const std::string prefix = "korvane-fuzz-";
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        const std::string pid = name.substr(prefix.size());
        if (!pid.empty() && pid.find_first_not_of("0123456789") == std::string::npos &&
            !fs::exists(fs::path("/proc") / pid)) {
            fs::remove_all(e.path(), ec);
        }
    }
}

const fs::path& folder() {
    static const fs::path path = [] {
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        removeStaleFolders(base);
        const fs::path mine = base / ("korvane-fuzz-" + std::to_string(::getpid()));
        std::error_code ec;
        fs::remove_all(mine, ec);
        check(fs::create_directory(mine));
        return mine;
    }();
    return path;
}

void writeInput(const fs::path& path, std::span<const std::uint8_t> input) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(input.data()),
              static_cast<std::streamsize>(input.size()));
}

// Small numbers taken from the input, for indexes and counts.
struct Numbers {
    std::span<const std::uint8_t> input;
    std::size_t next = 0;
    int small(int bound) {
        if (input.empty()) {
            return 0;
        }
        return input[next++ % input.size()] % bound;
    }
};

void readEverything(CBasicProfiledata& profile, Numbers& n) {
    profile.ReadLightInfo();
    profile.ReadLightList();
    profile.ReadAudioLightInfo();
    profile.ReadKeyList();
    profile.ReadSecondKeyList();
    profile.ReadCustomEffectIndex(profile.profileFilePath());
    profile.ReadCustomEffectSteps();
    if (auto* mouse = dynamic_cast<CMouseProfiledata*>(&profile)) {
        mouse->ReadDPIStages();
        mouse->ReadSystemStages();
        mouse->ReadCorrectInfo();
    }
    if (auto* keyboard = dynamic_cast<CKeyboardProfiledata*>(&profile)) {
        keyboard->ReadSystemStages();
        const int group = keyboard->ReadCustomLightModeGroupIndex();
        check(keyboard->ReadCustomLightMode(group, 8).size() == 8);
        check(keyboard->ReadCustomLightMode(n.small(12) - 2, n.small(200) - 20).size() <= 200);
    }
    if (auto* headset = dynamic_cast<CHs6533Profiledata*>(&profile)) {
        const SystemSetStages stages = headset->ReadSystemSetStages();
        for (int preset : {stages.EqType, -1, 0, 1, 12, 13, 14, n.small(20) - 3}) {
            const auto bands = headset->ReadEQHzValueInfo(preset);
            check(bands.size() == (preset == kCustomEqPreset ? 0u : kEqBandCount));
        }
        headset->ReadCustomEQNameInfo();
        for (int index : {stages.CustomEqSeletIndex, n.small(30) - 3}) {
            check(headset->ReadCustomEQHzValueInfo(index).size() == kEqBandCount);
        }
    }
}

// Writers on whatever the entry holds, then save, reload and read back.
void writeAndReload(CBasicProfiledata& profile, Numbers& n) {
    const lighting::LightWords words{0x01020304u * static_cast<std::uint32_t>(n.small(256)),
                                     0x05060708u, 0x0A000000u, 0x0B0Cu};
    profile.WriteLightInfo(words);
    std::vector<KeyListEntry> keys(static_cast<std::size_t>(n.small(5)));
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i].assignment = keys::KeyAssignment{0x20, static_cast<std::uint8_t>(i), 4};
    }
    profile.WriteKeyList(keys);
    auto* mouse = dynamic_cast<CMouseProfiledata*>(&profile);
    const std::vector<DpiStage> stages = {{1, 0, 12000, 300, 1, 2, 3}};
    if (mouse != nullptr) {
        mouse->WriteDPIStages(stages);
        mouse->WriteSystemStages({0x000A01F4u, 0x00000001u, 0x00040003u});
    }
    if (auto* keyboard = dynamic_cast<CKeyboardProfiledata*>(&profile)) {
        keyboard->WriteCustomLightMode(n.small(4), {KeyColor{1, 2, 3, 4}});
        keyboard->WriteSystemStages({1, 2, 3});
    }
    if (auto* headset = dynamic_cast<CHs6533Profiledata*>(&profile)) {
        headset->WriteEQHzValueInfo(n.small(16), {1, -2, 3});
        headset->WriteCustomEQNameInfo({"a"});
        headset->WriteCustomEQHzValueInfo(n.small(4), {4, 5});
        headset->RemoveCustomEQSet(n.small(4) - 1);
    }
    if (!profile.SaveProfile()) {
        return;
    }
    profile.LoadEntry(profile.profileFilePath());
    lighting::LightEffect expected = lighting::unpackLightEffect(words);
    expected.Spare8 = expected.Spare9 = expected.ListPresent = 0;
    expected.MultiColor = expected.MultiColor != 0;
    check(profile.ReadLightInfo() == expected);
    const std::vector<KeyListEntry> read = profile.ReadKeyList();
    check(read.size() >= keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        check(read[i].assignment == keys[i].assignment);
    }
    if (mouse != nullptr) {
        check(mouse->ReadDPIStages().at(0) == stages[0]);
        check(mouse->ReadSystemStages() == (SystemWords{0x000A01F4u, 0x00000001u, 0x00040003u}));
    }
}

template <class Profile>
void run(std::span<const std::uint8_t> input) {
    Numbers n{input};
    const fs::path fuzzed = folder() / "fuzzed.Json";
    const fs::path profileFile = folder() / "profile.Json";
    const fs::path missing = folder() / "missing.Json";

    // As a profile file (repaired from a default file that does not exist), also as the
    // custom effect index and the effect file named "effect".
    writeInput(fuzzed, input);
    writeInput(folder() / "effect.light", input);
    {
        Profile profile;
        profile.setDefaultDataFilePath(missing);
        profile.setProfileFilePath(fuzzed);
        profile.LoadEntry(fuzzed);
        profile.LoadSecondEntry(fuzzed);
        readEverything(profile, n);
    }
    // As the default data file of a new profile.
    writeInput(fuzzed, input);
    fs::remove(profileFile);
    {
        Profile profile;
        profile.setDefaultDataFilePath(fuzzed);
        profile.setProfileFilePath(profileFile);
        const Json::Value entry = profile.LoadEntry(profileFile);
        check(entry.isNull() || entry.isObject());
        // The new profile holds the default entry.
        check(files::ReadJsonDocument(profileFile)["Device"][0] == entry);
        readEverything(profile, n);
        writeAndReload(profile, n);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // Whatever the reader accepts, the writer writes so that it reads back the same.
    const Json::Value document = files::ParseJsonDocument(text);
    writeInput(folder() / "doc.json", input);
    check(files::ReadJsonDocument(folder() / "doc.json") == document);
    if (!document.isNull()) {
        check(files::ParseJsonDocument(files::JsonDocumentText(document)) == document);
    }

    run<CBasicProfiledata>(input);
    run<CMouseProfiledata>(input);
    run<CKeyboardProfiledata>(input);
    run<CHs6533Profiledata>(input);
    return 0;
}
