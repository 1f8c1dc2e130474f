// Atomic file replacement with POSIX calls (the temporary file must be on the target's file
// system for rename to replace the target in one step).
#include "merge/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet::merge {

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
    throw std::runtime_error("Cannot write \"" + path + "\": " + std::strerror(error));
}

// Closes and removes the temporary file unless it was renamed.
struct TempFile {
    std::string Path;
    int Fd = -1;
    bool Keep = false;
    ~TempFile() {
        if (Fd >= 0) ::close(Fd);
        if (!Keep && !Path.empty()) ::unlink(Path.c_str());
    }
};

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(path, errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Writing through a symbolic link replaces the file it names, not the link.
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
    }
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw std::runtime_error("Cannot write \"" + path + "\": it is a folder");

    // A device or a pipe (/dev/stdout, a FIFO) has no content to keep and cannot be replaced
    // by renaming: it is written directly.
    if (exists && !S_ISREG(existing.st_mode)) {
        TempFile direct; // closes; never unlinks (no Path)
        direct.Fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (direct.Fd < 0) Fail(path, errno);
        WriteAll(direct.Fd, bytes, path);
        const int fd = direct.Fd;
        direct.Fd = -1;
        if (::close(fd) != 0) Fail(path, errno);
        return;
    }

    static std::atomic<unsigned> counter{0};
    TempFile temp;
    for (int attempt = 0; attempt < 100 && temp.Fd < 0; ++attempt) {
        std::string candidate =
            target.string() + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        temp.Fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temp.Fd >= 0)
            temp.Path = candidate;
        else if (errno != EEXIST)
            Fail(path, errno);
    }
    if (temp.Fd < 0) Fail(path, EEXIST);
    if (exists) (void)::fchmod(temp.Fd, existing.st_mode & 07777);

    WriteAll(temp.Fd, bytes, path);
    if (::fsync(temp.Fd) != 0) Fail(path, errno);
    const int fd = temp.Fd;
    temp.Fd = -1;
    if (::close(fd) != 0) Fail(path, errno);
    if (::rename(temp.Path.c_str(), target.c_str()) != 0) Fail(path, errno);
    temp.Keep = true;

    // Make the rename itself durable; a folder that cannot be synced is no write failure.
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
}

} // namespace quennet::merge
