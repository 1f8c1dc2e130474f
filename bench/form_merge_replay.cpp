// Replays recorded merges of form files: BASE, LOCAL, REMOTE and what the project committed.
// Each case is merged by the engine and by `git merge-file` in the same run; a clean result
// counts as equal when it reads to the committed form's objects and properties apart from
// designer noise (whose committed value is whichever side's IDE wrote last), and every clean
// result of the engine must read back as a form. Strictly equal results are counted apart.
// Usage: form_merge_replay [-v] [FOLDER] (default: the shared form merges).
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "forms/form_compare.h"
#include "forms/form_merge.h"
#include "forms/form_reader.h"
#include "io/source_file.h"

using namespace quennet;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Tally {
    int equal = 0, strict = 0, wrong = 0, conflicts = 0;
    double ms = 0;
};

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// git merge-file's result and status: conflicts (up to 127), 0 clean, negative on trouble.
int GitMergeFile(const fs::path& local, const fs::path& base, const fs::path& remote,
                 std::string& out) {
    const std::string cmd = "git merge-file -p " + ShellQuote(local.string()) + " " +
                            ShellQuote(base.string()) + " " + ShellQuote(remote.string()) +
                            " 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return -1;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    const int status = pclose(pipe);
    if (!WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code > 127 ? -1 : code;
}

// Equal apart from designer noise; strict also counts the noise.
bool SameForm(const forms::FormFile& a, const forms::FormFile& b, Tally& t) {
    const forms::FormComparison c = forms::CompareForms(a, b);
    if (c.Changes > 0) return false;
    if (c.NoiseChanges == 0) ++t.strict;
    return true;
}

fs::path WithStem(const fs::path& dir, const std::string& stem) {
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().stem() == stem) return e.path();
    return {};
}

} // namespace

int main(int argc, char** argv) {
    bool verbose = false;
    fs::path folder =
        fs::path(QUENNET_BENCH_EXAMPLES) / ".." / ".." / "shared" / "forms" / "merges";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-v")
            verbose = true;
        else
            folder = a;
    }
    if (!fs::is_directory(folder)) {
        std::fprintf(stderr, "no merges in %s\n", folder.string().c_str());
        return 2;
    }
    std::vector<fs::path> cases;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.is_directory()) cases.push_back(e.path());
    std::sort(cases.begin(), cases.end());

    Tally ours, git;
    int unreadableResults = 0;
    for (const auto& dir : cases) {
        const fs::path base = WithStem(dir, "base"), local = WithStem(dir, "local"),
                       remote = WithStem(dir, "remote"), merged = WithStem(dir, "merged");
        const forms::FormFile committed = forms::ReadFormFile(merged.string());
        const std::string labels[3] = {"BASE", "LOCAL", "REMOTE"};
        const auto start = Clock::now();
        const forms::FormMergeResult r =
            forms::MergeForms(io::ReadFileBytes(base.string()), io::ReadFileBytes(local.string()),
                              io::ReadFileBytes(remote.string()), labels,
                              {base.string(), local.string(), remote.string()});
        ours.ms += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const char* verdict = "conflicts";
        if (r.Conflicts > 0) {
            ++ours.conflicts;
        } else {
            const forms::FormFile back = forms::ReadForm(r.Bytes, "merged");
            if (!back.Notes.empty()) {
                ++unreadableResults;
                verdict = "clean, does not read back";
                ++ours.wrong;
            } else if (SameForm(back, committed, ours)) {
                ++ours.equal;
                verdict = "clean, equal";
            } else {
                ++ours.wrong;
                verdict = "clean, WRONG";
            }
        }
        std::string gitOut;
        const auto gitStart = Clock::now();
        const int gitStatus = GitMergeFile(local, base, remote, gitOut);
        git.ms += std::chrono::duration<double, std::milli>(Clock::now() - gitStart).count();
        const char* gitVerdict = "conflicts";
        if (gitStatus != 0) {
            ++git.conflicts;
        } else {
            const forms::FormFile back = forms::ReadForm(gitOut, "git");
            if (back.Notes.empty() && SameForm(back, committed, git)) {
                ++git.equal;
                gitVerdict = "clean, equal";
            } else {
                ++git.wrong;
                gitVerdict = "clean, WRONG";
            }
        }
        if (verbose) {
            std::printf("%s  quennet: %-26s git: %s\n", dir.filename().string().c_str(), verdict,
                        gitVerdict);
            for (const auto& n : r.Notes)
                std::printf("    %s\n", n.c_str());
        }
    }
    std::printf("%zu form merges\n", cases.size());
    std::printf("%-15s %12s %12s %12s %10s %10s\n", "", "clean-equal", "(noise too)", "clean-wrong",
                "conflicts", "ms");
    std::printf("%-15s %12d %12d %12d %10d %10.1f\n", "quennet-diff", ours.equal, ours.strict,
                ours.wrong, ours.conflicts, ours.ms);
    std::printf("%-15s %12d %12d %12d %10d %10.1f\n", "git merge-file", git.equal, git.strict,
                git.wrong, git.conflicts, git.ms);
    std::printf("clean results that do not read back as forms: %d\n", unreadableResults);
    return 0;
}
