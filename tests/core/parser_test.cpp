// The parser core and the directive handling, through the model they build: silent and counted
// syntax errors, conditional compilation, end-of-text marks and bounds on hostile input. That
// checksums ignore layout and where a parse stops are the golden cases' (model-*, diff-01,
// diff-12 to diff-14).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/source_model.h"
#include "pascal/parse.h"

using namespace quennet::model;

namespace {

const std::vector<std::string> kDefaults = {"VER130", "WIN32", "CPU386"};

std::unique_ptr<TPasSrc> Parsed(const std::string& text,
                                const std::vector<std::string>& symbols = kDefaults) {
    auto m = std::make_unique<TPasSrc>();
    quennet::pascal::Parse(*m, text, &symbols);
    return m;
}

std::string Unit(const std::string& interface, const std::string& implementation = "") {
    return "unit U;\r\ninterface\r\n" + interface + "\r\nimplementation\r\n" + implementation +
           "\r\nend.\r\n";
}

} // namespace

TEST(Parser, SyntaxErrorsAreSilentAndReportedOncePerRun) {
    // A valid unit that goes through many failing trials reports nothing.
    const auto ok = Parsed(Unit("type T = record A: Integer; B: string; end;\r\n"
                                "const P: TPoint = (X: 1; Y: 2);\r\nvar S: string[10];"));
    EXPECT_EQ(ok->Status.ErrorCount, 0);
    EXPECT_TRUE(ok->Status.Complete);
    // Four misses in a row: only the first is counted, because fewer than two tokens were
    // consumed between them.
    const auto bad = Parsed("unit U;\r\ninterface\r\nvar ,;\r\nimplementation\r\nend.");
    EXPECT_EQ(bad->Status.ErrorCount, 1);
    EXPECT_EQ(bad->Status.FirstErrorLine, 3);
    EXPECT_FALSE(bad->Status.Complete);
    EXPECT_TRUE(bad->Status.ReachedFinalDot);
    // An unexpected first token: nothing is parsed; the checksum is that of the empty text.
    const auto none = Parsed("garbage here");
    EXPECT_EQ(none->Checksum, 0xFFFFFFFFu);
    EXPECT_FALSE(none->Status.Complete);
}

TEST(Parser, DirectivesOfOneFileDoNotReachTheNext) {
    std::vector<std::string> symbols = kDefaults;
    const auto first = Parsed(Unit("{$DEFINE EXTRA}{$UNDEF WIN32}const A = 1;"), symbols);
    EXPECT_EQ(first->Consts.size(), 1u);
    const auto second = Parsed(Unit("{$IFDEF EXTRA}const B = 2;{$ENDIF}"
                                    "{$IFDEF WIN32}const C = 3;{$ENDIF}"),
                               symbols);
    ASSERT_EQ(second->Consts.size(), 1u);
    EXPECT_EQ(second->Consts[0]->Name, "C");
    EXPECT_EQ(symbols, kDefaults);
}

