#include "ui/memory_control.h"

#include <algorithm>

#include "ui/argb_text.h"
#include "ui/control_name.h"

namespace korvane::ui {
namespace {

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace

MemoryControl::MemoryControl(std::string_view className, std::string_view name)
    : MemoryControl(className, name, kindForClassName(className)) {}

MemoryControl::MemoryControl(std::string_view className, std::string_view name, ControlKind kind)
    : className_(className), name_(name), kind_(kind) {}

MemoryControl::~MemoryControl() {
    // Children first, while this control (their way to the root) is whole.
    children_.clear();
    forgetFocus();
}

MemoryControl& MemoryControl::add(std::unique_ptr<MemoryControl> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
    MemoryControl& added = *children_.back();
    if (kind_ == ControlKind::Tab) {
        if (currentPage_ < 0) {
            currentPage_ = static_cast<int>(children_.size()) - 1;
        } else {
            added.visible_ = false;
        }
    }
    return added;
}

MemoryControl& MemoryControl::add(std::string_view className, std::string_view name) {
    return add(std::make_unique<MemoryControl>(className, name));
}

std::unique_ptr<MemoryControl> MemoryControl::take(Control* child) {
    const auto it = std::find_if(children_.begin(), children_.end(),
                                 [child](const auto& c) { return c.get() == child; });
    if (it == children_.end()) {
        return nullptr;
    }
    const int index = static_cast<int>(it - children_.begin());
    std::unique_ptr<MemoryControl> out = std::move(*it);
    children_.erase(it);
    // Focus belongs to the tree the control leaves.
    MemoryControl* r = root();
    for (MemoryControl* c = r->focused_; c != nullptr; c = c->parent_) {
        if (c == out.get()) {
            r->focused_ = nullptr;
            break;
        }
    }
    out->parent_ = nullptr;
    if (kind_ == ControlKind::Tab && currentPage_ >= index) {
        currentPage_ = children_.empty() ? -1 : std::max(0, currentPage_ - 1);
        if (currentPage_ >= 0) {
            selectPage(currentPage_);
        }
    }
    return out;
}

std::vector<Control*> MemoryControl::children() const {
    std::vector<Control*> out;
    out.reserve(children_.size());
    for (const auto& c : children_) {
        out.push_back(c.get());
    }
    return out;
}

std::string MemoryControl::attribute(std::string_view name) const {
    const std::string key = lowerAscii(name);
    if (key == "text")
        return text_;
    if (key == "tooltip")
        return toolTip_;
    if (key == "userdata")
        return userData_;
    if (key == "bkimage")
        return backgroundImage_;
    if (key == "foreimage")
        return foregroundImage_;
    if (key == "bkcolor")
        return backgroundColour_ != 0 ? formatArgb(backgroundColour_) : "";
    const auto it = attributes_.find(key);
    return it != attributes_.end() ? it->second : std::string();
}

void MemoryControl::setAttribute(std::string_view name, std::string_view value) {
    const std::string key = lowerAscii(name);
    if (key == "text") {
        setText(value);
    } else if (key == "tooltip") {
        setToolTip(value);
    } else if (key == "userdata") {
        setUserData(value);
    } else if (key == "bkimage") {
        setBackgroundImage(value);
    } else if (key == "foreimage") {
        setForegroundImage(value);
    } else if (key == "bkcolor") {
        setBackgroundColour(parseArgb(value).value_or(0));
    } else {
        attributes_[key] = std::string(value);
    }
}

void MemoryControl::setSelected(bool selected, Notify notify) {
    if (kind_ != ControlKind::Option || selected_ == selected) {
        return;
    }
    selected_ = selected;
    if (selected) {
        const std::string group = attribute("group");
        if (!group.empty()) {
            unselectGroupMates(group, notify);
        }
    }
    if (notify == Notify::Yes) {
        emitNotification(notify::kSelectChanged);
    }
}

void MemoryControl::unselectGroupMates(std::string_view group, Notify notify) {
    std::vector<MemoryControl*> stack{root()};
    while (!stack.empty()) {
        MemoryControl* c = stack.back();
        stack.pop_back();
        if (c != this && c->kind_ == ControlKind::Option && c->selected_ &&
            c->attribute("group") == group) {
            c->setSelected(false, notify);
        }
        for (const auto& child : c->children_) {
            stack.push_back(child.get());
        }
    }
}

void MemoryControl::setValue(int value) {
    if (hasValue()) {
        value_ = std::clamp(value, minimum_, maximum_);
    }
}

void MemoryControl::setRange(int minimum, int maximum) {
    if (!hasValue()) {
        return;
    }
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
}

int MemoryControl::addItem(std::string_view text, std::string_view data) {
    if (!hasItems()) {
        return -1;
    }
    items_.push_back(Item{std::string(text), std::string(data), true});
    return static_cast<int>(items_.size()) - 1;
}

void MemoryControl::clearItems() {
    items_.clear();
    currentIndex_ = -1;
}

std::string MemoryControl::itemText(int index) const {
    return index >= 0 && index < itemCount() ? items_[static_cast<std::size_t>(index)].text : "";
}

std::string MemoryControl::itemData(int index) const {
    return index >= 0 && index < itemCount() ? items_[static_cast<std::size_t>(index)].data : "";
}

bool MemoryControl::selectItem(int index, Notify notify) {
    if (!hasItems() || index < -1 || index >= itemCount()) {
        return false;
    }
    const int old = currentIndex_;
    currentIndex_ = index;
    if (notify == Notify::Yes && old != index) {
        emitNotification(notify::kItemSelect, index);
    }
    return true;
}

bool MemoryControl::itemVisible(int index) const {
    return index >= 0 && index < itemCount() && items_[static_cast<std::size_t>(index)].visible;
}

void MemoryControl::setItemVisible(int index, bool visible) {
    if (index >= 0 && index < itemCount()) {
        items_[static_cast<std::size_t>(index)].visible = visible;
    }
}

int MemoryControl::pageCount() const {
    return kind_ == ControlKind::Tab ? static_cast<int>(children_.size()) : 0;
}

int MemoryControl::currentPage() const {
    return kind_ == ControlKind::Tab ? currentPage_ : -1;
}

bool MemoryControl::selectPage(int index) {
    if (index < 0 || index >= pageCount()) {
        return false;
    }
    currentPage_ = index;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        children_[i]->visible_ = static_cast<int>(i) == index;
    }
    return true;
}

MemoryControl* MemoryControl::root() {
    MemoryControl* c = this;
    while (c->parent_ != nullptr) {
        c = c->parent_;
    }
    return c;
}

const MemoryControl* MemoryControl::root() const {
    const MemoryControl* c = this;
    while (c->parent_ != nullptr) {
        c = c->parent_;
    }
    return c;
}

void MemoryControl::setFocus() {
    MemoryControl* r = root();
    MemoryControl* old = r->focused_;
    if (old == this) {
        return;
    }
    r->focused_ = this;
    // Like the toolkit: only edits report focus changes.
    if (old != nullptr && old->kind_ == ControlKind::Edit) {
        old->emitNotification(notify::kKillFocus);
    }
    if (r->focused_ == this && kind_ == ControlKind::Edit) {
        emitNotification(notify::kSetFocus);
    }
}

bool MemoryControl::hasFocus() const {
    return root()->focused_ == this;
}

void MemoryControl::clearFocus() {
    MemoryControl* r = root();
    MemoryControl* old = r->focused_;
    r->focused_ = nullptr;
    if (old != nullptr && old->kind_ == ControlKind::Edit) {
        old->emitNotification(notify::kKillFocus);
    }
}

void MemoryControl::forgetFocus() {
    MemoryControl* r = root();
    if (r->focused_ == this) {
        r->focused_ = nullptr;
    }
}

void MemoryControl::click() {
    if (!enabled_) {
        return;
    }
    if (kind_ == ControlKind::Option) {
        const bool grouped = !attribute("group").empty();
        setSelected(grouped ? true : !selected_, Notify::Yes);
    }
    if (kind_ == ControlKind::Button || kind_ == ControlKind::Option) {
        emitNotification(notify::kClick);
    }
}

void MemoryControl::userSetValue(int value, bool dragging) {
    if (kind_ != ControlKind::Slider || !enabled_) {
        return;
    }
    setValue(value);
    emitNotification(dragging ? notify::kMoveValueChanged : notify::kValueChanged);
}

void MemoryControl::userSelectItem(int index) {
    if (!hasItems() || !enabled_ || index < 0 || index >= itemCount()) {
        return;
    }
    currentIndex_ = index;
    emitNotification(notify::kItemSelect, index);
}

void MemoryControl::userActivateItem(int index) {
    if (kind_ != ControlKind::List || !enabled_ || index < 0 || index >= itemCount()) {
        return;
    }
    currentIndex_ = index;
    emitNotification(notify::kItemActivate, index);
}

void MemoryControl::showWindow() {
    visible_ = true;
    if (!windowInitSent_) {
        windowInitSent_ = true;
        emitNotification(notify::kWindowInit);
    }
}

}  // namespace korvane::ui
