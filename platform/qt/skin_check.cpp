#include "platform/qt/skin_check.h"

#include "platform/qt/qt_control.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/skin_loader.h"

namespace korvane::qt {

ui::SkinOpener skinOpener(SkinLoader& loader) {
    return
        [&loader](const std::string& skinFile, std::string* error) -> std::shared_ptr<ui::Control> {
            QWidget* root = loader.load(skinFile);
            if (root == nullptr) {
                if (error != nullptr) {
                    *error = toStdString(loader.errorString());
                }
                return nullptr;
            }
            // The widget owns its wrapper: deleting the widget ends both.
            return std::shared_ptr<ui::Control>(QtControl::of(root),
                                                [root](ui::Control*) { delete root; });
        };
}

std::vector<std::string> checkSkin(const ui::RequiredControls& required, SkinLoader& loader) {
    return ui::checkRequiredControls(required, skinOpener(loader));
}

}  // namespace korvane::qt
