// Speed and peak memory of quennet-diff on a pair of large units next to `git diff --no-index`
// on the same pair, of the whole-file line matcher (--map) on 2k to 50k-line pairs next to
// `git diff --histogram`, and the peak memory of reading a large workspace back.
//
// Usage: diff_bench [--source FILE]... [--cli PATH] [--timeout SECONDS] [--keep DIR]
//                   [--large-mb N] [--only-large]
// Sources default to large units of Debian's fpc-source when installed, else to a synthetic
// unit. The pairs are made by deleting, changing and inserting statement lines inside routine
// bodies, so the edited unit still parses as far as the original does.
// The large pair (N MB a file, default 100; 0 leaves it out) repeats the first source's
// interface and implementation sections, once, its uses clauses and its initialization,
// with every type name (T + capital) given the copy's number, so that each copy declares
// classes and methods of its own; the new file is built the same way from the edited unit.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
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

#include "diff/compare_sources.h"
#include "diff/line_matcher.h"
#include "diff/source_diff.h"
#include "io/source_file.h"
#include "model/source_model.h"

namespace fs = std::filesystem;
using namespace quennet::base;
using namespace quennet::diff;
using namespace quennet::model;
using namespace quennet::io;

namespace {

using Clock = std::chrono::steady_clock;

// Times are medians of this many runs of each tool, in turn.
constexpr int kRounds = 15;

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

pid_t measuredChild = 0;

void KillMeasured(int) {
    if (measuredChild > 0) ::kill(measuredChild, SIGKILL);
}

// Runs argv[0..] and writes "peak-KB seconds" to `report`; a run past timeoutSeconds is
// killed and reported as taking -1 s. A process keeps the high-water mark of the image it
// replaced, so the measured command is started from this small, freshly started program
// rather than from the benchmark with its data loaded. The time is taken here, from fork to
// the end of the command, so that starting the shell and this program counts for neither tool.
int PeakOf(const char* report, int timeoutSeconds, char** argv) {
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(argv[0], argv);
        ::_exit(127);
    }
    if (child < 0) return 127;
    measuredChild = child;
    std::signal(SIGALRM, KillMeasured);
    ::alarm(static_cast<unsigned>(timeoutSeconds));
    int status = 0;
    rusage usage{};
    pid_t got;
    while ((got = ::wait4(child, &status, 0, &usage)) < 0 && errno == EINTR) {
    }
    const double seconds = Seconds(start);
    ::alarm(0);
    if (got != child) return 127;
    const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    std::ofstream(report) << usage.ru_maxrss << " " << (killed ? -1.0 : seconds) << "\n";
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// One run of a shell command: its wall time and peak memory, or Seconds -1 on a timeout or a
// failure (any exit status above 2).
Run RunOnce(const std::string& cmd, int timeoutSeconds) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    self[n] = 0;
    const std::string report =
        fs::temp_directory_path() / ("quennet-diff-bench-peak-" + std::to_string(::getpid()));
    const std::string line = Quote(self) + " --peak-of " + Quote(report) + " " +
                             std::to_string(timeoutSeconds) + " " + cmd + " >/dev/null 2>&1";
    const int rc = std::system(line.c_str());
    Run run;
    std::ifstream(report) >> run.PeakKb >> run.Seconds;
    fs::remove(report);
    if (!WIFEXITED(rc) || WEXITSTATUS(rc) > 2) return Run{};
    return run;
}

// The median time of `rounds` runs and the largest peak. Runs over 5 s are not repeated.
Run RunCommand(const std::string& cmd, int timeoutSeconds, int rounds = 3) {
    std::vector<double> times;
    Run result;
    for (int i = 0; i < rounds; ++i) {
        const Run r = RunOnce(cmd, timeoutSeconds);
        if (r.Seconds < 0) return Run{};
        times.push_back(r.Seconds);
        result.PeakKb = std::max(result.PeakKb, r.PeakKb);
        if (r.Seconds > 5) break;
    }
    std::sort(times.begin(), times.end());
    result.Seconds = times[times.size() / 2];
    return result;
}

