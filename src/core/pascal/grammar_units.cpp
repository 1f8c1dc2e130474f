// Grammar of whole files, sections and declarations, with what each records in the model.
// Recording happens only outside trials; local declarations record nothing but resource
// strings.
#include "pascal/grammar_sets.h"
#include "pascal/parser.h"
#include "pascal/parser_trials.h"

namespace quennet::pascal {

using namespace grammar;

// SourceFile = UnitModule | LibraryModule | PackageModule | ProgramModule
void TOp4Parser::SourceFile() {
    switch (la_) {
    case tUnit: UnitModule(); break;
    case tLibrary: LibraryModule(); break;
    case tPackage: PackageModule(); break;
    case tProgram:
    case tBegin:
    case tUses:
    case tLabel:
    case tConst:
    case tResourceString:
    case tType:
    case tClass:
    case tFunction:
    case tProcedure:
    case tVar:
    case tThreadVar:
    case tAsm:
    case tConstructor:
    case tDestructor: ProgramModule(); break;
    default: SynError(kErrSourceFile); break;
    }
    if (Model) Model->Checksum = RunningChecksum;
}

// ProgramModule = [ PROGRAM ident [ "(" IdentList ")" ] ";" ] [ UsesClause ] Block "."
void TOp4Parser::ProgramModule() {
    if (la_ == tProgram) {
        Get();
        ModuleName();
        if (la_ == tLParen) {
            Get();
            IdentList(nullptr);
            Expect(tRParen);
        }
        Expect(tSemicolon);
    }
    if (la_ == tUses) UsesClause();
    if (modern_) ImplDecls();
    if (modern_ && la_ == tBegin) {
        RecordedStatements(Model ? Model->MainBlock.get() : nullptr);
        Expect(tEnd);
    } else {
        Block();
    }
    if (la_ == tPoint) reachedFinalDot_ = true;
    Expect(tPoint);
}

// UnitModule = UNIT ident ";" InterfaceSection ImplementationSection InitSection "."
void TOp4Parser::UnitModule() {
    Expect(tUnit);
    ModuleName();
    Expect(tSemicolon);
    InterfaceSection();
    // MacPas units may end after their interface.
    if (!(modern_ && la_ == tEnd)) ImplementationSection();
    InitSection();
    if (la_ == tPoint) reachedFinalDot_ = true;
    Expect(tPoint);
}

// LibraryModule = LIBRARY ident ";" [ UsesClause ] { LocalDeclSection | ExportsClause }
//                 [ BEGIN StatementList ] END "."
void TOp4Parser::LibraryModule() {
    Expect(tLibrary);
    ModuleName();
    Expect(tSemicolon);
    if (la_ == tUses) UsesClause();
    if (modern_) {
        ImplDecls();
        if (la_ == tBegin) RecordedStatements(Model ? Model->MainBlock.get() : nullptr);
    } else {
        while (kImplDeclStart.Has(la_) || la_ == tExports) {
            if (la_ == tExports)
                ExportsClause();
            else
                LocalDeclSection();
        }
        if (la_ == tBegin) {
            Get();
            StatementList();
        }
    }
    Expect(tEnd);
    if (la_ == tPoint) reachedFinalDot_ = true;
    Expect(tPoint);
}

// PackageModule = PACKAGE ident ";" [ REQUIRES IdentList { IdentList } ";" ]
//                 [ CONTAINS { IdentList } ";" ] END "."
void TOp4Parser::PackageModule() {
    Expect(tPackage);
    ModuleName();
    Expect(tSemicolon);
    if (modern_) {
        // Dotted package names, "in" file names and unit lists ended by ";".
        auto list = [this](bool units) {
            Get();
            for (;;) {
                UsedUnit(units);
                if (la_ != tComma) break;
                Get();
            }
            Expect(tSemicolon);
        };
        if (la_ == tRequires) list(false);
        if (la_ == tContains) list(true);
    } else if (la_ == tRequires) {
        Get();
        IdentList(nullptr);
        while (identWords_.Has(la_))
            IdentList(nullptr);
        Expect(tSemicolon);
    }
    if (la_ == tContains) {
        Get();
        while (identWords_.Has(la_))
            IdentList(nullptr);
        Expect(tSemicolon);
    }
    Expect(tEnd);
    if (la_ == tPoint) reachedFinalDot_ = true;
    Expect(tPoint);
}

// The module's name: one word, or in the modern reading a dotted name with hint directives.
void TOp4Parser::ModuleName() {
    if (!modern_) {
        Ident();
        if (Model) Model->Name = Model->Keep(LastTokenText());
        return;
    }
    std::string name;
    DottedName(&name);
    if (Model) Model->Name = Model->Keep(name);
    HintDirectives();
}

// Ident = identifier | one of the directive and visibility words
void TOp4Parser::Ident() {
    if (identWords_.Has(la_))
        Get();
    else
        SynError(kErrIdent);
}

// IdentList = ident { "," ident }
void TOp4Parser::IdentList(std::vector<std::string>* names) {
    Ident();
    if (names) names->emplace_back(LastTokenText());
    while (la_ == tComma) {
        Get();
        Ident();
        if (names) names->emplace_back(LastTokenText());
    }
}

// QualifiedName = ident { "." ident }
void TOp4Parser::QualifiedName(std::string* name, bool* qualified) {
    GenericName(name);
    while (la_ == tPoint) {
        Get();
        std::string part;
        if (fpc_ && (la_ == tColon || la_ == tEqual || la_ == tPlus || la_ == tMinus ||
                     la_ == tStar || la_ == tSlash || la_ == tLess || la_ == tGreater ||
                     la_ == tLessEqual || la_ == tGreaterEqual || la_ == tNotEqual)) {
            // A record's operator by its symbol: class operator TPoint.+(...)
            OperatorSymbol(&part);
        } else {
            GenericName(&part);
        }
        *name += '.';
        *name += part;
        *qualified = true;
    }
}

// Free Pascal names an operator by its symbol (:=, +, **): the tokens up to its parameters,
// added to name as written.
void TOp4Parser::OperatorSymbol(std::string* name) {
    while (la_ != tLParen && la_ != tEndOfText && la_ != tSemicolon) {
        Get();
        *name += LastTokenText();
    }
}

// StringSeq = ( string | charconst ) { string | charconst }
void TOp4Parser::StringSeq() {
    if (la_ == tString || la_ == tCharConst)
        Get();
    else
        SynError(kErrStringSeq);
    while (la_ == tString || la_ == tCharConst)
        Get();
}

// UsesClause = USES ident [ IN StringSeq ] { "," ident [ IN StringSeq ] } ";"
void TOp4Parser::UsesClause() {
    Expect(tUses);
    for (;;) {
        if (modern_) {
            UsedUnit(true);
        } else {
            Ident();
            if (la_ == tIn) {
                Get();
                StringSeq();
            }
        }
        if (la_ != tComma) break;
        Get();
    }
    Expect(tSemicolon);
}

// UsedUnit = DottedName [ IN StringSeq ]; the modern readings record units as a group of their
// own, so a changed uses clause is shown rather than only felt in the file's checksum.
void TOp4Parser::UsedUnit(bool record) {
    const int32_t line = CurLine();
    std::string name;
    DottedName(&name);
    std::string_view inText;
    uint32_t inSum = 0;
    if (la_ == tIn) {
        Get();
        const int32_t pos = CurPos();
        const uint32_t start = RunningChecksum;
        StringSeq();
        inText = TextFrom(pos);
        inSum = RunningChecksum - start;
    }
    if (record && Recording() && Model) Model->AddUses(name, inText, inSum, line);
}

// ExportsClause = EXPORTS ExportItem { "," ExportItem } ";"
void TOp4Parser::ExportsClause() {
    Expect(tExports);
    ExportItem();
    while (la_ == tComma) {
        Get();
        ExportItem();
    }
    Expect(tSemicolon);
}

// ExportItem = ident [ INDEX Expression ] [ NAME StringSeq ] [ RESIDENT ]
void TOp4Parser::ExportItem() {
    Ident();
    if (la_ == tIndex) {
        Get();
        Expression();
    }
    if (la_ == tName) {
        Get();
        if (modern_)
            Expression();
        else
            StringSeq();
    }
    if (la_ == tResident) Get();
}

// InterfaceSection = INTERFACE [ UsesClause ] { InterfaceDecl }
void TOp4Parser::InterfaceSection() {
    Expect(tInterface);
    if (la_ == tUses) UsesClause();
    if (Model) Model->ReadingInterface = true;
    while (kInterfaceDeclStart.Has(la_) || (modern_ && (la_ == tLBrack || LaWord("OPERATOR"))) ||
           (fpc_ && la_ == tProperty) || GenericRoutineAhead()) {
        PassedText();
        switch (la_) {
        case tProperty: GlobalProperty(); break;
        case tLBrack: Attributes(); break;
        case tIdentifier:
            if (GenericRoutineAhead()) {
                Get();
                ProcHeadingDecl();
            } else {
                OperatorRoutine(true, false);
            }
            break;
        case tConst: ConstSection(true); break;
        case tResourceString: ResStringSection(); break;
        case tType: TypeSection(true); break;
        case tFunction:
        case tProcedure: ProcHeadingDecl(); break;
        default: VarSection(true); break;
        }
    }
    if (Model) Model->ReadingInterface = false;
}

// ImplementationSection = IMPLEMENTATION [ UsesClause ] { ImplDecl }
void TOp4Parser::ImplementationSection() {
    Expect(tImplementation);
    if (la_ == tUses) UsesClause();
    ImplDecls();
}

// { ImplDecl }, recorded: an implementation section's, and in the modern readings those of a
// program or library too, whose routines and types are as much the file's own.
void TOp4Parser::ImplDecls() {
    while (kImplDeclStart.Has(la_) ||
           (modern_ && (la_ == tLBrack || la_ == tExports || LaWord("OPERATOR"))) ||
           (fpc_ && la_ == tProperty) || GenericRoutineAhead()) {
        PassedText();
        switch (la_) {
        case tProperty: GlobalProperty(); break;
        case tLBrack: Attributes(); break;
        case tExports: ExportsClause(); break;
        case tIdentifier:
            if (GenericRoutineAhead()) {
                Get();
                ImplRoutine(true);
            } else {
                OperatorRoutine(true, true);
            }
            break;
        case tVar:
        case tThreadVar: VarSection(true); break;
        case tLabel: LabelSection(); break;
        case tConst: ConstSection(true); break;
        case tResourceString: ResStringSection(); break;
        case tType: TypeSection(true); break;
        default: ImplRoutine(true); break;
        }
    }
}

// InitSection = END | BEGIN StatementList END
//             | INITIALIZATION StatementList [ FINALIZATION StatementList ] END
// Free Pascal also takes FINALIZATION StatementList END alone.
void TOp4Parser::InitSection() {
    if (la_ == tEnd) {
        Get();
        return;
    }
    if (la_ != tBegin && la_ != tInitialization && !(fpc_ && la_ == tFinalization)) {
        SynError(kErrInitSection);
        return;
    }
    const bool initialization = la_ == tInitialization;
    const bool finalizationOnly = la_ == tFinalization;
    if (!finalizationOnly) RecordedStatements(Model ? Model->Initialization.get() : nullptr);
    if ((initialization || finalizationOnly) && la_ == tFinalization)
        RecordedStatements(Model ? Model->Finalization.get() : nullptr);
    Expect(tEnd);
}

// Keyword StatementList, with the lines and checksum of the statements in rec.
void TOp4Parser::RecordedStatements(model::TidName* rec) {
    Get(); // the keyword is outside the checksum
    const int32_t first = PrevLine();
    const uint32_t start = RunningChecksum;
    StatementList();
    if (Recording() && rec) {
        rec->FirstLine = first;
        rec->LastLine = PrevLine();
        rec->Checksum = RunningChecksum - start;
    }
}

// ConstSection = CONST ConstDecl ";" { ConstDecl ";" }
void TOp4Parser::ConstSection(bool record) {
    Expect(tConst);
    if (modern_ && la_ == tLBrack) Attributes();
    ConstDecl(record);
    Expect(tSemicolon);
    while ((identWords_.Has(la_) && !OperatorAhead() && !GenericRoutineAhead()) ||
           (modern_ && la_ == tLBrack)) {
        if (record) PassedText();
        if (la_ == tLBrack) {
            Attributes();
            continue;
        }
        ConstDecl(record);
        Expect(tSemicolon);
    }
}

// ConstDecl = ident ( "=" Expression | ":" Type "=" TypedConstant )
void TOp4Parser::ConstDecl(bool record) {
    const PendingAttributes attrs = modern_ ? TakeAttributes() : PendingAttributes{};
    const int32_t startLine = attrs.Present ? attrs.Line : CurLine();
    Ident();
    std::string name(LastTokenText());
    std::string_view typeText;
    uint32_t typeSum = 0, valueSum = 0;
    if (la_ == tEqual) {
        Get();
        const uint32_t start = RunningChecksum;
        const int32_t exprPos = CurPos();
        Expression();
        valueSum = RunningChecksum - start;
        if (modern_) ConstantDeclared(name, TextFrom(exprPos));
    } else if (la_ == tColon) {
        Get();
        const int32_t typePos = CurPos();
        const uint32_t typeStart = RunningChecksum;
        Type();
        typeText = TextFrom(typePos);
        typeSum = RunningChecksum - typeStart;
        const uint32_t valueStart = RunningChecksum; // the "=" belongs to the value
        // Free Pascal takes hints before the value too: NoErrMsg: Boolean platform = False.
        if (fpc_) HintDirectives();
        Expect(tEqual);
        TypedConstant();
        valueSum = RunningChecksum - valueStart;
    } else {
        SynError(kErrConstDecl);
    }
    if (modern_) {
        const uint32_t hintStart = RunningChecksum;
        HintDirectives();
        valueSum += RunningChecksum - hintStart + attrs.Sum;
    }
    if (record && Recording() && Model)
        Model->AddConst(name, typeText, typeSum, valueSum, startLine, PrevLine());
}

// ResStringSection = RESOURCESTRING ResStringDecl { ResStringDecl }
void TOp4Parser::ResStringSection() {
    Expect(tResourceString);
    ResStringDecl();
    while (identWords_.Has(la_) && !OperatorAhead() && !GenericRoutineAhead())
        ResStringDecl();
}

// ResStringDecl = ident "=" StringSeq { "+" StringSeq } ";"   (recorded wherever it stands)
void TOp4Parser::ResStringDecl() {
    const int32_t startLine = CurLine();
    Ident();
    std::string name(LastTokenText());
    Expect(tEqual);
    const uint32_t start = RunningChecksum;
    if (modern_) { // strings joined with constants
        Expression();
    } else {
        StringSeq();
        while (la_ == tPlus) {
            Get();
            StringSeq();
        }
    }
    if (modern_) HintDirectives();
    if (Recording() && Model)
        Model->AddConst(name, "resourcestring", 0, RunningChecksum - start, startLine, PrevLine());
    Expect(tSemicolon);
}

// TypeSection = TYPE TypeDecl ";" { TypeDecl ";" }
void TOp4Parser::TypeSection(bool record) {
    Expect(tType);
    if (modern_ && la_ == tLBrack) Attributes();
    TypeDecl(record);
    Expect(tSemicolon);
    while ((identWords_.Has(la_) && !OperatorAhead() && !GenericRoutineAhead()) ||
           (modern_ && la_ == tLBrack)) {
        if (record) PassedText();
        if (la_ == tLBrack) {
            Attributes();
            continue;
        }
        TypeDecl(record);
        Expect(tSemicolon);
    }
}

// TypeDecl = ident "=" [ TYPE ] ( ClassLikeType | Type )
void TOp4Parser::TypeDecl(bool record) {
    if (modern_) {
        ModernTypeDecl(record);
        return;
    }
    const int32_t startLine = CurLine();
    Ident();
    std::string name(LastTokenText());
    Expect(tEqual);
    const int32_t textPos = CurPos();
    const uint32_t start = RunningChecksum;
    if (la_ == tType) Get();
    bool classLike = false;
    switch (la_) {
    case tInterface:
    case tDispInterface:
        InterfaceType(name, record);
        classLike = true;
        break;
    case tObject:
        ObjectType(name, record);
        classLike = true;
        break;
    case tClass: {
        // "class of T" is a class reference type; anything else after CLASS declares a class.
        int32_t alt = ChooseAlternative(kTrialTypeDeclClass, 2, [&](int32_t a) {
            if (a == 1) {
                // Type with CLASS is ClassRefType; without OF the attempt has failed.
                return Nested([&] {
                    Get();
                    if (la_ != tOf) return false;
                    Get();
                    Ident();
                    if (la_ == tPoint) {
                        Get();
                        Ident();
                    }
                    return true;
                });
            }
            ClassType(name, false);
            return true;
        });
        if (alt == 1) {
            Type();
        } else {
            ClassType(name, record);
            classLike = true;
        }
        break;
    }
    default: Type(); break;
    }
    if (!classLike && record && Recording() && Model)
        Model->AddType(name, TextFrom(textPos), RunningChecksum - start, startLine, PrevLine());
}

// VarSection = ( VAR | THREADVAR ) VarDecl ";" { VarDecl ";" }
void TOp4Parser::VarSection(bool record) {
    Get();
    if (modern_ && la_ == tLBrack) Attributes();
    VarDecl(record);
    Expect(tSemicolon);
    if (modern_) VarDirectives();
    while ((identWords_.Has(la_) && !OperatorAhead() && !GenericRoutineAhead()) ||
           (modern_ && la_ == tLBrack)) {
        if (record) PassedText();
        if (la_ == tLBrack) {
            Attributes();
            continue;
        }
        VarDecl(record);
        Expect(tSemicolon);
        if (modern_) VarDirectives();
    }
}

// VarDecl = IdentList ":" Type [ "=" TypedConstant | ABSOLUTE Expression ]
void TOp4Parser::VarDecl(bool record) {
    const PendingAttributes attrs = modern_ ? TakeAttributes() : PendingAttributes{};
    const int32_t startLine = attrs.Present ? attrs.Line : CurLine();
    const bool rec = record && Recording() && Model;
    std::vector<std::string> names;
    IdentList(rec ? &names : nullptr);
    Expect(tColon);
    const int32_t typePos = CurPos();
    const uint32_t typeStart = RunningChecksum;
    Type();
    std::string_view typeText = TextFrom(typePos);
    const uint32_t typeSum = RunningChecksum - typeStart;
    uint32_t valueSum = 0;
    // Free Pascal: "COLORS: cint cvar; external;", the first directive without its ";".
    if (fpc_ && LaWord("CVAR") && PeekKind() == tSemicolon) {
        const uint32_t valueStart = RunningChecksum;
        Get();
        valueSum = RunningChecksum - valueStart;
    }
    if (fpc_ && HintAhead()) { // NoErrMsg: Boolean platform = False
        const uint32_t hintStart = RunningChecksum;
        HintDirectives();
        valueSum += RunningChecksum - hintStart;
    }
    if (la_ == tEqual) {
        const uint32_t valueStart = RunningChecksum;
        Get();
        TypedConstant();
        valueSum += RunningChecksum - valueStart;
    } else if (la_ == tAbsolute) {
        const uint32_t valueStart = RunningChecksum;
        Get();
        Expression();
        if (fpc_ && la_ == tColon) { // segment:offset
            Get();
            Expression();
        }
        valueSum = RunningChecksum - valueStart;
    }
    if (modern_) {
        const uint32_t hintStart = RunningChecksum;
        HintDirectives();
        valueSum += RunningChecksum - hintStart + attrs.Sum;
    }
    if (rec) Model->AddVars(names, typeText, typeSum, valueSum, startLine, PrevLine());
}

// LabelSection = LABEL LabelId { "," LabelId } ";"   with LabelId = ident | integer
void TOp4Parser::LabelSection() {
    Expect(tLabel);
    for (;;) {
        if (la_ == tInteger)
            Get();
        else
            Ident();
        if (la_ != tComma) break;
        Get();
    }
    Expect(tSemicolon);
}

// ProcHeadingDecl = ( FunctionHeading | ProcedureHeading ) ";" { Directive ";" }
void TOp4Parser::ProcHeadingDecl() {
    const PendingAttributes attrs = modern_ ? TakeAttributes() : PendingAttributes{};
    const int32_t startLine = attrs.Present ? attrs.Line : CurLine();
    const int32_t textPos = attrs.Present ? attrs.Pos : CurPos();
    const uint32_t start = RunningChecksum - attrs.Sum;
    std::string name;
    if (la_ == tFunction)
        FunctionHeading(&name);
    else if (la_ == tProcedure)
        ProcedureHeading(&name);
    else
        SynError(kErrProcHeading);
    HeadingEnd(1);
    while (kDirectiveStart.Has(la_) || (modern_ && ModernDirectiveStart(1))) {
        Directive();
        Expect(tSemicolon);
    }
    if (Recording() && Model)
        Model->AddProc(name, TextFrom(textPos), RunningChecksum - start, startLine, PrevLine());
}

// The ";" after a routine's heading. Free Pascal lets the first directive follow without it:
// "(...)compilerproc;", "procedure Fast inline;".
void TOp4Parser::HeadingEnd(int context) {
    if (!fpc_ || la_ == tSemicolon || !ModernDirectiveStart(context)) Expect(tSemicolon);
}

// FunctionHeading = FUNCTION ident [ FormalParams ] ":" ResultType { Directive }
void TOp4Parser::FunctionHeading(std::string* name) {
    Expect(tFunction);
    GenericName(name);
    if (la_ == tLParen) FormalParams();
    Expect(tColon);
    ResultType();
    while (kDirectiveStart.Has(la_))
        Directive();
}

// ProcedureHeading = PROCEDURE ident [ FormalParams ] { Directive }
void TOp4Parser::ProcedureHeading(std::string* name) {
    Expect(tProcedure);
    GenericName(name);
    if (la_ == tLParen) FormalParams();
    while (kDirectiveStart.Has(la_))
        Directive();
}

// ImplRoutine = [ CLASS ] ( ImplFunction | ImplProcedure )
void TOp4Parser::ImplRoutine(bool record) {
    if (la_ == tClass) Get();
    if (la_ == tFunction || (modern_ && LaWord("OPERATOR")))
        ImplFunction(record);
    else if (la_ == tProcedure || la_ == tConstructor || la_ == tDestructor)
        ImplProcedure(record);
    else
        SynError(kErrImplRoutine);
}

// ImplFunction = FUNCTION QualifiedName [ FormalParams ] [ ":" ResultType ] ";"
//                { Directive ";" } ( FORWARD ";" | ExternalSpec ";" | Block ";" )
void TOp4Parser::ImplFunction(bool record) {
    const int32_t startLine = CurLine();
    const int32_t textPos = CurPos();
    const bool isOperator = la_ == tIdentifier;
    if (isOperator)
        Get();
    else
        Expect(tFunction);
    std::string name;
    bool qualified = false;
    QualifiedName(&name, &qualified);
    const uint32_t headStart = RunningChecksum; // a function's heading sum starts after its name
    if (la_ == tLParen) FormalParams();
    if (isOperator && fpc_ && identWords_.Has(la_)) Get(); // the result's name
    if (la_ == tColon) {
        Get();
        ResultType();
    }
    while (modern_ && kDirectiveStart.Has(la_))
        Directive();
    HeadingEnd(2);
    bodiless_ = false;
    while (kDirectiveStart.Has(la_) || (modern_ && ModernDirectiveStart(2))) {
        Directive();
        Expect(tSemicolon);
    }
    ImplBody(record, name, qualified, startLine, textPos, headStart);
}

// ImplProcedure = ( PROCEDURE | CONSTRUCTOR | DESTRUCTOR ) QualifiedName [ FormalParams ] ";"
//                 { Directive ";" } ( FORWARD ";" | ExternalSpec ";" | Block ";" )
void TOp4Parser::ImplProcedure(bool record) {
    const int32_t startLine = CurLine();
    const int32_t textPos = CurPos();
    const uint32_t headStart = RunningChecksum;
    Get();
    std::string name;
    bool qualified = false;
    QualifiedName(&name, &qualified);
    if (la_ == tLParen) FormalParams();
    while (modern_ && kDirectiveStart.Has(la_))
        Directive();
    HeadingEnd(2);
    bodiless_ = false;
    while (kDirectiveStart.Has(la_) || (modern_ && ModernDirectiveStart(2))) {
        Directive();
        Expect(tSemicolon);
    }
    ImplBody(record, name, qualified, startLine, textPos, headStart);
}

void TOp4Parser::ImplBody(bool record, const std::string& name, bool qualified, int32_t startLine,
                          int32_t textPos, uint32_t headStart) {
    const bool rec = record && Recording() && Model;
    std::string heading;
    if (rec) heading = TextFrom(textPos);
    const uint32_t headSum = RunningChecksum - headStart;
    const bool bodiless = bodiless_;
    bodiless_ = false;
    if (bodiless) {
        if (rec) Model->AddProc(name, heading, headSum, startLine, PrevLine());
    } else if (la_ == tForward || la_ == tExternal) {
        if (la_ == tForward)
            Get();
        else
            ExternalSpec();
        if (rec) Model->AddProc(name, heading, headSum, startLine, CurLine());
        Expect(tSemicolon);
        // "forward; overload;"
        while (modern_ && (kDirectiveStart.Has(la_) || ModernDirectiveStart(2))) {
            Directive();
            Expect(tSemicolon);
        }
    } else if (kBlockStart.Has(la_)) {
        const int32_t headLast = PrevLine();
        const uint32_t bodyStart = RunningChecksum;
        Block();
        if (rec)
            Model->AddProcImpl(name, qualified, heading, headSum, RunningChecksum - bodyStart,
                               startLine, headLast, CurLine(), modern_);
        Expect(tSemicolon);
    } else {
        SynError(kErrImplBody);
        Expect(tSemicolon);
    }
}

// ExternalSpec = EXTERNAL [ Expression [ NAME Expression ] ]
void TOp4Parser::ExternalSpec() {
    Expect(tExternal);
    if (modern_) {
        // [ library ] [ NAME expr | INDEX expr ] [ DELAYED ], each part optional.
        if (exprStart_.Has(la_) && la_ != tName && la_ != tIndex && !LaWord("DELAYED"))
            Expression();
        if (la_ == tName || la_ == tIndex) {
            Get();
            Expression();
        }
        if (LaWord("DELAYED")) Get();
        return;
    }
    if (exprStart_.Has(la_)) {
        Expression();
        if (la_ == tName) {
            Get();
            Expression();
        }
    }
}

// FormalParams = "(" FormalParam { ";" FormalParam } [ ";" "..." ] ")"   ("..." fpc)
void TOp4Parser::FormalParams() {
    Expect(tLParen);
    if (modern_ && la_ == tRParen) {
        Get();
        return;
    }
    // Free Pascal's C varargs, "..." last (read as ".." and "."), in external declarations.
    const auto varargs = [this] {
        if (!fpc_ || la_ != tDotDot || PeekKind() != tPoint) return false;
        Get();
        Get();
        return true;
    };
    if (!varargs()) {
        FormalParam();
        while (la_ == tSemicolon) {
            Get();
            if (varargs()) break;
            FormalParam();
        }
    }
    Expect(tRParen);
}

// FormalParam = [ IN | CONST | VAR | OUT ] ident { "," ident } [ ":" ParamType ]
void TOp4Parser::FormalParam() {
    if (modern_ && la_ == tLBrack) SkipBrackets();
    if (la_ == tIn || la_ == tConst || la_ == tVar || la_ == tOut) Get();
    if (modern_ && LaWord("CONSTREF") && PeekKind() != tColon && PeekKind() != tComma) Get();
    if (modern_ && la_ == tLBrack) SkipBrackets();
    IdentList(nullptr);
    if (la_ == tColon) {
        Get();
        if (modern_ && LaWord("UNIV") && PeekKind() != tSemicolon && PeekKind() != tRParen) Get();
        ParamType();
    }
    if (modern_ && LaWord("LOCATION")) { // a register for the parameter
        Get();
        StringSeq();
    }
}

// ParamType = ARRAY OF ( TypeIdent | CONST ) | Type [ "=" Expression ]
void TOp4Parser::ParamType() {
    auto openArray = [this] {
        Expect(tArray);
        Expect(tOf);
        if (la_ == tConst)
            Get();
        else
            TypeIdent();
    };
    auto typed = [this] {
        Type();
        if (la_ == tEqual) {
            Get();
            Expression();
        }
    };
    if (la_ == tArray) {
        // An open array and a declared array type both start with ARRAY.
        int32_t alt = ChooseAlternative(kTrialParamArray, 2, [&](int32_t a) {
            if (a == 1)
                openArray();
            else
                typed();
        });
        if (alt == 1)
            openArray();
        else
            typed();
    } else {
        typed();
    }
}

// TypeIdent = SHORTSTRING | ANSISTRING | WIDESTRING | STRING [ "[" Expression "]" ]
//           | ident [ "." ident ] | FILE
void TOp4Parser::TypeIdent() {
    switch (la_) {
    case tShortString:
    case tAnsiString:
    case tWideString:
    case tFile: Get(); break;
    case tStringKw:
        Get();
        if (la_ == tLBrack) {
            Get();
            Expression();
            Expect(tRBrack);
        }
        break;
    default:
        if (modern_ && identWords_.Has(la_)) {
            TypeRef();
        } else if (identWords_.Has(la_)) {
            Get();
            if (la_ == tPoint) {
                Get();
                Ident();
            }
        } else {
            SynError(kErrTypeIdent);
        }
        break;
    }
}

// TypeRef = ident [ TypeArgs ] { "." ident [ TypeArgs ] }   (modern reading)
void TOp4Parser::TypeRef() {
    if (LaWord("SPECIALIZE") && PeekKind() == tIdentifier) Get();
    Ident();
    if (la_ == tLess) TypeArgs();
    while (la_ == tPoint) {
        Get();
        Ident();
        if (la_ == tLess) TypeArgs();
    }
}

// Directive = CDECL | REGISTER | PASCAL | SAFECALL | STDCALL | ASSEMBLER | VIRTUAL [ Expression ]
//           | DYNAMIC | OVERRIDE | OVERLOAD | REINTRODUCE | MESSAGE Expression | NEAR | FAR
//           | EXPORT | DISPID Expression | ABSTRACT
void TOp4Parser::Directive() {
    if (modern_ && ModernDirective()) return;
    switch (la_) {
    case tVirtual:
        Get();
        // A directive word after VIRTUAL may be the next directive rather than an expression.
        if (kDirectiveStart.Has(la_))
            GuardedOptional(kTrialVirtualExpr, [this] { Expression(); });
        else if (exprStart_.Has(la_))
            Expression();
        break;
    case tMessage:
    case tDispId:
        Get();
        Expression();
        break;
    default:
        if (kDirectiveStart.Has(la_))
            Get();
        else
            SynError(kErrDirective);
        break;
    }
}

// Block = { LocalDeclSection } ( BEGIN StatementList END | AsmBlock )
void TOp4Parser::Block() {
    Nested([&] {
        while (kImplDeclStart.Has(la_))
            LocalDeclSection();
        if (la_ == tBegin) {
            Get();
            StatementList();
            Expect(tEnd);
        } else if (la_ == tAsm) {
            AsmBlock();
        } else {
            SynError(kErrBlock);
        }
    });
}

// LocalDeclSection: the declaration grammar without recording, except resource strings.
void TOp4Parser::LocalDeclSection() {
    switch (la_) {
    case tVar:
    case tThreadVar: VarSection(false); break;
    case tLabel: LabelSection(); break;
    case tConst: ConstSection(false); break;
    case tResourceString: ResStringSection(); break;
    case tType: TypeSection(false); break;
    case tClass:
    case tFunction:
    case tProcedure:
    case tConstructor:
    case tDestructor: ImplRoutine(false); break;
    default: SynError(kErrLocalDecl); break;
    }
}

} // namespace quennet::pascal
