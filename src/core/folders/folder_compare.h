// Two folders side by side: which files of one have a namesake in the other, and whether the
// two have the same content (same size, then same CRC-32 of all bytes). Names are compared as
// the file system compares them; on Linux that is case-sensitive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quennet::folders {

// Size of the file as the file system reports it; 0 when there is none.
uint64_t FileSizeOf(const std::string& fileName);

// UpdateCrc32 over all bytes, starting from 0xFFFFFFFF, read in blocks (a mapping would turn a
// file shrinking under the reader into a crash). 0xFFFFFFFF when the file cannot be read.
uint32_t FileCrc(const std::string& fileName);

// The same, telling whether the file could be read (an empty file reads fine), how many bytes
// were read, and otherwise why not. Only regular files are read.
struct CrcResult {
    uint32_t Crc = 0xFFFFFFFFu;
    bool Readable = false;
    uint64_t Size = 0;   // bytes read
    std::string Problem; // reason when not readable
};
CrcResult ReadFileCrc(const std::string& fileName);

// A file, not a folder, exists under that name.
bool FileExists(const std::string& fileName);

enum class FileStatus { OnlyHere, Identical, Different };

// "identical", "different", "only here".
const char* FileStatusName(FileStatus status);

// Status of the file `name` of folder `here` against its namesake in `there`. The size test
// comes first, so a file is read only when its namesake has the same size. A file that cannot
// be read is never called identical to anything but an empty file.
FileStatus StatusOf(const std::string& here, const std::string& there, const std::string& name);

// The same, with the file that could not be read, if any, and why.
struct FileComparison {
    FileStatus Status = FileStatus::OnlyHere;
    std::string Unreadable; // path
    std::string Problem;    // reason
};
FileComparison CompareFile(const std::string& here, const std::string& there,
                           const std::string& name);

// The contents of two files whose sizes were both found to be `size`: identical only when both
// read fully, have that size still, and have the same CRC. A file that changed size after the
// size test counts as different.
FileComparison CompareContents(const std::string& mine, const std::string& other, uint64_t size);

// "*.pas;*.dpr": patterns separated by ";", with "*" and "?"; letters match in either case, as
// file dialogs do; "*.*" matches every name.
bool MatchesMask(const std::string& name, const std::string& mask);

// Names of the regular, not hidden files of a folder that match the mask, sorted. Throws
// std::runtime_error naming the folder when it cannot be read.
std::vector<std::string> ListFolderFiles(const std::string& folder, const std::string& mask);

// What a listed name is; folders are never listed.
enum class EntryKind { File, Fifo, Socket, Device, DanglingLink, Unreadable };

struct FolderItem {
    std::string Name;
    EntryKind Kind = EntryKind::File;
    std::string Problem; // for Unreadable: the reason
};

// Every not hidden name of a folder that matches the mask and is not a folder, sorted: regular
// files and what else a listing must not hide. Throws like ListFolderFiles.
std::vector<FolderItem> ListFolderItems(const std::string& folder, const std::string& mask);

struct FolderEntry {
    std::string Name;
    FileStatus Status = FileStatus::OnlyHere;
};

// Statuses of the names of one folder against the other folder.
std::vector<FolderEntry> FolderStatuses(const std::string& here,
                                        const std::vector<std::string>& names,
                                        const std::string& there);

// The folder with a trailing separator.
std::string WithTrailingSeparator(const std::string& folder);

} // namespace quennet::folders
