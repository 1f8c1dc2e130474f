// The automatic choice of the reading by a file's name and text.
#include <gtest/gtest.h>

#include "model/dialect.h"

using namespace quennet::model;

namespace {

TEST(Dialect, AutomaticChoice) {
    struct Case {
        const char* name;
        const char* text;
        Dialect expected;
    };
    const Case cases[] = {
        {"u.pas", "unit U; interface implementation end.", Dialect::Delphi},
        {"u.pp", "unit U;", Dialect::Fpc},
        {"u.pas", "{$mode objfpc}", Dialect::Fpc},
        // Only Free Pascal takes its version unasked; code for both compilers asks first.
        {"u.pas", "{$IF FPC_FULLVERSION<20701} var p: Pointer; {$ENDIF}", Dialect::Fpc},
        {"u.pas", "{$IFDEF FPC}{$IF FPC_FULLVERSION>=30000}{$ENDIF}{$ENDIF}", Dialect::Delphi},
        {"u.pas", "{$IF defined(FPC) and (FPC_FULLVERSION>=30000)}{$IFEND}", Dialect::Delphi},
        {"u.pas", "{$IFDEF FPCX}{$ENDIF}{$IF FPC_FULLVERSION>=30000}{$IFEND}", Dialect::Fpc},
        // Any letter case; a near miss before the word, a guard at the very end.
        {"u.pas", "{$if fpc_fullversio}{$IF Fpc_FullVersion>=30000}{$IFEND}", Dialect::Fpc},
        {"u.pas", "{$ifndef fpc}{$if fpc_fullversion>=30000}{$ifend}{$endif}", Dialect::Delphi},
        {"u.pas", "{$IF FPC_FULLVERSION>1}{$IFEND}{$IfDef Fpc", Dialect::Delphi},
        {"u.pas", "FPC_FULLVERSIO", Dialect::Delphi},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ResolveDialect(Dialect::Auto, c.name, c.text), c.expected);
    }
}

} // namespace
