#include "keys/panels/panel_text.h"

namespace korvane::keys::panels {

std::string indexedName(std::string_view prefix, int number) {
    return std::string(prefix) + std::to_string(number);
}

std::string formatCount(std::string_view text, long long count) {
    std::string result(text);
    const std::size_t at = result.find("%d");
    if (at == std::string::npos) {
        return result + " " + std::to_string(count);
    }
    return result.replace(at, 2, std::to_string(count));
}

}  // namespace korvane::keys::panels
