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

int RunDirsCommand(const CliOptions& opt) {
    const std::string& mask = opt.mask;
    const std::vector<std::string>& folders = opt.files;
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
