// Saving a view's lines: line-end conventions, byte-identical round trips, numbered backups,
// and faults that must leave the file on disk as it was.
#include "io/source_file.h"
#include "io/source_save.h"
#include "io/text_encoding.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace quennet::io;
using quennet::testing::ReadWholeFile;
using quennet::testing::TempFolder;

namespace {

void WriteAll(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string RoundTrip(const std::string& bytes) {
    return AssembleSourceText(SplitLines(bytes), DetectTextFormat(bytes));
}

} // namespace

TEST(SourceTextFormat, UneditedTextsComeBackByteForByte) {
    for (const std::string& bytes : std::vector<std::string>{
             "", "a", "a\r\n", "a\r\nb", "a\nb\n", "a\rb\r", "\n", "\r\n\r\n", "a\n\n\n",
             "x\r\ny\nz\r", "mixed\r\nends\rand\nmore", std::string("nul\0byte\n", 9)}) {
        EXPECT_EQ(RoundTrip(bytes), bytes) << "for " << ::testing::PrintToString(bytes);
    }
}

TEST(SourceTextFormat, EditedLinesKeepTheFilesConvention) {
    const SourceTextFormat lf = DetectTextFormat("a\nb\n");
    EXPECT_EQ(lf.LineBreak, "\n");
    EXPECT_EQ(AssembleSourceText({"a", "new", "b"}, lf), "a\nnew\nb\n");
    const SourceTextFormat cr = DetectTextFormat("a\rb");
    EXPECT_EQ(cr.LineBreak, "\r");
    EXPECT_FALSE(cr.FinalBreak);
    EXPECT_EQ(AssembleSourceText({"a", "b", "c"}, cr), "a\rb\rc");
    // A file without any line break gets CR LF between new lines.
    const SourceTextFormat none = DetectTextFormat("one line");
    EXPECT_EQ(none.LineBreak, "\r\n");
    EXPECT_EQ(AssembleSourceText({"one", "two"}, none), "one\r\ntwo");
    // A mixed file that was edited takes the convention of its first break.
    const SourceTextFormat mixed = DetectTextFormat("a\r\nb\nc\n");
    EXPECT_EQ(AssembleSourceText({"a", "b"}, mixed), "a\r\nb\r\n");
    EXPECT_EQ(AssembleSourceText({}, lf), "");
}

TEST(NumberedBackupName, FirstFreeNumberNotTheNextAfterTheHighest) {
    std::set<std::string> taken;
    auto exists = [&](const std::string& n) { return taken.count(n) > 0; };
    EXPECT_EQ(NumberedBackupName("/d/u.pas", exists), "/d/u.pas.000.bak");
    taken = {"/d/u.pas.001.bak"};
    EXPECT_EQ(NumberedBackupName("/d/u.pas", exists), "/d/u.pas.000.bak");
    taken = {"/d/u.pas.000.bak", "/d/u.pas.001.bak", "/d/u.pas.003.bak"};
    EXPECT_EQ(NumberedBackupName("/d/u.pas", exists), "/d/u.pas.002.bak");
    taken.clear();
    for (int n = 0; n < 1000; ++n) {
        char num[8];
        std::snprintf(num, sizeof num, "%03d", n);
        taken.insert(std::string("/d/u.pas.") + num + ".bak");
    }
    EXPECT_EQ(NumberedBackupName("/d/u.pas", exists), "/d/u.pas.bak");
}

TEST(SaveWithNumberedBackup, KeepsTheOldFileAsBackupThenWritesTheNewText) {
    TempFolder dir;
    const fs::path u = dir.path / "u.pas";
    WriteAll(u, "old\n");
    ::chmod(u.c_str(), 0640);
    struct stat st {
    }, backup{};
    ASSERT_EQ(::stat(u.c_str(), &st), 0);
    BackupSaveResult first = SaveWithNumberedBackup(u, "new 1\n");
    EXPECT_EQ(first.BackupName, (dir.path / "u.pas.000.bak").string());
    EXPECT_EQ(ReadWholeFile(u), "new 1\n");
    EXPECT_EQ(ReadWholeFile(dir.path / "u.pas.000.bak"), "old\n");
    ASSERT_EQ(::stat(first.BackupName.c_str(), &backup), 0);
    EXPECT_EQ(backup.st_ino, st.st_ino) << "the backup is the old file itself, not a copy";
    ASSERT_EQ(::stat(u.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the file keeps its permissions";

    SaveWithNumberedBackup(u, "new 2\n");
    EXPECT_EQ(ReadWholeFile(dir.path / "u.pas.001.bak"), "new 1\n");
    // 000 gone, 001 present: 000 is used again, and nothing else is touched.
    fs::remove(dir.path / "u.pas.000.bak");
    SaveWithNumberedBackup(u, "new 3\n");
    EXPECT_EQ(ReadWholeFile(dir.path / "u.pas.000.bak"), "new 2\n");
    EXPECT_EQ(ReadWholeFile(dir.path / "u.pas.001.bak"), "new 1\n");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"u.pas", "u.pas.000.bak", "u.pas.001.bak"}));
}

