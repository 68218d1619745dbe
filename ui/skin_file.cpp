#include "ui/skin_file.h"

#include "ui/control_name.h"

namespace korvane::ui {

std::string skinFileName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (out.size() >= 4 && namesEqual(std::string_view(out).substr(out.size() - 4), ".xml")) {
        out.replace(out.size() - 4, 4, ".ui");
    }
    return out;
}

}  // namespace korvane::ui
