// The controls the key, macro and recoil panels look up by name, per skin file, for the test
// that proves the skin has them (ui/required_controls.h). The buttons that the main window
// routes to the panels are declared with the panel whose skin file holds them.
#pragma once

#include <string_view>

#include "ui/required_controls.h"

namespace korvane::keys::panels {

inline constexpr std::string_view kKeySetControlSkin = "XML\\CustomControlXML\\KeySetControl.xml";
inline constexpr std::string_view kMacroControlSkin = "XML\\CustomControlXML\\MacroControl.xml";
inline constexpr std::string_view kShootControlSkin = "XML\\CustomControlXML\\ShootControl.xml";

void declareKeySetControls(ui::RequiredControls& required);
void declareMacroControls(ui::RequiredControls& required);
void declareShootControls(ui::RequiredControls& required);
// All three.
void declareKeyPanelControls(ui::RequiredControls& required);

}  // namespace korvane::keys::panels
