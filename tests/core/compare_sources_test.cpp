// The one comparison's verdict and the window's message for the cases that must never read as
// "equivalent".
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "diff/compare_sources.h"
#include "io/source_file.h"
#include "render/report_writer.h"

using namespace quennet;
using diff::CompareSources;

namespace {

const std::vector<std::string> kSymbols{"VER130", "WIN32", "CPU386"};

const char kGood[] = "unit U;\ninterface\nprocedure A;\nimplementation\n"
                     "procedure A;\nbegin\nend;\nend.\n";
const char kChanged[] = "unit U;\ninterface\nprocedure A;\nprocedure B;\nimplementation\n"
                        "procedure A;\nbegin\nend;\nprocedure B;\nbegin\nend;\nend.\n";
const char kBroken[] = "unit U;\ninterface\nprocedure A;\nimplementation\n"
                       "procedure A;\nbegin\nend;\n= = ;\nend.\n";
const char kUsesOnly[] = "unit U;\ninterface\nuses SysUtils;\nprocedure A;\nimplementation\n"
                         "procedure A;\nbegin\nend;\nend.\n";
const char kBrokenOtherwise[] = "unit U;\ninterface\nprocedure A;\nimplementation\n"
                                "procedure A;\nbegin\nend;\n= = = ;\nend.\n";

diff::ComparisonResult Compare(const char* oldText, const char* newText) {
    return CompareSources({io::ToCrLfText(oldText), "old.pas"},
                          {io::ToCrLfText(newText), "new.pas"}, kSymbols);
}

} // namespace

TEST(CompareSources, VerdictAndMessage) {
    struct Case {
        const char* oldText;
        const char* newText;
        bool equivalent;
        const char* messageStart; // "" when no message is shown
    } cases[] = {
        {kGood, kGood, true, diff::kEquivalentSentence},
        {kBroken, kBroken, true, diff::kEquivalentSentence},
        {kGood, kChanged, false, ""},
        {kGood, kUsesOnly, false, diff::kDiffersOutsideSentence},
        // Equal trees, but the parse lost the structure on one or both sides differently.
        {kBroken, kBrokenOtherwise, false, "No structural differences were found, but"},
        {kGood, kBroken, false, "No structural differences were found, but"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.oldText) + "|" + c.newText);
        const auto r = Compare(c.oldText, c.newText);
        EXPECT_EQ(r.equivalent, c.equivalent);
        const auto report = render::ReportOf(r).lines;
        EXPECT_EQ(r.equivalent, report.back() == diff::kEquivalentSentence);
        const std::string message = diff::OutcomeMessage(r);
        EXPECT_EQ(message.rfind(c.messageStart, 0), 0u) << message;
        if (*c.messageStart == '\0') {
            EXPECT_EQ(message, "");
        }
        if (r.diff->Root.Count() == 0 && r.oldSource->Checksum != r.newSource->Checksum) {
            EXPECT_NE(std::find(report.begin(), report.end(), "* source change (unknown)"),
                      report.end());
        }
        if (r.equivalent || message.empty()) continue;
        for (const auto& note : r.stopNotes)
            EXPECT_NE(message.find(note.text), std::string::npos) << message;
    }
}

// An implementation heading changed alone (a parameter list left out, a directive added): the
// modern readings show its routine's body as changed; the classic one keeps its tree, where
// only the verdict tells the files apart.
TEST(CompareSources, ImplementationHeadingChangeLandsOnItsRoutine) {
    const std::string unit = "unit U;\ninterface\nprocedure A(X: Integer);\nimplementation\n";
    const std::string body = "\nbegin\nend;\nend.\n";
    const std::string oldText = io::ToCrLfText(unit + "procedure A(X: Integer);" + body);
    for (const char* heading : {"procedure A;", "procedure A(X: Integer); stdcall;"}) {
        const std::string newText = io::ToCrLfText(unit + heading + body);
        for (auto dialect :
             {model::Dialect::Classic, model::Dialect::Delphi, model::Dialect::Fpc}) {
            SCOPED_TRACE(std::string(heading) + " " + std::to_string(static_cast<int>(dialect)));
            const auto r = CompareSources({oldText, "old.pas"}, {newText, "new.pas"}, kSymbols,
                                          model::ParseOptions(dialect));
            EXPECT_FALSE(r.equivalent);
            if (dialect == model::Dialect::Classic) {
                EXPECT_EQ(r.diff->Root.Count(), 0u);
                continue;
            }
            ASSERT_EQ(r.diff->Root.Count(), 1u);
            const diff::TSourceDiffList& routines = r.diff->Root.Items(0)->Children;
            ASSERT_EQ(routines.Count(), 1u);
            const diff::TSourceDiffItem& a = *routines.Items(0);
            EXPECT_EQ(a.Caption, "A");
            EXPECT_EQ(a.State, diff::Changed);
            ASSERT_NE(a.NewDecl, nullptr);
            EXPECT_EQ(a.NewDecl->FirstLine, 5); // the implementation's heading
            const auto report = render::ReportOf(r).lines;
            EXPECT_NE(std::find(report.begin(), report.end(), "* A - change implementation"),
                      report.end());
        }
    }
}

