#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace brantel {

namespace {

namespace fs = std::filesystem;

// The file a write must replace: the target of a symbolic link rather than the link itself.
std::string ReplacedFile(const std::string& path) {
    std::error_code error;
    if (!fs::is_symlink(path, error)) {
        return path;
    }
    const fs::path target = fs::canonical(path, error);
    return error ? path : target.string();
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Opens a new, uniquely named file beside `path`; -1 when none can be created.
int CreateTemporaryBeside(const std::string& path, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = path + ".tmp." + std::to_string(::getpid()) + "." +
                        std::to_string(counter.fetch_add(1));
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void SyncDirectoryOf(const std::string& path) {
    const fs::path directory = fs::path(path).parent_path();
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    // In blocks: a character at a time, a file of a megabyte took a tenth of a second to read,
    // and the store reads the whole file for every key.
    std::string content;
    char block[65536];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        content.append(block, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return content;
}

bool PathTaken(const std::string& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

void ReplaceFileAtomically(const std::string& path, std::string_view content) {
    const std::runtime_error failure("Unable to write to " + path);
    const std::string target = ReplacedFile(path);
    std::string temporaryPath;
    const int fd = CreateTemporaryBeside(target, temporaryPath);
    if (fd < 0) {
        throw failure;
    }
    struct stat existing {};
    const bool keepMode = ::stat(target.c_str(), &existing) == 0;
    const bool written = (!keepMode || ::fchmod(fd, existing.st_mode & 07777) == 0) &&
                         WriteAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporaryPath.c_str(), target.c_str()) != 0) {
        ::unlink(temporaryPath.c_str());
        throw failure;
    }
    SyncDirectoryOf(target);
}

bool CanReplaceAtomically(const std::string& path) {
    const std::string target = ReplacedFile(path);
    if (PathTaken(target) && ::access(target.c_str(), W_OK) != 0) {
        return false;
    }
    std::string temporaryPath;
    const int fd = CreateTemporaryBeside(target, temporaryPath);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    const std::string renamedPath = temporaryPath + ".renamed";
    const bool renamed = ::rename(temporaryPath.c_str(), renamedPath.c_str()) == 0;
    ::unlink((renamed ? renamedPath : temporaryPath).c_str());
    return renamed;
}

}  // namespace brantel
