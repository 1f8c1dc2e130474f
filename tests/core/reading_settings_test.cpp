// The window's stored reading choices, and that they read a file as the command line would.
#include <gtest/gtest.h>

#include "model/reading_settings.h"
#include "model/source_model.h"
#include "pascal/parse.h"

using namespace quennet::model;

namespace {

using List = std::vector<std::string>;

TEST(ReadingSettings, StoredValuesMeanAChoice) {
    struct Case {
        const char* dialect;
        const char* target;
        List symbols;
        Dialect wantDialect;
        const char* wantTarget;
        bool wantTargetSymbols;
        List wantSymbols;
    } cases[] = {
        // First start: the defaults stand for the target's symbols.
        {"auto", "auto", {"VER130", "WIN32", "CPU386"}, Dialect::Auto, "", true, {}},
        {"fpc",
         "FPC-Win64",
         {"cpu386", " DEBUG ", "win32", "", "ver130"},
         Dialect::Fpc,
         "fpc-win64",
         true,
         {"DEBUG"}},
        // A list the user cut down is the whole set.
        {"classic",
         "delphi12-win64",
         {"VER130", "DEBUG"},
         Dialect::Classic,
         "delphi12-win64",
         false,
         {"VER130", "DEBUG"}},
        {"turbo", "turbo7", {}, Dialect::Auto, "", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dialect) + " " + c.target);
        const ReadingChoice r = StoredReading(c.dialect, c.target, c.symbols, {});
        EXPECT_EQ(r.dialect, c.wantDialect);
        EXPECT_EQ(r.target, c.wantTarget);
        EXPECT_EQ(r.targetSymbols, c.wantTargetSymbols);
        EXPECT_EQ(r.symbols, c.wantSymbols);
    }
    EXPECT_EQ(StoredReading("", "", {}, {" /a ", "", "/b", "/a", "/A"}).includeDirs,
              (List{"/a", "/b", "/A"}));
}

// The first-start settings read a Delphi file with the latest Delphi's symbols, a classic one
// with Delphi 5's, and a chosen target's symbols replace the default's.
TEST(ReadingSettings, ReachTheParse) {
    const char* text = "unit U;\r\ninterface\r\n{$IFDEF VER360}type TNew = Integer;{$ENDIF}\r\n"
                       "{$IFDEF VER130}type TOld = Integer;{$ENDIF}\r\n"
                       "{$IFDEF WIN64}type TWide = Integer;{$ENDIF}\r\n"
                       "{$IFDEF DEBUG}type TDebug = Integer;{$ENDIF}\r\nimplementation\r\nend.\r\n";
    const List defaults = DefaultSymbolList();
    struct Case {
        const char* dialect;
        const char* target;
        List extra;
        List types;
    } cases[] = {
        {"auto", "auto", {}, {"TNew"}},
        {"classic", "auto", {}, {"TOld"}},
        {"delphi", "delphi12-win64", {"DEBUG"}, {"TDebug", "TNew", "TWide"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dialect) + " " + c.target);
        List stored = defaults;
        stored.insert(stored.end(), c.extra.begin(), c.extra.end());
        Reading reading = ReadingOf(StoredReading(c.dialect, c.target, stored, {}));
        reading.options.fileName = "u.pas";
        TPasSrc m;
        quennet::pascal::Parse(m, text, &reading.symbols, reading.options);
        List types;
        for (const auto& t : m.Types)
            types.push_back(t->Name);
        EXPECT_EQ(types, c.types);
    }
}

} // namespace
