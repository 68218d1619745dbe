#include "app/key_capture_filter.h"

#include <QKeyEvent>

#include "keys/key_capture.h"

namespace korvane::app {

KeyCaptureFilter::KeyCaptureFilter(std::function<bool(int)> onKey, std::function<bool()> active,
                                   QObject* parent)
    : QObject(parent), onKey_(std::move(onKey)), active_(std::move(active)) {}

bool KeyCaptureFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && active_ && active_()) {
        auto* key = static_cast<QKeyEvent*>(event);
        int code = keys::evdevCodeForX11Keycode(static_cast<int>(key->nativeScanCode()));
        if (code > 0 && onKey_ && onKey_(code)) {
            return true;  // the edit shows the key's name, not the typed character
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace korvane::app
