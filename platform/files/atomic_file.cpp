#include "platform/files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include "platform/log/logger.h"

namespace korvane::files {
namespace {

namespace fs = std::filesystem;

std::string errorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

void logFailure(const char* step, const fs::path& path, int error) {
    log::debugf("writeFileAtomically: %s %s: %s", step, path.c_str(), errorText(error).c_str());
}

// Closes the descriptor and removes the temporary file unless it was renamed.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        closeFile();
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }

    // Creates "<folder>/.<name>.tmp-<pid>-<n>" exclusively.
    bool create(const fs::path& folder, const fs::path& name) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 16; ++attempt) {
            const std::string leaf = "." + name.string() + ".tmp-" + std::to_string(::getpid()) +
                                     "-" + std::to_string(counter.fetch_add(1));
            fs::path candidate = folder / leaf;
            fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                path_ = std::move(candidate);
                return true;
            }
            if (errno != EEXIST) {
                return false;
            }
        }
        return false;
    }

    int fd() const { return fd_; }
    const fs::path& path() const { return path_; }

    bool closeFile() {
        if (fd_ < 0) {
            return true;
        }
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }
    // After a successful rename the file belongs to its new name.
    void release() { path_.clear(); }

  private:
    int fd_ = -1;
    fs::path path_;
};

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file the write replaces: the target of a symbolic link, else the path itself.
fs::path resolveTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path resolved = fs::canonical(path, ec);
        if (!ec) {
            return resolved;
        }
    }
    return path;
}

void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    if (::fsync(fd) != 0) {
        logFailure("fsync folder", folder, errno);
    }
    ::close(fd);
}

}  // namespace

bool writeFileAtomically(const fs::path& path, std::string_view contents) {
    const fs::path target = resolveTarget(path);
    if (target.filename().empty()) {
        logFailure("no file name in", target, EINVAL);
        return false;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

    TemporaryFile temporary;
    if (!temporary.create(folder, target.filename())) {
        logFailure("create temporary file in", folder, errno);
        return false;
    }
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Best effort: a file we cannot chmod is still written with default permissions.
        (void)::fchmod(temporary.fd(), old.st_mode & 07777);
    }
    if (!writeAll(temporary.fd(), contents)) {
        logFailure("write", temporary.path(), errno);
        return false;
    }
    if (::fsync(temporary.fd()) != 0) {
        logFailure("fsync", temporary.path(), errno);
        return false;
    }
    if (!temporary.closeFile()) {
        logFailure("close", temporary.path(), errno);
        return false;
    }
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
        logFailure("rename over", target, errno);
        return false;
    }
    temporary.release();
    syncFolder(folder);
    return true;
}

}  // namespace korvane::files
