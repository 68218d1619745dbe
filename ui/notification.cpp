#include "ui/notification.h"

#include "ui/control_name.h"

namespace korvane::ui {

bool Notification::from(std::string_view name) const {
    return namesEqual(senderName, name);
}

}  // namespace korvane::ui
