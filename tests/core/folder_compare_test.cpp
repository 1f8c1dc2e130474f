// Folder comparison: sizes and CRCs, statuses, odd entries, masks, and quennet-diff --dirs.
#include "base/crc32.h"
#include "cli_runner.h"
#include "folders/folder_compare.h"
#include "model/source_files.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace quennet::folders;
using quennet::testing::RunCli;

namespace {

class FolderPair : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(left);
        fs::create_directory(right);
    }
    static void Put(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    quennet::testing::TempFolder scratch;
    const fs::path root = scratch.path, left = root / "old", right = root / "new";
};

} // namespace

TEST_F(FolderPair, SizeAndCrcOfFiles) {
    Put(left / "a.pas", "123456789");
    EXPECT_EQ(FileSizeOf((left / "a.pas").string()), 9u);
    // No final inversion: the register after "123456789" is the inverse of the usual check value.
    EXPECT_EQ(FileCrc((left / "a.pas").string()), ~0xCBF43926u);
    EXPECT_EQ(FileCrc((left / "a.pas").string()),
              quennet::base::UpdateCrc32(std::string_view("123456789"), 0xFFFFFFFFu));
    Put(left / "empty.pas", "");
    EXPECT_EQ(FileSizeOf((left / "empty.pas").string()), 0u);
    EXPECT_EQ(FileCrc((left / "empty.pas").string()), 0xFFFFFFFFu);
    EXPECT_EQ(FileSizeOf((left / "missing.pas").string()), 0u);
    EXPECT_EQ(FileCrc((left / "missing.pas").string()), 0xFFFFFFFFu);
    EXPECT_FALSE(ReadFileCrc((left / "missing.pas").string()).Readable);
    EXPECT_EQ(FileCrc(left.string()), 0xFFFFFFFFu) << "a folder is not read";
}

TEST_F(FolderPair, FileChangingSizeAfterTheSizeTestIsDifferent) {
    const std::string body(200000, 'x');
    Put(left / "a.pas", body);
    Put(right / "a.pas", body);
    const std::string mine = (left / "a.pas").string(), other = (right / "a.pas").string();
    const uint64_t size = FileSizeOf(mine);
    EXPECT_EQ(CompareContents(mine, other, size).Status, FileStatus::Identical);
    // Both shrink alike between the size test and the reading: equal CRCs prove nothing then.
    fs::resize_file(left / "a.pas", 1000);
    fs::resize_file(right / "a.pas", 1000);
    const auto shrunk = CompareContents(mine, other, size);
    EXPECT_EQ(shrunk.Status, FileStatus::Different);
    EXPECT_TRUE(shrunk.Unreadable.empty()) << "a shorter file still reads";
    fs::resize_file(left / "a.pas", size + 10);
    EXPECT_EQ(CompareContents(mine, other, size).Status, FileStatus::Different);
}

TEST_F(FolderPair, StatusesOnBothSides) {
    Put(left / "same.pas", "unit same;\n");
    Put(right / "same.pas", "unit same;\n");
    Put(left / "size.pas", "unit a;\n");
    Put(right / "size.pas", "unit ab;\n");
    Put(left / "crc.pas", "unit a;\n"); // same size, other bytes
    Put(right / "crc.pas", "unit b;\n");
    Put(left / "empty.pas", "");
    Put(right / "empty.pas", "");
    Put(left / "onlyold.pas", "x");
    Put(right / "onlynew.pas", "y");
    Put(right / "Same.pas", "other case"); // a different name on a case-sensitive system
    fs::create_directory(right / "dir.pas");
    Put(left / "dir.pas", "a folder is no namesake");

    const auto l = ListFolderFiles(left.string(), "*.pas;*.dpr");
    const auto r = ListFolderFiles(right.string(), "*.pas;*.dpr");
    EXPECT_EQ(r, (std::vector<std::string>{"Same.pas", "crc.pas", "empty.pas", "onlynew.pas",
                                           "same.pas", "size.pas"}))
        << "folders are not listed";
    auto status = [](const std::vector<FolderEntry>& entries, const std::string& name) {
        for (const auto& e : entries)
            if (e.Name == name) return std::string(FileStatusName(e.Status));
        return std::string("absent");
    };
    const auto ls = FolderStatuses(left.string(), l, right.string());
    const auto rs = FolderStatuses(right.string(), r, left.string());
    EXPECT_EQ(status(ls, "same.pas"), "identical");
    EXPECT_EQ(status(ls, "size.pas"), "different");
    EXPECT_EQ(status(ls, "crc.pas"), "different");
    EXPECT_EQ(status(ls, "empty.pas"), "identical");
    EXPECT_EQ(status(ls, "onlyold.pas"), "only here");
    EXPECT_EQ(status(ls, "dir.pas"), "only here");
    EXPECT_EQ(status(ls, "onlynew.pas"), "absent");
    EXPECT_EQ(status(rs, "onlynew.pas"), "only here");
    EXPECT_EQ(status(rs, "Same.pas"), "only here");
    EXPECT_EQ(status(rs, "same.pas"), "identical");

    // A folder against itself: everything identical.
    for (const auto& e : FolderStatuses(left.string(), l, left.string()))
        EXPECT_EQ(e.Status, FileStatus::Identical) << e.Name;
}

