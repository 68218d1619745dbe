#include "ui/control_lookup.h"

namespace korvane::ui {

Control* find(Control* root, std::string_view name) {
    return root != nullptr ? root->find(name) : nullptr;
}

bool setText(Control* root, std::string_view name, std::string_view text) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setText(text);
    }
    return c != nullptr;
}

std::string text(Control* root, std::string_view name, std::string_view fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->text() : std::string(fallback);
}

bool setVisible(Control* root, std::string_view name, bool visible) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setVisible(visible);
    }
    return c != nullptr;
}

bool visible(Control* root, std::string_view name, bool fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->visible() : fallback;
}

bool setEnabled(Control* root, std::string_view name, bool enabled) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setEnabled(enabled);
    }
    return c != nullptr;
}

bool enabled(Control* root, std::string_view name, bool fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->enabled() : fallback;
}

bool setSelected(Control* root, std::string_view name, bool selected, Notify notify) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setSelected(selected, notify);
    }
    return c != nullptr;
}

bool selected(Control* root, std::string_view name, bool fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->selected() : fallback;
}

bool setValue(Control* root, std::string_view name, int value) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setValue(value);
    }
    return c != nullptr;
}

int value(Control* root, std::string_view name, int fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->value() : fallback;
}

bool setRange(Control* root, std::string_view name, int minimum, int maximum) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setRange(minimum, maximum);
    }
    return c != nullptr;
}

bool setMaximum(Control* root, std::string_view name, int maximum) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setMaximum(maximum);
    }
    return c != nullptr;
}

bool setBackgroundColour(Control* root, std::string_view name, Argb colour) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setBackgroundColour(colour);
    }
    return c != nullptr;
}

Argb backgroundColour(Control* root, std::string_view name, Argb fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->backgroundColour() : fallback;
}

bool setBackgroundImage(Control* root, std::string_view name, std::string_view image) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setBackgroundImage(image);
    }
    return c != nullptr;
}

bool setForegroundImage(Control* root, std::string_view name, std::string_view image) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setForegroundImage(image);
    }
    return c != nullptr;
}

bool setUserData(Control* root, std::string_view name, std::string_view data) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setUserData(data);
    }
    return c != nullptr;
}

std::string userData(Control* root, std::string_view name, std::string_view fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->userData() : std::string(fallback);
}

bool setAttribute(Control* root, std::string_view name, std::string_view attribute,
                  std::string_view value) {
    Control* c = find(root, name);
    if (c != nullptr) {
        c->setAttribute(attribute, value);
    }
    return c != nullptr;
}

bool selectItem(Control* root, std::string_view name, int index, Notify notify) {
    Control* c = find(root, name);
    return c != nullptr && c->selectItem(index, notify);
}

int currentIndex(Control* root, std::string_view name, int fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->currentIndex() : fallback;
}

bool selectPage(Control* root, std::string_view name, int index) {
    Control* c = find(root, name);
    return c != nullptr && c->selectPage(index);
}

int currentPage(Control* root, std::string_view name, int fallback) {
    Control* c = find(root, name);
    return c != nullptr ? c->currentPage() : fallback;
}

}  // namespace korvane::ui
