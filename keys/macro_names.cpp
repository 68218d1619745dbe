#include "keys/macro_names.h"

#include <algorithm>

namespace korvane::keys {
namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalWithoutCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

bool nameTaken(std::span<const std::string> names, std::string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& taken) { return equalWithoutCase(taken, name); });
}

bool isBlankName(std::string_view name) {
    return name.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

std::string nextMacroName(std::span<const std::string> names) {
    // At most names.size() numbers can be taken, so the loop ends.
    for (std::size_t n = 1;; ++n) {
        std::string name = "macro_" + std::to_string(n);
        if (!nameTaken(names, name)) {
            return name;
        }
    }
}

std::string importMacroName(std::string_view base, std::span<const std::string> names) {
    std::string name(base);
    for (std::size_t n = 2; nameTaken(names, name); ++n) {
        name = std::string(base) + "_" + std::to_string(n);
    }
    return name;
}

}  // namespace korvane::keys
