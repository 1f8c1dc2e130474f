// Saving source text with POSIX calls: the temporary copy lives in the target's folder so that
// rename replaces the target in one step.
#include "io/source_save.h"

#include "io/source_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet::io {

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
    throw std::runtime_error("Cannot write \"" + path + "\": " + std::strerror(error));
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void SyncFolderOf(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path parent = fs::path(path).parent_path();
    const fs::path folder = parent.empty() ? fs::path(".") : parent;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir); // a folder that cannot be synced is no write failure
        ::close(dir);
    }
}

// Follows symbolic links one by one, so a link whose file does not exist yet still leads to
// where that file belongs.
std::string FinalTarget(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path p(path);
    std::error_code ec;
    for (int depth = 0; depth < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++depth) {
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p.string();
}

// A second name for the file's current text: a hard link costs nothing and cannot be half
// written; where links are not allowed, a flushed copy. Never replaces an existing file.
bool MakeBackup(const std::string& file, const std::string& backup) {
    if (::link(file.c_str(), backup.c_str()) == 0) return true;
    if (errno == EEXIST) return false;
    const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    const int out = ::open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        ::close(in);
        return false;
    }
    struct stat st {};
    if (::fstat(in, &st) == 0) (void)::fchmod(out, st.st_mode & 07777);
    bool ok = true;
    char block[65536];
    for (;;) {
        const ssize_t n = ::read(in, block, sizeof block);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (WriteAllBytes(out, std::string_view(block, static_cast<size_t>(n))) != 0) {
            ok = false;
            break;
        }
    }
    if (ok && ::fsync(out) != 0) ok = false;
    if (::close(out) != 0) ok = false;
    ::close(in);
    if (!ok) ::unlink(backup.c_str());
    return ok;
}

} // namespace

SourceTextFormat DetectTextFormat(std::string_view bytes, TextEncoding encoding) {
    SourceTextFormat format;
    format.Encoding = encoding;
    const size_t first = bytes.find_first_of("\r\n");
    if (first == std::string_view::npos) {
        format.FinalBreak = bytes.empty();
        return format;
    }
    const bool crlf = bytes[first] == '\r' && first + 1 < bytes.size() && bytes[first + 1] == '\n';
    format.LineBreak = crlf ? "\r\n" : std::string(1, bytes[first]);
    const char last = bytes.back();
    format.FinalBreak = last == '\r' || last == '\n';
    // Any break of another kind makes the file mixed.
    for (size_t i = first; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        std::string_view brk = bytes.substr(i, 1);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') brk = bytes.substr(i, 2);
        if (brk != format.LineBreak) {
            format.MixedOriginal = std::make_shared<const std::string>(bytes);
            break;
        }
        i += brk.size() - 1;
    }
    return format;
}

std::string AssembleSourceText(const std::vector<std::string>& lines,
                               const SourceTextFormat& format) {
    if (format.MixedOriginal && SplitLines(*format.MixedOriginal) == lines)
        return EncodeSourceText(*format.MixedOriginal, format.Encoding);
    size_t total = 0;
    for (const auto& l : lines)
        total += l.size() + format.LineBreak.size();
    std::string out;
    out.reserve(total);
    for (size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || format.FinalBreak) out += format.LineBreak;
    }
    // Not a conditional expression: that would return a copy of `out`.
    if (format.Encoding != TextEncoding::Bytes) return EncodeSourceText(out, format.Encoding);
    return out;
}

SourceTextFormat OutputFormatOf(const SourceTextFormat& source, std::string_view eol) {
    SourceTextFormat format;
    format.LineBreak = eol.empty() ? source.LineBreak : std::string(eol);
    format.Encoding = source.Encoding;
    return format;
}

std::string NumberedBackupName(const std::string& fileName,
                               const std::function<bool(const std::string&)>& exists) {
    for (int n = 0; n <= 999; ++n) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", n);
        std::string candidate = fileName + "." + number + ".bak";
        if (!exists(candidate)) return candidate;
    }
    return fileName + ".bak";
}

std::string NumberedBackupName(const std::string& fileName) {
    return NumberedBackupName(fileName, PathExists);
}

int WriteAllBytes(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return 0;
}

TPendingFile::TPendingFile(const std::string& path, std::string_view bytes)
    : TPendingFile(path, [bytes](const ByteSink& sink) { sink(bytes); }) {}

TPendingFile::TPendingFile(const std::string& path, const ByteProducer& produce) : path_(path) {
    // Writing through a symbolic link replaces the file it names, not the link; a dangling
    // link gets its file.
    target_ = FinalTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw std::runtime_error("Cannot write \"" + path + "\": it is a folder");
    // A device or pipe would be replaced by a plain file, not written to.
    if (exists && !S_ISREG(existing.st_mode))
        throw std::runtime_error("Cannot write \"" + path + "\": it is not a regular file");

    static std::atomic<unsigned> counter{0};
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string candidate =
            target_ + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            temp_ = candidate;
        else if (errno != EEXIST)
            Fail(path, errno);
    }
    if (fd < 0) Fail(path, EEXIST);
    if (exists) {
        // The replacement keeps the file's owner (where allowed) and its permissions.
        // Changing the owner is allowed only to root; otherwise the file becomes the saver's.
        [[maybe_unused]] const int owned = ::fchown(fd, existing.st_uid, existing.st_gid);
        (void)::fchmod(fd, existing.st_mode & 07777);
    }

    int error = 0;
    try {
        produce([&](std::string_view piece) {
            if (error == 0) error = WriteAllBytes(fd, piece);
        });
    } catch (...) {
        ::close(fd);
        ::unlink(temp_.c_str());
        throw;
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::unlink(temp_.c_str());
        Fail(path, error);
    }
}

TPendingFile::~TPendingFile() {
    if (!committed_) ::unlink(temp_.c_str());
}

void TPendingFile::Commit(const RenameFunction& rename) {
    if ((rename ? rename(temp_.c_str(), target_.c_str())
                : ::rename(temp_.c_str(), target_.c_str())) != 0)
        Fail(path_, errno);
    committed_ = true;
    SyncFolderOf(target_);
}

void WriteSourceFile(const std::string& path, std::string_view bytes) {
    TPendingFile pending(path, bytes);
    pending.Commit();
}

BackupSaveResult SaveWithNumberedBackup(const std::string& path, std::string_view bytes,
                                        const RenameFunction& rename) {
    TPendingFile pending(path, bytes);
    BackupSaveResult result;
    struct stat st {};
    result.FileWasMissing = ::stat(pending.Target().c_str(), &st) != 0;
    if (!result.FileWasMissing) {
        const std::string backup = NumberedBackupName(pending.Target());
        // A backup that cannot be made does not stop the save: the new text is complete.
        if (MakeBackup(pending.Target(), backup)) result.BackupName = backup;
    }
    try {
        pending.Commit(rename);
    } catch (...) {
        // The file still holds its old text; a backup of it would only be clutter.
        if (!result.BackupName.empty()) ::unlink(result.BackupName.c_str());
        throw;
    }
    return result;
}

} // namespace quennet::io
