#include "keys/macro_numbers.h"

#include <algorithm>

namespace korvane::keys {

bool renumberAfterDelete(KeyAssignment& current, const KeyAssignment& fallback, int deleted) {
    if (!isMacroAssignment(current) || deleted < 0) {
        return false;
    }
    if (current.first == deleted) {
        const bool changed = !(current == fallback);
        current = fallback;
        return changed;
    }
    if (current.first > deleted) {
        --current.first;
        return true;
    }
    return false;
}

KeyAssignment MacroUploadNumbering::map(const KeyAssignment& current,
                                        const KeyAssignment& fallback) {
    if (!isMacroAssignment(current)) {
        return current;
    }
    const int macro = current.first;
    if (macro >= macroCount_) {
        return fallback;
    }
    auto place = std::find(used_.begin(), used_.end(), macro);
    if (place == used_.end()) {
        used_.push_back(macro);
        place = used_.end() - 1;
    }
    KeyAssignment mapped = current;
    mapped.first = static_cast<uint8_t>(place - used_.begin());
    return mapped;
}

}  // namespace korvane::keys
