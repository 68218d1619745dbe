#pragma once

#include <string>
#include <string_view>

// Skin files keep the names the pages know them by, as Qt Designer files:
// "XML\\CustomControlXML\\LightControl.xml" is "XML/CustomControlXML/LightControl.ui"
// under the skin folder.
namespace korvane::ui {

// Turns backslashes into '/' and a final ".xml" (any case) into ".ui".
std::string skinFileName(std::string_view name);

}  // namespace korvane::ui
