// Generated rename and move merges over the modern corpus (see rename_merge_cases.h), merged by the
// engine and by `git merge-file` in the same run: clean results, results holding both edits
// (tokens equal to the expected text), and the time of each.
// Usage: rename_merge_bench [CORPUS] [CASES-PER-UNIT] (default: the shared modern corpus, 2).
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "merge3/three_way.h"
#include "rename_merge_cases.h"

using namespace quennet;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Tally {
    int clean = 0, holdsBoth = 0;
    double ms = 0;
};

void Write(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// git merge-file's result; false when it reported conflicts or trouble.
bool GitMergeFile(const fs::path& dir, std::string& out) {
    const std::string cmd = "git merge-file -p '" + (dir / "local.pas").string() + "' '" +
                            (dir / "base.pas").string() + "' '" + (dir / "remote.pas").string() +
                            "' 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path corpus =
        argc > 1 ? fs::path(argv[1])
                 : fs::path(QUENNET_BENCH_EXAMPLES) / ".." / ".." / "shared" / "corpora" / "modern";
    const size_t perUnit = argc > 2 ? std::stoul(argv[2]) : 2;
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(corpus))
        if (e.is_regular_file() && e.path().extension() == ".pas") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    const fs::path scratch =
        fs::temp_directory_path() / ("rename_merge_bench." + std::to_string(getpid()));
    fs::create_directories(scratch);
    // Renames, then routines taken out of the interface with their bodies moved.
    for (const bool moves : {false, true}) {
        Tally engine, git;
        int cases = 0;
        for (const auto& file : files) {
            const std::string bytes = io::ReadFileBytes(file.string());
            for (const auto& c : moves ? bench::SectionMoveMergeCases(bytes, perUnit)
                                       : bench::RenameMergeCases(bytes, perUnit)) {
                ++cases;
                const auto expected = merge3::PascalTokens(c.expected);
                auto t0 = Clock::now();
                const auto r =
                    merge3::MergeThreeWay({c.base, "u.pas", "BASE"}, {c.local, "u.pas", "LOCAL"},
                                          {c.remote, "u.pas", "REMOTE"});
                engine.ms += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                engine.clean += r.conflicts == 0;
                engine.holdsBoth += r.conflicts == 0 && merge3::PascalTokens(r.text) == expected;
                if (r.conflicts != 0)
                    std::printf("engine conflict: %s %s\n", file.c_str(), c.name.c_str());

                Write(scratch / "base.pas", c.base);
                Write(scratch / "local.pas", c.local);
                Write(scratch / "remote.pas", c.remote);
                std::string out;
                t0 = Clock::now();
                const bool clean = GitMergeFile(scratch, out);
                git.ms += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                git.clean += clean;
                git.holdsBoth += clean && merge3::PascalTokens(out) == expected;
            }
        }
        std::printf("%s: %d cases from %zu units\n", moves ? "moves" : "renames", cases,
                    files.size());
        std::printf("%-16s %7s %11s %10s\n", "", "clean", "both edits", "total ms");
        std::printf("%-16s %7d %11d %10.0f\n", "quennet-diff", engine.clean, engine.holdsBoth,
                    engine.ms);
        std::printf("%-16s %7d %11d %10.0f\n", "git merge-file", git.clean, git.holdsBoth, git.ms);
    }
    fs::remove_all(scratch);
    return 0;
}
