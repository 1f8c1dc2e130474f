// What the modern Delphi reading adds to the classic grammar: dotted and generic names,
// attributes, hint and newer routine directives, class bodies with nested sections, records
// with methods, helpers and "reference to" types. The new words are names everywhere except in
// the one place where they mean something, so classic code that uses them as names still reads.
#include "pascal/grammar_sets.h"
#include "pascal/parser.h"
#include "pascal/parser_trials.h"

namespace quennet::pascal {

using namespace grammar;

namespace {
std::string WithoutBlanks(std::string_view s) {
    std::string out;
    for (char c : s)
        if (static_cast<unsigned char>(c) > 32) out += c;
    return out;
}
} // namespace

bool TOp4Parser::LaWord(std::string_view upperWord) const {
    if (la_ != tIdentifier || s_.CurToken.Len != static_cast<int32_t>(upperWord.size()))
        return false;
    for (size_t i = 0; i < upperWord.size(); ++i)
        if (CharAt(s_.CurToken.Pos + static_cast<int32_t>(i)) != static_cast<uint8_t>(upperWord[i]))
            return false;
    return true;
}

int32_t TOp4Parser::PeekKind() {
    const TScannerState saved = s_;
    std::vector<TCommentRecord> savedComments = comments_;
    const int32_t kind = TOp4Scanner::Get();
    s_ = saved;
    comments_ = std::move(savedComments);
    return kind;
}

bool TOp4Parser::PeekIsWord(std::string_view upperWord) {
    const TScannerState saved = s_;
    std::vector<TCommentRecord> savedComments = comments_;
    const int32_t kind = TOp4Scanner::Get();
    bool same = kind == tIdentifier && s_.CurToken.Len == static_cast<int32_t>(upperWord.size());
    for (size_t i = 0; same && i < upperWord.size(); ++i)
        same =
            CharAt(s_.CurToken.Pos + static_cast<int32_t>(i)) == static_cast<uint8_t>(upperWord[i]);
    s_ = saved;
    comments_ = std::move(savedComments);
    return same;
}

// An FPC operator overload, not a declaration named "operator", starts here.
// Free Pascal's generic routines: GENERIC [ CLASS ] ( FUNCTION | PROCEDURE ) name "<" ...
bool TOp4Parser::GenericRoutineAhead() {
    if (!fpc_ || !LaWord("GENERIC")) return false;
    const int32_t next = PeekKind();
    return next == tFunction || next == tProcedure || next == tClass;
}

bool TOp4Parser::OperatorAhead() {
    if (!modern_ || !LaWord("OPERATOR")) return false;
    const int32_t next = PeekKind();
    if (next == tColon) {
        // "operator :=" overloads the assignment; "operator: T" declares a name.
        int32_t at = s_.CurToken.Pos + s_.CurToken.Len;
        while (CharAt(at) == ' ' || CharAt(at) == '\t')
            ++at;
        return CharAt(at + 1) == '=';
    }
    return next != tEqual && next != tComma && next != tLess;
}

// DottedName = ident { "." ident }
void TOp4Parser::DottedName(std::string* name) {
    Ident();
    if (name) *name = LastTokenText();
    while (la_ == tPoint) {
        Get();
        Ident();
        if (name) {
            *name += '.';
            *name += LastTokenText();
        }
    }
}

// GenericName = ident [ TypeParams ]
void TOp4Parser::GenericName(std::string* name) {
    // The string type names are no reserved words to the modern compilers: a method may be
    // called ShortString.
    if (modern_ && (la_ == tShortString || la_ == tAnsiString || la_ == tWideString))
        Get();
    else
        Ident();
    *name = LastTokenText();
    if (modern_ && la_ == tLess) TypeParams(name);
}

// TypeParams = "<" ident [ ":" Constraint { "," Constraint } ] { ( "," | ";" ) ... } ">"
// The name gains the parameter names without blanks and without constraints.
void TOp4Parser::TypeParams(std::string* name) {
    Expect(tLess);
    *name += '<';
    for (;;) {
        if (la_ == tLBrack) Attributes();
        Ident();
        *name += LastTokenText();
        if (la_ == tColon) {
            // Constraints: class, record, constructor or type names, separated by ",".
            do {
                Get();
                if (la_ == tClass || la_ == tRecord || la_ == tConstructor || la_ == tInterface)
                    Get();
                else
                    TypeIdent();
            } while (la_ == tComma);
        }
        if (la_ != tComma && la_ != tSemicolon) break;
        Get();
        *name += ',';
    }
    *name += '>';
    // "generic TList<T>=class": the scanner joins ">" and "=", and the "=" is what comes next.
    if (fpc_ && la_ == tGreaterEqual) {
        la_ = tEqual;
        return;
    }
    Expect(tGreater);
}

// TypeArgs = "<" Type { "," Type } ">"
void TOp4Parser::TypeArgs() {
    Expect(tLess);
    Type();
    while (la_ == tComma) {
        Get();
        Type();
    }
    Expect(tGreater);
}

// HintDirectives = { DEPRECATED [ StringSeq ] | PLATFORM | EXPERIMENTAL | LIBRARY
//                  | UNIMPLEMENTED (Free Pascal) }
void TOp4Parser::HintDirectives() {
    for (;;) {
        if (LaWord("DEPRECATED")) {
            Get();
            if (la_ == tString || la_ == tCharConst) StringSeq();
        } else if (HintAhead()) {
            Get();
        } else {
            return;
        }
    }
}

bool TOp4Parser::HintAhead() {
    return LaWord("DEPRECATED") || LaWord("PLATFORM") || LaWord("EXPERIMENTAL") ||
           la_ == tLibrary || (fpc_ && LaWord("UNIMPLEMENTED"));
}

// The routine directives that Delphi gained after the classic grammar; false when the lookahead
// is none of them.
bool TOp4Parser::ModernDirective() {
    if (HintAhead()) {
        HintDirectives();
        return true;
    }
    if (la_ == tLBrack) { // FPC: [public, alias: 'name']
        SkipBrackets();
        return true;
    }
    if (LaWord("SYSCALL")) { // the library base and offset, up to the ";"; no body follows
        bodiless_ = true;
        while (la_ != tSemicolon && la_ != tEndOfText)
            Get();
        return true;
    }
    if (fpc_ && LaWord("ALIAS") && PeekKind() == tColon) { // alias: 'other name'
        Get();
        Get();
        Expression();
        return true;
    }
    if (la_ == tPublic || la_ == tExport) {
        Get();
        if (la_ == tName) {
            Get();
            Expression();
        }
        return true;
    }
    if (la_ == tExternal) {
        ExternalSpec();
        return true;
    }
    if (la_ == tForward || ModernDirectiveStart(0)) {
        const bool compilerProc = LaWord("COMPILERPROC");
        Get();
        // The run-time library names the compiler's inline node: compilerproc:fpc_in_copy_x
        if (compilerProc && fpc_ && la_ == tColon) {
            Get();
            Ident();
        }
        return true;
    }
    return false;
}

bool TOp4Parser::ModernDirectiveStart(int context) {
    if (la_ == tIdentifier) {
        static const char* const kWords[] = {
            "INLINE",        "STATIC",         "FINAL",        "VARARGS",          "DELAYED",
            "UNSAFE",        "WINAPI",         "DEPRECATED",   "PLATFORM",         "EXPERIMENTAL",
            "UNIMPLEMENTED", "NOSTACKFRAME",   "CVAR",         "INTERRUPT",        "IOCHECK",
            "NORETURN",      "HARDFLOAT",      "SOFTFLOAT",    "MWPASCAL",         "COMPILERPROC",
            "SYSCALL",       "MS_ABI_DEFAULT", "MS_ABI_CDECL", "SYSV_ABI_DEFAULT", "SYSV_ABI_CDECL",
            "VECTORCALL",    "LOCAL",          "OLDFPCCALL",   "SAVEREGISTERS",    "ENUMERATOR",
            "RTLPROC"};
        for (const char* w : kWords)
            if (LaWord(w)) return true;
        // A routine's "alias: 'name'"; in a class, "alias: T" would be a field.
        if (context != 0 && fpc_ && LaWord("ALIAS")) return PeekKind() == tColon;
        return MacroAhead();
    }
    if (la_ == tLibrary) return true;
    if (context == 0) return false;
    // In an implementation FORWARD and EXTERNAL end the heading instead (no body follows).
    return (context == 1 && (la_ == tExternal || la_ == tForward)) || la_ == tPublic ||
           la_ == tExport || la_ == tLBrack;
}

// FPC variables may carry "cvar;", "external [lib] [name x];", "public [name x];", "export".
void TOp4Parser::VarDirectives() {
    for (;;) {
        if (LaWord("CVAR") && PeekKind() == tSemicolon) {
            Get();
            Get();
        } else if ((la_ == tExternal || la_ == tPublic || la_ == tExport) && PeekKind() != tColon &&
                   PeekKind() != tComma) {
            Get();
            if (exprStart_.Has(la_) && la_ != tName) Expression();
            if (la_ == tName) {
                Get();
                Expression();
            }
            Expect(tSemicolon);
        } else {
            return;
        }
    }
}

// FPC operator overloads: OPERATOR op FormalParams [ ident ] ":" ResultType ";" { Directive ";" }
// then, in an implementation, the body. Recorded as routines named by the operator.
void TOp4Parser::OperatorRoutine(bool record, bool implementation) {
    const int32_t startLine = CurLine();
    const int32_t textPos = CurPos();
    const uint32_t start = RunningChecksum;
    Get(); // "operator"
    std::string name;
    OperatorSymbol(&name);
    FormalParams();
    if (identWords_.Has(la_)) Get(); // the result's name
    Expect(tColon);
    ResultType();
    Expect(tSemicolon);
    while (kDirectiveStart.Has(la_) || ModernDirectiveStart(implementation ? 2 : 1)) {
        Directive();
        Expect(tSemicolon);
    }
    if (implementation) {
        ImplBody(record, name, false, startLine, textPos, start);
        return;
    }
    if (record && Recording() && Model)
        Model->AddProc(name, TextFrom(textPos), RunningChecksum - start, startLine, PrevLine());
}

// Bracket groups, balanced, as attributes are written.
void TOp4Parser::SkipBrackets() {
    while (la_ == tLBrack) {
        int depth = 0;
        do {
            if (la_ == tLBrack || la_ == tLParen) ++depth;
            if (la_ == tRBrack || la_ == tRParen) --depth;
            Get();
        } while (depth > 0 && la_ != tEndOfText);
    }
}

// Attributes = "[" ... "]" { "[" ... "]" }. They belong to the declaration that follows, which
// takes them with TakeAttributes.
void TOp4Parser::Attributes() {
    PendingAttributes a;
    a.Present = true;
    a.Line = CurLine();
    a.Pos = CurPos();
    const uint32_t start = RunningChecksum;
    SkipBrackets();
    a.Sum = RunningChecksum - start;
    a.EndPos = s_.PrevToken.Pos + s_.PrevToken.Len;
    attrs_ = a;
}

// A declaration's text with its attributes in front, for texts that start after the name.
std::string TOp4Parser::AttributedText(const PendingAttributes& attrs,
                                       std::string_view text) const {
    if (!attrs.Present) return std::string(text);
    std::string out(GetString(attrs.Pos, attrs.EndPos - attrs.Pos));
    out += ' ';
    out += text;
    return out;
}

TOp4Parser::PendingAttributes TOp4Parser::TakeAttributes() {
    PendingAttributes a = attrs_;
    if (Recording()) attrs_ = PendingAttributes{};
    return a;
}

// A class, helper or object body: members until END, with visibility sections, nested type,
// const and var sections, class members and attributes.
void TOp4Parser::ModernClassBody(model::TidClass* cls, const std::string& className,
                                 std::string visibility, bool isRecord) {
    Nested([&] {
        while (la_ != tEnd && la_ != tEndOfText) {
            const int32_t before = s_.CurToken.Pos;
            ModernMember(cls, className, visibility, isRecord);
            if (s_.CurToken.Pos == before) break; // nothing fitted: the error is reported
        }
    });
}

void TOp4Parser::ModernMember(model::TidClass* cls, const std::string& className,
                              std::string& visibility, bool isRecord) {
    if (la_ == tLBrack) {
        Attributes();
        return;
    }
    if (LaWord("STRICT")) {
        const int32_t next = PeekKind();
        if (next == tPrivate || next == tProtected) {
            Get();
            Get();
            visibility = "strict " + std::string(LastTokenText());
            ++recordMembers_;
            return;
        }
    }
    if ((LaWord("OPTIONAL") || LaWord("REQUIRED")) && PeekKind() != tColon &&
        PeekKind() != tComma) {
        Get();
        return;
    }
    // Java's constant fields: "final var", "final class var".
    if (fpc_ && LaWord("FINAL") && (PeekKind() == tVar || PeekKind() == tClass)) {
        Get();
        return;
    }
    if (kVisibilityWords.Has(la_)) {
        Get();
        visibility = LastTokenText();
        ++recordMembers_;
        return;
    }
    if (GenericRoutineAhead()) {
        Get();
        ++recordMembers_;
        MethodMember(cls, visibility);
        return;
    }
    switch (la_) {
    case tType: {
        Get();
        ++recordMembers_;
        const std::string saved = nestPrefix_;
        nestPrefix_ = className + ".";
        while (la_ == tLBrack || identWords_.Has(la_)) {
            if (la_ == tLBrack) {
                Attributes();
                continue;
            }
            const int32_t next = PeekKind();
            if (next != tEqual && next != tLess) break;
            TypeDecl(cls != nullptr);
            Expect(tSemicolon);
        }
        nestPrefix_ = saved;
        return;
    }
    case tConst:
        Get();
        ++recordMembers_;
        while (identWords_.Has(la_) || la_ == tLBrack) {
            if (la_ == tLBrack) {
                Attributes();
                continue;
            }
            const int32_t next = PeekKind();
            if (next != tEqual && next != tColon) break;
            ClassConst(cls, visibility);
        }
        return;
    case tVar:
        Get();
        ++recordMembers_;
        return;
    case tClass: {
        const int32_t next = PeekKind();
        ++recordMembers_;
        if (next == tVar) {
            Get();
            Get();
        } else if (next == tProperty) {
            PropertyDecl(cls, visibility);
        } else {
            MethodMember(cls, visibility);
        }
        return;
    }
    case tProperty:
        ++recordMembers_;
        PropertyDecl(cls, visibility);
        return;
    case tFunction:
    case tProcedure:
    case tConstructor:
    case tDestructor:
        ++recordMembers_;
        MethodMember(cls, visibility);
        return;
    case tCase:
        if (isRecord) {
            ModernVariantPart(cls, visibility);
            if (la_ == tSemicolon) Get();
            return;
        }
        break;
    default:
        if (identWords_.Has(la_)) {
            FieldDecl(cls, visibility);
            return;
        }
        break;
    }
    SynError(kErrModernMember);
}

// A method with the guarded directive groups of a class body.
void TOp4Parser::MethodMember(model::TidClass* cls, const std::string& visibility) {
    MethodDecl(cls, visibility);
}

// ClassConst = ident ( "=" Expression | ":" Type "=" TypedConstant ) Hints ";"   (a field)
void TOp4Parser::ClassConst(model::TidClass* cls, const std::string& visibility) {
    const PendingAttributes a = TakeAttributes();
    const int32_t startLine = a.Present ? a.Line : CurLine();
    const bool rec = cls && Recording() && Model;
    std::vector<std::string> names;
    Ident();
    if (rec) names.emplace_back(LastTokenText());
    const int32_t textPos = CurPos();
    const uint32_t start = RunningChecksum;
    if (la_ == tColon) {
        Get();
        Type();
    }
    Expect(tEqual);
    TypedConstant();
    HintDirectives();
    if (rec)
        Model->AddFields(cls, names, TextFrom(textPos), RunningChecksum - start + a.Sum, startLine,
                         CurLine(), visibility);
    Expect(tSemicolon);
}

// CASE [ ident ":" ] TypeRef OF { Labels ":" "(" { Field | Attributes } [ VariantPart ] ")" [ ";" ]
// } The tag and the fields of every variant, nested ones too, are fields of the record; they may
// carry hints and the last one may go without its ";".
void TOp4Parser::ModernVariantPart(model::TidClass* cls, const std::string& visibility) {
    Expect(tCase);
    if (identWords_.Has(la_) && PeekKind() == tColon) {
        const int32_t startLine = CurLine();
        Ident();
        const std::string tag(LastTokenText());
        Get(); // ":"
        const int32_t typePos = CurPos();
        const uint32_t start = RunningChecksum;
        TypeRef();
        if (cls && Recording() && Model)
            Model->AddFields(cls, {tag}, TextFrom(typePos), RunningChecksum - start, startLine,
                             CurLine(), visibility);
    }
    while (la_ != tOf && la_ != tEndOfText)
        Get();
    Expect(tOf);
    Nested([&] {
        while (la_ != tEnd && la_ != tRParen && la_ != tEndOfText) {
            Expression();
            while (la_ == tComma) {
                Get();
                Expression();
            }
            Expect(tColon);
            Expect(tLParen);
            while (la_ != tRParen && la_ != tEndOfText) {
                if (la_ == tLBrack)
                    Attributes();
                else if (la_ == tCase)
                    ModernVariantPart(cls, visibility);
                else if (la_ == tSemicolon)
                    Get();
                else
                    FieldDecl(cls, visibility);
            }
            Expect(tRParen);
            if (la_ == tSemicolon) Get();
        }
    });
}

// RECORD { member } END, read without recording; counts the members that make it class-like.
void TOp4Parser::ModernRecordType() {
    Expect(tRecord);
    ModernClassBody(nullptr, "", "public", true);
    Expect(tEnd);
}

// A record type declaration: with methods, properties, sections or visibility it is recorded as
// a class of kind "record"; otherwise as a type, exactly as before.
bool TOp4Parser::RecordHasMembers() {
    const int32_t counted = recordMembers_;
    const int32_t nesting = nesting_;
    bool members = false;
    TryPush(kTrialModernRecord);
    try {
        if (la_ == tPacked) Get();
        ModernRecordType();
        members = recordMembers_ != counted;
    } catch (const EParserTryBack&) {
        // A record that stops parsing still counts what it showed before the error.
        if (aborted_) throw;
        nesting_ = nesting;
        members = recordMembers_ != counted;
    }
    TryPop();
    recordMembers_ = counted;
    return members;
}

void TOp4Parser::ModernRecordClass(const std::string& name, bool record, int32_t startLine) {
    model::TidClass* cls = nullptr;
    if (record && Recording() && Model) cls = Model->AddClass("record", name, startLine, "");
    if (la_ == tPacked) Get();
    Expect(tRecord);
    ModernClassBody(cls, name, "public", true);
    Expect(tEnd);
    if (cls) cls->LastLine = PrevLine();
}

// Class, helper and object types:
//   CLASS [ SEALED | ABSTRACT ] [ EXTERNAL ... ] [ HELPER ] [ AncestorList ] [ FOR TypeRef ]
//         [ body END ]   (EXTERNAL: fpc)
//   RECORD HELPER FOR TypeRef body END, TYPE HELPER FOR TypeRef body END
//   OBJECT [ AncestorList ] body END
void TOp4Parser::ModernClassType(const std::string& name, bool record, int32_t startLine) {
    const int32_t keyword = la_;
    Get();
    std::string kind = keyword == tClass    ? "class"
                       : keyword == tRecord ? "record"
                       : keyword == tType   ? "type"
                                            : "object";
    if (keyword == tClass && (LaWord("SEALED") || la_ == tAbstract)) Get();
    if (keyword == tClass && fpc_ && la_ == tExternal) ExternalName();
    bool helper = false;
    if (LaWord("HELPER")) {
        Get();
        kind += " helper";
        helper = true;
    }
    std::string ancestors;
    if (la_ == tLParen) AncestorList(&ancestors);
    if (helper && LaWord("FOR")) {
        Get();
        const int32_t pos = CurPos();
        TypeIdent();
        ancestors = WithoutBlanks(TextFrom(pos));
    }
    model::TidClass* cls = nullptr;
    if (record && Recording() && Model) cls = Model->AddClass(kind, name, startLine, ancestors);
    if (keyword != tClass || helper || la_ != tSemicolon) {
        ModernClassBody(cls, name, "", keyword == tRecord);
        Expect(tEnd);
    }
    if (cls) cls->LastLine = PrevLine();
}

// TypeDecl in the modern reading: generic names, nested names, attributes, hint directives,
// records with methods, helpers and "reference to" types.
void TOp4Parser::ModernTypeDecl(bool record) {
    const PendingAttributes attrs = TakeAttributes();
    const int32_t startLine = attrs.Present ? attrs.Line : CurLine();
    std::string name;
    if (LaWord("GENERIC") && PeekKind() == tIdentifier) Get();
    GenericName(&name);
    name.insert(0, nestPrefix_);
    Expect(tEqual);
    const int32_t textPos = CurPos();
    const uint32_t start = RunningChecksum;
    // Free Pascal's "type helper for X" starts at TYPE.
    if (la_ == tType && !(fpc_ && PeekIsWord("HELPER"))) Get();
    bool classLike = true;
    // A class-like type starts at its keyword, or at its attributes.
    const int32_t classLine = attrs.Present ? attrs.Line : CurLine();
    switch (la_) {
    case tInterface:
    case tDispInterface: InterfaceType(name, record); break;
    case tType:
    case tObject: ModernClassType(name, record, classLine); break;
    case tClass:
        if (PeekKind() == tOf) {
            Type();
            classLike = false;
        } else {
            ModernClassType(name, record, classLine);
        }
        break;
    case tRecord:
    case tPacked:
        if (la_ == tRecord && PeekIsWord("HELPER")) {
            ModernClassType(name, record, classLine);
        } else if ((la_ == tRecord || PeekKind() == tRecord) && RecordHasMembers()) {
            ModernRecordClass(name, record, classLine);
        } else if (fpc_ && la_ == tPacked && (PeekKind() == tClass || PeekKind() == tObject)) {
            Get(); // Free Pascal lays out a packed class's fields without gaps
            ModernClassType(name, record, classLine);
        } else {
            Type();
            classLike = false;
        }
        break;
    default:
        if (LaWord("OBJCCLASS") || LaWord("OBJCPROTOCOL") || LaWord("OBJCCATEGORY") ||
            LaWord("CPPCLASS")) {
            ForeignClassType(name, record, classLine);
        } else {
            Type();
            classLike = false;
        }
        break;
    }
    if (classLike) {
        // "end deprecated 'text'", "end align 8"
        HintDirectives();
        if (LaWord("ALIGN")) {
            Get();
            Expression();
        }
        return;
    }
    HintDirectives();
    if (record && Recording() && Model)
        Model->AddType(name, AttributedText(attrs, TextFrom(textPos)),
                       RunningChecksum - start + attrs.Sum, startLine, PrevLine());
}

// Objective-C and C++ classes of FPC: WORD [ AncestorList ] [ EXTERNAL [ NAME expr ] ]
// [ body END ]; the kind is the word in lower case.
void TOp4Parser::ForeignClassType(const std::string& name, bool record, int32_t startLine) {
    Get();
    std::string kind(LastTokenText());
    for (char& c : kind)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    // "external [name x]" stands before or after the ancestors.
    std::string ancestors;
    if (la_ == tExternal) ExternalName();
    if (la_ == tLParen) AncestorList(&ancestors);
    if (la_ == tExternal) ExternalName();
    model::TidClass* cls = nullptr;
    if (record && Recording() && Model) cls = Model->AddClass(kind, name, startLine, ancestors);
    if (la_ != tSemicolon) {
        ModernClassBody(cls, name, "", false);
        Expect(tEnd);
    }
    if (cls) cls->LastLine = PrevLine();
}

// What Free Pascal's Objective-C and Java imports declare elsewhere, classes, interfaces and
// fields: EXTERNAL [ Expression ] [ NAME Expression ], the first a class's Java package.
void TOp4Parser::ExternalName() {
    Expect(tExternal);
    if (la_ != tName && la_ != tLParen && la_ != tSemicolon && exprStart_.Has(la_)) Expression();
    if (la_ == tName) {
        Get();
        Expression();
    }
}

// ReferenceType = REFERENCE TO ProcType
void TOp4Parser::ReferenceType() {
    Get(); // "reference"
    Get(); // "to"
    ProcType();
}

bool TOp4Parser::MacroAhead() const {
    if (la_ != tIdentifier) return false;
    for (const auto& m : macros_)
        if (LaWord(m)) return true;
    return false;
}

// Free Pascal's unit-level property: PROPERTY ident ... ";", a variable to the model whose
// type text is the rest.
void TOp4Parser::GlobalProperty() {
    Get();
    // One PROPERTY may declare several, as VAR does.
    do {
        const int32_t startLine = CurLine();
        std::vector<std::string> names;
        const bool rec = Recording() && Model;
        IdentList(rec ? &names : nullptr);
        const int32_t typePos = CurPos();
        const uint32_t start = RunningChecksum;
        bool any = false;
        for (; la_ != tSemicolon && la_ != tEndOfText; any = true)
            Get();
        const std::string_view text = any ? TextFrom(typePos) : std::string_view();
        const uint32_t sum = RunningChecksum - start;
        Expect(tSemicolon);
        if (rec) Model->AddVars(names, text, sum, 0, startLine, PrevLine());
    } while (la_ == tIdentifier && (PeekKind() == tColon || PeekKind() == tComma));
}

} // namespace quennet::pascal
