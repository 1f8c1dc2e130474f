// The platform layer on POSIX systems.
#ifndef _WIN32

#include "io/platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet::io {

namespace {

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::Regular;
    if (S_ISDIR(mode)) return FileKind::Folder;
    if (S_ISFIFO(mode)) return FileKind::Fifo;
    if (S_ISSOCK(mode)) return FileKind::Socket;
    if (S_ISLNK(mode)) return FileKind::Link;
    return FileKind::Device;
}

FileInfo InfoOf(const struct stat& st) {
    FileInfo info;
    info.Kind = KindOf(st.st_mode);
    info.Device = static_cast<uint64_t>(st.st_dev);
    info.Id = static_cast<uint64_t>(st.st_ino);
    info.Size = static_cast<uint64_t>(st.st_size);
    info.ModifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    info.Mode = st.st_mode & 07777;
    info.Owner = st.st_uid;
    info.Group = st.st_gid;
    return info;
}

int Fd(intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

FileInfo StatPath(const std::string& path, bool followLinks, int* error) {
    struct stat st {};
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        if (error) *error = errno;
        return {};
    }
    return InfoOf(st);
}

std::string ErrorText(int error) {
    switch (error) {
    case kErrorReservedName: return "it is a device name on Windows";
    case kErrorInUse: return "it is open in another program";
    case kErrorReadOnly: return "it is read-only";
    default: return std::strerror(error);
    }
}

TFile TFile::OpenRead(const std::string& path, int& error, bool nonBlocking) {
    TFile f;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0));
    if (fd < 0)
        error = errno;
    else
        f.handle_ = fd;
    return f;
}

TFile TFile::OpenWrite(const std::string& path, int& error) {
    TFile f;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        error = errno;
    else
        f.handle_ = fd;
    return f;
}

TFile TFile::CreateNew(const std::string& path, int& error) {
    TFile f;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        error = errno;
    else
        f.handle_ = fd;
    return f;
}

TFile TFile::StandardInput() {
    TFile f;
    f.handle_ = STDIN_FILENO;
    f.own_ = false;
    return f;
}

int TFile::Info(FileInfo& info) const {
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0) return errno;
    info = InfoOf(st);
    return 0;
}

long long TFile::Read(char* buffer, size_t size, int& error) {
    for (;;) {
        const ssize_t n = ::read(Fd(handle_), buffer, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        error = errno;
        return -1;
    }
}

int TFile::WriteAll(std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(Fd(handle_), p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return 0;
}

int TFile::Sync() {
    return ::fsync(Fd(handle_)) == 0 ? 0 : errno;
}

void TFile::CopyAttributes(const FileInfo& from) {
    // Changing the owner is allowed only to root; otherwise the file becomes the saver's.
    [[maybe_unused]] const int owned = ::fchown(Fd(handle_), from.Owner, from.Group);
    (void)::fchmod(Fd(handle_), from.Mode);
}

int TFile::Close() {
    if (handle_ == kNone) return 0;
    const int fd = Fd(handle_);
    handle_ = kNone;
    if (!own_) return 0;
    return ::close(fd) == 0 ? 0 : errno;
}

void TFile::HintSequential() {
    (void)::posix_fadvise(Fd(handle_), 0, 0, POSIX_FADV_SEQUENTIAL);
}

int AtomicReplace(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int HardLink(const std::string& existing, const std::string& newName) {
    return ::link(existing.c_str(), newName.c_str()) == 0 ? 0 : errno;
}

int RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

void SyncFolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir); // a folder that cannot be synced is no write failure
        ::close(dir);
    }
}

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

unsigned long ProcessId() {
    return static_cast<unsigned long>(::getpid());
}

std::vector<FolderEntry> ReadFolder(const std::string& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    const auto fail = [&folder](int error) {
        throw std::runtime_error("Cannot read the folder \"" + folder + "\": " + ErrorText(error));
    };
    if (!dir) fail(errno);
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::vector<FolderEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir.get());
        if (!e) {
            if (errno != 0) fail(errno);
            break;
        }
        FolderEntry entry{e->d_name, FileKind::Missing, 0};
        if (entry.Name == "." || entry.Name == "..") continue;
        int error = 0;
        entry.Kind = StatPath(base + entry.Name, true, &error).Kind;
        if (entry.Kind == FileKind::Missing) {
            if (error == ENOENT && StatPath(base + entry.Name, false).Kind == FileKind::Link)
                entry.Kind = FileKind::Link;
            else
                entry.Error = error;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool FileNamesIgnoreCase() {
    return false;
}

std::string ReservedNameProblem(const std::string&) {
    return {};
}

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(utf8);
}

std::string Utf8Path(const std::filesystem::path& path) {
    return path.string();
}

void ReleasePages(char* from, size_t length) {
    // Whole pages only: the bytes around them belong to the allocation's neighbours.
    const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const size_t into = reinterpret_cast<uintptr_t>(from) % page;
    const size_t head = into == 0 ? 0 : page - into;
    const size_t tail = reinterpret_cast<uintptr_t>(from + length) % page;
    if (length > head + tail) ::madvise(from + head, length - head - tail, MADV_DONTNEED);
}

bool IsTerminal(StandardStream stream) {
    const int fd = stream == StandardStream::Input    ? STDIN_FILENO
                   : stream == StandardStream::Output ? STDOUT_FILENO
                                                      : STDERR_FILENO;
    return ::isatty(fd) == 1;
}

int TerminalColumns() {
    struct winsize ws {};
    if (IsTerminal(StandardStream::Output) && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0)
        return ws.ws_col;
    return 0;
}

void PrepareStandardStreams() {}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

bool TerminalTakesColours() {
    return IsTerminal(StandardStream::Output);
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace quennet::io

#endif