TEST(SaveWithNumberedBackup, AFileDeletedBehindTheViewIsWrittenWithoutBackup) {
    TempFolder dir;
    const fs::path u = dir.path / "gone.pas";
    BackupSaveResult r = SaveWithNumberedBackup(u, "text\r\n");
    EXPECT_TRUE(r.FileWasMissing);
    EXPECT_TRUE(r.BackupName.empty());
    EXPECT_EQ(ReadWholeFile(u), "text\r\n");
    EXPECT_EQ(dir.Names(), std::set<std::string>{"gone.pas"});
}

TEST(SaveFaults, AParentThatIsAFileFailsNamingTheFile) {
    TempFolder dir;
    WriteAll(dir.path / "plain", "x");
    const std::string target = (dir.path / "plain" / "u.pas").string();
    try {
        SaveWithNumberedBackup(target, "text");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(target), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Not a directory"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadWholeFile(dir.path / "plain"), "x");
}

TEST(SaveFaults, AReadOnlyFolderLeavesTheFileAndNoTemporaryCopy) {
    TempFolder dir;
    const fs::path u = dir.path / "u.pas";
    WriteAll(u, "old\n");
    fs::permissions(dir.path, fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    // Permission bits do not stop root, so root tries the save as an unprivileged user.
    const bool asRoot = ::geteuid() == 0;
    const pid_t child = asRoot ? ::fork() : 0;
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 0;
        if (asRoot && (::setgid(65534) != 0 || ::setuid(65534) != 0)) code = 3;
        std::string message;
        try {
            SaveWithNumberedBackup(u, "new\n");
            code = code ? code : 1;
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        if (code == 0 && (message.find(u.string()) == std::string::npos ||
                          message.find("Permission denied") == std::string::npos))
            code = 2;
        if (asRoot) ::_exit(code);
        EXPECT_EQ(code, 0) << message;
    } else {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot drop privileges";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save succeeded; 2: the message lacks the "
                                             "file or the reason";
    }
    fs::permissions(dir.path, fs::perms::owner_all);
    EXPECT_EQ(ReadWholeFile(u), "old\n");
    EXPECT_EQ(dir.Names(), std::set<std::string>{"u.pas"});
}

TEST(SaveFaults, AFullDeviceLeavesTheOriginalIntact) {
    TempFolder dir;
    const fs::path u = dir.path / "u.pas";
    WriteAll(u, "original text\n");
    // A file-size limit makes write fail with EFBIG, as a full disk fails with ENOSPC.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::string message;
    try {
        SaveWithNumberedBackup(u, std::string(100000, 'x'));
    } catch (const std::runtime_error& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(message.find(u.string()), std::string::npos) << message;
    EXPECT_NE(message.find("too large"), std::string::npos) << message;
    EXPECT_EQ(ReadWholeFile(u), "original text\n");
    EXPECT_EQ(dir.Names(), std::set<std::string>{"u.pas"}) << "no backup, no temporary copy";
}

TEST(SaveFaults, ADeviceIsNeverReplacedByAPlainFile) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_THROW(WriteSourceFile("/dev/full", "text"), std::runtime_error);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(SaveWithNumberedBackup, WritesThroughASymbolicLink) {
    TempFolder dir;
    WriteAll(dir.path / "real.pas", "old");
    fs::create_symlink(dir.path / "real.pas", dir.path / "link.pas");
    SaveWithNumberedBackup((dir.path / "link.pas").string(), "new");
    EXPECT_TRUE(fs::is_symlink(dir.path / "link.pas"));
    EXPECT_EQ(ReadWholeFile(dir.path / "real.pas"), "new");
    EXPECT_EQ(ReadWholeFile(dir.path / "real.pas.000.bak"), "old");
}

TEST(SaveWithNumberedBackup, TheNameHoldsAWholeVersionAtEveryStep) {
    TempFolder dir;
    const fs::path u = dir.path / "u.pas";
    WriteAll(u, "old\n");
    // A crash just before the new text is renamed in: the old text is still under the name,
    // and the backup already exists. Then the rename fails.
    bool reached = false;
    auto failingRename = [&](const char*, const char*) {
        reached = true;
        EXPECT_EQ(ReadWholeFile(u), "old\n");
        EXPECT_EQ(ReadWholeFile(dir.path / "u.pas.000.bak"), "old\n");
        errno = EIO;
        return -1;
    };
    EXPECT_THROW(SaveWithNumberedBackup(u, "new\n", failingRename), std::runtime_error);
    EXPECT_TRUE(reached);
    EXPECT_EQ(ReadWholeFile(u), "old\n");
    EXPECT_EQ(dir.Names(), std::set<std::string>{"u.pas"}) << "no backup, no temporary copy";
}

TEST(SaveWithNumberedBackup, ADanglingLinkIsWrittenThroughOrRefused) {
    TempFolder dir;
    fs::create_symlink("later.pas", dir.path / "link.pas");
    SaveWithNumberedBackup((dir.path / "link.pas").string(), "text");
    EXPECT_TRUE(fs::is_symlink(dir.path / "link.pas"));
    EXPECT_EQ(ReadWholeFile(dir.path / "later.pas"), "text");

    // A link into a folder that does not exist cannot be written through.
    fs::create_symlink(dir.path / "none" / "x.pas", dir.path / "lost.pas");
    const std::string lost = (dir.path / "lost.pas").string();
    try {
        WriteSourceFile(lost, "text");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(lost), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_symlink(lost));
}

// Converting, and taking the read bytes (with or without room to grow in place), must give what
// splitting into lines and joining them with CR LF gives, whatever the line ends and wherever they
// fall in a sixteen-byte step.
TEST(SourceFile, ConvertedTextEqualsTheJoinedLines) {
    std::vector<std::string> texts;
    const char* inputs[] = {"",         "a\r\nb\r\n", "a\nb\n",       "a\rb\r",       "a\r\nb",
                            "a\r\n\rb", "\r\n\r",     "x\n\r\ny\r\n", "a\r\nb\r\r\n", "\n"};
    for (const char* in : inputs)
        for (size_t shift = 0; shift <= 17; ++shift)
            texts.push_back(std::string(shift, 'x') + "\r\n" + in + "\r\n0123456789abcdefgh\r\n");
    texts.insert(texts.end(), std::begin(inputs), std::end(inputs));
    // Longer texts of mixed breaks, where most sixteen-byte blocks hold one.
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', ' ', '\r', '\n'};
    for (int k = 0; k < 200; ++k) {
        std::string t(random() % 90, ' ');
        for (char& c : t)
            c = alphabet[random() % 5];
        texts.push_back(t);
    }
    for (const std::string& text : texts) {
        const std::string joined = JoinLinesCrLf(SplitLines(text));
        EXPECT_EQ(ToCrLfText(text), joined) << "input: " << ::testing::PrintToString(text);
        EXPECT_EQ(TakeAsCrLfText(std::string(text)), joined)
            << "input: " << ::testing::PrintToString(text);
        // With room after the text, as a file is read, the text grows where it is.
        std::string roomy;
        roomy.reserve(text.size() * 3 + 32);
        roomy = text;
        EXPECT_EQ(TakeAsCrLfText(std::move(roomy)), joined)
            << "in place: " << ::testing::PrintToString(text);
    }
}

// A pipe has no size to read into: its text grows past the first block, byte for byte.
TEST(SourceFile, APipeIsReadWholePastTheFirstBlock) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string sent;
    for (int i = 0; i < 30000; ++i)
        sent += std::to_string(i) + "\r\n";
    std::thread writer([&] {
        for (size_t done = 0; done < sent.size();) {
            const ssize_t n = ::write(fds[1], sent.data() + done, sent.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::close(fds[1]);
    });
    const std::string got = ReadFileBytes("/dev/fd/" + std::to_string(fds[0]));
    writer.join();
    ::close(fds[0]);
    EXPECT_EQ(got.size(), sent.size());
    EXPECT_EQ(got, sent);
}

// A file is read again only while it is the file first read; a pipe cannot be read again.
TEST(SourceFile, ReadingAgainRefusesAChangedFile) {
    TempFolder dir;
    const std::string path = (dir.path / "a.pas").string();
    WriteSourceFile(path, "unit A;\nend.\n");
    FileIdentity stamp;
    EXPECT_EQ(ReadSourceFile(path, &stamp).Text, "unit A;\nend.\n");
    const auto again = ReaderOfUnchanged(path, stamp);
    ASSERT_TRUE(again);
    EXPECT_EQ(again(), "unit A;\r\nend.\r\n");
    WriteSourceFile(path, "unit B;\nend.\n"); // same size, another file
    try {
        again();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[1]);
    FileIdentity piped;
    ReadSourceFile("/dev/fd/" + std::to_string(fds[0]), &piped);
    ::close(fds[0]);
    EXPECT_FALSE(ReaderOfUnchanged("/dev/fd/0", piped));
}
