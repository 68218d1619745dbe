#include "app/app_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/log/logger.h"

namespace korvane::app {
namespace {

std::filesystem::path fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] == '\0') {
        return {};
    }
    return std::filesystem::path(value);
}

std::filesystem::path executableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::filesystem::current_path(ec);
    }
    return exe.parent_path();
}

}  // namespace

std::filesystem::path programFolder() {
    if (auto dir = fromEnvironment("KORVANE_DATA_DIR"); !dir.empty()) {
        return dir;
    }
    return (executableFolder() / ".." / "share" / "korvane").lexically_normal();
}

std::filesystem::path userFolder() {
    std::filesystem::path base = fromEnvironment("XDG_DATA_HOME");
    if (base.empty()) {
        std::filesystem::path home = fromEnvironment("HOME");
        base = home.empty() ? std::filesystem::temp_directory_path() : home / ".local" / "share";
    }
    std::filesystem::path folder = base / std::string(kWindowTitle);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        log::debugf("cannot create %s: %s", folder.c_str(), ec.message().c_str());
    }
    return folder;
}

std::filesystem::path runtimeFolder() {
    if (auto dir = fromEnvironment("XDG_RUNTIME_DIR"); !dir.empty()) {
        return dir;
    }
    return std::filesystem::temp_directory_path();
}

}  // namespace korvane::app
