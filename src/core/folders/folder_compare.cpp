// Folder comparison: listings, sizes and checksums through the platform layer.
#include "folders/folder_compare.h"

#include "base/crc32.h"
#include "io/platform.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <stdexcept>
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
    return io::StatPath(fileName).Size;
}

CrcResult ReadFileCrc(const std::string& fileName) {
    CrcResult result;
    int error = 0;
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    io::TFile file = io::TFile::OpenRead(fileName, error, true);
    if (!file.IsOpen()) {
        result.Problem = error == EISDIR ? "Is a directory" : io::ErrorText(error);
        return result;
    }
    io::FileInfo info;
    if (const int failed = file.Info(info); failed != 0 || info.Kind != io::FileKind::Regular) {
        result.Problem = failed != 0                         ? io::ErrorText(failed)
                         : info.Kind == io::FileKind::Folder ? "Is a directory"
                                                             : "Not a regular file";
        return result;
    }
    file.HintSequential();
    std::vector<char> block(1 << 16);
    uint32_t crc = kCrcStart;
    for (;;) {
        const long long got = file.Read(block.data(), block.size(), error);
        if (got < 0) {
            result.Problem = io::ErrorText(error);
            return result;
        }
        if (got == 0) break;
        crc = base::UpdateCrc32(block.data(), static_cast<size_t>(got), crc);
        result.Size += static_cast<uint64_t>(got);
    }
    result.Crc = crc;
    result.Readable = true;
    return result;
}

uint32_t FileCrc(const std::string& fileName) {
    return ReadFileCrc(fileName).Crc;
}

bool FileExists(const std::string& fileName) {
    const io::FileKind kind = io::StatPath(fileName).Kind;
    return kind != io::FileKind::Missing && kind != io::FileKind::Folder;
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
    const io::FileInfo a = io::StatPath(other);
    if (a.Kind == io::FileKind::Missing || a.Kind == io::FileKind::Folder)
        return {FileStatus::OnlyHere, {}, {}};
    // A FIFO or device is never read; against a file it is simply something else.
    const io::FileInfo b = io::StatPath(mine);
    if (a.Kind != io::FileKind::Regular || b.Kind != io::FileKind::Regular || a.Size != b.Size)
        return {FileStatus::Different, {}, {}};
    return CompareContents(mine, other, b.Size);
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
    std::vector<FolderItem> items;
    for (io::FolderEntry& e : io::ReadFolder(folder)) {
        if (e.Name.empty() || e.Name[0] == '.') continue; // hidden files
        if (!MatchesMask(e.Name, mask)) continue;
        FolderItem item{std::move(e.Name), EntryKind::File, {}};
        switch (e.Kind) {
        case io::FileKind::Folder: continue;
        case io::FileKind::Regular: break;
        case io::FileKind::Link: item.Kind = EntryKind::DanglingLink; break;
        case io::FileKind::Missing:
            item.Kind = EntryKind::Unreadable;
            item.Problem = io::ErrorText(e.Error);
            break;
        case io::FileKind::Fifo: item.Kind = EntryKind::Fifo; break;
        case io::FileKind::Socket: item.Kind = EntryKind::Socket; break;
        case io::FileKind::Device: item.Kind = EntryKind::Device; break;
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
