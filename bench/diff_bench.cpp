// Speed and peak memory of quennet-diff on a pair of large units next to `git diff --no-index`
// on the same pair, of the whole-file line matcher (--map) on 2k to 50k-line pairs next to
// `git diff --histogram`, and the peak memory of reading a large workspace back.
//
// Usage: diff_bench [--source FILE]... [--cli PATH] [--timeout SECONDS] [--keep DIR]
// Sources default to large units of Debian's fpc-source when installed, else to a synthetic
// unit. The pairs are made by deleting, changing and inserting statement lines inside routine
// bodies, so the edited unit still parses as far as the original does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "compare/compare_sources.h"
#include "io/source_file.h"
#include "model/line_matcher.h"
#include "model/source_diff.h"
#include "model/source_model.h"

namespace fs = std::filesystem;
using namespace quennet::model;
using namespace quennet::io;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Run {
    double Seconds = -1; // negative when it timed out or could not run
    long PeakKb = 0;     // largest resident set of the command and what it waited for
};

// Runs argv[0..] and writes its peak resident set in KB to `report`. A process keeps the
// high-water mark of the image it replaced, so the measured command is started from this
// small, freshly started program rather than from the benchmark with its data loaded.
int PeakOf(const char* report, char** argv) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(argv[0], argv);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return 127;
    std::ofstream(report) << usage.ru_maxrss << "\n";
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// Wall time and peak memory of a shell command, the best time of `repeat` runs.
Run RunCommand(const std::string& cmd, int timeoutSeconds, int repeat = 3) {
    Run best;
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return best;
    self[n] = 0;
    const std::string report =
        fs::temp_directory_path() / ("quennet-diff-bench-peak-" + std::to_string(::getpid()));
    const std::string line = Quote(self) + " --peak-of " + Quote(report) + " timeout " +
                             std::to_string(timeoutSeconds) + " " + cmd + " >/dev/null 2>&1";
    for (int i = 0; i < repeat; ++i) {
        auto start = Clock::now();
        const int rc = std::system(line.c_str());
        const double t = Seconds(start);
        if (!WIFEXITED(rc) || WEXITSTATUS(rc) == 124 || WEXITSTATUS(rc) > 2) return Run{};
        long kb = 0;
        std::ifstream(report) >> kb;
        best.PeakKb = std::max(best.PeakKb, kb);
        if (best.Seconds < 0 || t < best.Seconds) best.Seconds = t;
        if (t > 5) break; // slow runs are not repeated
    }
    fs::remove(report);
    return best;
}

