#include "ui/required_controls.h"

#include <algorithm>

#include "ui/skin_file.h"

namespace korvane::ui {

void RequiredControls::require(std::string_view skinFile, std::string_view name, ControlKind kind) {
    entries_.push_back(RequiredControl{skinFileName(skinFile), std::string(name), kind});
}

void RequiredControls::require(
    std::string_view skinFile,
    std::initializer_list<std::pair<std::string_view, ControlKind>> controls) {
    for (const auto& [name, kind] : controls) {
        require(skinFile, name, kind);
    }
}

std::vector<std::string> RequiredControls::skinFiles() const {
    std::vector<std::string> files;
    for (const RequiredControl& entry : entries_) {
        if (std::find(files.begin(), files.end(), entry.skinFile) == files.end()) {
            files.push_back(entry.skinFile);
        }
    }
    return files;
}

std::vector<std::string> checkRequiredControls(const RequiredControls& required,
                                               const SkinOpener& open) {
    std::vector<std::string> problems;
    for (const std::string& file : required.skinFiles()) {
        std::string error;
        const std::shared_ptr<Control> root = open(file, &error);
        if (!root) {
            problems.push_back(file + ": cannot load (" + error + ")");
            continue;
        }
        for (const RequiredControl& entry : required.entries()) {
            if (entry.skinFile != file) {
                continue;
            }
            Control* control = root->find(entry.name);
            if (control == nullptr) {
                problems.push_back(file + ": \"" + entry.name + "\" is missing");
            } else if (!kindFits(entry.kind, control->kind())) {
                const std::string actual(kindName(control->kind()));
                const bool vowel = actual.find_first_of("aeiou") == 0;
                problems.push_back(file + ": \"" + entry.name + "\" is " + (vowel ? "an " : "a ") +
                                   actual + ", expected " + std::string(kindName(entry.kind)));
            }
        }
    }
    return problems;
}

}  // namespace korvane::ui
