#pragma once

#include <string>
#include <string_view>

#include "ui/control.h"

// Null-safe shortcuts for page code: each looks `name` up under `root` (which may
// itself be nullptr) and does nothing when the control is missing. Setters return
// whether the control was there; getters return the given fallback.
//
//   ui::setText(page, "DPI_edit_2", "1600");
//   if (ui::selected(page, "deng_7color_check")) ...
namespace korvane::ui {

Control* find(Control* root, std::string_view name);

bool setText(Control* root, std::string_view name, std::string_view text);
std::string text(Control* root, std::string_view name, std::string_view fallback = {});

bool setVisible(Control* root, std::string_view name, bool visible);
bool visible(Control* root, std::string_view name, bool fallback = false);
bool setEnabled(Control* root, std::string_view name, bool enabled);
bool enabled(Control* root, std::string_view name, bool fallback = false);

bool setSelected(Control* root, std::string_view name, bool selected, Notify notify = Notify::Yes);
bool selected(Control* root, std::string_view name, bool fallback = false);

bool setValue(Control* root, std::string_view name, int value);
int value(Control* root, std::string_view name, int fallback = 0);
bool setRange(Control* root, std::string_view name, int minimum, int maximum);
bool setMaximum(Control* root, std::string_view name, int maximum);

bool setBackgroundColour(Control* root, std::string_view name, Argb colour);
Argb backgroundColour(Control* root, std::string_view name, Argb fallback = 0);
bool setBackgroundImage(Control* root, std::string_view name, std::string_view image);
bool setForegroundImage(Control* root, std::string_view name, std::string_view image);

bool setUserData(Control* root, std::string_view name, std::string_view data);
std::string userData(Control* root, std::string_view name, std::string_view fallback = {});
bool setAttribute(Control* root, std::string_view name, std::string_view attribute,
                  std::string_view value);

bool selectItem(Control* root, std::string_view name, int index, Notify notify = Notify::Yes);
int currentIndex(Control* root, std::string_view name, int fallback = -1);
bool selectPage(Control* root, std::string_view name, int index);
int currentPage(Control* root, std::string_view name, int fallback = -1);

}  // namespace korvane::ui
