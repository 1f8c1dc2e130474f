// Grammar of class, interface, dispinterface and object types, their members, and records.
// A class-like type is recorded only as the type of a unit-level type declaration.
#include "pascal/grammar_sets.h"
#include "pascal/parser.h"
#include "pascal/parser_trials.h"

namespace quennet::pascal {

using namespace grammar;

namespace {
std::string LowerAZ(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}
} // namespace

// ClassType = CLASS [ AncestorList ] [ { VisibilityWord | ClassMember } END ]
void TOp4Parser::ClassType(const std::string& name, bool record) {
    const int32_t startLine = CurLine();
    Expect(tClass);
    std::string ancestors;
    if (la_ == tLParen) AncestorList(&ancestors);
    model::TidClass* cls = nullptr;
    if (record && Recording() && Model) cls = Model->AddClass("class", name, startLine, ancestors);
    std::string visibility; // the default section until a visibility word
    if (la_ == tEnd || kClassMemberStart.Has(la_)) {
        while (kClassMemberStart.Has(la_)) {
            if (kVisibilityWords.Has(la_)) {
                // A visibility word could also name a field; as a word alone it always parses.
                int32_t alt = ChooseAlternative(kTrialVisibility, 2, [&](int32_t a) {
                    if (a == 1)
                        VisibilityWord(nullptr);
                    else
                        ClassMember(nullptr, visibility);
                });
                if (alt == 1)
                    VisibilityWord(&visibility);
                else
                    ClassMember(cls, visibility);
            } else {
                ClassMember(cls, visibility);
            }
        }
        Expect(tEnd);
    }
    if (cls) cls->LastLine = PrevLine();
}

// AncestorList = "(" ident { "," ident } ")"
void TOp4Parser::AncestorList(std::string* ancestors) {
    if (modern_) {
        // Dotted and generic ancestors, each written without blanks.
        Expect(tLParen);
        for (;;) {
            const int32_t pos = CurPos();
            TypeRef();
            for (char c : TextFrom(pos))
                if (static_cast<unsigned char>(c) > 32) *ancestors += c;
            if (la_ != tComma) break;
            Get();
            *ancestors += ',';
        }
        Expect(tRParen);
        return;
    }
    Expect(tLParen);
    Ident();
    *ancestors = LastTokenText();
    while (la_ == tComma) {
        Get();
        Ident();
        *ancestors += ',';
        *ancestors += LastTokenText();
    }
    Expect(tRParen);
}

// VisibilityWord = PUBLIC | PROTECTED | PRIVATE | PUBLISHED | AUTOMATED
void TOp4Parser::VisibilityWord(std::string* visibility) {
    if (kVisibilityWords.Has(la_)) {
        Get();
        if (visibility) *visibility = LastTokenText();
    } else {
        SynError(kErrVisibility);
    }
}

// ClassMember = FieldDecl | PropertyDecl | MethodDecl
void TOp4Parser::ClassMember(model::TidClass* cls, const std::string& visibility) {
    if (identWords_.Has(la_)) {
        FieldDecl(cls, visibility);
    } else if (la_ == tProperty) {
        PropertyDecl(cls, visibility);
    } else if (la_ == tClass || la_ == tFunction || la_ == tProcedure || la_ == tConstructor ||
               la_ == tDestructor) {
        MethodDecl(cls, visibility);
    } else {
        SynError(kErrClassMember);
    }
}

// FieldDecl = IdentList ":" Type ";"
void TOp4Parser::FieldDecl(model::TidClass* cls, const std::string& visibility) {
    const PendingAttributes attrs = modern_ ? TakeAttributes() : PendingAttributes{};
    const int32_t startLine = attrs.Present ? attrs.Line : CurLine();
    const bool rec = cls && Recording() && Model;
    std::vector<std::string> names;
    IdentList(rec ? &names : nullptr);
    Expect(tColon);
    const int32_t typePos = CurPos();
    const uint32_t start = RunningChecksum;
    Type();
    if (modern_) HintDirectives();
    if (rec)
        Model->AddFields(cls, names, AttributedText(attrs, TextFrom(typePos)),
                         RunningChecksum - start + attrs.Sum, startLine, CurLine(), visibility);
    // The last field of a modern record, class or variant may go without its ";".
    if (!modern_ || (la_ != tEnd && la_ != tRParen)) Expect(tSemicolon);
    // Free Pascal: a class variable written as a field with "static;" after it.
    if (fpc_ && LaWord("STATIC") && PeekKind() == tSemicolon) {
        Get();
        Get();
    }
    // A field of a Java class under its own name: "external name 'x';".
    if (fpc_ && la_ == tExternal && PeekKind() == tName) {
        ExternalName();
        Expect(tSemicolon);
    }
}

// MethodDecl = MethodHeading ";" { Directive ";" }
void TOp4Parser::MethodDecl(model::TidClass* cls, const std::string& visibility) {
    const PendingAttributes attrs = modern_ ? TakeAttributes() : PendingAttributes{};
    const int32_t startLine = attrs.Present ? attrs.Line : CurLine();
    const int32_t textPos = attrs.Present ? attrs.Pos : CurPos();
    const uint32_t start = RunningChecksum - attrs.Sum;
    std::string name;
    MethodHeading(&name);
    // Free Pascal takes a directive straight after the heading ("procedure Run override;").
    if (!fpc_ || !kDirectiveStart.Has(la_)) Expect(tSemicolon);
    // A directive word such as MESSAGE or DEFAULT may also name the next field. Free Pascal's
    // Java and Objective-C classes give their methods' own names: "external name 'create'".
    while (kDirectiveStart.Has(la_) || (modern_ && ModernDirectiveStart(0)) ||
           (fpc_ && la_ == tExternal)) {
        if (!GuardedOptional(kTrialMethodDirective, [this] {
                Directive();
                Expect(tSemicolon);
            }))
            break;
    }
    if (cls && Recording() && Model)
        Model->AddMethod(cls, visibility, name, TextFrom(textPos), startLine, PrevLine(),
                         RunningChecksum - start);
}

// MethodHeading = [ CLASS ] FUNCTION ident ( "." ident "=" ident | [ FormalParams ] [ ":"
// ResultType ] )
//               | [ CLASS ] PROCEDURE ident ( "." ident "=" ident | [ FormalParams ] )
//               | CONSTRUCTOR ident [ FormalParams ] | DESTRUCTOR ident [ FormalParams ]
//               | ( FUNCTION | PROCEDURE ) ident TypeArgs "." ident "=" ident   (modern)
void TOp4Parser::MethodHeading(std::string* name) {
    bool afterClass = false;
    if (la_ == tClass) {
        Get();
        afterClass = !modern_; // class constructors and destructors are modern
    }
    if (modern_ && LaWord("OPERATOR")) {
        // class operator Add(const A, B: T): T; Free Pascal names it by its symbol (:=, +)
        Get();
        if (fpc_ && !identWords_.Has(la_)) {
            name->clear();
            OperatorSymbol(name);
        } else {
            Ident();
            *name = LastTokenText();
        }
        if (la_ == tLParen) FormalParams();
        if (fpc_ && identWords_.Has(la_)) Get(); // the result's name: "(a, b: T) c: Boolean"
        if (la_ == tColon) {
            Get();
            ResultType();
        }
        return;
    }
    const int32_t kind = la_;
    if (kind == tFunction || kind == tProcedure) {
        Get();
        // "function IFoo<T, IBar<T>>.Invoke = Bind;": the interface of a method resolution
        // clause is a type, its arguments types rather than parameter names.
        if (modern_ && PeekKind() == tLess && GuardedOptional(kTrialMethodResolution, [this, name] {
                const int32_t from = CurPos();
                Ident();
                TypeArgs();
                if (la_ != tPoint) return false;
                // Named as a generic's heading is: "IFoo<T>", without blanks.
                name->clear();
                for (char c : TextFrom(from))
                    if (static_cast<unsigned char>(c) > 32) *name += c;
                Get();
                Ident();
                Expect(tEqual);
                Ident();
                return true;
            }))
            return;
        GenericName(name);
        if (la_ == tPoint) {
            Get();
            Ident();
            Expect(tEqual);
            Ident();
        } else {
            if (la_ == tLParen) FormalParams();
            if (kind == tFunction && la_ == tColon) {
                Get();
                ResultType();
            }
        }
    } else if (!afterClass && (kind == tConstructor || kind == tDestructor)) {
        Get();
        Ident();
        *name = LastTokenText();
        if (la_ == tLParen) FormalParams();
    } else {
        SynError(kErrMethodHeading);
    }
}

// PropertyDecl = PROPERTY ident [ PropertyInterface ] PropertySpecifiers ";"
void TOp4Parser::PropertyDecl(model::TidClass* cls, const std::string& visibility) {
    const PendingAttributes attrs = modern_ ? TakeAttributes() : PendingAttributes{};
    const int32_t startLine = attrs.Present ? attrs.Line : CurLine();
    const int32_t textPos = attrs.Present ? attrs.Pos : CurPos();
    if (modern_ && la_ == tClass) Get(); // class property
    Expect(tProperty);
    Ident();
    std::string name(LastTokenText());
    const uint32_t start = RunningChecksum;
    if (kPropertyWithoutType.Has(la_)) {
        // A property without type redeclares an inherited one; both readings take the same text.
        int32_t alt = ChooseAlternative(kTrialProperty, 2, [this](int32_t a) {
            if (a == 1) PropertyInterface();
            PropertySpecifiers();
        });
        if (alt == 1) PropertyInterface();
        PropertySpecifiers();
    } else {
        PropertyInterface();
        PropertySpecifiers();
    }
    if (modern_) HintDirectives();
    if (cls && Recording() && Model)
        Model->AddProperty(cls, visibility, name, TextFrom(textPos), startLine, CurLine(),
                           RunningChecksum - start + attrs.Sum);
    if (!modern_ || la_ != tEnd) Expect(tSemicolon);
}

// PropertyInterface = [ "[" FormalParam { ";" FormalParam } "]" ] [ ":" TypeIdent ]
void TOp4Parser::PropertyInterface() {
    if (la_ == tLBrack) {
        Get();
        FormalParam();
        while (la_ == tSemicolon) {
            Get();
            FormalParam();
        }
        Expect(tRBrack);
    }
    if (la_ == tColon) {
        Get();
        TypeIdent();
    }
}

// PropertySpecifiers = [ INDEX Expression ] [ READ ident { "." ident } ] [ READONLY ]
//   [ WRITE ident { "." ident } ] [ WRITEONLY ] [ STORED Expression ]
//   [ DEFAULT Expression | NODEFAULT ] [ IMPLEMENTS ident { "." ident } { "," ident { "." ident } }
//   ] [ DISPID Expression ] [ ";" DEFAULT ]
void TOp4Parser::PropertySpecifiers() {
    auto dotted = [this] {
        if (modern_) {
            // Generic interfaces, and array fields with a constant index (read FItems[0]).
            TypeRef();
            if (la_ == tLBrack) {
                Get();
                Expression();
                Expect(tRBrack);
            }
            return;
        }
        Ident();
        while (la_ == tPoint) {
            Get();
            Ident();
        }
    };
    if (la_ == tIndex) {
        Get();
        Expression();
    }
    if (la_ == tRead) {
        Get();
        dotted();
    }
    if (la_ == tReadOnly) Get();
    if (la_ == tWrite) {
        Get();
        dotted();
    }
    if (la_ == tWriteOnly) Get();
    if (la_ == tStored) {
        Get();
        Expression();
    }
    if (la_ == tDefault) {
        Get();
        Expression();
    } else if (la_ == tNoDefault) {
        Get();
    }
    if (la_ == tImplements) {
        Get();
        dotted();
        while (la_ == tComma) {
            Get();
            dotted();
        }
    }
    if (la_ == tDispId) {
        Get();
        Expression();
    }
    // "; default" marks the default array property, and in the modern readings hints may follow
    // a ";" too ("read FX; deprecated;"); any other ";" ends the declaration.
    if (la_ == tSemicolon)
        GuardedOptional(kTrialPropertyDefault, [this] {
            Get(); // ";"
            if (modern_ && HintAhead()) {
                HintDirectives();
                return true;
            }
            if (la_ != tDefault) return false;
            Get();
            return true;
        });
}

// InterfaceType = ( INTERFACE | DISPINTERFACE )
//                 [ [ AncestorList ] [ "[" Expression "]" ] { MethodDecl | PropertyDecl } END ]
//               | INTERFACE EXTERNAL ... [ AncestorList ] [ class body END ]  (fpc)
void TOp4Parser::InterfaceType(const std::string& name, bool record) {
    const int32_t startLine = CurLine();
    Get();
    const bool rec = record && Recording() && Model;
    std::string kind;
    if (rec) kind = LowerAZ(LastTokenText());
    model::TidClass* cls = nullptr;
    std::string ancestors;
    if (fpc_ && la_ == tExternal) {
        // A Java interface: its body may hold constants and nested types, as a class's does.
        ExternalName();
        if (la_ == tLParen) AncestorList(&ancestors);
        if (rec) cls = Model->AddClass(kind, name, startLine, ancestors);
        if (la_ != tSemicolon) {
            ModernClassBody(cls, name, "public", false);
            Expect(tEnd);
        }
    } else if (kInterfaceBodyStart.Has(la_)) {
        if (la_ == tLParen) AncestorList(&ancestors);
        if (la_ == tLBrack) {
            Get();
            Expression();
            Expect(tRBrack);
        }
        if (rec) cls = Model->AddClass(kind, name, startLine, ancestors);
        while (kInterfaceMemberStart.Has(la_) || (modern_ && la_ == tLBrack)) {
            if (la_ == tLBrack)
                Attributes();
            else if (la_ == tProperty)
                PropertyDecl(cls, "public");
            else
                MethodDecl(cls, "public");
        }
        Expect(tEnd);
    } else if (rec) {
        cls = Model->AddClass(kind, name, startLine, ancestors);
    }
    if (cls) cls->LastLine = PrevLine();
}

// ObjectType = OBJECT [ "(" QualifiedName ")" ] { ObjectMember } END
void TOp4Parser::ObjectType(const std::string& name, bool record) {
    if (modern_) {
        ModernClassType(name, record, CurLine());
        return;
    }
    const int32_t startLine = CurLine();
    Expect(tObject);
    std::string ancestors;
    if (la_ == tLParen) {
        Get();
        bool qualified = false;
        QualifiedName(&ancestors, &qualified);
        Expect(tRParen);
    }
    model::TidClass* cls = nullptr;
    if (record && Recording() && Model) cls = Model->AddClass("object", name, startLine, ancestors);
    while (identWords_.Has(la_) || la_ == tFunction || la_ == tProcedure) {
        if (la_ == tFunction || la_ == tProcedure)
            ObjectMethod(cls);
        else
            FieldDecl(cls, "public");
    }
    Expect(tEnd);
    if (cls) cls->LastLine = PrevLine();
}

// ObjectMethod = ( FunctionHeading | ProcedureHeading ) ";" { Directive ";" }
void TOp4Parser::ObjectMethod(model::TidClass* cls) {
    const int32_t startLine = CurLine();
    const int32_t textPos = CurPos();
    const uint32_t start = RunningChecksum;
    std::string name;
    if (la_ == tFunction)
        FunctionHeading(&name);
    else
        ProcedureHeading(&name);
    Expect(tSemicolon);
    while (kDirectiveStart.Has(la_)) {
        if (!GuardedOptional(kTrialObjectMethodDirective, [this] {
                Directive();
                Expect(tSemicolon);
            }))
            break;
    }
    if (cls && Recording() && Model)
        Model->AddMethod(cls, "public", name, TextFrom(textPos), startLine, PrevLine(),
                         RunningChecksum - start);
}

// RecordType = RECORD FieldList END
void TOp4Parser::RecordType() {
    if (modern_) {
        ModernRecordType();
        return;
    }
    Expect(tRecord);
    FieldList();
    Expect(tEnd);
}

// FieldList = [ IdentList ":" Type { ";" IdentList ":" Type } ] [ [ ";" ] VariantPart ] [ ";" ]
void TOp4Parser::FieldList() {
    Nested([&] {
        if (identWords_.Has(la_)) {
            IdentList(nullptr);
            Expect(tColon);
            Type();
            // A ";" may end the list or separate one more field.
            while (la_ == tSemicolon) {
                if (!GuardedOptional(kTrialFieldListField, [this] {
                        Get(); // ";"
                        if (!identWords_.Has(la_)) return false;
                        IdentList(nullptr);
                        Expect(tColon);
                        Type();
                        return true;
                    }))
                    break;
            }
        }
        if (la_ == tCase) {
            VariantPart();
        } else if (la_ == tSemicolon) {
            GuardedOptional(kTrialFieldListVariant, [this] {
                Get(); // ";"
                if (la_ != tCase && la_ != tSemicolon) return false;
                VariantPart();
                return true;
            });
        }
        if (la_ == tSemicolon) Get();
    });
}

// VariantPart = [ ";" ] CASE { any token but OF } OF RecordVariant { ";" RecordVariant }
void TOp4Parser::VariantPart() {
    if (la_ == tSemicolon) Get();
    Expect(tCase);
    while (la_ != tOf && la_ != tEndOfText)
        Get();
    Expect(tOf);
    RecordVariant();
    while (la_ == tSemicolon) {
        if (!GuardedOptional(kTrialVariant, [this] {
                Expect(tSemicolon);
                RecordVariant();
            }))
            break;
    }
}

// RecordVariant = Expression { "," Expression } ":" "(" [ FieldList ] ")"
void TOp4Parser::RecordVariant() {
    Expression();
    while (la_ == tComma) {
        Get();
        Expression();
    }
    Expect(tColon);
    Expect(tLParen);
    FieldList();
    Expect(tRParen);
}

} // namespace quennet::pascal
