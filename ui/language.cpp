#include "ui/language.h"

#include <json/json.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace korvane::ui {

bool Language::load(const std::filesystem::path& file, std::string* error) {
    texts_.clear();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error != nullptr) {
            *error = "cannot read " + file.string();
        }
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    std::string parseError;
    if (!loadFromText(content.str(), &parseError)) {
        if (error != nullptr) {
            *error = file.string() + ": " + parseError;
        }
        return false;
    }
    return true;
}

bool Language::loadFromText(std::string_view json, std::string* error) {
    texts_.clear();
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(json.data(), json.data() + json.size(), &root, &errors)) {
        if (error != nullptr) {
            *error = "not valid JSON: " + errors;
        }
        return false;
    }
    if (!root.isObject()) {
        if (error != nullptr) {
            *error = "not a JSON object of key -> text";
        }
        return false;
    }
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it->isString()) {
            texts_.emplace(it.name(), it->asString());
        }
    }
    return true;
}

std::string Language::text(std::string_view key) const {
    const auto it = texts_.find(key);
    return it != texts_.end() ? it->second : std::string(key);
}

bool Language::contains(std::string_view key) const {
    return texts_.find(key) != texts_.end();
}

std::filesystem::path Language::fileFor(const std::filesystem::path& skinFolder,
                                        std::string_view code) {
    return skinFolder / ("lan_" + std::string(code) + ".json");
}

}  // namespace korvane::ui
