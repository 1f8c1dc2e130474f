// Which declarations the comparison takes for one renamed or moved declaration, and which it
// leaves apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diff/compare_sources.h"
#include "diff/decl_pairing.h"
#include "io/source_file.h"

namespace {

using namespace quennet;

diff::ComparisonResult
Compare(const std::string& oldText, const std::string& newText,
        model::ParseOptions reading = model::ParseOptions(model::Dialect::Delphi)) {
    return diff::CompareSources({io::ToCrLfText(oldText), "old.pas"},
                                {io::ToCrLfText(newText), "new.pas"}, {}, reading);
}

// "Old->New" for a rename, "A.M=>B" for a move; "*" marks a changed one.
std::vector<std::string> PairsOf(const diff::DeclPairing& pairing) {
    std::vector<std::string> out;
    for (const diff::DeclPair& p : pairing.Pairs())
        out.push_back((p.moved ? p.oldOwner->Name + "." + p.oldDecl->Name + "=>" + p.newOwner->Name
                               : p.oldDecl->Name + "->" + p.newDecl->Name) +
                      (p.changed ? "*" : ""));
    return out;
}

std::string Unit(const std::string& interface, const std::string& implementation) {
    return "unit U;\ninterface\n" + interface + "\nimplementation\n" + implementation + "\nend.\n";
}

const char kLongBody[] = "begin\n"
                         "  Total := 0;\n"
                         "  for I := 0 to Count - 1 do\n"
                         "    Total := Total + Items[I] * Weight;\n"
                         "  if Total > Limit then\n"
                         "    Total := Limit;\n"
                         "  Result := Total;\n"
                         "end;\n";

std::string WithBody(const std::string& heading, std::string body) {
    return heading + "\n" + body;
}

struct PairingCase {
    const char* name;
    std::string oldText, newText;
    std::vector<std::string> pairs;
};

class Pairing : public ::testing::TestWithParam<PairingCase> {};

TEST_P(Pairing, FindsTheExpectedPairs) {
    const PairingCase& c = GetParam();
    const auto r = Compare(c.oldText, c.newText);
    ASSERT_TRUE(r.pairing);
    EXPECT_EQ(PairsOf(*r.pairing), c.pairs);
}

std::string Edited(std::string body, const std::string& from, const std::string& to) {
    body.replace(body.find(from), from.size(), to);
    return body;
}

const PairingCase kCases[] = {
    {"RoutineRenamed",
     Unit("function Sum: Integer;", WithBody("function Sum: Integer;", kLongBody)),
     Unit("function Total: Integer;", WithBody("function Total: Integer;", kLongBody)),
     {"Sum->Total"}},
    // The name also in the body (a recursive call) still pairs exactly.
    {"RecursiveRoutine",
     Unit("procedure Walk(N: Integer);",
          "procedure Walk(N: Integer);\nbegin\n  if N > 0 then Walk(N - 1);\nend;"),
     Unit("procedure Visit(N: Integer);",
          "procedure Visit(N: Integer);\nbegin\n  if N > 0 then Visit(N - 1);\nend;"),
     {"Walk->Visit"}},
    {"OneTokenOfTheBodyChanged",
     Unit("function Sum: Integer;", WithBody("function Sum: Integer;", kLongBody)),
     Unit("function Total: Integer;",
          WithBody("function Total: Integer;",
                   Edited(kLongBody, "Total > Limit", "Total >= Limit"))),
     {"Sum->Total*"}},
    {"BodyRewritten",
     Unit("function Sum: Integer;", WithBody("function Sum: Integer;", kLongBody)),
     Unit("function Total: Integer;",
          "function Total: Integer;\nbegin\n  Result := Length(Items);\nend;"),
     {}},
    // Two equal candidates for one new routine: neither is taken.
    {"TiesLeftApart",
     Unit("procedure A;\nprocedure B;", "procedure A;\nbegin\n  Beep;\nend;\n"
                                        "procedure B;\nbegin\n  Beep;\nend;"),
     Unit("procedure C;", "procedure C;\nbegin\n  Beep;\nend;"),
     {}},
    {"OverloadsByParameterList",
     Unit("procedure Put(X: Integer); overload;\nprocedure Put(X: string); overload;",
          "procedure Put(X: Integer);\nbegin\nend;\nprocedure Put(X: string);\nbegin\nend;"),
     Unit("procedure Store(X: Integer); overload;\nprocedure Store(X: Double); overload;",
          "procedure Store(X: Integer);\nbegin\nend;\nprocedure Store(X: Double);\nbegin\nend;"),
     {"Put(Integer)->Store(Integer)"}},
    {"VariableOfAType",
     Unit("var\n  Count: Integer;\n  Name: string;", ""),
     Unit("var\n  Total: Integer;\n  Name: string;", ""),
     {"Count->Total"}},
    {"VariablesOfOneTypeTie",
     Unit("var\n  A: Integer;\n  B: Integer;", ""),
     Unit("var\n  C: Integer;", ""),
     {}},
    {"MethodMovedToAnotherClass",
     Unit("type\n  TA = class\n    procedure Run;\n  end;\n  TB = class\n    procedure Stop;\n  "
          "end;",
          "procedure TA.Run;\nbegin\n  Beep;\nend;\nprocedure TB.Stop;\nbegin\nend;"),
     Unit("type\n  TA = class\n  end;\n  TB = class\n    procedure Stop;\n    procedure Run;\n  "
          "end;",
          "procedure TB.Run;\nbegin\n  Beep;\nend;\nprocedure TB.Stop;\nbegin\nend;"),
     {"TA.Run=>TB"}},
    {"MemberRenamedInItsClass",
     Unit("type\n  TA = class\n    FCount: Integer;\n    procedure Run;\n  end;",
          "procedure TA.Run;\nbegin\n  Beep;\nend;"),
     Unit("type\n  TA = class\n    FTotal: Integer;\n    procedure Start;\n  end;",
          "procedure TA.Start;\nbegin\n  Beep;\nend;"),
     {"FCount->FTotal", "Run->Start"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, Pairing, ::testing::ValuesIn(kCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(PairingLookup, AnswersForHeadingsAndBodies) {
    const auto r = Compare(Unit("procedure Old;", "procedure Old;\nbegin\n  Beep;\nend;"),
                           Unit("procedure New;", "procedure New;\nbegin\n  Beep;\nend;"));
    ASSERT_TRUE(r.pairing);
    const model::TidProc* o = r.oldSource->Procs[0].get();
    const model::TidProc* n = r.newSource->Procs[0].get();
    ASSERT_NE(r.pairing->ForNew(n), nullptr);
    EXPECT_EQ(r.pairing->ForNew(n)->oldDecl, o);
    EXPECT_EQ(r.pairing->ForNew(n->Implementation.get()), r.pairing->ForNew(n));
    EXPECT_EQ(r.pairing->ForOld(o)->newDecl, n);
    EXPECT_EQ(r.pairing->ForOld(n), nullptr);
}

TEST(PairingChoice, ClassicAndNoRenamesLeaveRenamesApart) {
    const std::string a = Unit("procedure Old;", "procedure Old;\nbegin\nend;");
    const std::string b = Unit("procedure New;", "procedure New;\nbegin\nend;");
    EXPECT_FALSE(Compare(a, b, model::ParseOptions(model::Dialect::Classic)).pairing);
    model::ParseOptions off(model::Dialect::Delphi);
    off.renames = model::ParseOptions::Renames::Off;
    const auto r = Compare(a, b, off);
    EXPECT_FALSE(r.pairing);
    EXPECT_EQ(r.diff->Root.Items(0)->Children.Count(), 2u); // removed and added
    model::ParseOptions on(model::Dialect::Classic);
    on.renames = model::ParseOptions::Renames::On;
    const auto classic = Compare(a, b, on);
    ASSERT_TRUE(classic.pairing);
    EXPECT_EQ(classic.pairing->Pairs().size(), 1u);
}

} // namespace
