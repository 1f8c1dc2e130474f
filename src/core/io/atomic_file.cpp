// Atomic file replacement for the merged outputs: the shared pending-file writer, except for
// devices and pipes, which are written directly.
#include "io/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "io/source_save.h"

namespace quennet::io {

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
    throw std::runtime_error("Cannot write \"" + path + "\": " + std::strerror(error));
}

// A device or a pipe (/dev/stdout, a FIFO) has no content to keep and cannot be replaced by
// renaming.
void WriteDirectly(const std::string& path, const ByteProducer& produce) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    int error = 0;
    try {
        produce([&](std::string_view piece) {
            if (error == 0) error = io::WriteAllBytes(fd, piece);
        });
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) Fail(path, error);
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteFileAtomically(path, [bytes](const ByteSink& sink) { sink(bytes); });
}

void WriteFileAtomically(const std::string& path, const ByteProducer& produce) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode)) {
        WriteDirectly(path, produce);
        return;
    }
    io::TPendingFile pending(path, produce);
    pending.Commit();
}

} // namespace quennet::io
