// Overloads in the modern readings: the parameter list that identifies one, and which
// declaration each body joins.
#include <gtest/gtest.h>

#include "diff/source_diff.h"
#include "io/source_file.h"
#include "model/source_model.h"
#include "pascal/parse.h"
#include "render/diff_tree_format.h"

using namespace quennet;
using model::ParameterSignature;

TEST(OverloadIdentity, ParameterSignatures) {
    struct Case {
        const char* heading;
        const char* signature; // null: the heading has no list
    } cases[] = {
        {"procedure A;", nullptr},
        {"function F: Integer; overload;", nullptr},
        {"procedure A();", ""},
        {"procedure A(const X, Y: Integer; var Z; out S: string = 'a;b');",
         "const Integer, const Integer, var, out string"},
        {"procedure A(x: ARRAY  of integer {a; b: c}; P: TList < Integer >);",
         "ARRAY of integer, TList<Integer>"},
        {"procedure A(X: Integer // note: Y\r\n; (* ) *) Y: Byte);", "Integer, Byte"},
        {"[Attr(1)] procedure A(B: TFunc<Integer, string>; C: Byte = Ord(')'));",
         "TFunc<Integer,string>, Byte"},
        {"procedure A(constref X: Integer; [ref] const Y: TRec);", "constref Integer, const TRec"},
        {"function TList<T>.Add(const Item: T): Integer;", "const T"},
        {"procedure A(\r\n  const X ,Y :\tInteger;\r\n  S : string = 'a  b' );",
         "const Integer, const Integer, string"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        const auto sig = ParameterSignature(c.heading);
        ASSERT_EQ(sig.has_value(), c.signature != nullptr);
        if (sig) {
            EXPECT_EQ(*sig, c.signature);
        }
        // The model works out the list of a heading without comments from its collapsed text.
        const std::string_view h = c.heading;
        if (h.find_first_of("{/") == h.npos && h.find("(*") == h.npos) {
            EXPECT_EQ(ParameterSignature(model::CollapseBlanks(h)), sig);
        }
    }
}

namespace {

const std::vector<std::string> kSymbols{"VER130", "WIN32", "CPU386"};

std::unique_ptr<model::TPasSrc> Parse(const char* text, model::Dialect dialect) {
    auto src = std::make_unique<model::TPasSrc>();
    pascal::Parse(*src, io::ToCrLfText(text), &kSymbols, {dialect, "u.pas", {}});
    return src;
}

// Name and first body line of each routine, in model order.
std::vector<std::pair<std::string, int>> Bodies(const model::TPasSrc& src) {
    std::vector<std::pair<std::string, int>> out;
    for (const auto& p : src.Procs)
        out.emplace_back(p->Name, p->Implementation ? p->Implementation->FirstLine : -1);
    return out;
}

} // namespace

TEST(OverloadIdentity, BodiesJoinTheDeclarationTheyRepeat) {
    const char* text = "unit U;\n"
                       "interface\n"
                       "function Half(X: Integer): Integer; overload;\n"     // 3
                       "function Half(const S: string): string; overload;\n" // 4
                       "procedure Once(A: TAlias);\n"                        // 5
                       "implementation\n"
                       "function Half(const s: STRING): string;\n" // 7
                       "begin end;\n"
                       "function Half(X: Integer): Integer;\n" // 9
                       "begin end;\n"
                       "procedure Once(A: TOriginal);\n" // 11: another spelling of the type
                       "begin end;\n"
                       "procedure Local(B: Byte); begin end;\n" // 13: overloads declared with
                       "procedure Local(W: Word); begin end;\n" // 14: their bodies only
                       "end.\n";
    const std::vector<std::pair<std::string, int>> modern = {
        {"Half(const string)", 7}, {"Half(Integer)", 9}, {"Local(Byte)", 13},
        {"Local(Word)", 14},       {"Once", 11},
    };
    EXPECT_EQ(Bodies(*Parse(text, model::Dialect::Delphi)), modern);
    // The classic reading has one entry per name; the last body wins.
    const std::vector<std::pair<std::string, int>> classic = {
        {"Half", 9}, {"Local", 14}, {"Once", 11}};
    EXPECT_EQ(Bodies(*Parse(text, model::Dialect::Classic)), classic);
}

// A name declared once pairs with the overload of the other file that has its parameters.
TEST(OverloadIdentity, ASingleDeclarationPairsWithTheOverloadOfItsList) {
    const auto once = Parse("unit U;\ninterface\nprocedure P(A: Integer);\nimplementation\n"
                            "procedure P(A: Integer);\nbegin\nend;\nend.\n",
                            model::Dialect::Delphi);
    const auto twice = Parse("unit U;\ninterface\nprocedure P(A: Integer); overload;\n"
                             "procedure P(S: string); overload;\nimplementation\nend.\n",
                             model::Dialect::Delphi);
    const diff::TSourceDiff diff(*once, *twice);
    const std::vector<std::string> tree = render::FormatDiffTree(diff.Root);
    ASSERT_EQ(tree.size(), 4u);
    EXPECT_EQ(tree[1].substr(0, tree[1].find('\t')), "  P(Integer)");
    EXPECT_EQ(tree[2].substr(0, tree[2].find('\t')), "    implementation");
    EXPECT_EQ(tree[3].substr(0, tree[3].find('\t')), "  P(string)");
}
