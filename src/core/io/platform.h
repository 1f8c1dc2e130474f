// Everything the program asks of the operating system, behind one face with a POSIX and a
// Windows implementation. Paths are UTF-8 on both; errors are errno values on both (Windows
// codes are mapped), so messages read the same wherever the program runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::io {

enum class FileKind { Missing, Regular, Folder, Fifo, Socket, Device, Link };

struct FileInfo {
    FileKind Kind = FileKind::Missing;
    uint64_t Device = 0, Id = 0, Size = 0; // Id: the inode, or the Windows file index
    int64_t ModifiedNs = 0;                // since the epoch
    uint32_t Mode = 0;                     // permission bits where the system has them
    uint32_t Owner = 0, Group = 0;
};

// The file a path leads to, links followed; with followLinks false, the name itself (a link
// is then FileKind::Link). error (when given) is set when the result is Missing.
FileInfo StatPath(const std::string& path, bool followLinks = true, int* error = nullptr);
inline bool IsFolder(const std::string& path) {
    return StatPath(path).Kind == FileKind::Folder;
}

// Errors of the program's own, beside errno's values.
constexpr int kErrorReservedName = 0x10001; // a Windows device name (CON, NUL, ...)
constexpr int kErrorInUse = 0x10002;        // held open by another program
constexpr int kErrorReadOnly = 0x10003;     // marked read-only
// The text of an error value, as strerror gives it.
std::string ErrorText(int error);

// An open file, closed when it goes out of scope. Operations return 0 or an error value.
class TFile {
public:
    TFile() = default;
    ~TFile();
    TFile(TFile&& other) noexcept;
    TFile& operator=(TFile&& other) noexcept;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // nonBlocking: opening a FIFO does not wait for a writer.
    static TFile OpenRead(const std::string& path, int& error, bool nonBlocking = false);
    // An existing file or device, written from its start without truncating it.
    static TFile OpenWrite(const std::string& path, int& error);
    // A file that must not exist yet.
    static TFile CreateNew(const std::string& path, int& error);
    // The standard input, in binary mode; not closed by this object.
    static TFile StandardInput();

    bool IsOpen() const { return handle_ != kNone; }
    int Info(FileInfo& info) const;
    // The count of bytes read (0 at the end), or -1 with error set.
    long long Read(char* buffer, size_t size, int& error);
    int WriteAll(std::string_view bytes);
    int Sync();
    // Owner (where allowed) and permissions of another file, for a replacement.
    void CopyAttributes(const FileInfo& from);
    int Close();
    // Reading straight through once: the system may read ahead and drop behind.
    void HintSequential();

private:
    static constexpr intptr_t kNone = -1;
    intptr_t handle_ = kNone;
    bool own_ = true;
};

// Replaces to by from in one step; an existing to is overwritten. Windows: a target held open
// by another program is an error that names the cause, and from stays.
int AtomicReplace(const std::string& from, const std::string& to);
// A second name for a file (a hard link); never replaces an existing name.
int HardLink(const std::string& existing, const std::string& newName);
int RemoveFile(const std::string& path);
// Flushes the folder holding path, so a rename in it survives a crash (POSIX; no-op elsewhere).
void SyncFolderOf(const std::string& path);
// Symbolic links followed one by one, so a dangling link leads to where its file belongs.
std::string FinalTarget(const std::string& path);
unsigned long ProcessId();

// The names in a folder, without "." and "..", unsorted. Throws std::runtime_error naming the
// folder and the reason.
struct FolderEntry {
    std::string Name;
    FileKind Kind = FileKind::Missing; // links followed; Link for a dangling one
    int Error = 0;                     // why Kind is Missing
};
std::vector<FolderEntry> ReadFolder(const std::string& folder);

// Whether the system compares file names without letter case (Windows does).
bool FileNamesIgnoreCase();
// The message for a path the system cannot use as a file name (Windows device names such as
// CON or NUL, with or without an extension); empty when it can.
std::string ReservedNameProblem(const std::string& path);

// UTF-8 paths to and from std::filesystem, whatever the system's narrow code page.
std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8Path(const std::filesystem::path& path);

// Memory of a buffer whose bytes will not be read again returned to the system (whole pages).
void ReleasePages(char* from, size_t length);

// Standard streams and the console.
enum class StandardStream { Input, Output, Error };
bool IsTerminal(StandardStream stream);
// The columns of the terminal on standard output, or 0 when unknown.
int TerminalColumns();
// Called once at start: binary standard streams (no CR LF translation), UTF-8 console output,
// virtual-terminal colour sequences where the console supports them.
void PrepareStandardStreams();
// The command line as UTF-8 (Windows hands main the narrow code page's spelling).
std::vector<std::string> CommandLineArguments(int argc, char** argv);
// Standard output is a terminal that shows colour sequences (on Windows, a console that
// took virtual-terminal processing).
bool TerminalTakesColours();
// An environment variable; empty when it is not set.
std::string EnvironmentValue(const char* name);

} // namespace quennet::io
