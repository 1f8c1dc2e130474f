// Replays recorded merges: BASE, LOCAL, REMOTE and what the project committed. Each case is
// merged by the engine and by `git merge-file` in the same run; a clean result counts as
// equal when its tokens (comments and blanks aside) are those of the committed merge.
// Usage: merge3_replay [-v] [--verify] [FOLDER] (default: the shared merge collection).
// --verify checks every clean result, ours and git's, declaration by declaration against its
// versions, and counts the merges whose faults the engine's own check turned into conflicts.
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "merge3/merge_guarantee.h"
#include "merge3/three_way.h"
#include "model/source_model.h"
#include "pascal/parse.h"
#include "pascal/scanner.h"

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
    pascal::Parse(src, text, &kSymbols, po);
    return src.Status;
}

// No new stop: when every input parses completely so does the merge, and otherwise the parse
// of the merge reads at least as many tokens as that of the least complete input.
bool ParsesAsFully(const std::string& merged, const merge3::ThreeWayInput* in) {
    auto readTokens = [](const std::string& bytes, const model::ParseStatus& st) {
        return merge3::PascalTokens(bytes).size() - (st.Complete ? 0 : st.RestTokens);
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
    else if (merge3::PascalTokens(text) == committed)
        ++t.equal;
    else
        ++t.wrong;
}

// Why a case is not clean-and-equal for the engine: (a) the committed merge holds code in
// neither parent or drops a change no conflict touched, (b) it kept conflict markers, (c) it
// keeps both sides where they collide, (d) it picks a side in each conflict by hand, (?) it
// combines the sides inside a conflict.
struct Verdict {
    char cls;
    std::string why;
};

using Tokens = std::vector<std::string>;

// Per conflict of our result, the choice that leads to the committed tokens: L, R, B, LR or RL.
std::optional<std::vector<std::string>> Picks(const std::string& ours, const Tokens& committed) {
    std::vector<std::vector<std::pair<std::string, Tokens>>> segments;
    std::vector<std::string> plain, part[3];
    int inConflict = -1;
    auto tokensOf = [](const std::vector<std::string>& lines) {
        return merge3::PascalTokens(io::JoinLinesCrLf(lines));
    };
    for (const std::string& line : io::SplitLines(ours)) {
        if (line.starts_with("<<<<<<< ")) {
            segments.push_back({{"", tokensOf(plain)}});
            plain.clear();
            inConflict = 0;
        } else if (inConflict >= 0 && line.starts_with("||||||| ")) {
            inConflict = 1;
        } else if (inConflict >= 0 && line == "=======") {
            inConflict = 2;
        } else if (inConflict >= 0 && line.starts_with(">>>>>>> ")) {
            Tokens l = tokensOf(part[0]), b = tokensOf(part[1]), r = tokensOf(part[2]);
            Tokens lr = l, rl = r;
            lr.insert(lr.end(), r.begin(), r.end());
            rl.insert(rl.end(), l.begin(), l.end());
            segments.push_back({{"L", l}, {"R", r}, {"B", b}, {"LR", lr}, {"RL", rl}});
            for (auto& p : part)
                p.clear();
            inConflict = -1;
        } else {
            (inConflict >= 0 ? part[inConflict] : plain).push_back(line);
        }
    }
    segments.push_back({{"", tokensOf(plain)}});
    std::map<size_t, std::vector<std::string>> reached{{0, {}}};
    for (const auto& choices : segments) {
        std::map<size_t, std::vector<std::string>> next;
        for (const auto& [at, picks] : reached)
            for (const auto& [name, toks] : choices)
                if (at + toks.size() <= committed.size() &&
                    std::equal(toks.begin(), toks.end(), committed.begin() + at) &&
                    !next.count(at + toks.size())) {
                    auto more = picks;
                    if (!name.empty()) more.push_back(name);
                    next.emplace(at + toks.size(), std::move(more));
                }
        reached = std::move(next);
    }
    auto done = reached.find(committed.size());
    if (done == reached.end()) return std::nullopt;
    return done->second;
}

// The first line of the committed merge whose tokens stand in that order in no parent.
std::optional<std::string> LineInNoParent(const std::string& committedText,
                                          const merge3::ThreeWayInput* in) {
    constexpr char kSep = '\x1f';
    std::string streams[3];
    for (int k = 0; k < 3; ++k) {
        streams[k] = kSep;
        for (const auto& t : merge3::PascalTokens(in[k].bytes))
            streams[k] += t + kSep;
    }
    std::string_view text = committedText;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::string crlf = io::ToCrLfText(text);
    pascal::TOp4Scanner scanner;
    scanner.InitSource(crlf.data(), static_cast<int32_t>(crlf.size()));
    std::map<int32_t, std::string> lines;
    while (scanner.Get() != pascal::tEndOfText) {
        const auto& t = scanner.State().CurToken;
        std::string& l = lines.try_emplace(t.Line, std::string(1, kSep)).first->second;
        l += std::string(scanner.GetString(t.Pos, t.Len)) + kSep;
    }
    for (const auto& [number, seq] : lines)
        if (std::none_of(streams, streams + 3,
                         [&](const std::string& s) { return s.find(seq) != std::string::npos; })) {
            std::string shown = seq.substr(1, seq.size() - 2);
            std::replace(shown.begin(), shown.end(), kSep, ' ');
            return "line " + std::to_string(number) + ": " + shown.substr(0, 70);
        }
    return std::nullopt;
}

Verdict Classify(const merge3::ThreeWayResult& ours, const std::string& committedText,
                 const Tokens& committed, const merge3::ThreeWayInput* in, bool marked) {
    if (marked) return {'b', "the committed file kept conflict markers"};
    if (ours.conflicts > 0) {
        if (auto picks = Picks(ours.text, committed)) {
            std::string list;
            bool both = false;
            for (const auto& p : *picks) {
                list += (list.empty() ? "" : ",") + p;
                both = both || p.size() == 2;
            }
            if (both) return {'c', "keeps both sides where they collide: " + list};
            return {'d', "picks one side per conflict: " + list};
        }
    }
    if (auto line = LineInNoParent(committedText, in))
        return {'a', "code in neither parent, " + *line};
    const Tokens base = merge3::PascalTokens(in[0].bytes);
    for (int k = 1; k < 3; ++k)
        if (committed == merge3::PascalTokens(in[k].bytes) &&
            merge3::PascalTokens(in[3 - k].bytes) != base)
            return {'a', std::string("the committed file is ") + in[k].label +
                             " as it was: the other side's token changes dropped"};
    return {'?', ours.conflicts ? "combines the sides inside a conflict"
                                : "differs from our clean merge"};
}

// Declarations of a clean result that are none of their versions nor their merge.
std::vector<std::string> Violations(const std::string& text, const merge3::ThreeWayInput* in,
                                    const merge3::ThreeWayOptions& options) {
    auto lines = [](std::string_view bytes) {
        if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        return io::SplitLines(bytes);
    };
    const std::vector<std::string> versions[3] = {lines(in[0].bytes), lines(in[1].bytes),
                                                  lines(in[2].bytes)};
    std::vector<std::string> names;
    for (const auto& v :
         merge3::CheckMergeGuarantee(versions, lines(text), in[1].fileName, options))
        names.push_back(v.name);
    return names;
}

} // namespace