TEST_F(FolderPair, UnreadableFilesOfEqualSizeAreNotCalledIdentical) {
    Put(left / "u.pas", "aaaa");
    Put(right / "u.pas", "bbbb");
    fs::permissions(left / "u.pas", fs::perms::none);
    fs::permissions(right / "u.pas", fs::perms::none);
    for (const fs::path& p : {root, left, right})
        fs::permissions(p, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    // Permission bits do not stop root, so root looks as an unprivileged user.
    const bool asRoot = ::geteuid() == 0;
    const pid_t child = asRoot ? ::fork() : 0;
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 0;
        if (asRoot && (::setgid(65534) != 0 || ::setuid(65534) != 0)) code = 3;
        if (code == 0 && FileCrc((left / "u.pas").string()) != 0xFFFFFFFFu) code = 1;
        if (code == 0 && StatusOf(left.string(), right.string(), "u.pas") != FileStatus::Different)
            code = 2;
        if (asRoot) ::_exit(code);
        EXPECT_EQ(code, 0);
    } else {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot drop privileges";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the CRC was read; 2: called identical";
    }
}

TEST(MatchesMask, PatternsAndCase) {
    EXPECT_TRUE(MatchesMask("a.pas", "*.pas;*.dpr"));
    EXPECT_TRUE(MatchesMask("P.DPR", "*.pas;*.dpr"));
    EXPECT_FALSE(MatchesMask("a.pp", "*.pas;*.dpr"));
    EXPECT_FALSE(MatchesMask("a.pas.bak", "*.pas;*.dpr"));
    EXPECT_TRUE(MatchesMask("a.~pa", "*.pas;*.dpr;*.~pa;*.~dp"));
    EXPECT_TRUE(MatchesMask("Makefile", "*.*"));
    EXPECT_TRUE(MatchesMask("ab.inc", "a?.inc"));
    EXPECT_FALSE(MatchesMask("abc.inc", "a?.inc"));
    EXPECT_FALSE(MatchesMask("x.pas", ""));
}

// The Open dialog's filters are masks too: each takes its files in either letter case.
TEST(MatchesMask, OpenDialogFiltersTakeEveryPascalAndFormFile) {
    const std::vector<quennet::model::FileFilter> filters = quennet::model::OpenDialogFilters();
    ASSERT_EQ(filters.size(), 5u);
    for (const char* name : {"u.pas", "U.PP", "defs.inc", "p.dpr", "p.lpr", "pk.dpk", "pk.lpk",
                             "f.dfm", "f.LFM", "f.fmx"})
        EXPECT_TRUE(MatchesMask(name, filters[0].Patterns)) << name;
    EXPECT_TRUE(MatchesMask("a.inc", filters[1].Patterns));
    EXPECT_FALSE(MatchesMask("a.dfm", filters[1].Patterns));
    EXPECT_TRUE(MatchesMask("a.dfm", filters[2].Patterns));
    EXPECT_FALSE(MatchesMask("a.pas", filters[2].Patterns));
    EXPECT_FALSE(MatchesMask("a.~pa", filters[0].Patterns));
    EXPECT_TRUE(MatchesMask("a.~pa", filters[3].Patterns));
    EXPECT_TRUE(MatchesMask("README", filters[4].Patterns));
}