// A Free Pascal macro's text is read again where the macro is used, far below its definition:
// giving back the text the parse passed must keep it.
TEST(CompareSources, MacroTextsOutliveTheTextGivenBack) {
    std::string body;
    for (int i = 0; i < 12000; ++i) {
        body += "  C" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
        // Past the first pages, which a release in whole pages may keep.
        if (i == 1000) body += "{$define PAIR := Integer, string}\n";
    }
    const std::string unit = "unit U;\n{$mode objfpc}\ninterface\nconst\n" + body +
                             "type\n  TPair = specialize TFPGMap<PAIR>;\n"
                             "implementation\nend.\n";
    std::string typeTexts[2];
    for (int release = 0; release < 2; ++release) {
        std::string a = unit, b = unit; // given back: read no more
        diff::SourceText oldSide(a, "old.pas"), newSide(b, "new.pas");
        oldSide.releaseAsRead = newSide.releaseAsRead = release > 0;
        const diff::ComparisonResult r =
            CompareSources(oldSide, newSide, kSymbols, model::ParseOptions(model::Dialect::Fpc));
        ASSERT_TRUE(r.equivalent);
        ASSERT_EQ(r.newSource->Types.size(), 1u);
        typeTexts[release] =
            r.newSource->Types[0]->Text + ' ' + std::to_string(r.newSource->Types[0]->Checksum);
    }
    EXPECT_EQ(typeTexts[1], typeTexts[0]);
}

