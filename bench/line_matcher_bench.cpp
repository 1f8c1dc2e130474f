// The line matcher against its literal form on the hardest inputs: lines repeated many times
// (n lines of "end;" against "end;" and "begin" alternating, and related families), and on
// real pairs of units, same-named files of the fpc-source tree. Every map is checked against
// the literal one where that one ran; any difference makes the exit status 1.
//
// Usage: line_matcher_bench [--literal-budget SECONDS] [--pairs N] [--fpc DIR]
// The literal matcher is skipped for larger sizes of a family once one size took longer than
// the budget (default 20 s); a budget of 0 skips it on the families altogether.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "diff/line_matcher.h"
#include "diff/line_matcher_literal.h"

namespace fs = std::filesystem;
using namespace quennet::base;
using namespace quennet::diff;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::vector<TLineRecord> Records(const std::vector<std::string>& lines) {
    std::vector<TLineRecord> r;
    r.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        r.push_back({LineKey(lines[i]), static_cast<int32_t>(i), false});
    return r;
}

std::vector<std::string> ReadLines(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

int mismatches = 0;

// Times both matchers on one pair; the literal one only when `literal` is set. Returns the
// literal time, or -1.
double Compare(const char* label, size_t n, std::vector<TLineRecord> a, std::vector<TLineRecord> b,
               bool literal) {
    std::vector<TMapEntry> map;
    auto t0 = Clock::now();
    MatchLines(a, b, map);
    const double fast = Seconds(t0);
    double slow = -1;
    if (literal) {
        auto t1 = Clock::now();
        const auto expected = MatchLinesLiteral(a, b);
        slow = Seconds(t1);
        if (expected != map) {
            ++mismatches;
            std::printf("  MISMATCH in %s at %zu lines\n", label, n);
        }
    }
    if (slow >= 0)
        std::printf("  %-28s %8zu %12.1f %12.1f %9.3f\n", label, n, fast * 1e3, slow * 1e3,
                    fast / slow);
    else
        std::printf("  %-28s %8zu %12.1f %12s %9s\n", label, n, fast * 1e3, "skipped", "-");
    std::fflush(stdout);
    return slow;
}

} // namespace

int main(int argc, char** argv) {
    double budget = 20;
    size_t maxPairs = 60;
    fs::path fpc = "/usr/share/fpcsrc";
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string o = argv[i];
        if (o == "--literal-budget")
            budget = std::atof(argv[i + 1]);
        else if (o == "--pairs")
            maxPairs = static_cast<size_t>(std::atoi(argv[i + 1]));
        else if (o == "--fpc")
            fpc = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: line_matcher_bench [--literal-budget S] [--pairs N] "
                                 "[--fpc DIR]\n");
            return 2;
        }
    }

    // Each family gives the old and new texts of about n lines.
    using Maker = std::function<void(size_t, std::vector<std::string>&, std::vector<std::string>&)>;
    std::mt19937 rng(7);
    const std::vector<std::pair<const char*, Maker>> families = {
        {"end; / end; begin",
         [](size_t n, auto& a, auto& b) {
             a.assign(n, "end;");
             for (size_t i = 0; i < n / 2; ++i) {
                 b.push_back("end;");
                 b.push_back("begin");
             }
         }},
        {"end; begin / end;",
         [](size_t n, auto& a, auto& b) {
             for (size_t i = 0; i < n / 2; ++i) {
                 a.push_back("end;");
                 a.push_back("begin");
             }
             b.assign(n, "end;");
         }},
        {"period 2 / period 3",
         [](size_t n, auto& a, auto& b) {
             for (size_t i = 0; i < n; ++i) {
                 a.push_back(i % 2 ? "begin" : "end;");
                 b.push_back(i % 3 ? "begin" : "end;");
             }
         }},
        {"blank-heavy random",
         [&rng](size_t n, auto& a, auto& b) {
             auto line = [&rng] {
                 const auto r = static_cast<unsigned>(rng() % 10);
                 return r < 4   ? std::string()
                        : r < 7 ? std::string("end;")
                                : "x" + std::to_string(rng() % 50);
             };
             for (size_t i = 0; i < n; ++i)
                 a.push_back(line());
             for (size_t i = 0; i < n; ++i)
                 b.push_back(rng() % 4 ? a[i] : line());
         }},
    };

    std::printf("Line matcher: MatchLines against the literal search (ms; ratio fast/literal)\n");
    std::printf("  %-28s %8s %12s %12s %9s\n", "family", "lines", "MatchLines", "literal", "ratio");
    for (const auto& [name, make] : families) {
        bool literal = budget > 0;
        for (size_t n : {5000u, 10000u, 20000u, 50000u, 100000u, 200000u}) {
            std::vector<std::string> a, b;
            make(n, a, b);
            const double slow = Compare(name, n, Records(a), Records(b), literal);
            if (slow > budget) literal = false;
        }
    }

    // Real pairs: files of the same name in different folders of the fpc-source tree.
    std::map<std::string, std::vector<fs::path>> byName;
    std::error_code ec;
    if (fs::is_directory(fpc, ec))
        for (auto it = fs::recursive_directory_iterator(fpc, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec) break;
            const auto ext = it->path().extension();
            if ((ext == ".pp" || ext == ".pas" || ext == ".inc") && it->is_regular_file(ec))
                byName[it->path().filename().string()].push_back(it->path());
        }
    std::vector<std::pair<fs::path, fs::path>> pairs;
    for (auto& [name, paths] : byName)
        if (paths.size() >= 2 && fs::file_size(paths[0], ec) > 20000) {
            std::sort(paths.begin(), paths.end());
            pairs.push_back({paths[0], paths[1]});
        }
    std::shuffle(pairs.begin(), pairs.end(), std::mt19937(11));
    if (pairs.size() > maxPairs) pairs.resize(maxPairs);
    if (!pairs.empty()) {
        double fast = 0, slow = 0;
        size_t lines = 0;
        for (const auto& [x, y] : pairs) {
            auto a = Records(ReadLines(x)), b = Records(ReadLines(y));
            lines += a.size() + b.size();
            std::vector<TMapEntry> map;
            auto t0 = Clock::now();
            MatchLines(a, b, map);
            fast += Seconds(t0);
            auto t1 = Clock::now();
            const auto expected = MatchLinesLiteral(a, b);
            slow += Seconds(t1);
            if (expected != map) {
                ++mismatches;
                std::printf("  MISMATCH: %s %s\n", x.c_str(), y.c_str());
            }
        }
        std::printf("\n%zu same-named fpc-source pairs, %zu lines: MatchLines %.1f ms, literal "
                    "%.1f ms, ratio %.3f\n",
                    pairs.size(), lines, fast * 1e3, slow * 1e3, fast / slow);
    }
    std::printf("%d maps differ from the literal ones\n", mismatches);
    return mismatches == 0 ? 0 : 1;
}
