#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/control.h"

// The controls that code looks up by name, declared per skin file with the kind
// the code expects, so a test can load every skin file and prove that each name
// is there with a fitting kind (kindFits): a renamed control fails a test, not
// the user. Each module offers a function that adds its declarations, e.g.
//   void declareLightPanelControls(ui::RequiredControls& r) {
//       r.require("XML\\CustomControlXML\\LightControl.xml",
//                 {{"light_combo_modeSelect", ControlKind::Combo},
//                  {"deng_light_slider", ControlKind::Slider}});
//   }
namespace korvane::ui {

struct RequiredControl {
    std::string skinFile;  // as skinFileName() gives it
    std::string name;
    ControlKind kind = ControlKind::Any;
};

class RequiredControls {
  public:
    void require(std::string_view skinFile, std::string_view name, ControlKind kind);
    void require(std::string_view skinFile,
                 std::initializer_list<std::pair<std::string_view, ControlKind>> controls);

    const std::vector<RequiredControl>& entries() const { return entries_; }
    // The distinct skin files, in the order of their first declaration.
    std::vector<std::string> skinFiles() const;

  private:
    std::vector<RequiredControl> entries_;
};

// Loads a skin file and returns its root control, or nullptr with *error set.
// The control tree lives as long as the returned pointer.
using SkinOpener =
    std::function<std::shared_ptr<Control>(const std::string& skinFile, std::string* error)>;

// Opens each skin file once and returns one line per problem, empty when every
// declared control is there with a fitting kind:
//   "XML/Main.ui: cannot load (why)"
//   "XML/Main.ui: \"closebtn\" is missing"
//   "XML/Main.ui: \"DPI_slider_1\" is a label, expected slider"
std::vector<std::string> checkRequiredControls(const RequiredControls& required,
                                               const SkinOpener& open);

}  // namespace korvane::ui
