// The merged source as a compiler reads it: a token evaluator that follows only the NEW_VER
// directives that are real directives (outside comments and strings) must see exactly the new
// version's tokens with NEW_VER defined and the old version's without it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/pas_conversion.h"
#include "workspace/rtf_reader.h"

using namespace quennet;
namespace fs = std::filesystem;

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

// Tokens of the text with the NEW_VER blocks followed (newVer given) or with none expected.
// Other conditional directives are tokens themselves; their nesting is tracked so that an
// {$ELSE} or {$ENDIF} pairs as the compiler pairs it. Nothing when the conditionals do not
// pair up or a comment is never closed.
std::optional<std::vector<std::string>> Tokens(const std::string& text,
                                               std::optional<bool> newVer) {
    struct Frame {
        bool ours, outerActive, active;
    };
    std::vector<Frame> frames;
    auto active = [&] { return frames.empty() || frames.back().active; };
    std::vector<std::string> out;
    size_t i = 0;
    const size_t n = text.size();
    auto directive = [&](const std::string& body, const std::string& whole) -> bool {
        std::string name, arg;
        size_t k = 0;
        while (k < body.size() && std::isalpha(static_cast<unsigned char>(body[k])))
            name += body[k++];
        while (k < body.size() && body[k] == ' ')
            ++k;
        while (k < body.size() && body[k] != ' ')
            arg += body[k++];
        name = Upper(name);
        const bool ours = newVer && Upper(arg) == "NEW_VER";
        if (ours && name == "DEFINE") return true;
        if (name == "IFDEF" || name == "IFNDEF" || name == "IF" || name == "IFOPT") {
            const bool outer = active();
            if (ours)
                frames.push_back({true, outer, outer && (*newVer == (name == "IFDEF"))});
            else
                frames.push_back({false, outer, outer});
            if (!ours && outer) out.push_back(whole);
            return true;
        }
        if (name == "ELSE" || name == "ENDIF") {
            if (frames.empty()) return false;
            const Frame f = frames.back();
            if (name == "ELSE")
                frames.back().active = f.ours ? f.outerActive && !f.active : f.outerActive;
            else
                frames.pop_back();
            if (!f.ours && f.outerActive) out.push_back(whole);
            return true;
        }
        if (active()) out.push_back(whole);
        return true;
    };
    while (i < n) {
        const char c = text[i];
        if (c == '{' || (c == '(' && i + 1 < n && text[i + 1] == '*')) {
            const bool brace = c == '{';
            const size_t bodyStart = i + (brace ? 1 : 2);
            size_t end = brace ? text.find('}', bodyStart) : text.find("*)", i + 1);
            if (end == std::string::npos) return std::nullopt; // never closed
            const size_t next = std::min(n, end + (brace ? 1 : 2));
            if (bodyStart < end && text[bodyStart] == '$' &&
                !directive(text.substr(bodyStart + 1, end - bodyStart - 1),
                           text.substr(i, next - i)))
                return std::nullopt;
            i = next;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            i = text.find('\n', i);
            if (i == std::string::npos) i = n;
        } else if (c == '\'') {
            size_t end = text.find_first_of("'\n", i + 1);
            if (end == std::string::npos) end = n;
            if (active()) out.push_back(text.substr(i, end + 1 - i));
            i = end + 1;
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
            size_t end = i;
            while (end < n &&
                   (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
                ++end;
            if (active()) out.push_back(text.substr(i, end - i));
            i = end;
        } else {
            if (static_cast<unsigned char>(c) > ' ' && active()) out.emplace_back(1, c);
            ++i;
        }
    }
    if (!frames.empty()) return std::nullopt;
    return out;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines)
        s += l + "\n";
    return s;
}

std::vector<std::string> Folded(std::vector<std::string> tokens) {
    for (auto& t : tokens)
        t = Upper(t);
    return tokens;
}

enum class Outcome { Exact, Wrong, Skipped };

// Skipped: a version whose own conditionals do not pair up or whose comment is never closed
// (no directive after it can be one), or one the highlighter refuses.
Outcome CheckPair(const std::vector<std::string>& oldLines,
                  const std::vector<std::string>& newLines, std::string* why = nullptr) {
    const auto oldTokens = Tokens(Joined(oldLines), std::nullopt);
    const auto newTokens = Tokens(Joined(newLines), std::nullopt);
    if (!oldTokens || !newTokens) {
        if (why) *why = "not a source a compiler reads";
        return Outcome::Skipped;
    }
    std::optional<workspace::TMergeWorkspace> ws;
    try {
        ws = workspace::BuildMergeWorkspace(oldLines, newLines);
    } catch (const workspace::EConversionError&) {
        return Outcome::Skipped;
    }
    if (!ws) return Outcome::Skipped;
    const std::string merged = Joined(workspace::MergedVersionLines(workspace::ReadRtf(ws->Rtf)));
    const auto asNew = Tokens(merged, true);
    const auto asOld = Tokens(merged, false);
    // Common lines hold the new text of lines that match in any letter case.
    if (asNew == newTokens && asOld && Folded(*asOld) == Folded(*oldTokens)) return Outcome::Exact;
    if (why) *why = merged;
    return Outcome::Wrong;
}

const std::vector<std::string> kProgram = {
    "program P;",
    "{ a comment",
    "  over lines }",
    "(* another",
    "   one *)",
    "{$IFDEF DEBUG}",
    "const Mode = 'debug';",
    "{$ELSE}",
    "const Mode = 'release';",
    "{$ENDIF}",
    "var s: string;",
    "begin",
    "  s := 'text { not a comment';",
    "  WriteLn(s); // trailing {",
    "  {$IFNDEF X} WriteLn(1); {$ENDIF}",
    "end.",
};

// Inserted as a block each; a block of one line also replaces a line.
const std::vector<std::vector<std::string>> kSnippets = {
    {"{", "}"},
    {"(*", "*)"},
    {"{ x", "y } z;"},
    {"{$IFDEF A}", "a;", "{$ELSE}", "b;", "{$ENDIF}"},
    {"x := 'a{';"},
    {"// c {"},
    {"y := 1;"},
    {"{ c } z;"},
    {"(*$IFDEF B*) w; (*$ENDIF*)"},
    {"{$IFDEF C} v; {$ELSE} u; {$ENDIF}"},
    {"t := '(*';"},
    {"{$ELSE}"},
};

} // namespace

