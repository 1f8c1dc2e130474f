// The platform layer on the system it was built for: Unicode names, separators and long paths,
// device names, replacing a file that is open or read-only, file identity. Built into the
// Linux tests and, cross-built, into platform_tests.exe that runs under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include "io/atomic_file.h"
#include "io/output_guard.h"
#include "io/platform.h"
#include "io/source_file.h"
#include "io/source_save.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace quennet::io;

namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// A scratch folder named in UTF-8, removed with its contents.
struct Scratch {
    std::string dir;
    Scratch() {
        static int counter = 0;
        const fs::path p =
            fs::temp_directory_path() /
            ("quennet-platform-" + std::to_string(ProcessId()) + "-" + std::to_string(counter++));
        fs::create_directories(p);
        dir = Utf8Path(p);
    }
    ~Scratch() {
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(FsPath(dir), ec))
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(FsPath(dir), ec);
    }
    std::string operator/(const std::string& name) const { return dir + "/" + name; }
};

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(Platform, UnicodeNamesRoundTrip) {
    Scratch s;
    const std::string names[] = {"Größe.pas", "Ωμέγα.pas", "日本語ユニット.pas", "emoji-😀.pas",
                                 "with space.pas"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        WriteFileAtomically(s / name, "unit " + name + ";\r\n");
        EXPECT_EQ(ReadFileBytes(s / name), "unit " + name + ";\r\n");
        const FileInfo info = StatPath(s / name);
        EXPECT_EQ(info.Kind, FileKind::Regular);
        EXPECT_EQ(info.Size, name.size() + 8);
    }
    size_t found = 0;
    for (const FolderEntry& e : ReadFolder(s.dir)) {
        EXPECT_EQ(e.Kind, FileKind::Regular) << e.Name;
        for (const std::string& name : names)
            found += e.Name == name;
    }
    EXPECT_EQ(found, std::size(names));
}

TEST(Platform, FoldersMissingFilesAndErrors) {
    Scratch s;
    fs::create_directory(FsPath(s / "sub"));
    EXPECT_TRUE(IsFolder(s / "sub"));
    int error = 0;
    EXPECT_EQ(StatPath(s / "none.pas", true, &error).Kind, FileKind::Missing);
    EXPECT_EQ(ErrorText(error), "No such file or directory");
    EXPECT_NE(ErrorOf([&] { ReadFileBytes(s / "none.pas"); }).find("No such file or directory"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] { ReadFileBytes(s / "sub"); }).find("it is a folder"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { WriteFileAtomically(s / "sub", "x"); }).find("it is a folder"),
              std::string::npos);
    EXPECT_THROW(ReadFolder(s / "none"), std::runtime_error);
}

TEST(Platform, HardLinksAreOneFile) {
    Scratch s;
    WriteFileAtomically(s / "a.pas", "a");
    WriteFileAtomically(s / "b.pas", "a");
    ASSERT_EQ(HardLink(s / "a.pas", s / "a.pas.000.bak"), 0);
    EXPECT_TRUE(SameFile(s / "a.pas", s / "a.pas.000.bak"));
    EXPECT_FALSE(SameFile(s / "a.pas", s / "b.pas"));
    EXPECT_EQ(HardLink(s / "a.pas", s / "b.pas"), EEXIST);
    EXPECT_THROW(RefuseOutputsOverInputs({s / "a.pas.000.bak"}, {s / "a.pas"}), std::runtime_error);
}

// Windows device names are no files there; elsewhere they are ordinary names.
TEST(Platform, DeviceNames) {
    struct Case {
        const char* name;
        bool reserved;
    };
    const Case cases[] = {{"NUL", true},        {"nul.pas", true},      {"Con", true},
                          {"aux.tar.gz", true}, {"COM1.pas", true},     {"lpt9", true},
                          {"CONOUT$", true},    {"console.pas", false}, {"nul1.pas", false},
                          {"com0.pas", false},  {"prn_unit.pas", false}};
    Scratch s;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool reserved = kWindows && c.reserved;
        EXPECT_EQ(!ReservedNameProblem(s / c.name).empty(), reserved);
        const std::string readError = ErrorOf([&] { ReadFileBytes(s / c.name); });
        const std::string writeError = ErrorOf([&] { WriteFileAtomically(s / c.name, "x"); });
        if (reserved) {
            EXPECT_NE(readError.find("device name on Windows"), std::string::npos) << readError;
            EXPECT_NE(writeError.find("device name on Windows"), std::string::npos) << writeError;
        } else {
            EXPECT_EQ(writeError, "");
            EXPECT_EQ(ReadFileBytes(s / c.name), "x");
        }
    }
}

// git names a missing side /dev/null (Git for Windows' shell: nul): it reads as empty.
TEST(Platform, NullDeviceReadsEmpty) {
    for (const char* name : {"/dev/null", kWindows ? "nul" : "/dev/null", kWindows ? "NUL" : ""}) {
        if (!*name) continue;
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadFileBytes(name), "");
        EXPECT_NO_THROW(WriteFileAtomically(name, "discarded"));
    }
}