// A comparison that gives back its texts as the parse passes them reads the same declarations
// (attributes waiting for theirs included) and, after a stop, the same lines as one that keeps
// them, whether it keeps line keys or reads the text again, and whether or not include files
// are spliced in. Over 1 MB a text, so that memory is given back in every build.
TEST(CompareSources, TextsGivenBackAsReadGiveTheSameResult) {
    std::string decls, types = "type\n", consts = "const\n", vars = "var\n", bodies;
    for (int i = 0; i < 16000; ++i) {
        const std::string n = std::to_string(i);
        decls += "[Attr(" + n + ",\n  'x')]\nprocedure P" + n + "(A: Integer; const B: string);\n";
        bodies += "procedure P" + n + "(A: Integer; const B: string);\nbegin\n  A := A + " + n +
                  ";\nend;\n\n";
        if (i % 4 != 0) continue;
        types += "  [Attr(" + n + ")]\n  T" + n + " = class\n    procedure M" + n +
                 ";\n  end;\n  R" + n + " = record X: Integer; end;\n";
        consts += "  [Attr]\n  C" + n + " = " + n + ";\n";
        vars += "  V" + n + ": Integer;\n";
    }
    const std::string unit = io::ToCrLfText("unit U;\ninterface\n" + decls + types + consts + vars +
                                            "implementation\n" + bodies + "end.\n");
    auto edited = [&unit](const std::string& at, const std::string& line) {
        std::string text = unit;
        text.insert(text.find(at), line + "\r\n");
        return text;
    };
    const std::string changed = edited("procedure P9000(A", "procedure Q;");
    const std::string broken =
        edited("procedure P15000(A: Integer; const B: string);\r\nbegin", "= = ;");
    // An include directive has the text copied with the files spliced in, and given back as
    // it is copied; the file is not there, which still makes the copy.
    auto including = [](std::string text) {
        return text.insert(text.find("interface\r\n") + 11, "{$I missing.inc}\r\n");
    };
    const std::string unitIncluding = including(unit), changedIncluding = including(changed);
    const std::pair<const std::string*, const std::string*> pairs[] = {
        {&unit, &changed}, {&broken, &changed}, {&unitIncluding, &changedIncluding}};
    for (const auto& [oldText, newText] : pairs) {
        diff::ComparisonResult results[3];
        int readAgain = 0;
        const std::string* const oldWhole = oldText;
        const std::string* const newWhole = newText;
        for (int release = 0; release < 3; ++release) {
            std::string a = *oldText, b = *newText; // given back: read no more
            diff::SourceText oldSide(a, "old.pas"), newSide(b, "new.pas");
            oldSide.releaseAsRead = newSide.releaseAsRead = release > 0;
            if (release == 2) {
                oldSide.readAgain = [&readAgain, oldWhole] { return ++readAgain, *oldWhole; };
                newSide.readAgain = [&readAgain, newWhole] { return ++readAgain, *newWhole; };
            }
            results[release] = CompareSources(oldSide, newSide, kSymbols,
                                              model::ParseOptions(model::Dialect::Delphi));
        }
        // Read again, both of them, only for the lines after a stop.
        EXPECT_EQ(readAgain, results[2].stopNotes.empty() ? 0 : 2);
        auto texts = [](const diff::ComparisonResult& r) {
            std::string all;
            auto add = [&all](const model::TidName& d, const std::string& text) {
                all += d.Name + ' ' + std::to_string(d.Checksum) + ' ' +
                       std::to_string(d.FirstLine) + '-' + std::to_string(d.LastLine) + ' ' + text +
                       '\n';
            };
            for (const auto* src : {r.oldSource.get(), r.newSource.get()}) {
                for (const auto& p : src->Procs)
                    add(*p, p->Text);
                for (const auto& t : src->Types)
                    add(*t, t->Text);
                for (const auto& c : src->Classes) {
                    add(*c, c->Kind);
                    for (const auto& m : c->Methods)
                        add(*m, m->Text);
                }
                for (const auto* list : {&src->Consts, &src->Vars})
                    for (const auto& v : *list)
                        add(*v, v->TypeText + std::to_string(v->ValueChecksum));
            }
            return all;
        };
        for (int release = 1; release < 3; ++release) {
            EXPECT_EQ(texts(results[0]), texts(results[release]));
            EXPECT_EQ(render::ReportOf(results[0]).lines, render::ReportOf(results[release]).lines);
            EXPECT_EQ(results[0].equivalent, results[release].equivalent);
            EXPECT_FALSE(results[release].equivalent);
        }
        if (oldText == &broken) {
            // The lines after the stop come from the lines given back.
            const auto report = render::ReportOf(results[1]).lines;
            EXPECT_TRUE(std::any_of(report.begin(), report.end(), [](const std::string& line) {
                return line.find("Text, lines") != line.npos;
            }));
        }
    }
}

// Sides read by the comparison, on two threads or in turn: the same result, and when a side
// cannot be read, the old side's error first.
TEST(CompareSources, SidesReadInTurnOrTogether) {
    auto loader = [](const char* text, const char* name, bool fails) {
        return [=](std::string& storage) {
            if (fails) throw std::runtime_error(std::string("cannot read ") + name);
            storage = io::ToCrLfText(text);
            return diff::SourceText(storage, name);
        };
    };
    for (const bool oneThread : {false, true}) {
        SCOPED_TRACE(oneThread ? "in turn" : "together");
        const auto r =
            CompareSources(loader(kGood, "old.pas", false), loader(kChanged, "new.pas", false),
                           kSymbols, {}, {}, oneThread);
        EXPECT_FALSE(r.equivalent);
        EXPECT_EQ(r.oldSource->Procs.size(), 1u);
        EXPECT_EQ(r.newSource->Procs.size(), 2u);
        EXPECT_EQ(r.oldName, "old.pas");
        for (const auto& [oldFails, newFails, error] :
             {std::tuple{true, true, "cannot read old.pas"},
              std::tuple{true, false, "cannot read old.pas"},
              std::tuple{false, true, "cannot read new.pas"}}) {
            try {
                CompareSources(loader(kGood, "old.pas", oldFails),
                               loader(kGood, "new.pas", newFails), kSymbols, {}, {}, oneThread);
                ADD_FAILURE() << "no error for " << error;
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), error);
            }
        }
    }
}