TEST(Parser, DirectivesAreFoundWithoutBlanksAndInAnyCase) {
    // {$ENDIF} right after the IFDEF's brace is found; blanks after "{$" make an ordinary
    // comment; "{$IFDEFWIN32}" is IFDEF with the name WIN32.
    const auto m =
        Parsed(Unit("{$ifdef NOPE}{$endif}const A = 1;\r\n{$ IFDEF NOPE}const B = 2;"
                    "{$IFDEFWIN32}const C = 3;{$ENDIF}{$IFDEFNOPE}const D = 4;{$ENDIF}"));
    std::vector<std::string> names;
    for (const auto& c : m->Consts)
        names.push_back(c->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C"}));
    // A missing ENDIF excludes the rest of the text.
    const auto open = Parsed(Unit("const A = 1;\r\n{$IFDEF NOPE}\r\nconst B = 2;"));
    EXPECT_EQ(open->Consts.size(), 1u);
    EXPECT_FALSE(open->Status.Complete);
}

TEST(Parser, ClassRoutineImplementationStartsAtTheRoutineKeyword) {
    const auto m = Parsed(Unit("type TFoo = class\r\n  class\r\n  procedure Bar;\r\nend;",
                               "class\r\nprocedure TFoo.Bar;\r\nbegin\r\nend;"));
    ASSERT_EQ(m->Classes.size(), 1u);
    const TidProc& bar = *m->Classes[0]->Methods[0];
    EXPECT_EQ(bar.FirstLine, 4); // the CLASS word's line
    EXPECT_EQ(bar.Text, "class procedure Bar;");
    ASSERT_TRUE(bar.Implementation);
    EXPECT_EQ(bar.Implementation->FirstLine, 9); // the PROCEDURE word's line
    EXPECT_EQ(bar.Implementation->LastLine, 11);
}

TEST(Parser, EndOfTextMarks) {
    // Text after a Ctrl-Z is never read; an open string runs to the end of the text.
    const auto z = Parsed(Unit("const A = 1;") + "\x1A garbage");
    EXPECT_TRUE(z->Status.Complete);
    const auto cut = Parsed("unit U;\r\ninterface\r\nconst A = 1;\x1A\r\nimplementation\r\nend.");
    EXPECT_EQ(cut->Consts.size(), 1u);
    EXPECT_FALSE(cut->Status.Complete);
    const auto open = Parsed("unit U;\r\ninterface\r\nconst S = 'abc");
    ASSERT_EQ(open->Consts.size(), 1u);
    EXPECT_FALSE(open->Status.Complete);
}

TEST(Parser, DeepNestingEndsTheParseInsteadOfTheStack) {
    const int depth = 200000;
    std::string parens =
        "const X = " + std::string(depth, '(') + "1" + std::string(depth, ')') + ";";
    const auto p = Parsed(Unit("const A = 1;\r\n" + parens));
    EXPECT_FALSE(p->Status.Complete);
    EXPECT_EQ(p->Consts.size(), 1u); // A; X was being read when the bound was reached
    std::string blocks;
    for (int i = 0; i < depth; ++i)
        blocks += "begin ";
    const auto b = Parsed(Unit("", "procedure P; " + blocks));
    EXPECT_FALSE(b->Status.Complete);
    std::string nots = "const N = ";
    for (int i = 0; i < depth; ++i)
        nots += "not ";
    const auto n = Parsed(Unit(nots + "1;"));
    EXPECT_FALSE(n->Status.Complete);
    // Moderate nesting is parsed in full.
    const auto fine =
        Parsed(Unit("const X = " + std::string(50, '(') + "1" + std::string(50, ')') + ";"));
    EXPECT_TRUE(fine->Status.Complete);
}

TEST(Parser, NestedTrialsDoNotRepeatWorkExponentially) {
    // Each call is tried before it is parsed; without memory of earlier attempts this takes
    // 2^depth steps.
    const int depth = 60;
    std::string calls;
    for (int i = 0; i < depth; ++i)
        calls += "F(";
    calls += "1" + std::string(depth, ')');
    const auto m = Parsed(Unit("const X = " + calls + ";\r\nconst Y: Integer = " + calls + ";"));
    EXPECT_TRUE(m->Status.Complete);
    EXPECT_EQ(m->Consts.size(), 2u);
    std::string records;
    for (int i = 0; i < 30; ++i)
        records += "(A: ";
    records += "1" + std::string(30, ')');
    const auto r = Parsed(Unit("const R: T = " + records + ";"));
    EXPECT_TRUE(r->Status.Complete);
    std::string relations = "1";
    for (int i = 0; i < 40; ++i)
        relations = "(A = " + relations + ")";
    const auto e = Parsed(Unit("const E = " + relations + " = 1;"));
    EXPECT_TRUE(e->Status.Complete);
    // A conditional or a definition inside the nesting: every attempt meets it, and is
    // remembered all the same once a definition no longer changes the symbols.
    std::string inner;
    for (int i = 0; i < 20; ++i)
        inner += "F(";
    for (const auto& [dialect, directive] :
         {std::pair{Dialect::Classic, "{$IFDEF WIN32} + 1 {$ENDIF}"},
          std::pair{Dialect::Delphi, "{$IF Defined(WIN32)} + 1 {$IFEND}"},
          std::pair{Dialect::Classic, "{$DEFINE X}{$UNDEF NONE}"},
          std::pair{Dialect::Delphi, "{$UNDEF NONE}{$DEFINE X}{$DEFINE N := 2}"}}) {
        SCOPED_TRACE(directive);
        TPasSrc c;
        quennet::pascal::Parse(
            c, Unit("const C: T = " + inner + "1" + directive + std::string(20, ')') + ";"),
            &kDefaults, {dialect, {}, {}});
        EXPECT_TRUE(c.Status.Complete);
        EXPECT_EQ(c.Consts.size(), 1u);
    }
    // Definitions that change the symbols at every level, met again by every outer attempt:
    // each level reads as the compiler reads it, in order, as the hand-resolved text does.
    // At each level's {$IFDEF X} the level inside has undefined X, but for the innermost.
    // 400 long names fill the bound on remembered symbols before the constant; attempts that
    // change the symbols are then no longer remembered, and the nesting is kept shallow.
    std::string many;
    for (int i = 0; i < 400; ++i)
        many += "{$DEFINE " + std::string(200, 'A') + std::to_string(i) + "}";
    for (const auto& [before, levels] : {std::pair{std::string(), 24}, std::pair{many, 8}}) {
        std::string defines = "(F: 1)", resolved = defines;
        for (int i = 0; i < levels; ++i) {
            defines = "({$DEFINE X}{$DEFINE N := " + std::to_string(i) + "}" + defines +
                      "{$IFDEF X}, 2{$ENDIF}{$UNDEF X}, 1)";
            resolved = "(" + resolved + (i == 0 ? ", 2" : "") + ", 1)";
        }
        const std::string after = "\r\n{$IF N = 0}const Last = 1;{$IFEND}";
        TPasSrc c, plain;
        quennet::pascal::Parse(c, Unit(before + "const C: T = " + defines + ";" + after),
                               &kDefaults, {Dialect::Delphi, {}, {}});
        quennet::pascal::Parse(plain, Unit("const C: T = " + resolved + ";"), &kDefaults,
                               {Dialect::Delphi, {}, {}});
        EXPECT_TRUE(c.Status.Complete);
        ASSERT_EQ(c.Consts.size(), 2u); // C, and Last: N is 0 after the innermost level
        ASSERT_EQ(plain.Consts.size(), 1u);
        EXPECT_EQ(c.Consts[0]->ValueChecksum, plain.Consts[0]->ValueChecksum);
    }
}

// A record constant recognised from its first field name reads as the trial of every
// alternative does; a comment after "(" hides the name and forces the trials, whose reading of
// an array or record constant then stands, and a directive there makes it be read again.
TEST(Parser, RecordConstantsReadAsTheTrialsDo) {
    const char* values[] = {
        "(A: 1; B: 2)",
        "((A: 1; B: (C: 2; D: (3, 4))), (A: (5); B: (C: 6; D: (7, 8))))",
        "((A: 1), (A: 2),)",
        "(A: 1, B: 2)",
        "(A: 1; B)",
        "(Type: 1)",
        "(A:=1)",
        "(A:\r\n (B: 1))",
        "(A) + 1",
        "(A, B)",
        "((1, 2), (3, 4))",
        "((1, 2), (3, 4)",
        "((1, 2), (3 4))",
        "((1, 2) + 1, (3, 4))",
    };
    for (const char* value : values) {
        for (Dialect dialect : {Dialect::Classic, Dialect::Delphi}) {
            const std::string text =
                Unit("const R: T = " + std::string(value) + ";\r\nvar V: Integer;");
            TPasSrc fast;
            quennet::pascal::Parse(fast, text, &kDefaults, {dialect, {}, {}});
            for (const std::string hide : {"{}", "{$IFDEF NONE}{$ENDIF}"}) {
                std::string hidden = text;
                for (size_t at = hidden.find('('); at != std::string::npos;
                     at = hidden.find('(', at + 1))
                    hidden.insert(at + 1, hide);
                TPasSrc tried;
                quennet::pascal::Parse(tried, hidden, &kDefaults, {dialect, {}, {}});
                SCOPED_TRACE(std::string(value) + " " + hide);
                EXPECT_EQ(fast.Status.Complete, tried.Status.Complete);
                EXPECT_EQ(fast.Status.ErrorCount, tried.Status.ErrorCount);
                EXPECT_EQ(fast.Status.FirstErrorLine, tried.Status.FirstErrorLine);
                EXPECT_EQ(fast.Status.StopLine, tried.Status.StopLine);
                EXPECT_EQ(fast.Checksum, tried.Checksum);
                ASSERT_EQ(fast.Consts.size(), tried.Consts.size());
                for (size_t i = 0; i < fast.Consts.size(); ++i)
                    EXPECT_EQ(fast.Consts[i]->ValueChecksum, tried.Consts[i]->ValueChecksum);
                EXPECT_EQ(fast.Vars.size(), tried.Vars.size());
            }
        }
    }
}

// An attempt that parsed stands as the reading when it met no directive; a directive between
// every two words makes each be read again. Both give the same declarations and sums.
TEST(Parser, AttemptsThatStandReadAsTheRealParse) {
    const std::string text =
        Unit("type\r\n  TA = class(TObject)\r\n  private\r\n    F: array [0 .. 3] of Integer;\r\n"
             "    G: set of (a, b);\r\n  public\r\n    procedure P; virtual; abstract;\r\n"
             "    function Q(X: Integer = Ord('a') + 1): Integer; overload; stdcall;\r\n"
             "    property R: Integer read F write F default 3;\r\n  end;\r\n"
             "  TR = record\r\n    case K: Integer of\r\n      0: (A: Integer);\r\n"
             "      1: (B, C: Word);\r\n  end;\r\n"
             "const T: array [0 .. 1] of TR = ((K: 0; A: 1), (K: 1; B: Low(Word); C: 2));\r\n"
             "  V = SizeOf(TR) * (2 + Ord(High(Byte)));\r\n",
             "procedure TA.P;\r\nbegin\r\n  if F[0] > 1 then Q(2);\r\nend;");
    std::string spread;
    for (char c : text)
        spread += c == ' ' ? std::string(" {$IFDEF NONE}{$ENDIF}") : std::string(1, c);
    for (Dialect dialect : {Dialect::Classic, Dialect::Delphi}) {
        TPasSrc plain, reread;
        quennet::pascal::Parse(plain, text, &kDefaults, {dialect, {}, {}});
        quennet::pascal::Parse(reread, spread, &kDefaults, {dialect, {}, {}});
        EXPECT_TRUE(plain.Status.Complete);
        EXPECT_EQ(plain.Status.Complete, reread.Status.Complete);
        EXPECT_EQ(plain.Checksum, reread.Checksum);
        ASSERT_EQ(plain.Classes.size(), reread.Classes.size());
        for (size_t i = 0; i < plain.Classes.size(); ++i) {
            const TidClass& a = *plain.Classes[i];
            const TidClass& b = *reread.Classes[i];
            EXPECT_EQ(a.Checksum, b.Checksum);
            ASSERT_EQ(a.Methods.size(), b.Methods.size());
            for (size_t k = 0; k < a.Methods.size(); ++k)
                EXPECT_EQ(a.Methods[k]->Checksum, b.Methods[k]->Checksum);
            EXPECT_EQ(a.Fields.size(), b.Fields.size());
            EXPECT_EQ(a.Props.size(), b.Props.size());
        }
        ASSERT_EQ(plain.Consts.size(), reread.Consts.size());
        for (size_t i = 0; i < plain.Consts.size(); ++i)
            EXPECT_EQ(plain.Consts[i]->ValueChecksum, reread.Consts[i]->ValueChecksum);
    }
}

// Tokens that only the modern reading joins (binary and separated numbers, escaped names,
// multi-line strings) count as the classic tokens of their text, so a file both readings follow
// has one checksum; the lines after a multi-line string still count.
TEST(Parser, ModernTokensKeepTheClassicSums) {
    const std::string text =
        Unit("procedure P;", "procedure P;\r\nbegin\r\n  X := %1010 + 1_000 + &17;\r\n"
                             "  &Type := '''\r\n    two\r\n    lines\r\n    ''';\r\nend;\r\n"
                             "procedure Q;\r\nbegin\r\nend;");
    TPasSrc classic, modern;
    quennet::pascal::Parse(classic, text, &kDefaults, {Dialect::Classic, {}, {}});
    quennet::pascal::Parse(modern, text, &kDefaults, {Dialect::Delphi, {}, {}});
    EXPECT_TRUE(modern.Status.Complete);
    EXPECT_EQ(modern.Checksum, classic.Checksum);
    ASSERT_EQ(modern.Procs.size(), 2u);
    EXPECT_EQ(modern.Procs[0]->Implementation->Checksum,
              classic.Procs[0]->Implementation->Checksum);
    EXPECT_EQ(modern.Procs[1]->Implementation->FirstLine, 13);
}

// Conditional compilation in the modern readings, by which constants of one section survive.
TEST(Parser, ModernConditionals) {
    struct Case {
        const char* body;
        const char* kept; // names of the constants parsed besides Z, in sorted order
        const char* note; // a name the notes must mention, or ""
    };
    const Case cases[] = {
        {"{$IF CompilerVersion >= 20} A = 1; {$ELSE} B = 1; {$IFEND}", "A", ""},
        {"{$IF Defined(DEBUG)} A = 1; {$ELSEIF Defined(WIN32) and not Defined(FOO)} B = 1;"
         " {$ELSE} C = 1; {$ENDIF}",
         "B", ""},
        {"{$IF False} A = 1; {$ELSEIF 2 > 3} B = 1; {$ELSEIF (1 + 2 * 3 = 7) xor False} C = 1;"
         " {$ELSE} D = 1; {$IFEND}",
         "C", ""},
        {"{$IFDEF NOPE} {$IF X} A = 1; {$ENDIF} B = 1; {$ENDIF} C = 1;", "C", ""},
        {"{$IFC 1 + 2 * 3 = 7} A = 1; {$ELSEC} B = 1; {$ENDC}", "A", ""},
        {"{$DEFINE LEVEL := 3} {$IF LEVEL > 2} A = 1; {$IFEND}", "A", ""},
        // A value given again replaces the first; an undefined name has none.
        {"{$DEFINE L := 3} {$DEFINE L := 1} {$IF L > 2} A = 1; {$IFEND} {$UNDEF L}"
         " {$IF Defined(L) or (L = 1)} B = 1; {$IFEND}",
         "", "L"},
        {"{$IFDEFX} A = 1; {$ENDIF} B = 1;", "AB", ""},
        {"{$IF UNKNOWN or Declared(VER130)} A = 1; {$ELSE} B = 1; {$IFEND}", "A", "UNKNOWN"},
        {"{$IF ('ab' < 'b') and ($10 div 3 = 5) and (SizeOf(Pointer) = 4)} A = 1; {$IFEND}", "A",
         ""},
        {"{$IFDEF NOPE} '{$ENDIF}' A = 1; {$ENDIF} B = 1;", "B", ""},
        // Integer operations at and beyond the 64-bit range: no trap, no undefined conversion.
        {"{$IF (-9223372036854775807 - 1) div (0 - 1) > 0} A = 1; {$IFEND}"
         " {$IF (1E30 mod 7 = 0) and (7 mod (0 - 1) = 0)} B = 1; {$IFEND}",
         "AB", ""},
        {"{$IF NOT Defined(WIN32)} A = 1; {$IF True} B = 1; {$ELSE} C = 1; {$IFEND} {$ELSE} "
         "D = 1; {$ENDIF}",
         "D", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const std::string text = "unit U;\r\ninterface\r\nconst\r\n  Z = 0;\r\n" +
                                 std::string(c.body) + "\r\nimplementation\r\nend.\r\n";
        TPasSrc m;
        quennet::pascal::Parse(m, text, &kDefaults, {Dialect::Delphi, {}, {}});
        EXPECT_TRUE(m.Status.Complete);
        std::string kept;
        for (const auto& v : m.Consts)
            if (v->Name != "Z") kept += v->Name;
        EXPECT_EQ(kept, c.kept);
        std::string notes;
        for (const auto& n : m.Status.Notes)
            notes += n + "\n";
        if (*c.note)
            EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
        else
            EXPECT_EQ(notes, "");
    }
}

// Brace comments nest in Free Pascal's FPC and OBJFPC modes only; the mode can change in the file.
TEST(Parser, NestedCommentsFollowTheFpcMode) {
    const std::string body = "{ outer { inner } still comment }\r\nconst\r\n  A = 1;\r\n";
    struct Case {
        Dialect dialect;
        const char* mode;
        bool nested;
    };
    const Case cases[] = {{Dialect::Fpc, "", true},
                          {Dialect::Fpc, "{$mode objfpc}", true},
                          {Dialect::Fpc, "{$MODE Delphi}", false},
                          {Dialect::Delphi, "{$mode objfpc}", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        TPasSrc m;
        quennet::pascal::Parse(m,
                               "unit U;\r\n" + std::string(c.mode) + "\r\ninterface\r\n" + body +
                                   "implementation\r\nend.\r\n",
                               &kDefaults, {c.dialect, {}, {}});
        EXPECT_EQ(m.Status.Complete, c.nested);
        EXPECT_EQ(m.Consts.size(), c.nested ? 1u : 0u);
    }
}

// The lines conditional compilation leaves out, in both readings, with what left them out.
TEST(Parser, InactiveLinesAreRecordedWithTheirDirective) {
    const std::string text = "unit U;\r\n"                              // 1
                             "interface\r\n"                            // 2
                             "{$IFDEF DEBUG}\r\n"                       // 3
                             "procedure Trace;\r\n"                     // 4
                             "procedure Dump;\r\n"                      // 5
                             "{$ELSE}\r\n"                              // 6
                             "procedure Quiet;\r\n"                     // 7
                             "{$ENDIF}\r\n"                             // 8
                             "{$IFNDEF WIN32}\r\n"                      // 9
                             "procedure Posix;\r\n"                     // 10
                             "{$ENDIF}\r\n"                             // 11
                             "const A = 1 {$IFDEF X} + 1 {$ENDIF};\r\n" // 12: within a line
                             "implementation\r\n"
                             "end.\r\n";
    for (const Dialect dialect : {Dialect::Classic, Dialect::Delphi}) {
        SCOPED_TRACE(DialectName(dialect));
        TPasSrc m;
        quennet::pascal::Parse(m, text, &kDefaults, {dialect, {}, {}});
        EXPECT_EQ(m.Inactive, (std::vector<InactiveLines>{{4, 5, "{$IFDEF DEBUG}", ""},
                                                          {10, 10, "{$IFNDEF WIN32}", ""}}));
        TPasSrc debug;
        const std::vector<std::string> symbols = {"DEBUG", "WIN32"};
        quennet::pascal::Parse(debug, text, &symbols, {dialect, {}, {}});
        EXPECT_EQ(debug.Inactive, (std::vector<InactiveLines>{{7, 7, "{$ELSE}", "{$IFDEF DEBUG}"},
                                                              {10, 10, "{$IFNDEF WIN32}", ""}}));
    }
    // {$IF} and a construct nested in a left-out branch.
    TPasSrc m;
    quennet::pascal::Parse(m,
                           Unit("{$IF CompilerVersion > 99}\r\nprocedure A;\r\n{$IFDEF X}\r\n"
                                "procedure B;\r\n{$ENDIF}\r\n{$ELSE}\r\nprocedure C;\r\n{$IFEND}"),
                           &kDefaults, {Dialect::Delphi, {}, {}});
    EXPECT_EQ(m.Inactive, (std::vector<InactiveLines>{{4, 7, "{$IF CompilerVersion > 99}", ""}}));
}
