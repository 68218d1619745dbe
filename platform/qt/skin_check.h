#pragma once

#include <string>
#include <vector>

#include "ui/required_controls.h"

// The required-controls check over the real skin files.
namespace korvane::qt {

class SkinLoader;

// Opens a skin file as a control tree that lives as long as the returned pointer.
ui::SkinOpener skinOpener(SkinLoader& loader);

// ui::checkRequiredControls over `loader`'s skin folder: one line per problem.
std::vector<std::string> checkSkin(const ui::RequiredControls& required, SkinLoader& loader);

}  // namespace korvane::qt
