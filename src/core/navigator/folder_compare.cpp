// Folder comparison with POSIX calls; file contents are read through mmap, never copied.
#include "navigator/folder_compare.h"

#include "model/crc32.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet::navigator {

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
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return result;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return result;
    }
    const auto size = static_cast<size_t>(st.st_size);
    if (size == 0) {
        ::close(fd);
        result.Readable = true; // nothing to map: the starting value
        return result;
    }
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (view == MAP_FAILED) return result;
    (void)::madvise(view, size, MADV_SEQUENTIAL);
    result.Crc = model::UpdateCrc32(view, size, kCrcStart);
    result.Readable = true;
    ::munmap(view, size);
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

FileStatus StatusOf(const std::string& here, const std::string& there, const std::string& name) {
    const std::string mine = WithTrailingSeparator(here) + name;
    const std::string other = WithTrailingSeparator(there) + name;
    if (!FileExists(other)) return FileStatus::OnlyHere;
    if (FileSizeOf(other) != FileSizeOf(mine)) return FileStatus::Different;
    const CrcResult a = ReadFileCrc(other);
    const CrcResult b = ReadFileCrc(mine);
    // Two files that cannot be read would both give the starting value; that proves nothing.
    if (!a.Readable || !b.Readable) return FileStatus::Different;
    return a.Crc == b.Crc ? FileStatus::Identical : FileStatus::Different;
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

std::vector<std::string> ListFolderFiles(const std::string& folder, const std::string& mask) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        throw std::runtime_error("Cannot read the folder \"" + folder +
                                 "\": " + std::strerror(errno));
    const std::string base = WithTrailingSeparator(folder);
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.') continue; // hidden files, "." and ".."
        if (!MatchesMask(name, mask)) continue;
        struct stat st {};
        if (::stat((base + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
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

} // namespace quennet::navigator
