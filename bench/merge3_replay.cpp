// Replays recorded merges: BASE, LOCAL, REMOTE and what the project committed. Each case is
// merged by the engine and by `git merge-file` in the same run; a clean result counts as
// equal when its tokens (comments and blanks aside) are those of the committed merge.
// Usage: merge3_replay [-v] [FOLDER] (default: the shared merge collection).
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "merge/three_way.h"
#include "model/source_model.h"

using namespace quennet;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Tally {
    int equal = 0, wrong = 0, conflicts = 0;
    double ms = 0;
};

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// git merge-file's result and status: conflicts (up to 127), 0 clean, negative on trouble.
int GitMergeFile(const fs::path& dir, std::string& out) {
    std::string cmd = "git merge-file -p --diff3 " + ShellQuote((dir / "local.pas").string()) +
                      " " + ShellQuote((dir / "base.pas").string()) + " " +
                      ShellQuote((dir / "remote.pas").string()) + " 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return -1;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    int status = pclose(pipe);
    if (!WIFEXITED(status)) return -1;
    int code = WEXITSTATUS(status);
    return code > 127 ? -1 : code;
}

const std::vector<std::string> kSymbols = {"VER130", "WIN32", "CPU386"};

model::ParseStatus ParseStatusOf(const std::string& bytes, const std::string& name) {
    model::TPasSrc src;
    std::string text = io::JoinLinesCrLf(io::SplitLines(bytes));
    model::ParseOptions po;
    po.dialect = model::ResolveDialect(model::Dialect::Auto, name, text);
    po.fileName = name;
    src.Parse(text, &kSymbols, po);
    return src.Status;
}

// No new stop: when every input parses completely so does the merge, and otherwise the parse
// of the merge reads at least as many tokens as that of the least complete input.
bool ParsesAsFully(const std::string& merged, const merge::ThreeWayInput* in) {
    auto readTokens = [](const std::string& bytes, const model::ParseStatus& st) {
        return merge::PascalTokens(bytes).size() - (st.Complete ? 0 : st.RestTokens);
    };
    bool allComplete = true;
    uint64_t leastRead = UINT64_MAX;
    for (int k = 0; k < 3; ++k) {
        model::ParseStatus st = ParseStatusOf(in[k].bytes, in[k].fileName);
        allComplete = allComplete && st.Complete;
        leastRead = std::min<uint64_t>(leastRead, readTokens(in[k].bytes, st));
    }
    model::ParseStatus st = ParseStatusOf(merged, in[1].fileName);
    if (st.Complete) return true;
    return !allComplete && readTokens(merged, st) >= leastRead;
}

void Count(Tally& t, bool clean, const std::string& text,
           const std::vector<std::string>& committed) {
    if (!clean)
        ++t.conflicts;
    else if (merge::PascalTokens(text) == committed)
        ++t.equal;
    else
        ++t.wrong;
}

} // namespace

