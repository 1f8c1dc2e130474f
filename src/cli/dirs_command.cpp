// quennet-diff --dirs OLDDIR NEWDIR: the navigator's two file lists with their statuses.
// Exit status: 0 when every file is identical and present on both sides, 1 otherwise, 2 trouble.
#include "commands.h"

#include "navigator/folder_compare.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet::cli {

namespace {

const char kUsage[] =
    "Usage: quennet-diff --dirs [--mask MASK] OLDDIR NEWDIR\n"
    "List the files of two folders, each marked by its namesake in the other folder:\n"
    "  identical   same size and same CRC-32 of the content\n"
    "  different   the namesake's size or content differs (or it cannot be read)\n"
    "  only here   no file of that name in the other folder\n"
    "\n"
    "      --mask MASK   file patterns separated by ';' (default \"*.pas;*.dpr\")\n"
    "      --help        show this help and exit\n"
    "\n"
    "Names are compared as the file system compares them (case-sensitive on Linux).\n"
    "Exit status: 0 if every file is identical and present on both sides, 1 otherwise,\n"
    "2 if there was trouble.\n";

// Progress on a terminal once the work has taken long enough for a user to wonder.
class Progress {
public:
    explicit Progress(size_t total) : m_total(total), m_tty(::isatty(STDERR_FILENO) != 0) {}
    ~Progress() {
        if (m_shown) std::fputs("\r\033[K", stderr);
    }
    void Step(size_t done) {
        if (!m_tty) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_start < std::chrono::milliseconds(500)) return;
        if (m_shown && now - m_last < std::chrono::milliseconds(100)) return;
        m_last = now;
        m_shown = true;
        std::fprintf(stderr, "\rComparing files: %zu of %zu", done, m_total);
        std::fflush(stderr);
    }

private:
    size_t m_total;
    bool m_tty;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_last;
};

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

int RunDirsCommand(std::vector<std::string> args) {
    std::string mask = "*.pas;*.dpr";
    std::vector<std::string> folders;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--dirs") continue;
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (a == "--mask") {
            if (i + 1 >= args.size()) throw UsageError("--mask needs a value");
            mask = args[++i];
        } else if (a.rfind("--mask=", 0) == 0) {
            mask = a.substr(7);
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else {
            folders.push_back(a);
        }
    }
    if (folders.size() != 2) throw UsageError("--dirs needs two folders, OLDDIR and NEWDIR");
    for (const std::string& f : folders)
        if (!IsFolder(f)) throw std::runtime_error("\"" + f + "\" is not a folder");

    using namespace navigator;
    const std::vector<std::string> oldNames = ListFolderFiles(folders[0], mask);
    const std::vector<std::string> newNames = ListFolderFiles(folders[1], mask);
    std::vector<FolderEntry> sides[2];
    {
        Progress progress(oldNames.size() + newNames.size());
        size_t done = 0;
        for (int side = 0; side < 2; ++side) {
            const auto& names = side == 0 ? oldNames : newNames;
            const std::string& here = folders[static_cast<size_t>(side)];
            const std::string& there = folders[static_cast<size_t>(1 - side)];
            for (const std::string& name : names) {
                sides[side].push_back({name, StatusOf(here, there, name)});
                progress.Step(++done);
            }
        }
    }

    bool allIdentical = true;
    const char* headings[2] = {"Old folder: ", "New folder: "};
    for (int side = 0; side < 2; ++side) {
        std::cout << headings[side] << WithTrailingSeparator(folders[static_cast<size_t>(side)])
                  << "\n";
        for (const FolderEntry& e : sides[side]) {
            std::string status = FileStatusName(e.Status);
            status.resize(10, ' ');
            std::cout << "  " << status << "  " << e.Name << "\n";
            if (e.Status != FileStatus::Identical) allIdentical = false;
        }
    }
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("Cannot write the standard output");
    return allIdentical ? 0 : 1;
}

} // namespace quennet::cli
