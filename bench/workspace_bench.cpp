// Peak memory and time of reading a merge workspace and writing its outputs, against the
// workspace file's size in the same run (goal: peak at most 4x the size).
//
// Usage: workspace_bench [--cli PATH] [--ref PATH] [--dir DIR] [--large-mb N] [--pars N]
// Workspaces: one built by `--workspace` from a large unit and an edited copy (about 1.5 MB),
// its body cut or repeated to 2 MB and to N MB (default 100), and one of N empty paragraphs
// (default 20M, "\par" and a line feed each). Each is read by `--from-workspace` writing the
// new, the old and the merged version, by --cli and (when given) by --ref, an earlier build, for
// speed before and after; and in a child of this process by the reader the window uses. The
// peak of a one-line workspace is printed first: what any run takes whatever it reads.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "workspace/merged_output.h"

namespace fs = std::filesystem;

namespace {

struct Run {
    double Seconds = -1;
    long PeakKb = 0;
};

// Runs the program with its arguments, output to /dev/null.
Run RunProgram(const std::vector<std::string>& args) {
    std::fflush(stdout); // or the child's freopen writes what is buffered a second time
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Run r;
    if (WIFEXITED(status) && WEXITSTATUS(status) <= 1)
        r.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.PeakKb = usage.ru_maxrss;
    return r;
}

// The window's path: the file read into a document by a child of this small process.
Run LoadInChild(const std::string& path) {
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const auto doc = quennet::workspace::LoadWorkspaceFile(path);
        ::_exit(doc.LineCount() > 0 ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            usage.ru_maxrss};
}

// A large unit and a copy with lines deleted, inserted and changed.
bool WritePair(const fs::path& a, const fs::path& b) {
    const char* candidates[] = {
        "/usr/share/fpcsrc/3.2.2/packages/fcl-passrc/src/pasresolver.pp",
        "/usr/share/fpcsrc/3.2.2/packages/pastojs/src/fppas2js.pp",
    };
    std::vector<std::string> lines;
    for (const char* c : candidates) {
        std::ifstream in(c);
        for (std::string l; std::getline(in, l);)
            lines.push_back(l);
        if (!lines.empty()) break;
    }
    if (lines.empty()) // no fpc-source: a synthetic unit
        for (int i = 0; i < 30000; ++i)
            lines.push_back("  Value" + std::to_string(i) + " := Compute(" + std::to_string(i) +
                            ", 'text'); // note");
    std::ofstream oa(a, std::ios::binary), ob(b, std::ios::binary);
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t n = i + 1; // line numbers, as an editor counts them
        oa << lines[i] << "\r\n";
        if (n % 97 == 0) ob << "  Inserted" << n << " := 1;\r\n";
        if (n % 131 != 0) ob << lines[i] << "\r\n";
        if (n % 173 == 0) ob << "  // changed " << n << "\r\n";
    }
    return true;
}