TEST_F(FolderPair, DirsCommandListsBothSidesAndExits) {
    Put(left / "a.pas", "same");
    Put(right / "a.pas", "same");
    Put(left / "notes.txt", "left only, outside the mask");
    auto same = RunCli({"--dirs", left.string(), right.string()});
    EXPECT_EQ(same.exitCode, 0) << same.out << same.err;
    EXPECT_EQ(same.out, "Old folder: " + left.string() + "/\n  identical   a.pas\n" +
                            "New folder: " + right.string() + "/\n  identical   a.pas\n");

    auto masked = RunCli({"--dirs", "--mask", "*.*", left.string(), right.string()});
    EXPECT_EQ(masked.exitCode, 1);
    EXPECT_NE(masked.out.find("  only here   notes.txt\n"), std::string::npos) << masked.out;

    Put(right / "a.pas", "diff");
    auto differ = RunCli({"--dirs", left.string(), right.string()});
    EXPECT_EQ(differ.exitCode, 1);
    EXPECT_NE(differ.out.find("  different   a.pas\n"), std::string::npos) << differ.out;

    auto missing = RunCli({"--dirs", left.string(), (root / "nope").string()});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("nope"), std::string::npos) << missing.err;
    EXPECT_EQ(RunCli({"--dirs", left.string()}).exitCode, 2);
}

TEST_F(FolderPair, OddEntriesAreListedAndNeverRead) {
    Put(left / "plain.pas", "x");
    ASSERT_EQ(::mkfifo((left / "pipe.pas").c_str(), 0600), 0);
    Put(right / "pipe.pas", ""); // an empty namesake: the FIFO must not be opened for reading
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = (left / "sock.pas").string();
    ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
    std::copy(sockPath.begin(), sockPath.end(), addr.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    fs::create_symlink(left / "nowhere.pas", left / "dangling.pas");
    fs::create_symlink(left / "loop.pas", left / "loop.pas");
    fs::create_directory(left / "sub.pas");

    const auto items = ListFolderItems(left.string(), "*.pas");
    ::close(sock);
    std::vector<std::pair<std::string, EntryKind>> kinds;
    for (const auto& item : items)
        kinds.emplace_back(item.Name, item.Kind);
    EXPECT_EQ(kinds, (std::vector<std::pair<std::string, EntryKind>>{
                         {"dangling.pas", EntryKind::DanglingLink},
                         {"loop.pas", EntryKind::Unreadable},
                         {"pipe.pas", EntryKind::Fifo},
                         {"plain.pas", EntryKind::File},
                         {"sock.pas", EntryKind::Socket}}));
    EXPECT_FALSE(items[1].Problem.empty());
    EXPECT_EQ(ListFolderFiles(left.string(), "*.pas"), std::vector<std::string>{"plain.pas"});
    // Seen from the other side the FIFO is a namesake of another kind, not read.
    const auto c = CompareFile(right.string(), left.string(), "pipe.pas");
    EXPECT_EQ(c.Status, FileStatus::Different);
    EXPECT_EQ(c.Unreadable, "");

    auto run = RunCli({"--dirs", left.string(), right.string()});
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    for (const char* line :
         {"  dangling link  dangling.pas\n", "  unreadable  loop.pas\n", "  fifo        pipe.pas\n",
          "  only here   plain.pas\n", "  socket      sock.pas\n", "  different   pipe.pas\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
    EXPECT_NE(run.err.find("loop.pas: Too many levels of symbolic links"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("pipe.pas"), std::string::npos) << run.err;
}

TEST_F(FolderPair, DirsCommandEscapesOddNames) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"a b.pas", "a\\ b.pas"},
        {"n\nl.pas", "n\\nl.pas"},
        {"t\tx.pas", "t\\tx.pas"},
        {"b\\s.pas", "b\\\\s.pas"},
        {"c\x01"
         "d.pas",
         "c\\001d.pas"},
        {"u\xc3\xa9.pas", "u\xc3\xa9.pas"},
        {"x\xff.pas", "x\\377.pas"}};
    for (const auto& [raw, shown] : names)
        Put(left / raw, "same");
    auto run = RunCli({"--dirs", left.string(), right.string()});
    EXPECT_EQ(run.exitCode, 1);
    for (const auto& [raw, shown] : names)
        EXPECT_NE(run.out.find("  only here   " + shown + "\n"), std::string::npos) << shown << "\n"
                                                                                    << run.out;
}