int main(int argc, char** argv) {
    bool verbose = false;
    fs::path root = fs::path(QUENNET_BENCH_EXAMPLES) / ".." / ".." / "shared" / "merges";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-v")
            verbose = true;
        else
            root = a;
    }
    std::vector<fs::path> cases;
    for (const auto& e : fs::directory_iterator(root))
        if (fs::exists(e.path() / "base.pas")) cases.push_back(e.path());
    std::sort(cases.begin(), cases.end());
    if (cases.empty()) {
        std::fprintf(stderr, "merge3_replay: no cases in %s\n", root.c_str());
        return 2;
    }
    Tally ours, lines, git;
    Tally oursValid, gitValid; // the cases whose committed merge holds no conflict markers
    int lessFully = 0, gitTrouble = 0;
    std::vector<std::string> markedYardsticks; // committed merges that kept conflict markers
    for (const auto& dir : cases) {
        merge::ThreeWayInput in[3];
        const char* names[] = {"base.pas", "local.pas", "remote.pas"};
        const char* labels[] = {"BASE", "LOCAL", "REMOTE"};
        for (int k = 0; k < 3; ++k)
            in[k] = {io::ReadFileBytes((dir / names[k]).string()), (dir / names[k]).string(),
                     labels[k]};
        std::string committedText = io::ReadFileBytes((dir / "merged.pas").string());
        auto committed = merge::PascalTokens(committedText);
        const bool marked = committedText.find("\n=======") != std::string::npos &&
                            committedText.find("<<<<<<<") != std::string::npos;
        if (marked) markedYardsticks.push_back(dir.filename().string());

        merge::ThreeWayOptions options;
        options.symbols = kSymbols;
        auto start = Clock::now();
        merge::ThreeWayResult r = merge::MergeThreeWay(in[0], in[1], in[2], options);
        ours.ms += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        Count(ours, r.conflicts == 0, r.text, committed);
        if (!marked) Count(oursValid, r.conflicts == 0, r.text, committed);
        bool full = r.conflicts > 0 || ParsesAsFully(r.text, in);
        if (!full) ++lessFully;

        start = Clock::now();
        merge::ThreeWayResult byLines = merge::MergeLines(in[0], in[1], in[2]);
        lines.ms += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        Count(lines, byLines.conflicts == 0, byLines.text, committed);

        std::string gitText;
        start = Clock::now();
        int gitStatus = GitMergeFile(dir, gitText);
        git.ms += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (gitStatus < 0) ++gitTrouble;
        Count(git, gitStatus == 0, gitText, committed);
        if (!marked) Count(gitValid, gitStatus == 0, gitText, committed);
        if (verbose) {
            const char* mine = r.conflicts                                ? "conflict"
                               : merge::PascalTokens(r.text) == committed ? "equal"
                                                                          : "WRONG";
            const char* theirs = gitStatus != 0                              ? "conflict"
                                 : merge::PascalTokens(gitText) == committed ? "equal"
                                                                             : "WRONG";
            const char* plain = byLines.conflicts                                ? "conflict"
                                : merge::PascalTokens(byLines.text) == committed ? "equal"
                                                                                 : "WRONG";
            std::printf("%s  ours %-8s lines %-8s git %-8s%s%s\n", dir.filename().c_str(), mine,
                        plain, theirs, r.notes.empty() ? "" : "  (stopped)",
                        full ? "" : "  PARSES LESS");
        }
    }
    std::printf("%zu recorded merges in %s\n", cases.size(), root.c_str());
    std::printf("%-16s %12s %12s %10s %10s\n", "", "clean-equal", "clean-wrong", "conflicts",
                "time ms");
    std::printf("%-16s %12d %12d %10d %10.0f\n", "quennet-diff", ours.equal, ours.wrong,
                ours.conflicts, ours.ms);
    std::printf("%-16s %12d %12d %10d %10.0f\n", "  lines only", lines.equal, lines.wrong,
                lines.conflicts, lines.ms);
    std::printf("%-16s %12d %12d %10d %10.0f\n", "git merge-file", git.equal, git.wrong,
                git.conflicts, git.ms);
    std::printf("clean-equal ratio to git merge-file: %.2f\n",
                git.equal ? static_cast<double>(ours.equal) / git.equal : 0.0);
    std::printf("clean merges that parse less fully than their inputs: %d\n", lessFully);
    if (!markedYardsticks.empty()) {
        std::printf("committed merges that kept conflict markers (no clean merge can equal them):");
        for (const auto& name : markedYardsticks)
            std::printf(" %s", name.c_str());
        std::printf("\nwithout them (%d cases):\n",
                    oursValid.equal + oursValid.wrong + oursValid.conflicts);
        std::printf("%-16s %12d %12d %10d\n", "quennet-diff", oursValid.equal, oursValid.wrong,
                    oursValid.conflicts);
        std::printf("%-16s %12d %12d %10d\n", "git merge-file", gitValid.equal, gitValid.wrong,
                    gitValid.conflicts);
    }
    if (gitTrouble) std::printf("git merge-file failed on %d cases\n", gitTrouble);
    return 0;
}
