#pragma once

#include "ui/dispatcher.h"
#include "ui/file_dialog.h"
#include "ui/language.h"
#include "ui/message_box.h"

// What a page or panel needs from the window besides its controls. The window
// (or a test) owns the services and hands this bundle to the panels it creates.
namespace korvane::ui {

struct UiServices {
    Dispatcher& dispatcher;
    MessageBoxService& messages;
    FileDialogService& files;
    const Language& language;
};

}  // namespace korvane::ui
