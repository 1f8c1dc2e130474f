// Golden cases of the source model: tests/cases/model-*/ hold input.pas, an optional
// defines.txt (one symbol per line; absent: VER130, WIN32, CPU386) and model.txt, the expected
// model written by hand, and an optional dialect.txt (absent: classic). Checksums in model.txt are
// written as the token texts they cover
// ("sum: procedure Foo ;"; "<empty>" stands for the empty text that the parse's first Get
// counts); the runner turns them into numbers with its own CRC-32, so a case
// states exactly which tokens each checksum spans. On a mismatch the rendering of the actual
// model is written to model.txt.actual next to the expected file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "golden_file.h"
#include "io/source_file.h"
#include "model/source_model.h"
#include "pascal/parse.h"

namespace fs = std::filesystem;
using namespace quennet::model;
using namespace quennet::io;

namespace {

// Bitwise CRC-32 without final inversion, independent of the engine's table.
uint32_t TokenCrc(const std::string& token) {
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : token) {
        if (b >= 'a' && b <= 'z') b -= 32;
        c ^= b;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    }
    return c;
}

// Tokens separated by blanks; a quoted literal may hold blanks.
uint32_t SumOfTokens(const std::string& list) {
    uint32_t sum = 0;
    size_t i = 0;
    while (i < list.size()) {
        if (list[i] == ' ') {
            ++i;
            continue;
        }
        size_t j = i;
        if (list[i] == '\'') {
            ++j;
            while (j < list.size() && list[j] != '\'')
                ++j;
            ++j;
        } else {
            while (j < list.size() && list[j] != ' ')
                ++j;
        }
        std::string token = list.substr(i, j - i);
        sum += TokenCrc(token == "<empty>" ? std::string() : token); // the parse's first Get
        i = j;
    }
    return sum;
}

// The folder of the case being rendered: paths of include files are shown relative to it.
std::string gCaseDir;

std::string Relative(std::string text) {
    for (size_t at; !gCaseDir.empty() && (at = text.find(gCaseDir)) != std::string::npos;)
        text.erase(at, gCaseDir.size());
    return text;
}

std::string Lines(const TidName& d) {
    return std::to_string(d.FirstLine) + "-" + std::to_string(d.LastLine) +
           (d.File.empty() ? "" : " in " + Relative(std::string(std::string_view(d.File))));
}

std::string Quote(const std::string& s) {
    return "\"" + s + "\"";
}

// Renders the model; sums are numbers.
std::vector<std::string> Render(const TPasSrc& m) {
    std::vector<std::string> out;
    auto sum = [](uint32_t v) { return " sum=" + std::to_string(v); };
    auto proc = [&](const char* tag, const TidProc& p) {
        out.push_back(std::string(tag) + " " + p.Name + " " + Lines(p) + " text " + Quote(p.Text) +
                      sum(p.Checksum));
        if (p.Implementation)
            out.push_back("  impl " + Lines(*p.Implementation) + sum(p.Implementation->Checksum));
    };
    out.push_back("module " + m.Name + sum(m.Checksum));
    for (const auto& t : m.Types)
        out.push_back("type " + t->Name + " " + Lines(*t) + " text " + Quote(t->Text) +
                      sum(t->Checksum));
    for (const auto& c : m.Classes) {
        out.push_back("class " + c->Name + " kind " + c->Kind + " anc " + Quote(c->Ancestors) +
                      " " + Lines(*c));
        for (const auto& f : c->Fields)
            out.push_back("  field " + f->Name + " " + Lines(*f) + " type " + Quote(f->TypeText) +
                          sum(f->Checksum));
        for (const auto& p : c->Methods)
            proc("  method", *p);
        for (const auto& p : c->Props)
            out.push_back("  prop " + p->Name + " " + Lines(*p) + " text " + Quote(p->Text) +
                          sum(p->Checksum));
    }
    for (const auto& p : m.Procs)
        proc("proc", *p);
    for (const auto& v : m.Consts)
        out.push_back("const " + v->Name + " " + Lines(*v) + " type " + Quote(v->TypeText) +
                      sum(v->Checksum) + " value=" + std::to_string(v->ValueChecksum));
    for (const auto& v : m.Vars)
        out.push_back("var " + v->Name + " " + Lines(*v) + " type " + Quote(v->TypeText) +
                      sum(v->Checksum) + " value=" + std::to_string(v->ValueChecksum));
    out.push_back("init " + Lines(*m.Initialization) + sum(m.Initialization->Checksum));
    out.push_back("final " + Lines(*m.Finalization) + sum(m.Finalization->Checksum));
    if (m.MainBlock->FirstLine >= 0)
        out.push_back("main " + Lines(*m.MainBlock) + sum(m.MainBlock->Checksum));
    out.push_back(std::string("complete ") + (m.Status.Complete ? "yes" : "no"));
    for (const auto& note : m.Status.Notes)
        out.push_back("note " + Relative(note));
    return out;
}

