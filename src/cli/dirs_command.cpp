// quennet-diff --dirs OLDDIR NEWDIR: the navigator's two file lists with their statuses.
// Exit status: 0 when every file is identical and present on both sides, 1 otherwise, 2 when an
// entry could not be read (listed, with the reason on stderr, as diff -r does).
#include "commands.h"
#include "exit_codes.h"

#include "folders/folder_compare.h"
#include "io/platform.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <set>

namespace quennet::cli {

namespace {

// Progress on a terminal once the work has taken long enough for a user to wonder.
class Progress {
public:
    explicit Progress(size_t total)
        : total_(total), tty_(io::IsTerminal(io::StandardStream::Error)) {}
    ~Progress() {
        if (shown_) std::fputs("\r\033[K", stderr);
    }
    void Step(size_t done) {
        if (!tty_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::milliseconds(500)) return;
        if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        shown_ = true;
        std::fprintf(stderr, "\rComparing files: %zu of %zu", done, total_);
        std::fflush(stderr);
    }

private:
    size_t total_;
    bool tty_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_;
};

// Length of the valid UTF-8 sequence at s[i], 0 when there is none.
size_t Utf8Length(const std::string& s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

// A name on one line whatever its bytes, escaped as ls -b does.
std::string Escaped(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            if (const size_t n = Utf8Length(name, i)) {
                out.append(name, i, n);
                i += n - 1;
                continue;
            }
        }
        const char* named = nullptr;
        switch (c) {
        case '\\': named = "\\\\"; break;
        case ' ': named = "\\ "; break;
        case '\a': named = "\\a"; break;
        case '\b': named = "\\b"; break;
        case '\f': named = "\\f"; break;
        case '\n': named = "\\n"; break;
        case '\r': named = "\\r"; break;
        case '\t': named = "\\t"; break;
        case '\v': named = "\\v"; break;
        default: break;
        }
        if (named) {
            out += named;
        } else if (c < 0x20 || c >= 0x7F) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

const char* KindName(folders::EntryKind kind) {
    switch (kind) {
    case folders::EntryKind::Fifo: return "fifo";
    case folders::EntryKind::Socket: return "socket";
    case folders::EntryKind::Device: return "device";
    case folders::EntryKind::DanglingLink: return "dangling link";
    case folders::EntryKind::Unreadable: return "unreadable";
    case folders::EntryKind::File: break;
    }
    return "";
}

struct Line {
    std::string Name;
    std::string Status;
};

} // namespace

int RunDirsCommand(const CliOptions& opt) {
    const std::string& mask = opt.mask;
    const std::vector<std::string>& folders = opt.files;
    for (const std::string& f : folders)
        if (!io::IsFolder(f)) throw std::runtime_error("\"" + f + "\" is not a folder");

    using namespace folders;
    const std::vector<FolderItem> items[2] = {ListFolderItems(folders[0], mask),
                                              ListFolderItems(folders[1], mask)};
    std::vector<Line> sides[2];
    bool trouble = false;
    std::set<std::string> reported; // a file and its namesake both read it
    auto problem = [&trouble](const std::string& path, const std::string& reason) {
        std::cerr << "quennet-diff: " << Escaped(path) << ": " << reason << "\n";
        trouble = true;
    };
    {
        Progress progress(items[0].size() + items[1].size());
        size_t done = 0;
        for (int side = 0; side < 2; ++side) {
            const std::string& here = folders[static_cast<size_t>(side)];
            const std::string& there = folders[static_cast<size_t>(1 - side)];
            for (const FolderItem& item : items[side]) {
                Line line{item.Name, KindName(item.Kind)};
                if (item.Kind == EntryKind::Unreadable)
                    problem(WithTrailingSeparator(here) + item.Name, item.Problem);
                if (item.Kind == EntryKind::File) {
                    const FileComparison c = CompareFile(here, there, item.Name);
                    line.Status = FileStatusName(c.Status);
                    if (!c.Unreadable.empty()) {
                        line.Status = "unreadable";
                        if (reported.insert(c.Unreadable).second) problem(c.Unreadable, c.Problem);
                    }
                }
                sides[side].push_back(std::move(line));
                progress.Step(++done);
            }
        }
    }

    bool allIdentical = true;
    const char* headings[2] = {"Old folder: ", "New folder: "};
    for (int side = 0; side < 2; ++side) {
        std::cout << headings[side]
                  << Escaped(WithTrailingSeparator(folders[static_cast<size_t>(side)])) << "\n";
        for (const Line& l : sides[side]) {
            std::string status = l.Status;
            if (status.size() < 10) status.resize(10, ' ');
            std::cout << "  " << status << "  " << Escaped(l.Name) << "\n";
            if (l.Status != FileStatusName(FileStatus::Identical)) allIdentical = false;
        }
    }
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("Cannot write the standard output");
    return trouble ? kExitTrouble : allIdentical ? kExitEquivalent : kExitDifferent;
}

} // namespace quennet::cli
