#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

// The texts of one language: the program shows language keys ("message_text_5",
// "keyboard_key_A") through this table. One JSON file per language in the skin
// folder ("lan_en.json", "lan_cn.json"): an object of key -> text, UTF-8.
// Members whose value is not a string are ignored.
namespace korvane::ui {

class Language {
  public:
    // Replaces the table with the file's. A missing or damaged file leaves the
    // table empty, returns false and says why in *error.
    bool load(const std::filesystem::path& file, std::string* error = nullptr);
    bool loadFromText(std::string_view json, std::string* error = nullptr);

    // The text of `key`, or the key itself when the table has none.
    std::string text(std::string_view key) const;
    bool contains(std::string_view key) const;
    std::size_t size() const { return texts_.size(); }

    // The file of a language in a skin folder: skinFolder / ("lan_" + code + ".json").
    static std::filesystem::path fileFor(const std::filesystem::path& skinFolder,
                                         std::string_view code);

  private:
    std::map<std::string, std::string, std::less<>> texts_;
};

}  // namespace korvane::ui