int main(int argc, char** argv) {
    bool verbose = false, verify = false;
    fs::path root = fs::path(QUENNET_BENCH_EXAMPLES) / ".." / ".." / "shared" / "merges";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-v")
            verbose = true;
        else if (a == "--verify")
            verify = true;
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
    std::map<char, int> classes;
    int oursBreaking = 0, gitBreaking = 0; // clean results that break the guarantee
    std::vector<std::string> caughtCases;  // merges our check turned into conflicts
    for (const auto& dir : cases) {
        merge3::ThreeWayInput in[3];
        const char* names[] = {"base.pas", "local.pas", "remote.pas"};
        const char* labels[] = {"BASE", "LOCAL", "REMOTE"};
        for (int k = 0; k < 3; ++k)
            in[k] = {io::ReadFileBytes((dir / names[k]).string()), (dir / names[k]).string(),
                     labels[k]};
        std::string committedText = io::ReadFileBytes((dir / "merged.pas").string());
        auto committed = merge3::PascalTokens(committedText);
        const bool marked = committedText.find("\n=======") != std::string::npos &&
                            committedText.find("<<<<<<<") != std::string::npos;
        if (marked) markedYardsticks.push_back(dir.filename().string());

        merge3::ThreeWayOptions options;
        options.symbols = kSymbols;
        auto start = Clock::now();
        merge3::ThreeWayResult r = merge3::MergeThreeWay(in[0], in[1], in[2], options);
        ours.ms += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        Count(ours, r.conflicts == 0, r.text, committed);
        if (!marked) Count(oursValid, r.conflicts == 0, r.text, committed);
        bool full = r.conflicts > 0 || ParsesAsFully(r.text, in);
        if (!full) ++lessFully;

        start = Clock::now();
        merge3::ThreeWayResult byLines = merge3::MergeLines(in[0], in[1], in[2]);
        lines.ms += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        Count(lines, byLines.conflicts == 0, byLines.text, committed);

        std::string gitText;
        start = Clock::now();
        int gitStatus = GitMergeFile(dir, gitText);
        git.ms += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (gitStatus < 0) ++gitTrouble;
        Count(git, gitStatus == 0, gitText, committed);
        if (!marked) Count(gitValid, gitStatus == 0, gitText, committed);
        std::string verdict;
        if (verify) {
            if (!r.caught.empty()) {
                caughtCases.push_back(dir.filename().string());
                verdict += "  caught:";
                for (const auto& name : r.caught)
                    verdict += " " + name + ";";
            }
            if (r.conflicts == 0 && !Violations(r.text, in, options).empty()) {
                ++oursBreaking;
                verdict += "  OURS BREAKS THE GUARANTEE";
            }
            if (gitStatus == 0) {
                auto broken = Violations(gitText, in, options);
                gitBreaking += !broken.empty();
                if (!broken.empty()) verdict += "  git breaks: " + broken.front();
            }
        }
        if (verbose) {
            const bool stopped = std::any_of(r.notes.begin(), r.notes.end(), [](const auto& n) {
                return n.find("the parse stopped") != std::string::npos;
            });
            const char* mine = r.conflicts                                 ? "conflict"
                               : merge3::PascalTokens(r.text) == committed ? "equal"
                                                                           : "WRONG";
            const char* theirs = gitStatus != 0                               ? "conflict"
                                 : merge3::PascalTokens(gitText) == committed ? "equal"
                                                                              : "WRONG";
            const char* plain = byLines.conflicts                                 ? "conflict"
                                : merge3::PascalTokens(byLines.text) == committed ? "equal"
                                                                                  : "WRONG";
            std::string why;
            if (std::string(mine) != "equal") {
                Verdict v = Classify(r, committedText, committed, in, marked);
                ++classes[v.cls];
                why = std::string("  (") + v.cls + ") " + v.why;
            }
            std::printf("%s  ours %-8s lines %-8s git %-8s%s%s%s%s\n", dir.filename().c_str(), mine,
                        plain, theirs, stopped ? "  (stopped)" : "", full ? "" : "  PARSES LESS",
                        why.c_str(), verdict.c_str());
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
    if (verbose) {
        std::printf("cases not clean-and-equal by class:");
        for (const auto& [cls, n] : classes)
            std::printf(" (%c) %d", cls, n);
        std::printf("\n");
    }
    if (verify) {
        std::printf("clean results that break the guarantee: quennet-diff %d, git merge-file %d\n",
                    oursBreaking, gitBreaking);
        std::printf("merges our check turned into conflicts: %zu", caughtCases.size());
        for (const auto& name : caughtCases)
            std::printf(" %s", name.c_str());
        std::printf("\n");
    }
    if (gitTrouble) std::printf("git merge-file failed on %d cases\n", gitTrouble);
    return 0;
}
