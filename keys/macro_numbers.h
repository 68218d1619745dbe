// Macro numbers in key assignments. A key names a macro by its position in the device's macro
// list; two rules keep those numbers right:
//  - deleting a macro: keys bound to it fall back to their default assignment, keys bound to a
//    later macro move down by one;
//  - writing keys to a device: only the macros that keys use are uploaded, in the order the
//    keys meet them, so each key's number becomes the place of its macro in the upload list,
//    and a key naming a macro that no longer exists gets its default assignment.
#pragma once

#include <vector>

#include "keys/key_assignment.h"

namespace korvane::keys {

// Applies the deletion of macro `deleted` to one key; returns whether it changed.
bool renumberAfterDelete(KeyAssignment& current, const KeyAssignment& fallback, int deleted);

// Walks a device's keys in position order (the caller skips positions without a key).
class MacroUploadNumbering {
  public:
    explicit MacroUploadNumbering(int macroCount) : macroCount_(macroCount) {}

    // The assignment to write for a key: macro assignments renumbered to their upload place,
    // macros at or beyond the list's end replaced by `fallback`; others unchanged.
    KeyAssignment map(const KeyAssignment& current, const KeyAssignment& fallback);

    // The macro numbers met so far, each once, in first-seen order: the upload list.
    const std::vector<int>& used() const { return used_; }

  private:
    int macroCount_;
    std::vector<int> used_;
};

}  // namespace korvane::keys