// The built workspace's body (between its header and the closing brace) repeated, the last
// copy cut at a line's end near the size wanted.
void WriteRepeated(const fs::path& from, const fs::path& to, uintmax_t targetBytes) {
    std::ifstream in(from, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t bodyStart = all.find("\\pard");
    const size_t bodyEnd = all.rfind('}');
    const std::string body = all.substr(bodyStart, bodyEnd - bodyStart);
    std::ofstream out(to, std::ios::binary);
    out << all.substr(0, bodyStart);
    for (uintmax_t written = 0; written < targetBytes;) {
        std::string_view piece = body;
        if (targetBytes - written < piece.size()) {
            const size_t cut = piece.rfind("\r\n", targetBytes - written);
            if (cut == std::string_view::npos) break;
            piece = piece.substr(0, cut + 2);
        }
        out << piece << "\\par\r\n";
        written += piece.size();
    }
    out << "}\r\n";
}

void WriteParagraphs(const fs::path& to, size_t count) {
    std::ofstream out(to, std::ios::binary);
    out << "{\\rtf1\\ansi ";
    const std::string block = [] {
        std::string b;
        for (int i = 0; i < 4096; ++i)
            b += "\\par\n";
        return b;
    }();
    for (size_t i = 0; i < count; i += 4096)
        out << block;
    out << "}\n";
}

void Measure(const std::string& name, const fs::path& ws, const std::string& cli,
             const std::string& ref, const fs::path& dir) {
    const double kb = static_cast<double>(fs::file_size(ws)) / 1024;
    std::printf("\n%s: %.1f MB\n", name.c_str(), kb / 1024);
    std::printf("  %-26s %10s %10s %8s %10s %10s %8s\n", "", "ms", "peak MB", "x size", "ref ms",
                "ref MB", "ref x");
    auto row = [&](const char* what, const Run& r, const Run& before) {
        std::printf("  %-26s %10.0f %10.1f %8.2f", what, r.Seconds * 1e3, r.PeakKb / 1024.0,
                    r.PeakKb / kb);
        if (before.PeakKb > 0)
            std::printf(" %10.0f %10.1f %8.2f", before.Seconds * 1e3, before.PeakKb / 1024.0,
                        before.PeakKb / kb);
        std::printf("\n");
        std::fflush(stdout);
    };
    for (const char* option : {"--new", "--old", "--merged"}) {
        auto args = [&](const std::string& program) {
            return std::vector<std::string>{program, "--from-workspace", ws.string(), option,
                                            (dir / "out.pas").string()};
        };
        const Run r = RunProgram(args(cli));
        const Run before = ref.empty() ? Run{} : RunProgram(args(ref));
        row((std::string("--from-workspace ") + option).c_str(), r, before);
    }
    row("reader (window)", LoadInChild(ws.string()), Run{});
}

} // namespace

int main(int argc, char** argv) {
    std::string cli = "./quennet-diff", ref;
    fs::path dir;
    uintmax_t largeMb = 100;
    size_t pars = 20'000'000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i], v = argv[i + 1];
        if (a == "--cli")
            cli = v;
        else if (a == "--ref")
            ref = v;
        else if (a == "--dir")
            dir = v;
        else if (a == "--large-mb")
            largeMb = std::stoull(v);
        else if (a == "--pars")
            pars = std::stoull(v);
    }
    const bool keep = !dir.empty();
    if (!keep) dir = fs::temp_directory_path() / ("workspace_bench." + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path a = dir / "old.pas", b = dir / "new.pas", ws = dir / "built.rtf";
    WritePair(a, b);
    RunProgram({cli, "--workspace", ws.string(), a.string(), b.string()});
    if (!fs::exists(ws)) {
        std::fprintf(stderr, "workspace_bench: %s made no workspace\n", cli.c_str());
        if (!keep) fs::remove_all(dir);
        return 2;
    }
    {
        const fs::path tiny = dir / "tiny.rtf";
        std::ofstream(tiny, std::ios::binary) << "{\\rtf1\\ansi a\\par\n}\n";
        auto floor = [&](const std::string& program) {
            return RunProgram({program, "--from-workspace", tiny.string(), "--merged",
                               (dir / "out.pas").string()})
                       .PeakKb /
                   1024.0;
        };
        std::printf("one-line workspace: peak %.1f MB", floor(cli));
        if (!ref.empty()) std::printf(", ref %.1f MB", floor(ref));
        std::printf("\n");
    }
    Measure("built workspace", ws, cli, ref, dir);
    for (const uintmax_t bytes : {uintmax_t{2} << 20, largeMb << 20}) {
        if (bytes == 0) continue;
        WriteRepeated(ws, dir / "large.rtf", bytes);
        Measure("built workspace cut or repeated", dir / "large.rtf", cli, ref, dir);
        fs::remove(dir / "large.rtf");
    }
    if (pars > 0) {
        WriteParagraphs(dir / "pars.rtf", pars);
        Measure(std::to_string(pars) + " empty paragraphs", dir / "pars.rtf", cli, ref, dir);
    }
    if (!keep) fs::remove_all(dir);
    return 0;
}
