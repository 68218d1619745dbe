#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"

// A plain control tree: for tests of page logic and for logic that runs without
// a window. Built in code with class names; the kind follows the class name
// (kindForClassName) unless given. It behaves like the toolkit's controls where
// the pages can tell: ranges clamp values, options of one "group" attribute
// exclude each other, a tab shows only its current page (its children are the
// pages), focus moves between the edits of one tree, and the user* functions
// send what a user's action sends.
namespace korvane::ui {

class MemoryControl : public Control {
  public:
    MemoryControl(std::string_view className, std::string_view name);
    MemoryControl(std::string_view className, std::string_view name, ControlKind kind);
    ~MemoryControl() override;

    // --- building ------------------------------------------------------------
    // Appends a child and returns it.
    MemoryControl& add(std::unique_ptr<MemoryControl> child);
    MemoryControl& add(std::string_view className, std::string_view name);
    // Removes a direct child and hands it back (nullptr when it is not one).
    std::unique_ptr<MemoryControl> take(Control* child);

    // --- Control ---------------------------------------------------------------
    std::string name() const override { return name_; }
    std::string className() const override { return className_; }
    ControlKind kind() const override { return kind_; }
    Control* parent() const override { return parent_; }
    std::vector<Control*> children() const override;

    std::string text() const override { return text_; }
    void setText(std::string_view text) override { text_ = std::string(text); }
    std::string toolTip() const override { return toolTip_; }
    void setToolTip(std::string_view text) override { toolTip_ = std::string(text); }
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override { visible_ = visible; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    Argb backgroundColour() const override { return backgroundColour_; }
    void setBackgroundColour(Argb colour) override { backgroundColour_ = colour; }
    std::string backgroundImage() const override { return backgroundImage_; }
    void setBackgroundImage(std::string_view image) override {
        backgroundImage_ = std::string(image);
    }
    std::string foregroundImage() const override { return foregroundImage_; }
    void setForegroundImage(std::string_view image) override {
        foregroundImage_ = std::string(image);
    }
    std::string userData() const override { return userData_; }
    void setUserData(std::string_view data) override { userData_ = std::string(data); }
    std::string attribute(std::string_view name) const override;
    void setAttribute(std::string_view name, std::string_view value) override;

    bool selected() const override { return selected_; }
    void setSelected(bool selected, Notify notify = Notify::Yes) override;

    int value() const override { return value_; }
    void setValue(int value) override;
    int minimum() const override { return minimum_; }
    int maximum() const override { return maximum_; }
    void setRange(int minimum, int maximum) override;

    int itemCount() const override { return static_cast<int>(items_.size()); }
    int addItem(std::string_view text, std::string_view data = {}) override;
    void clearItems() override;
    std::string itemText(int index) const override;
    std::string itemData(int index) const override;
    int currentIndex() const override { return currentIndex_; }
    bool selectItem(int index, Notify notify = Notify::Yes) override;
    bool itemVisible(int index) const override;
    void setItemVisible(int index, bool visible) override;

    int pageCount() const override;
    int currentPage() const override;
    bool selectPage(int index) override;

    void setFocus() override;
    bool hasFocus() const override;
    // Takes the focus away from whatever holds it in this tree.
    void clearFocus();

    // --- what a user's action sends -------------------------------------------
    // Button: "click". Option: toggles (selects, in a group), "selectchanged",
    // then "click" -- the toolkit's order. Nothing when disabled.
    void click();
    // Slider: "movevaluechanged" while dragging, "valuechanged" when released.
    void userSetValue(int value, bool dragging = false);
    // Combo/list: makes the item current and sends "itemselect" (wParam = index).
    void userSelectItem(int index);
    // List: "itemactivate" (wParam = index).
    void userActivateItem(int index);
    // Window root: "windowinit" the first time only.
    void showWindow();

  private:
    struct Item {
        std::string text;
        std::string data;
        bool visible = true;
    };

    MemoryControl* root();
    const MemoryControl* root() const;
    bool hasItems() const { return kind_ == ControlKind::Combo || kind_ == ControlKind::List; }
    bool hasValue() const { return kind_ == ControlKind::Slider || kind_ == ControlKind::Progress; }
    void unselectGroupMates(std::string_view group, Notify notify);
    void forgetFocus();

    std::string className_;
    std::string name_;
    ControlKind kind_;
    MemoryControl* parent_ = nullptr;
    std::vector<std::unique_ptr<MemoryControl>> children_;

    std::string text_;
    std::string toolTip_;
    bool visible_ = true;
    bool enabled_ = true;
    Argb backgroundColour_ = 0;
    std::string backgroundImage_;
    std::string foregroundImage_;
    std::string userData_;
    std::map<std::string, std::string> attributes_;  // lower-case names
    bool selected_ = false;
    int value_ = 0;
    int minimum_ = 0;
    int maximum_ = 100;
    std::vector<Item> items_;
    int currentIndex_ = -1;
    int currentPage_ = -1;
    bool windowInitSent_ = false;
    MemoryControl* focused_ = nullptr;  // kept by the root only
};

}  // namespace korvane::ui
