// Folder comparison with POSIX calls.
#include "folders/folder_compare.h"

#include "base/crc32.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quennet::folders {

namespace {

constexpr uint32_t kCrcStart = 0xFFFFFFFFu;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool WildMatch(const char* p, const char* pe, const char* s, const char* se) {
    // Iterative glob with one backtrack point for the last "*".
    const char* starP = nullptr;
    const char* starS = nullptr;
    while (s < se) {
        if (p < pe && (*p == '?' || Lower(*p) == Lower(*s))) {
            ++p;
            ++s;
        } else if (p < pe && *p == '*') {
            starP = ++p;
            starS = s;
        } else if (starP) {
            p = starP;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < pe && *p == '*')
        ++p;
    return p == pe;
}

} // namespace

uint64_t FileSizeOf(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0) return 0;
    return static_cast<uint64_t>(st.st_size);
}

CrcResult ReadFileCrc(const std::string& fileName) {
    CrcResult result;
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.Problem = std::strerror(errno);
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.Problem = st.st_mode == 0       ? std::strerror(errno)
                         : S_ISDIR(st.st_mode) ? "Is a directory"
                                               : "Not a regular file";
        ::close(fd);
        return result;
    }
    (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<char> block(1 << 16);
    uint32_t crc = kCrcStart;
    for (;;) {
        const ssize_t got = ::read(fd, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result.Problem = std::strerror(errno);
            ::close(fd);
            return result;
        }
        if (got == 0) break;
        crc = base::UpdateCrc32(block.data(), static_cast<size_t>(got), crc);
        result.Size += static_cast<uint64_t>(got);
    }
    ::close(fd);
    result.Crc = crc;
    result.Readable = true;
    return result;
}

uint32_t FileCrc(const std::string& fileName) {
    return ReadFileCrc(fileName).Crc;
}

bool FileExists(const std::string& fileName) {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

const char* FileStatusName(FileStatus status) {
    switch (status) {
    case FileStatus::Identical: return "identical";
    case FileStatus::Different: return "different";
    case FileStatus::OnlyHere: break;
    }
    return "only here";
}

FileComparison CompareContents(const std::string& mine, const std::string& other, uint64_t size) {
    const CrcResult a = ReadFileCrc(other);
    const CrcResult b = ReadFileCrc(mine);
    // Two files that cannot be read would both give the starting value; that proves nothing.
    if (!b.Readable) return {FileStatus::Different, mine, b.Problem};
    if (!a.Readable) return {FileStatus::Different, other, a.Problem};
    const bool same = a.Size == size && b.Size == size && a.Crc == b.Crc;
    return {same ? FileStatus::Identical : FileStatus::Different, {}, {}};
}

FileComparison CompareFile(const std::string& here, const std::string& there,
                           const std::string& name) {
    const std::string mine = WithTrailingSeparator(here) + name;
    const std::string other = WithTrailingSeparator(there) + name;
    struct stat a {
    }, b{};
    if (::stat(other.c_str(), &a) != 0 || S_ISDIR(a.st_mode)) return {FileStatus::OnlyHere, {}, {}};
    // A FIFO or device is never read; against a file it is simply something else.
    if (::stat(mine.c_str(), &b) != 0 || !S_ISREG(a.st_mode) || !S_ISREG(b.st_mode) ||
        a.st_size != b.st_size)
        return {FileStatus::Different, {}, {}};
    const auto size = static_cast<uint64_t>(b.st_size);
    return CompareContents(mine, other, size);
}

FileStatus StatusOf(const std::string& here, const std::string& there, const std::string& name) {
    return CompareFile(here, there, name).Status;
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    size_t start = 0;
    while (start <= mask.size()) {
        size_t end = mask.find(';', start);
        if (end == std::string::npos) end = mask.size();
        std::string pattern = mask.substr(start, end - start);
        pattern.erase(0, pattern.find_first_not_of(' '));
        pattern.erase(pattern.find_last_not_of(' ') + 1);
        if (pattern == "*.*" || pattern == "*") return true;
        if (!pattern.empty() && WildMatch(pattern.data(), pattern.data() + pattern.size(),
                                          name.data(), name.data() + name.size()))
            return true;
        start = end + 1;
    }
    return false;
}

std::vector<FolderItem> ListFolderItems(const std::string& folder, const std::string& mask) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        throw std::runtime_error("Cannot read the folder \"" + folder +
                                 "\": " + std::strerror(errno));
    const std::string base = WithTrailingSeparator(folder);
    std::vector<FolderItem> items;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir.get());
        if (!e) {
            if (errno != 0)
                throw std::runtime_error("Cannot read the folder \"" + folder +
                                         "\": " + std::strerror(errno));
            break;
        }
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.') continue; // hidden files, "." and ".."
        if (!MatchesMask(name, mask)) continue;
        FolderItem item{name, EntryKind::File, {}};
        struct stat st {};
        if (::stat((base + name).c_str(), &st) != 0) {
            const int error = errno;
            struct stat link {};
            if (error == ENOENT && ::lstat((base + name).c_str(), &link) == 0 &&
                S_ISLNK(link.st_mode)) {
                item.Kind = EntryKind::DanglingLink;
            } else {
                item.Kind = EntryKind::Unreadable;
                item.Problem = std::strerror(error);
            }
        } else if (S_ISDIR(st.st_mode)) {
            continue;
        } else if (S_ISFIFO(st.st_mode)) {
            item.Kind = EntryKind::Fifo;
        } else if (S_ISSOCK(st.st_mode)) {
            item.Kind = EntryKind::Socket;
        } else if (!S_ISREG(st.st_mode)) {
            item.Kind = EntryKind::Device;
        }
        items.push_back(std::move(item));
    }
    std::sort(items.begin(), items.end(),
              [](const FolderItem& x, const FolderItem& y) { return x.Name < y.Name; });
    return items;
}

std::vector<std::string> ListFolderFiles(const std::string& folder, const std::string& mask) {
    std::vector<std::string> names;
    for (auto& item : ListFolderItems(folder, mask))
        if (item.Kind == EntryKind::File) names.push_back(std::move(item.Name));
    return names;
}

std::vector<FolderEntry> FolderStatuses(const std::string& here,
                                        const std::vector<std::string>& names,
                                        const std::string& there) {
    std::vector<FolderEntry> entries;
    entries.reserve(names.size());
    for (const std::string& name : names)
        entries.push_back({name, StatusOf(here, there, name)});
    return entries;
}

std::string WithTrailingSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

} // namespace quennet::folders