std::string Ratio(double a, double b) {
    if (a < 0 || b <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2fx", a / b);
    return text;
}

// A statement line in a body: an assignment that opens or closes no block, so deleting or
// replacing it keeps the nesting of BEGIN, CASE, TRY and ASM with their END.
bool IsPlainStatement(const std::string& line) {
    static const std::regex blockWord(
        R"(\b(begin|end|case|try|asm|except|finally|record|class|object|interface)\b)",
        std::regex::icase);
    if (line.find(":=") == std::string::npos) return false;
    if (line.empty() || (line.back() != ';')) return false;
    if (line.find('{') != std::string::npos || line.find("(*") != std::string::npos ||
        line.find('\'') != std::string::npos)
        return false;
    return !std::regex_search(line, blockWord);
}

struct Edited {
    std::vector<std::string> lines;
    int deleted = 0, changed = 0, inserted = 0;
    std::string Summary() const {
        return "-" + std::to_string(deleted) + " ~" + std::to_string(changed) + " +" +
               std::to_string(inserted);
    }
};

// Deletes, replaces and inserts statement lines in the ratio 5 : 3 : 3, aiming at about 0.5%,
// 0.3% and 0.3% of all lines (statements are only a part of the lines, so the rate per
// statement is scaled by their share).
// anyLine: every line may be edited (the line matcher does not parse).
Edited Edit(const std::vector<std::string>& lines, uint32_t seed, bool anyLine = false) {
    auto editable = [anyLine](const std::string& l) { return anyLine || IsPlainStatement(l); };
    size_t statements = std::count_if(lines.begin(), lines.end(), editable);
    double scale =
        statements ? static_cast<double>(lines.size()) / static_cast<double>(statements) : 1.0;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> pick(0.0, 1.0);
    Edited e;
    e.lines.reserve(lines.size() + lines.size() / 100);
    for (const auto& l : lines) {
        if (!editable(l)) {
            e.lines.push_back(l);
            continue;
        }
        double r = pick(rng) / scale;
        if (r < 0.005) {
            ++e.deleted;
            continue;
        }
        if (r < 0.008) {
            e.lines.push_back("    BenchChanged := " + std::to_string(++e.changed) + ";");
            continue;
        }
        e.lines.push_back(l);
        if (r < 0.011)
            e.lines.push_back("    BenchInserted := " + std::to_string(++e.inserted) + ";");
    }
    return e;
}

void WriteLines(const fs::path& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const auto& l : lines)
        out << l << "\r\n";
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> DefaultSources() {
    const char* candidates[] = {
        "/usr/share/fpcsrc/3.2.2/packages/googleapi/src/googlecompute.pp",
        "/usr/share/fpcsrc/3.2.2/packages/googleapi/src/googledfareporting.pp",
        "/usr/share/fpcsrc/3.2.2/packages/fcl-passrc/src/pasresolver.pp",
    };
    std::vector<std::string> found;
    for (const char* c : candidates)
        if (fs::exists(c)) found.push_back(c);
    return found;
}

// Stand-in when no fpc-source is installed: a unit of many small routines.
std::vector<std::string> SyntheticUnit(size_t routines) {
    std::vector<std::string> l{"unit Synthetic;", "", "interface", "", "implementation", ""};
    for (size_t i = 0; i < routines; ++i) {
        std::string n = std::to_string(i);
        l.insert(l.end(), {"procedure P" + n + "(var X: Integer);", "var", "  I: Integer;", "begin",
                           "  I := X + " + n + ";", "  X := I * 2;", "  if X > 100 then",
                           "    X := X - 100;", "end;", ""});
    }
    l.push_back("end.");
    return l;
}

std::string FindCli(const std::string& given) {
    if (!given.empty()) return given;
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    self[n] = 0;
    fs::path p = fs::path(self).parent_path().parent_path() / "quennet-diff";
    return fs::exists(p) ? p.string() : std::string();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 3 && std::string(argv[1]) == "--peak-of") return PeakOf(argv[2], argv + 3);
    std::vector<std::string> sources;
    std::string cli, keep;
    int timeout = 600;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--source" && i + 1 < argc)
            sources.push_back(argv[++i]);
        else if (a == "--cli" && i + 1 < argc)
            cli = argv[++i];
        else if (a == "--timeout" && i + 1 < argc)
            timeout = std::atoi(argv[++i]);
        else if (a == "--keep" && i + 1 < argc)
            keep = argv[++i];
        else {
            std::cerr << "usage: diff_bench [--source FILE]... [--cli PATH] [--timeout S] "
                         "[--keep DIR]\n";
            return 2;
        }
    }
    if (sources.empty()) sources = DefaultSources();
    cli = FindCli(cli);
    if (cli.empty()) {
        std::cerr << "diff_bench: quennet-diff not found; pass --cli PATH\n";
        return 2;
    }

    fs::path dir = keep.empty() ? fs::temp_directory_path() /
                                      ("quennet-diff-bench-" + std::to_string(::getpid()))
                                : fs::path(keep);
    fs::create_directories(dir);

    std::vector<std::string> all;
    std::string unitName;
    std::vector<std::string> unit;
    if (sources.empty()) {
        unit = SyntheticUnit(3000);
        unitName = "synthetic unit";
        all = unit;
        while (all.size() < 60000)
            all.insert(all.end(), unit.begin(), unit.end());
    } else {
        unit = LoadSourceLines(sources[0]);
        unitName = sources[0];
        for (const auto& s : sources) {
            auto l = LoadSourceLines(s);
            all.insert(all.end(), l.begin(), l.end());
        }
        while (all.size() < 50000)
            all.insert(all.end(), unit.begin(), unit.end());
    }

    // 1. The structural comparison of one large unit, in process and through the program.
    {
        Edited e = Edit(unit, 1);
        const auto& edited = e.lines;
        fs::path a = dir / "unit_old.pas", b = dir / "unit_new.pas";
        WriteLines(a, unit);
        WriteLines(b, edited);
        size_t bytes = fs::file_size(a);

        // The whole comparison as the window and the program make it, timed step by step.
        std::vector<std::string> symbols{"VER130", "WIN32", "CPU386"};
        const std::string oldText = ToCrLfText(ReadFileBytes(a.string()));
        const std::string newText = ToCrLfText(ReadFileBytes(b.string()));
        Clock::time_point marks[4];
        const auto result =
            quennet::compare::CompareSources({oldText, a.string()}, {newText, b.string()}, symbols,
                                             {}, [&marks](quennet::compare::CompareStep step) {
                                                 marks[static_cast<int>(step)] = Clock::now();
                                             });
        marks[3] = Clock::now();
        const double parseOld = std::chrono::duration<double>(marks[1] - marks[0]).count();
        const double parseNew = std::chrono::duration<double>(marks[2] - marks[1]).count();
        const double compare = std::chrono::duration<double>(marks[3] - marks[2]).count();
        const TPasSrc& oldSrc = *result.oldSource;
        const TPasSrc& newSrc = *result.newSource;
        size_t procs = oldSrc.Procs.size();
        for (const auto& c : oldSrc.Classes)
            procs += c->Methods.size();

        std::printf("Structural diff of %s\n", unitName.c_str());
        std::printf("  %zu lines (%s), %.0f KB; %zu routines and methods; parses %s / %s\n",
                    unit.size(), e.Summary().c_str(), static_cast<double>(bytes) / 1024.0, procs,
                    oldSrc.Status.Complete ? "complete" : "stopped early",
                    newSrc.Status.Complete ? "complete" : "stopped early");
        std::printf("  in process: parse old %.1f ms, parse new %.1f ms, compare and report "
                    "%.3f ms\n",
                    parseOld * 1e3, parseNew * 1e3, compare * 1e3);
        const Run tool = RunCommand(Quote(cli) + " " + Quote(a) + " " + Quote(b), timeout);
        const Run git = RunCommand("git diff --no-index " + Quote(a) + " " + Quote(b), timeout);
        const double inputKb = static_cast<double>(bytes + fs::file_size(b)) / 1024;
        std::printf("  quennet-diff OLD NEW: %.1f ms    git diff --no-index: %.1f ms    ratio %s\n",
                    tool.Seconds * 1e3, git.Seconds * 1e3,
                    Ratio(tool.Seconds, git.Seconds).c_str());
        std::printf("  peak memory: quennet-diff %ld KB = %s the two inputs; git diff %ld KB\n",
                    tool.PeakKb, Ratio(static_cast<double>(tool.PeakKb), inputKb).c_str(),
                    git.PeakKb);
    }

    // 2. The whole-file line matcher on growing pairs.
    // The shared machine's load, for reading the ratios; and what the process holds before
    // any input: its peak on two empty files.
    double load[1] = {-1};
    ::getloadavg(load, 1);
    const fs::path empty = dir / "empty.pas";
    WriteLines(empty, {});
    const Run idle =
        RunCommand(Quote(cli) + " --map " + Quote(empty) + " " + Quote(empty), timeout);
    std::printf("\nLine matcher (quennet-diff --map) on edited pairs; load average %.2f; peak on "
                "two empty files %ld KB\n",
                load[0], idle.PeakKb);
    std::printf("  %8s %14s %14s %10s %12s %7s %9s %12s\n", "lines", "edits", "MatchLines ms",
                "--map ms", "histogram ms", "ratio", "peak KB", "peak/inputs");
    for (size_t n : {2000u, 5000u, 10000u, 20000u, 50000u}) {
        std::vector<std::string> old(all.begin(), all.begin() + std::min(n, all.size()));
        Edited e = Edit(old, 2, true);
        const auto& edited = e.lines;
        fs::path a = dir / ("map_old_" + std::to_string(n) + ".pas");
        fs::path b = dir / ("map_new_" + std::to_string(n) + ".pas");
        WriteLines(a, old);
        WriteLines(b, edited);

        double inProcess = -1;
        if (n <= 20000) { // the largest runs only through the program, under the timeout
            std::vector<TLineRecord> ra, rb;
            for (size_t i = 0; i < old.size(); ++i)
                ra.push_back({LineKey(old[i]), static_cast<int32_t>(i), false});
            for (size_t i = 0; i < edited.size(); ++i)
                rb.push_back({LineKey(edited[i]), static_cast<int32_t>(i), false});
            std::vector<TMapEntry> map;
            auto t = Clock::now();
            MatchLines(ra, rb, map);
            inProcess = Seconds(t);
        }
        const Run tool = RunCommand(Quote(cli) + " --map " + Quote(a) + " " + Quote(b), timeout);
        const Run git =
            RunCommand("git diff --no-index --histogram " + Quote(a) + " " + Quote(b), timeout);
        const double inputKb = static_cast<double>(fs::file_size(a) + fs::file_size(b)) / 1024;
        auto show = [](double s) {
            return s < 0 ? std::string("timeout") : std::to_string(static_cast<long>(s * 1e3));
        };
        std::string inProcessText = n <= 20000 ? show(inProcess) : std::string("skipped");
        std::printf("  %8zu %14s %14s %10s %12s %7s %9ld %12s\n", old.size(), e.Summary().c_str(),
                    inProcessText.c_str(), show(tool.Seconds).c_str(), show(git.Seconds).c_str(),
                    Ratio(tool.Seconds, git.Seconds).c_str(), tool.PeakKb,
                    Ratio(static_cast<double>(tool.PeakKb), inputKb).c_str());
        std::fflush(stdout);
    }
    // 3. Reading a large workspace back: peak memory against the workspace's size.
    {
        std::vector<std::string> old(all.begin(),
                                     all.begin() + std::min<size_t>(50000, all.size()));
        const Edited e = Edit(old, 3, true);
        const fs::path a = dir / "ws_old.pas", b = dir / "ws_new.pas", ws = dir / "ws.rtf";
        WriteLines(a, old);
        WriteLines(b, e.lines);
        RunCommand(Quote(cli) + " --workspace " + Quote(ws) + " " + Quote(a) + " " + Quote(b),
                   timeout, 1);
        if (fs::exists(ws)) {
            const Run read = RunCommand(Quote(cli) + " --from-workspace " + Quote(ws) + " --new " +
                                            Quote(dir / "ws_out.pas"),
                                        timeout);
            const double wsKb = static_cast<double>(fs::file_size(ws)) / 1024;
            double wsLoad[1] = {-1};
            ::getloadavg(wsLoad, 1);
            std::printf("\nReading a workspace of %.0f KB (--from-workspace --new): %.1f ms, peak "
                        "%ld KB = %s its size (load average %.2f)\n",
                        wsKb, read.Seconds * 1e3, read.PeakKb,
                        Ratio(static_cast<double>(read.PeakKb), wsKb).c_str(), wsLoad[0]);
        }
    }
    if (keep.empty()) fs::remove_all(dir);
    return 0;
}