TEST(MergedSource, EvaluatorFollowsOnlyRealDirectives) {
    const std::string text = "a {$IFDEF NEW_VER} b {$ELSE} c {$ENDIF} '{$ELSE}' (* {$ENDIF} *) d\n"
                             "{$IFNDEF NEW_VER} {$IFDEF X} e {$ELSE} f {$ENDIF} {$ENDIF} g\n";
    using V = std::vector<std::string>;
    EXPECT_EQ(Tokens(text, true), (V{"a", "b", "'{$ELSE}'", "d", "g"}));
    EXPECT_EQ(Tokens(text, false),
              (V{"a", "c", "'{$ELSE}'", "d", "{$IFDEF X}", "e", "{$ELSE}", "f", "{$ENDIF}", "g"}));
    EXPECT_EQ(Tokens("{$ENDIF}", false), std::nullopt);
}

// Edits inside comments, strings and conditional lines: the directive must never land where it
// is not one, nor pair with the source's own.
TEST(MergedSource, GeneratedPairsGiveBothVersions) {
    const std::vector<std::pair<size_t, std::string>> replacements = {
        {2, "  over } lines x; { y }"}, // the comment's end moves
        {7, "{$ELSE} // other"},        // a conditional line changes
        {5, "{$IFDEF RELEASE}"},        // the opening changes
        {12, "  s := 'text } (* x';"},  // inside a string
        {3, "(* another *) y := 2; (*"}, {14, "  {$IFNDEF Y} WriteLn(1); {$ENDIF}"},
    };
    for (const auto& [line, text] : replacements) {
        auto edited = kProgram;
        edited[line] = text;
        std::string merged = "skipped";
        EXPECT_EQ(CheckPair(kProgram, edited, &merged), Outcome::Exact) << line << "\n" << merged;
        EXPECT_EQ(CheckPair(edited, kProgram, &merged), Outcome::Exact) << line << "\n" << merged;
    }

    std::mt19937 random(20260101);
    int exact = 0, skipped = 0;
    for (int round = 0; round < 600; ++round) {
        auto oldLines = kProgram, newLines = kProgram;
        for (auto* lines : {&oldLines, &newLines})
            for (int edits = static_cast<int>(random() % 4); edits >= 0; --edits) {
                const size_t at = random() % (lines->size() + 1);
                const auto& snippet = kSnippets[random() % kSnippets.size()];
                const auto where = lines->begin() + static_cast<std::ptrdiff_t>(at);
                switch (random() % 3) {
                case 0: lines->insert(where, snippet.begin(), snippet.end()); break;
                case 1:
                    if (at < lines->size() && snippet.size() == 1) *where = snippet[0];
                    break;
                default:
                    if (at < lines->size()) lines->erase(where);
                }
            }
        std::string merged;
        const Outcome o = CheckPair(oldLines, newLines, &merged);
        ASSERT_NE(o, Outcome::Wrong) << "round " << round << "\n" << merged;
        (o == Outcome::Exact ? exact : skipped)++;
    }
    EXPECT_GT(exact, 250) << skipped << " skipped";
}

// Real units with lines moved about: each merged source gives both versions.
TEST(MergedSource, MutatedFreePascalUnits) {
    const fs::path root = "/usr/share/fpcsrc";
    if (!fs::exists(root)) GTEST_SKIP() << "fpc-source is not installed";
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto ext = entry.path().extension();
        if (entry.is_regular_file() && (ext == ".pas" || ext == ".pp") && entry.file_size() < 60000)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    std::mt19937 random(7);
    int exact = 0, wrong = 0, skipped = 0;
    std::string firstWrong;
    for (int pair = 0; pair < 120; ++pair) {
        const fs::path& file = files[random() % files.size()];
        std::vector<std::string> oldLines;
        try {
            oldLines = io::LoadSourceLines(file.string());
        } catch (const std::exception&) {
            ++skipped;
            continue;
        }
        if (oldLines.size() < 10) {
            ++skipped;
            continue;
        }
        auto newLines = oldLines;
        for (int edits = 0; edits < 6; ++edits) {
            const size_t at = random() % newLines.size();
            const std::string& other = oldLines[random() % oldLines.size()];
            switch (random() % 3) {
            case 0: newLines[at] = other; break;
            case 1:
                newLines.insert(newLines.begin() + static_cast<std::ptrdiff_t>(at), other);
                break;
            default:
                if (newLines.size() > 1)
                    newLines.erase(newLines.begin() + static_cast<std::ptrdiff_t>(at));
            }
        }
        const Outcome o = CheckPair(oldLines, newLines);
        if (o == Outcome::Wrong && firstWrong.empty()) firstWrong = file.string();
        (o == Outcome::Exact ? exact : o == Outcome::Wrong ? wrong : skipped)++;
    }
    std::cout << "merged sources giving both versions: " << exact << " of " << exact + wrong << " ("
              << skipped << " pairs skipped)\n";
    EXPECT_EQ(wrong, 0) << "first: " << firstWrong;
    EXPECT_GT(exact, 60);
}
