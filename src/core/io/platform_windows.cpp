// The platform layer on Windows: UTF-8 paths inside, UTF-16 at the API, errors mapped to
// errno values so that messages read as on other systems.
#ifdef _WIN32

#include "io/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <stdexcept>
#include <windows.h>

namespace quennet::io {

namespace {

// Codes past errno's range carry a Windows error whose text the system gives.
constexpr int kWindowsErrorBase = 0x20000;

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                          nullptr, nullptr);
    return utf8;
}

int MapError(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
    case ERROR_USER_MAPPED_FILE: return kErrorInUse;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA: return EPIPE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_TOO_MANY_LINKS: return EMLINK;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return ENOSYS;
    default: return kWindowsErrorBase + static_cast<int>(code);
    }
}

int LastError() {
    return MapError(::GetLastError());
}

// The last component without its extension: Windows keeps device names whatever follows
// the dot ("nul.pas" is the null device).
std::string DeviceStem(const std::string& path) {
    const size_t slash = path.find_last_of("/\\:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

// "/dev/null", which git passes for a missing side, and the bare "nul" that Git for Windows'
// shell makes of it: the null device, on purpose.
bool IsNullDevice(const std::string& path) {
    return path == "/dev/null" || (path.size() == 3 && DeviceStem(path) == "NUL");
}

// The path as the wide API takes it: separators as backslashes, and past the classic length
// limit the full path behind \\?\ (\\?\UNC\ for a share). A reserved name gives an empty path
// and kErrorReservedName.
std::wstring ApiPath(const std::string& path, int* error = nullptr) {
    if (IsNullDevice(path)) return L"NUL";
    if (!ReservedNameProblem(path).empty()) {
        if (error) *error = kErrorReservedName;
        ::SetLastError(ERROR_INVALID_NAME);
        return {};
    }
    std::wstring wide = Widen(path);
    if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.size() < 240) return wide;
    const DWORD need = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (need == 0) return wide;
    std::wstring full(need, L'\0');
    const DWORD got = ::GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
    full.resize(got);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

int64_t UnixNs(const FILETIME& t) {
    const int64_t ticks =
        static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    return (ticks - 116444736000000000LL) * 100;
}

HANDLE H(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

FileInfo InfoOfHandle(HANDLE h, int& error) {
    FileInfo info;
    const DWORD type = ::GetFileType(h);
    if (type == FILE_TYPE_CHAR) {
        info.Kind = FileKind::Device;
        return info;
    }
    if (type == FILE_TYPE_PIPE) {
        info.Kind = FileKind::Fifo;
        return info;
    }
    BY_HANDLE_FILE_INFORMATION bh{};
    if (!::GetFileInformationByHandle(h, &bh)) {
        error = LastError();
        return info;
    }
    info.Kind =
        (bh.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
    info.Device = bh.dwVolumeSerialNumber;
    info.Id = (static_cast<uint64_t>(bh.nFileIndexHigh) << 32) | bh.nFileIndexLow;
    info.Size = (static_cast<uint64_t>(bh.nFileSizeHigh) << 32) | bh.nFileSizeLow;
    info.ModifiedNs = UnixNs(bh.ftLastWriteTime);
    info.Mode = (bh.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return info;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool consoleTakesColours = false;

} // namespace

std::string ErrorText(int error) {
    switch (error) {
    case kErrorReservedName: return "it is a device name on Windows";
    case kErrorInUse: return "it is open in another program";
    case kErrorReadOnly: return "it is read-only";
    default: break;
    }
    if (error < kWindowsErrorBase) return std::strerror(error);
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, static_cast<DWORD>(error - kWindowsErrorBase), 0,
                                     reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = n ? Narrow(std::wstring_view(text, n)) : std::string();
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == '.' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "Windows error " + std::to_string(error - kWindowsErrorBase) : message;
}

FileInfo StatPath(const std::string& path, bool followLinks, int* error) {
    int reserved = 0;
    const std::wstring wide = ApiPath(path, &reserved);
    if (reserved) {
        if (error) *error = reserved;
        return {};
    }
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE h = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                             flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = LastError();
        return {};
    }
    int failed = 0;
    FileInfo info = InfoOfHandle(h, failed);
    if (!followLinks && info.Kind == FileKind::Regular) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
            (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            tag.ReparseTag == IO_REPARSE_TAG_SYMLINK)
            info.Kind = FileKind::Link;
    }
    ::CloseHandle(h);
    if (failed) {
        if (error) *error = failed;
        return {};
    }
    return info;
}

namespace {
void Open(const std::string& path, DWORD access, DWORD disposition, DWORD flags, int& error,
          intptr_t& handle) {
    const std::wstring wide = ApiPath(path, &error);
    if (error) return;
    HANDLE h = ::CreateFileW(wide.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = LastError();
        // Opening a folder is refused as access denied: say what it is.
        if (error == EACCES && StatPath(path).Kind == FileKind::Folder) error = EISDIR;
        return;
    }
    handle = reinterpret_cast<intptr_t>(h);
}
} // namespace

TFile TFile::OpenRead(const std::string& path, int& error, bool) {
    TFile f;
    intptr_t h = kNone;
    error = 0;
    Open(path, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, error, h);
    f.handle_ = h;
    return f;
}

TFile TFile::OpenWrite(const std::string& path, int& error) {
    TFile f;
    intptr_t h = kNone;
    error = 0;
    Open(path, GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, error, h);
    f.handle_ = h;
    return f;
}

TFile TFile::CreateNew(const std::string& path, int& error) {
    TFile f;
    intptr_t h = kNone;
    error = 0;
    Open(path, GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, error, h);
    f.handle_ = h;
    return f;
}

TFile TFile::StandardInput() {
    TFile f;
    // The C runtime's descriptor 0 holds the handle the process was started with.
    f.handle_ = ::_get_osfhandle(_fileno(stdin));
    f.own_ = false;
    return f;
}

int TFile::Info(FileInfo& info) const {
    int error = 0;
    info = InfoOfHandle(H(handle_), error);
    // Standard input that cannot tell what it is is read as a stream.
    if (error != 0 && !own_) {
        info = {};
        info.Kind = FileKind::Fifo;
        return 0;
    }
    return error;
}

long long TFile::Read(char* buffer, size_t size, int& error) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    if (!::ReadFile(H(handle_), buffer, want, &got, nullptr)) {
        const DWORD code = ::GetLastError();
        // The writer of a pipe closing it is the end of the input.
        if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return 0;
        error = MapError(code);
        return -1;
    }
    return got;
}

int TFile::WriteAll(std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        DWORD done = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(left, 1u << 30));
        if (!::WriteFile(H(handle_), p, want, &done, nullptr)) return LastError();
        p += done;
        left -= done;
    }
    return 0;
}