// Two commands run in turn, `rounds` times each, so that both meet the same moments of a
// shared machine: the median time of each and its largest peak.
std::pair<Run, Run> RunInTurn(const std::string& first, const std::string& second,
                              int timeoutSeconds, int rounds) {
    std::vector<double> times[2];
    Run result[2];
    for (int i = 0; i < rounds; ++i) {
        for (int k = 0; k < 2; ++k) {
            const Run r = RunOnce(k == 0 ? first : second, timeoutSeconds);
            if (r.Seconds < 0) {
                result[k].Seconds = -1;
                continue;
            }
            times[k].push_back(r.Seconds);
            result[k].PeakKb = std::max(result[k].PeakKb, r.PeakKb);
        }
        if (i == 0 && std::max(result[0].Seconds, result[1].Seconds) > 5) rounds = 3;
    }
    for (int k = 0; k < 2; ++k) {
        if (times[k].size() != static_cast<size_t>(rounds)) {
            result[k].Seconds = -1;
            continue;
        }
        std::sort(times[k].begin(), times[k].end());
        result[k].Seconds = times[k][times[k].size() / 2];
    }
    return {result[0], result[1]};
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

// "TFoo" -> "TFoo_7" for every word of T and a capital, keywords left alone.
std::string NumberTypeNames(const std::string& line, size_t copy) {
    static const char* const kKeywords[] = {"THEN", "THREADVAR", "TO", "TRY", "TYPE"};
    auto wordByte = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    std::string out;
    out.reserve(line.size() + 16);
    for (size_t i = 0; i < line.size();) {
        if (!wordByte(line[i])) {
            out += line[i++];
            continue;
        }
        size_t end = i;
        while (end < line.size() && wordByte(line[end]))
            ++end;
        std::string word = line.substr(i, end - i);
        out += word;
        std::string upper = word;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const bool keyword =
            std::find(std::begin(kKeywords), std::end(kKeywords), upper) != std::end(kKeywords);
        if (word.size() > 1 && word[0] == 'T' &&
            std::isupper(static_cast<unsigned char>(word[1])) && !keyword)
            out += "_" + std::to_string(copy);
        i = end;
    }
    return out;
}

// The unit's lines with its interface and implementation sections repeated until the text has
// at least `bytes` bytes (see the header). Empty when the unit has no such sections.
std::vector<std::string> RepeatedUnit(const std::vector<std::string>& unit, size_t bytes) {
    auto trimmedUpper = [](const std::string& l) {
        std::string t;
        for (char c : l)
            if (!std::isspace(static_cast<unsigned char>(c)))
                t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return t;
    };
    size_t intf = unit.size(), impl = unit.size(), tail = unit.size();
    for (size_t i = 0; i < unit.size(); ++i) {
        const std::string t = trimmedUpper(unit[i]);
        if (t == "INTERFACE" && intf == unit.size()) intf = i;
        if (t == "IMPLEMENTATION" && impl == unit.size()) impl = i;
        if ((t == "INITIALIZATION" || t == "FINALIZATION" || t == "END.") && i > impl &&
            tail == unit.size())
            tail = i;
    }
    if (intf >= impl || impl >= tail) return {};
    // A section's uses clause: from a line starting with "uses" to the line ending in ";".
    auto usesEnd = [&](size_t from, size_t to) {
        size_t i = from;
        while (i < to && trimmedUpper(unit[i]).empty())
            ++i;
        if (i == to || trimmedUpper(unit[i]).rfind("USES", 0) != 0) return from;
        while (i < to && (unit[i].empty() || unit[i].find(';') == std::string::npos))
            ++i;
        return std::min(i + 1, to);
    };
    const size_t intfBody = usesEnd(intf + 1, impl), implBody = usesEnd(impl + 1, tail);
    std::vector<std::string> head(unit.begin(), unit.begin() + static_cast<long>(intfBody));
    std::vector<std::string> intfLines, implLines(unit.begin() + static_cast<long>(impl),
                                                  unit.begin() + static_cast<long>(implBody));
    size_t size = 0;
    for (size_t copy = 1; size < bytes; ++copy) {
        for (size_t i = intfBody; i < impl; ++i) {
            intfLines.push_back(NumberTypeNames(unit[i], copy));
            size += intfLines.back().size() + 2;
        }
        for (size_t i = implBody; i < tail; ++i) {
            implLines.push_back(NumberTypeNames(unit[i], copy));
            size += implLines.back().size() + 2;
        }
    }
    head.insert(head.end(), intfLines.begin(), intfLines.end());
    head.insert(head.end(), implLines.begin(), implLines.end());
    head.insert(head.end(), unit.begin() + static_cast<long>(tail), unit.end());
    return head;
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

// The peak resident set of the program on two empty files: what it takes before any text.
long BaselineKb(const std::string& cli, const fs::path& dir, int timeout) {
    const fs::path a = dir / "empty_old.pas", b = dir / "empty_new.pas";
    std::ofstream{a};
    std::ofstream{b};
    return RunCommand(Quote(cli) + " " + Quote(a) + " " + Quote(b), timeout).PeakKb;
}

// quennet-diff OLD NEW next to git diff --no-index on a pair made from lines by Edit.
void ComparePair(const char* title, const std::vector<std::string>& lines, const std::string& cli,
                 const fs::path& dir, const std::string& stem, int timeout, long baselineKb) {
    const Edited e = Edit(lines, 4);
    const fs::path a = dir / (stem + "_old.pas"), b = dir / (stem + "_new.pas");
    WriteLines(a, lines);
    WriteLines(b, e.lines);
    const double inputKb = static_cast<double>(fs::file_size(a) + fs::file_size(b)) / 1024;
    std::printf("\n%s: %zu lines (%s), %.1f MB a file\n", title, lines.size(), e.Summary().c_str(),
                static_cast<double>(fs::file_size(a)) / (1 << 20));
    std::fflush(stdout);
    const auto [tool, git] =
        RunInTurn(Quote(cli) + " " + Quote(a) + " " + Quote(b),
                  "git diff --no-index " + Quote(a) + " " + Quote(b), timeout, kRounds);
    std::printf("  quennet-diff OLD NEW: %.1f ms    git diff --no-index: %.1f ms    ratio %s\n",
                tool.Seconds * 1e3, git.Seconds * 1e3, Ratio(tool.Seconds, git.Seconds).c_str());
    std::printf("  peak memory: quennet-diff %ld KB = %s the two inputs (%s above the baseline); "
                "git diff %ld KB\n",
                tool.PeakKb, Ratio(static_cast<double>(tool.PeakKb), inputKb).c_str(),
                Ratio(static_cast<double>(tool.PeakKb - baselineKb), inputKb).c_str(), git.PeakKb);
}

double LoadAverage() {
    double load[1] = {-1};
    return ::getloadavg(load, 1) == 1 ? load[0] : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 4 && std::string(argv[1]) == "--peak-of")
        return PeakOf(argv[2], std::atoi(argv[3]), argv + 4);
    std::vector<std::string> sources;
    std::string cli, keep;
    int timeout = 600;
    size_t largeMb = 100;
    bool onlyLarge = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--large-mb" && i + 1 < argc)
            largeMb = static_cast<size_t>(std::atol(argv[++i]));
        else if (a == "--only-large")
            onlyLarge = true;
        else if (a == "--source" && i + 1 < argc)
            sources.push_back(argv[++i]);
        else if (a == "--cli" && i + 1 < argc)
            cli = argv[++i];
        else if (a == "--timeout" && i + 1 < argc)
            timeout = std::atoi(argv[++i]);
        else if (a == "--keep" && i + 1 < argc)
            keep = argv[++i];
        else {
            std::cerr << "usage: diff_bench [--source FILE]... [--cli PATH] [--timeout S] "
                         "[--keep DIR] [--large-mb N] [--only-large]\n";
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

    const long baselineKb = BaselineKb(cli, dir, timeout);
    std::printf("Load average %.2f; quennet-diff on two empty files peaks at %ld KB\n",
                LoadAverage(), baselineKb);
    const auto largePair = [&] {
        if (largeMb == 0) return;
        const auto big = RepeatedUnit(unit, largeMb << 20);
        if (big.empty()) {
            std::printf("\nLarge pair: %s has no interface and implementation to repeat\n",
                        unitName.c_str());
            return;
        }
        ComparePair("Large pair (repeated sections)", big, cli, dir, "large", timeout, baselineKb);
    };
    if (onlyLarge) {
        largePair();
        if (keep.empty()) fs::remove_all(dir);
        return 0;
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
            quennet::diff::CompareSources({oldText, a.string()}, {newText, b.string()}, symbols, {},
                                          [&marks](quennet::diff::CompareStep step) {
                                              marks[static_cast<int>(step)] = Clock::now();
                                          });
        marks[3] = Clock::now();
        // The old side is parsed on its own thread while the new one is parsed.
        const double parse = std::chrono::duration<double>(marks[2] - marks[0]).count();
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
        std::printf("  in process: both parses %.1f ms, compare and report %.3f ms\n", parse * 1e3,
                    compare * 1e3);
        const auto [tool, git] =
            RunInTurn(Quote(cli) + " " + Quote(a) + " " + Quote(b),
                      "git diff --no-index " + Quote(a) + " " + Quote(b), timeout, kRounds);
        const double inputKb = static_cast<double>(bytes + fs::file_size(b)) / 1024;
        std::printf("  quennet-diff OLD NEW: %.1f ms    git diff --no-index: %.1f ms    ratio %s\n",
                    tool.Seconds * 1e3, git.Seconds * 1e3,
                    Ratio(tool.Seconds, git.Seconds).c_str());
        std::printf("  peak memory: quennet-diff %ld KB = %s the two inputs (%s above the "
                    "baseline); git diff %ld KB\n",
                    tool.PeakKb, Ratio(static_cast<double>(tool.PeakKb), inputKb).c_str(),
                    Ratio(static_cast<double>(tool.PeakKb - baselineKb), inputKb).c_str(),
                    git.PeakKb);
    }
    // An ordinary unit, where starting the process weighs more than the comparison.
    if (const char* ordinary = "/usr/share/fpcsrc/3.2.2/packages/fcl-base/src/inifiles.pp";
        fs::exists(ordinary))
        ComparePair(ordinary, LoadSourceLines(ordinary), cli, dir, "ordinary", timeout, baselineKb);

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
        const auto [tool, git] = RunInTurn(
            Quote(cli) + " --map " + Quote(a) + " " + Quote(b),
            "git diff --no-index --histogram " + Quote(a) + " " + Quote(b), timeout, kRounds);
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
    // 4. Peak memory (and speed) on a large generated pair.
    largePair();
    if (keep.empty()) fs::remove_all(dir);
    return 0;
}
