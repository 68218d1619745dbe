// Shared helpers of the profile tests: documents from literal JSON, files in a temporary
// folder.
#pragma once

#include <json/value.h>

#include <filesystem>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/files/json_document.h"
#include "tests/files/temp_folder.h"

namespace korvane::profile::testing {

inline Json::Value json(std::string_view text) {
    Json::Value value = files::ParseJsonDocument(text);
    EXPECT_FALSE(value.isNull()) << "bad test JSON: " << text;
    return value;
}

// A profile object whose working entry is `entryJson` (loaded through a profile file).
template <class Profile>
Profile withEntry(const korvane::testing::TempFolder& folder, std::string_view entryJson) {
    const std::filesystem::path path = folder / "entry.Json";
    Json::Value document;
    document["Device"][0] = json(entryJson);
    EXPECT_TRUE(files::WriteJsonDocument(path, document));
    Profile profile;
    profile.setProfileFilePath(path);
    profile.LoadEntry(path);
    return profile;
}

}  // namespace korvane::profile::testing