int TFile::Sync() {
    // The null device and consoles cannot be flushed, and need not be.
    if (::GetFileType(H(handle_)) != FILE_TYPE_DISK) return 0;
    return ::FlushFileBuffers(H(handle_)) ? 0 : LastError();
}

void TFile::CopyAttributes(const FileInfo&) {
    // ReplaceFileW keeps the replaced file's attributes and security.
}

int TFile::Close() {
    if (handle_ == kNone) return 0;
    HANDLE h = H(handle_);
    handle_ = kNone;
    if (!own_) return 0;
    return ::CloseHandle(h) ? 0 : LastError();
}

void TFile::HintSequential() {}

int AtomicReplace(const std::string& from, const std::string& to) {
    int error = 0;
    // Full paths: Wine's ReplaceFileW does not find relative ones.
    const auto full = [&error](const std::string& path) {
        std::wstring wide = ApiPath(path, &error);
        const DWORD need = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        if (need == 0 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
        std::wstring out(need, L'\0');
        out.resize(::GetFullPathNameW(wide.c_str(), need, out.data(), nullptr));
        return out;
    };
    const std::wstring wideFrom = full(from);
    const std::wstring wideTo = full(to);
    if (error) return error;
    const DWORD attributes = ::GetFileAttributesW(wideTo.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // Windows keeps a read-only file from being replaced; the mark means "do not write".
        if (attributes & FILE_ATTRIBUTE_READONLY) return kErrorReadOnly;
        if (::ReplaceFileW(wideTo.c_str(), wideFrom.c_str(), nullptr,
                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            return 0;
        const DWORD code = ::GetLastError();
        // Replacement across volumes or on file systems without it falls back to a move, and
        // so does the one failure that leaves the target gone and the new text under its
        // temporary name.
        if (code != ERROR_NOT_SUPPORTED && code != ERROR_INVALID_PARAMETER &&
            code != ERROR_INVALID_FUNCTION && code != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            return MapError(code);
    }
    if (::MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return LastError();
}

int HardLink(const std::string& existing, const std::string& newName) {
    int error = 0;
    const std::wstring from = ApiPath(existing, &error);
    const std::wstring to = ApiPath(newName, &error);
    if (error) return error;
    // A link shares the read-only mark, and a read-only name cannot be deleted: a backup of
    // such a file is a copy, which a failed save can take back.
    const DWORD attributes = ::GetFileAttributesW(from.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return kErrorReadOnly;
    return ::CreateHardLinkW(to.c_str(), from.c_str(), nullptr) ? 0 : LastError();
}

int RemoveFile(const std::string& path) {
    int error = 0;
    const std::wstring wide = ApiPath(path, &error);
    if (error) return error;
    return ::DeleteFileW(wide.c_str()) ? 0 : LastError();
}

void SyncFolderOf(const std::string&) {
    // NTFS journals its renames; there is no folder handle to flush.
}

std::string FinalTarget(const std::string& path) {
    // Writing through a link replaces the file it names: resolved by the system when the
    // temporary file is moved over the link's target.
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p = FsPath(path);
    for (int depth = 0; depth < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++depth) {
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return Utf8Path(p);
}

unsigned long ProcessId() {
    return ::GetCurrentProcessId();
}

std::vector<FolderEntry> ReadFolder(const std::string& folder) {
    const auto fail = [&folder](int error) {
        throw std::runtime_error("Cannot read the folder \"" + folder + "\": " + ErrorText(error));
    };
    const std::string base =
        folder.empty() || folder.back() == '/' || folder.back() == '\\' ? folder : folder + "/";
    int error = 0;
    const std::wstring pattern = ApiPath(base + "*", &error);
    if (error) fail(error);
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return {};
        fail(MapError(code));
    }
    std::vector<FolderEntry> entries;
    do {
        FolderEntry entry{Narrow(data.cFileName), FileKind::Regular, 0};
        if (entry.Name == "." || entry.Name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            int statError = 0;
            entry.Kind = StatPath(base + entry.Name, true, &statError).Kind;
            if (entry.Kind == FileKind::Missing) {
                if (statError == ENOENT)
                    entry.Kind = FileKind::Link;
                else
                    entry.Error = statError;
            }
        } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entry.Kind = FileKind::Folder;
        }
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(find, &data));
    const DWORD code = ::GetLastError();
    ::FindClose(find);
    if (code != ERROR_NO_MORE_FILES) fail(MapError(code));
    return entries;
}

bool FileNamesIgnoreCase() {
    return true;
}

std::string ReservedNameProblem(const std::string& path) {
    static const char* const kNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1",   "COM2",
                                         "COM3", "COM4", "COM5", "COM6", "COM7",   "COM8",
                                         "COM9", "LPT1", "LPT2", "LPT3", "LPT4",   "LPT5",
                                         "LPT6", "LPT7", "LPT8", "LPT9", "CONIN$", "CONOUT$"};
    // A device named as such on purpose.
    if (path.rfind("\\\\.\\", 0) == 0 || IsNullDevice(path)) return {};
    const std::string stem = DeviceStem(path);
    for (const char* name : kNames)
        if (stem == name) return ErrorText(kErrorReservedName);
    return {};
}

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(Widen(utf8));
}

std::string Utf8Path(const std::filesystem::path& path) {
    return Narrow(path.native());
}

void ReleasePages(char*, size_t) {
    // The heap's pages cannot be handed back piecemeal here; the memory goes with the buffer.
}

bool IsTerminal(StandardStream stream) {
    const DWORD which = stream == StandardStream::Input    ? STD_INPUT_HANDLE
                        : stream == StandardStream::Output ? STD_OUTPUT_HANDLE
                                                           : STD_ERROR_HANDLE;
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

int TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void PrepareStandardStreams() {
    // Bytes go through as they are: no CR LF translation, no end at a Ctrl-Z.
    (void)::_setmode(_fileno(stdin), _O_BINARY);
    (void)::_setmode(_fileno(stdout), _O_BINARY);
    (void)::_setmode(_fileno(stderr), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
    for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        HANDLE h = ::GetStdHandle(which);
        DWORD mode = 0;
        if (!::GetConsoleMode(h, &mode)) {
            // The C runtime counts NUL as a terminal and leaves it unbuffered, so a report sent
            // there (or to a pipe) went out a few bytes a call; the output is flushed at its end.
            if (which == STD_OUTPUT_HANDLE) (void)std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
            continue;
        }
        const bool on = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
                        ::SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
        if (which == STD_OUTPUT_HANDLE) consoleTakesColours = on;
    }
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(Narrow(wide[i]));
    ::LocalFree(wide);
    return args;
}

bool TerminalTakesColours() {
    return IsTerminal(StandardStream::Output) && consoleTakesColours;
}

std::string EnvironmentValue(const char* name) {
    const wchar_t* value = ::_wgetenv(Widen(name).c_str());
    return value ? Narrow(value) : "";
}

} // namespace quennet::io

#endif