// A reader that holds the file open keeps it. POSIX replaces the name under it; Windows
// refuses while the reader does not share deletion, and the file keeps its text.
TEST(Platform, ReplacingAnOpenTarget) {
    Scratch s;
    const std::string target = s / "open.pas";
    WriteFileAtomically(target, "old");
#ifdef _WIN32
    HANDLE h = ::CreateFileW(FsPath(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const std::string error = ErrorOf([&] { WriteFileAtomically(target, "new"); });
    ::CloseHandle(h);
    EXPECT_NE(error.find("open in another program"), std::string::npos) << error;
    EXPECT_EQ(ReadFileBytes(target), "old");
#else
    int error = 0;
    TFile reader = TFile::OpenRead(target, error);
    ASSERT_TRUE(reader.IsOpen());
    WriteFileAtomically(target, "new");
    char buffer[8] = {};
    EXPECT_EQ(reader.Read(buffer, sizeof buffer, error), 3);
    EXPECT_EQ(std::string(buffer, 3), "old");
    EXPECT_EQ(ReadFileBytes(target), "new");
#endif
    // No temporary copy of ours left behind. (Wine's ReplaceFileW leaves a file of its own,
    // "rf*.tmp", where Windows leaves none.)
    std::string ours;
    for (const FolderEntry& e : ReadFolder(s.dir))
        if (e.Name != "open.pas" && e.Name.rfind("open.pas", 0) == 0) ours += e.Name + " ";
    EXPECT_EQ(ours, "");
}

// Windows keeps read-only files from being replaced: the save is refused and nothing lost.
// POSIX replaces the name and the copy keeps the permissions.
TEST(Platform, ReadOnlyTarget) {
    Scratch s;
    const std::string target = s / "ro.pas";
    WriteFileAtomically(target, "old");
    fs::permissions(FsPath(target), fs::perms::owner_read | fs::perms::group_read);
    const std::string error = ErrorOf([&] { SaveWithNumberedBackup(target, "new"); });
    if (kWindows) {
        EXPECT_NE(error.find("read-only"), std::string::npos) << error;
        EXPECT_EQ(ReadFileBytes(target), "old");
        EXPECT_EQ(StatPath(target + ".000.bak").Kind, FileKind::Missing);
    } else {
        EXPECT_EQ(error, "");
        EXPECT_EQ(ReadFileBytes(target), "new");
        EXPECT_EQ(StatPath(target).Mode & 0222, 0u);
    }
}

TEST(Platform, SeparatorsDrivesAndLongPaths) {
    Scratch s;
    fs::create_directory(FsPath(s / "Sub"));
    WriteFileAtomically(s / "Sub/Unit.pas", "u");
    const std::string longName = std::string(200, 'n') + ".pas";
    fs::create_directory(FsPath(s / std::string(60, 'd')));
    const std::string longPath = s / (std::string(60, 'd') + "/" + longName);
    ASSERT_GT(longPath.size(), 260u);
    WriteFileAtomically(longPath, "long");
    EXPECT_EQ(ReadFileBytes(longPath), "long");
    EXPECT_EQ(SaveWithNumberedBackup(longPath, "longer").BackupName, longPath + ".000.bak");
    EXPECT_EQ(ReadFileBytes(longPath + ".000.bak"), "long");
    if (!kWindows) {
        EXPECT_EQ(StatPath(s / "Sub\\Unit.pas").Kind, FileKind::Missing);
        EXPECT_FALSE(FileNamesIgnoreCase());
        return;
    }
    EXPECT_TRUE(FileNamesIgnoreCase());
    std::string backslashed = s / "Sub\\Unit.pas";
    for (char& c : backslashed)
        if (c == '/') c = '\\';
    EXPECT_TRUE(SameFile(backslashed, s / "Sub/Unit.pas"));
    EXPECT_TRUE(SameFile(s / "SUB/unit.PAS", s / "Sub/Unit.pas"));
    // The absolute spelling with its drive letter, and the \\?\ form of it.
    const std::string absolute = Utf8Path(fs::absolute(FsPath(backslashed)));
    ASSERT_GE(absolute.size(), 3u);
    EXPECT_EQ(absolute[1], ':');
    EXPECT_EQ(ReadFileBytes(absolute), "u");
    EXPECT_EQ(ReadFileBytes("\\\\?\\" + absolute), "u");
}

#ifndef _WIN32
// Telling a file's kind must leave a FIFO unopened: opening its read end, even without
// blocking, lets a waiting writer write into a pipe that loses its data when that end closes,
// and the real read then waits for a writer that is gone.
TEST(Platform, KindCheckLeavesAFifoUnopened) {
    const Scratch s;
    const std::string fifo = s / "pipe.pas";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> writerOpened{false};
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        writerOpened = true;
        if (fd >= 0) {
            EXPECT_EQ(::write(fd, "unit U;", 7), 7);
            ::close(fd);
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the writer waits in open()
    EXPECT_EQ(ReadRegularFileHead(fifo, 512), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(writerOpened);
    if (!writerOpened) { // else the read would wait forever
        EXPECT_EQ(ReadFileBytes(fifo), "unit U;");
    }
    writer.join();
}
#endif