// The expected file with "sum: tokens" and "value: tokens" turned into numbers. A line may
// carry both: "... sum: <type tokens> value: <value tokens>". "sum: *" is not checked.
std::vector<std::string> LoadExpected(const fs::path& file, uint32_t actualModuleSum) {
    std::ifstream in(file);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        size_t v = line.find(" value:");
        std::string value;
        if (v != std::string::npos) {
            value = line.substr(v + 7);
            line.erase(v);
        }
        size_t s = line.find(" sum:");
        if (s != std::string::npos) {
            std::string tokens = line.substr(s + 5);
            uint32_t n = tokens == " *" ? actualModuleSum : SumOfTokens(tokens);
            line = line.substr(0, s) + " sum=" + std::to_string(n);
        }
        if (v != std::string::npos) line += " value=" + std::to_string(SumOfTokens(value));
        out.push_back(line);
    }
    return out;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines)
        s += l + "\n";
    return s;
}

} // namespace

TEST(GoldenModel, EveryCaseMatches) {
    auto cases = quennet::testing::CaseFolders("model-");
    ASSERT_FALSE(cases.empty());
    for (const auto& dir : cases) {
        SCOPED_TRACE(dir.filename().string());
        std::vector<std::string> symbols = {"VER130", "WIN32", "CPU386"};
        if (fs::exists(dir / "defines.txt"))
            symbols = LoadSourceLines((dir / "defines.txt").string());
        // The dialect is classic unless dialect.txt names another.
        Dialect dialect = Dialect::Classic;
        if (fs::exists(dir / "dialect.txt"))
            dialect =
                DialectFromName(LoadSourceLines((dir / "dialect.txt").string()).at(0)).value();
        // target.txt names a compiler target whose symbols come before defines.txt's.
        ParseOptions reading(dialect, (dir / "input.pas").string());
        if (fs::exists(dir / "target.txt")) {
            reading.target = LoadSourceLines((dir / "target.txt").string()).at(0);
            reading.targetSymbols = true;
            if (!fs::exists(dir / "defines.txt")) symbols.clear();
        }
        gCaseDir = dir.string() + "/";
        TPasSrc model;
        quennet::pascal::Parse(model, JoinLinesCrLf(LoadSourceLines((dir / "input.pas").string())),
                               &symbols, reading);
        std::string actual = Join(Render(model));
        std::string expected = Join(LoadExpected(dir / "model.txt", model.Checksum));
        if (actual != expected) {
            std::ofstream(dir / "model.txt.actual") << actual;
            std::ofstream(dir / "model.txt.expected-numbers") << expected;
        } else {
            fs::remove(dir / "model.txt.actual");
            fs::remove(dir / "model.txt.expected-numbers");
        }
        quennet::testing::ExpectSameText(expected, actual, (dir / "model.txt").string());
        // A file the classic reading follows fully, without directives that the modern
        // readings evaluate differently, gives the delphi reading the same model; a program or
        // library gives it more, its own routines and types, among the same lines.
        const std::string text = JoinLinesCrLf(LoadSourceLines((dir / "input.pas").string()));
        const std::string head = text.substr(0, 8);
        const bool program = head.starts_with("program") || head.starts_with("library");
        // Overloads are kept apart there, so files with them are left out.
        if (dialect == Dialect::Classic && model.Status.Complete &&
            text.find("{$I") == std::string::npos && text.find("{$ELSEIF") == std::string::npos &&
            text.find("overload") == std::string::npos) {
            TPasSrc modern;
            quennet::pascal::Parse(modern, text, &symbols, {Dialect::Delphi, {}, {}});
            const std::vector<std::string> more = Render(modern), same = Render(model);
            if (!program) {
                EXPECT_EQ(Join(more), actual) << "the delphi reading differs";
            } else {
                EXPECT_GT(more.size(), same.size()) << "the program's declarations are missing";
                auto at = more.begin();
                for (const auto& line : same) {
                    at = std::find(at, more.end(), line);
                    EXPECT_NE(at, more.end()) << "the delphi reading lacks " << line;
                    if (at != more.end()) ++at;
                }
            }
        }
    }
}
