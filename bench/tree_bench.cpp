// Whole-tree comparison (quennet-diff -r) against diff -r -q and git diff --no-index --stat in
// the same run, and the speed-up from one thread to two. The old tree is fpc-source; the new
// one a temporary copy with a routine body edited in every 40th unit, then in every unit.
// Usage: tree_bench QUENNET_DIFF [SOURCE_TREE] (default /usr/share/fpcsrc/3.2.2).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Median wall time of a shell command over `runs` runs, after one warm-up run.
double MedianMs(const std::string& cmd, int runs) {
    std::system(cmd.c_str());
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t = Clock::now();
        std::system(cmd.c_str());
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Inserts a statement after the first "begin" that follows "implementation".
bool EditUnit(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    size_t impl = text.find("implementation");
    if (impl == std::string::npos) return false;
    size_t begin = text.find("begin\n", impl);
    if (begin == std::string::npos) return false;
    text.insert(begin + 6, "  BenchEdit;\n");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tree_bench QUENNET_DIFF [SOURCE_TREE]\n");
        return 2;
    }
    const std::string cli = argv[1];
    const fs::path source = argc > 2 ? argv[2] : "/usr/share/fpcsrc/3.2.2";
    const fs::path work =
        fs::temp_directory_path() / ("quennet-tree-bench-" + std::to_string(::getpid()));
    const fs::path copy = work / "new";
    fs::create_directories(work);
    fs::copy(source, copy, fs::copy_options::recursive);
    size_t units = 0, edited = 0;
    for (const auto& e : fs::recursive_directory_iterator(copy)) {
        const auto ext = e.path().extension();
        if (!e.is_regular_file() || (ext != ".pp" && ext != ".pas")) continue;
        if (units++ % 40 == 0 && EditUnit(e.path())) ++edited;
    }
    const std::string a = Quote(source.string()), b = Quote(copy.string());
    const std::string mask = " --mask '*.pp;*.pas'";
    const int runs = 5;
    const double diffMs = MedianMs("diff -r -q " + a + " " + b + " >/dev/null 2>&1", runs);
    const double gitMs =
        MedianMs("git diff --no-index --stat " + a + " " + b + " >/dev/null 2>&1", runs);
    const double one = MedianMs(
        Quote(cli) + " -r --threads 1" + mask + " " + a + " " + b + " >/dev/null 2>&1", runs);
    const double two = MedianMs(
        Quote(cli) + " -r --threads 2" + mask + " " + a + " " + b + " >/dev/null 2>&1", runs);
    std::printf("units %zu, edited %zu (median of %d runs)\n", units, edited, runs);
    std::printf("diff -r -q                   %8.1f ms\n", diffMs);
    std::printf("git diff --no-index --stat   %8.1f ms\n", gitMs);
    std::printf("quennet-diff -r, 1 thread    %8.1f ms  (%.2fx diff -r -q)\n", one, one / diffMs);
    std::printf("quennet-diff -r, 2 threads   %8.1f ms  (%.2fx diff -r -q, %.2fx git)\n", two,
                two / diffMs, two / gitMs);
    std::printf("speed-up 1 -> 2 threads      %8.2fx\n", one / two);

    // Every unit edited: the parse dominates, which is where the threads should pay.
    size_t all = 0;
    for (const auto& e : fs::recursive_directory_iterator(copy)) {
        const auto ext = e.path().extension();
        if (e.is_regular_file() && (ext == ".pp" || ext == ".pas") && EditUnit(e.path())) ++all;
    }
    const double oneAll =
        MedianMs(Quote(cli) + " -r --threads 1" + mask + " " + a + " " + b + " >/dev/null 2>&1", 3);
    const double twoAll =
        MedianMs(Quote(cli) + " -r --threads 2" + mask + " " + a + " " + b + " >/dev/null 2>&1", 3);
    std::printf("every unit edited (%zu): 1 thread %.1f ms, 2 threads %.1f ms, speed-up %.2fx\n",
                all, oneAll, twoAll, oneAll / twoAll);
    fs::remove_all(work);
    return 0;
}
