// Grammar of type expressions, constant expressions, typed constants, and the statement parts
// that are read as flat token runs with only their block nesting followed.
#include "pascal/grammar_sets.h"
#include "pascal/parser.h"
#include "pascal/parser_trials.h"

namespace quennet::pascal {

using namespace grammar;

// Type = SimpleType | StringType | StructType | ClassRefType | PointerType | ProcType
void TOp4Parser::Type() {
    Nested([&] {
        if (kStringWords.Has(la_)) {
            // "string" alone is a string type; "string[10]..x" would be a subrange.
            if (ChooseAlternative(kTrialTypeString, 2, [this](int32_t a) {
                    if (a == 1)
                        return SubrangeTypeInTrial(); // SimpleType reaches SubrangeType at once
                    StringType();
                    return true;
                }) == 1)
                SimpleType();
            else
                StringType();
            return;
        }
        switch (la_) {
        case tFile:
            if (ChooseAlternative(kTrialTypeFile, 2, [this](int32_t a) {
                    if (a == 1)
                        return SubrangeTypeInTrial(); // SimpleType reaches SubrangeType at once
                    StructType();
                    return true;
                }) == 1)
                SimpleType();
            else
                StructType();
            break;
        case tClass: ClassRefType(); break;
        case tPacked:
        case tArray:
        case tRecord:
        case tSet: StructType(); break;
        case tCaret: PointerType(); break;
        case tFunction:
        case tProcedure: ProcType(); break;
        default:
            if (modern_ && LaWord("REFERENCE") && PeekIsWord("TO")) {
                ReferenceType();
            } else if (fpc_ && LaWord("BITPACKED")) {
                Get();
                StructType();
            } else if (exprStart_.Has(la_)) {
                SimpleType();
            } else {
                SynError(kErrType);
            }
            break;
        }
    });
}

// SimpleType = OrdinalType | ident [ "." ident ]
void TOp4Parser::SimpleType() {
    auto named = [this] {
        if (modern_) {
            TypeRef();
            return;
        }
        Ident();
        if (la_ == tPoint) {
            Get();
            Ident();
        }
    };
    if (identWords_.Has(la_)) {
        // A plain type name is tried as a subrange first (Low(T)..High(T) starts the same way).
        if (ChooseAlternative(kTrialSimpleType, 2, [&](int32_t a) {
                if (a == 1) return SubrangeTypeInTrial(); // no "(": OrdinalType is a subrange
                named();
                return true;
            }) == 1)
            OrdinalType();
        else
            named();
    } else if (exprStart_.Has(la_)) {
        OrdinalType();
    } else {
        SynError(kErrSimpleType);
    }
}

// OrdinalType = SubrangeType | EnumType
void TOp4Parser::OrdinalType() {
    if (la_ == tLParen) {
        // "(1)..(5)" is a subrange, "(Red, Green)" an enumeration.
        if (ChooseAlternative(kTrialOrdinalType, 2, [this](int32_t a) {
                if (a == 1) return SubrangeTypeInTrial();
                EnumType();
                return true;
            }) == 1)
            SubrangeType();
        else
            EnumType();
    } else {
        SubrangeType();
    }
}

// SubrangeType = Expression ".." Expression
void TOp4Parser::SubrangeType() {
    Expression();
    Expect(tDotDot);
    Expression();
}

// SubrangeType as the first thing an attempt parses: a missing ".." fails the attempt, which is
// reported without the cost of an exception. Only for callers with nothing to do after it.
bool TOp4Parser::SubrangeTypeInTrial() {
    Expression();
    if (la_ != tDotDot) return false;
    Get();
    Expression();
    return true;
}

// EnumType = "(" IdentList ")"
void TOp4Parser::EnumType() {
    Expect(tLParen);
    if (modern_) {
        // Values may be given: (kOne = 1, kTwo = 2).
        for (;;) {
            Ident();
            if (la_ == tColon && PeekKind() == tEqual) Get(); // "A := 1" as FPC writes it
            if (la_ == tEqual) {
                Get();
                Expression();
            }
            if (la_ != tComma) break;
            Get();
        }
    } else {
        IdentList(nullptr);
    }
    Expect(tRParen);
}

// StringType = SHORTSTRING | ANSISTRING | WIDESTRING | STRING [ "[" Expression "]" ]
void TOp4Parser::StringType() {
    switch (la_) {
    case tShortString:
    case tWideString: Get(); break;
    case tAnsiString:
        Get();
        if (modern_ && la_ == tLParen) { // a code page: AnsiString(CP_UTF8)
            Get();
            Expression();
            Expect(tRParen);
        }
        break;
    case tStringKw:
        Get();
        if (la_ == tLBrack) {
            Get();
            Expression();
            Expect(tRBrack);
        }
        break;
    default: SynError(kErrStringType); break;
    }
}

// StructType = [ PACKED ] ( FileType | ArrayType | RecordType | SetType )
void TOp4Parser::StructType() {
    if (la_ == tPacked) Get();
    switch (la_) {
    case tFile: FileType(); break;
    case tArray: ArrayType(); break;
    case tRecord: RecordType(); break;
    case tSet: SetType(); break;
    default: SynError(kErrStructType); break;
    }
}

// FileType = FILE [ OF Type ]
void TOp4Parser::FileType() {
    Expect(tFile);
    if (la_ == tOf) {
        Get();
        Type();
    }
}

// ArrayType = ARRAY [ "[" IndexType { "," IndexType } "]" ] OF Type
void TOp4Parser::ArrayType() {
    Expect(tArray);
    if (la_ == tLBrack) {
        Get();
        IndexType();
        while (la_ == tComma) {
            Get();
            IndexType();
        }
        Expect(tRBrack);
    }
    Expect(tOf);
    Type();
}

// IndexType = SubrangeType | TypeIdent
void TOp4Parser::IndexType() {
    if (identWords_.Has(la_)) {
        if (ChooseAlternative(kTrialIndexType, 2, [this](int32_t a) {
                if (a == 1) return SubrangeTypeInTrial();
                TypeIdent();
                return true;
            }) == 1)
            SubrangeType();
        else
            TypeIdent();
    } else if (exprStart_.Has(la_)) {
        SubrangeType();
    } else {
        SynError(kErrIndexType);
    }
}

// SetType = SET OF ( OrdinalType | ident )
void TOp4Parser::SetType() {
    Expect(tSet);
    Expect(tOf);
    if (identWords_.Has(la_)) {
        if (ChooseAlternative(kTrialSetType, 2, [this](int32_t a) {
                if (a == 1) return SubrangeTypeInTrial(); // no "(": OrdinalType is a subrange
                if (modern_)
                    TypeRef();
                else
                    Ident();
                return true;
            }) == 1)
            OrdinalType();
        else if (modern_)
            TypeRef();
        else
            Ident();
    } else if (exprStart_.Has(la_)) {
        OrdinalType();
    } else {
        SynError(kErrSetType);
    }
}

// PointerType = "^" TypeIdent
void TOp4Parser::PointerType() {
    Expect(tCaret);
    TypeIdent();
}

// ClassRefType = CLASS OF ident [ "." ident ]
void TOp4Parser::ClassRefType() {
    Expect(tClass);
    Expect(tOf);
    if (modern_) {
        TypeRef();
        return;
    }
    Ident();
    if (la_ == tPoint) {
        Get();
        Ident();
    }
}

// ProcType = ( FUNCTION [ FormalParams ] ":" ResultType | PROCEDURE [ FormalParams ] )
//            [ OF OBJECT ] [ CallConvention ] { ";" CallConvention }
void TOp4Parser::ProcType() {
    if (la_ == tFunction) {
        Get();
        if (la_ == tLParen) FormalParams();
        Expect(tColon);
        ResultType();
    } else {
        Expect(tProcedure);
        if (la_ == tLParen) FormalParams();
    }
    if (la_ == tOf) {
        Get();
        Expect(tObject);
    } else if (modern_ && la_ == tIs && PeekIsWord("NESTED")) {
        Get();
        Get();
    }
    if (kCallConv.Has(la_) || MacroAhead()) Get();
    // The ";" may end the declaration instead.
    while (la_ == tSemicolon) {
        if (!GuardedOptional(kTrialProcTypeConvention, [this] {
                Get(); // ";"
                if (kCallConv.Has(la_) || MacroAhead()) {
                    Get();
                    return true;
                }
                // The modern compilers also take "; far;", "; varargs;" and hints such as
                // "; deprecated;" after a procedural type.
                if (modern_ && (la_ == tFar || la_ == tNear || LaWord("VARARGS")) &&
                    PeekKind() == tSemicolon) {
                    Get();
                    return true;
                }
                if (modern_ && HintAhead() && la_ != tLibrary) {
                    HintDirectives();
                    return la_ == tSemicolon;
                }
                return false;
            }))
            break;
    }
}

// Expression = SimpleExpression { RelOp SimpleExpression }
void TOp4Parser::Expression() {
    Nested([&] {
        SimpleExpression();
        ExpressionTail();
    });
}

// { RelOp SimpleExpression }
void TOp4Parser::ExpressionTail() {
    // "=" after a type or constant may start the value rather than continue the expression.
    while (kRelOps.Has(la_)) {
        if (!GuardedOptional(kTrialRelOp, [this] {
                if (kRelOps.Has(la_))
                    Get();
                else
                    SynError(kErrRelOp);
                SimpleExpression();
            }))
            break;
    }
}

// SimpleExpression = [ "+" | "-" ] Term { AddOp Term }
void TOp4Parser::SimpleExpression() {
    if (la_ == tPlus || la_ == tMinus) Get();
    Term();
    SimpleExpressionTail();
}

// { AddOp Term }
void TOp4Parser::SimpleExpressionTail() {
    while (kAddOps.Has(la_)) {
        Get();
        Term();
    }
}

// Term = Factor { MulOp Factor }
void TOp4Parser::Term() {
    Factor();
    TermTail();
}

// { MulOp Factor }, where Free Pascal's MulOp also spells shl and shr "<<" and ">>"
void TOp4Parser::TermTail() {
    for (;;) {
        if (kMulOps.Has(la_)) {
            Get();
        } else if (fpc_ && (la_ == tLess || la_ == tGreater) &&
                   CharAt(CurPos() + 1) == CharAt(CurPos())) {
            Get();
            Get();
        } else {
            break;
        }
        Factor();
    }
}

// Factor = SetConstructor | ident { "." ident } [ "(" Expression ")" ] | TypeIdent [ "(" Expression
// ")" ]
//        | number | StringSeq | "(" Expression { "," Expression } ")" | NIL | NOT Factor
//        | "@" ident { "." ident }
void TOp4Parser::Factor() {
    Nested([&] {
        auto call = [this] {
            if (la_ == tLParen) {
                Get();
                Expression();
                Expect(tRParen);
            }
            // The modern readings take what a pointer points to: Ofs(TypeOf(TView)^).
            while (modern_ && la_ == tCaret)
                Get();
        };
        auto dottedCall = [&] {
            Ident();
            while (la_ == tPoint) {
                Get();
                Ident();
            }
            call();
        };
        auto typeCall = [&] {
            TypeIdent();
            call();
        };
        switch (la_) {
        case tLBrack: SetConstructor(); break;
        case tInteger:
        case tReal:
        case tNil: Get(); break;
        case tString:
        case tCharConst: StringSeq(); break;
        case tLParen:
            Get();
            Expression();
            while (la_ == tComma) {
                Get();
                Expression();
            }
            Expect(tRParen);
            break;
        case tFile:
        case tShortString:
        case tAnsiString:
        case tWideString:
        case tStringKw: typeCall(); break;
        case tNot:
            Get();
            Factor();
            break;
        case tAt:
            Get();
            Ident();
            // The modern readings also take an element: @Table[0].
            while (la_ == tPoint || (modern_ && la_ == tLBrack)) {
                if (la_ == tLBrack) {
                    SkipBrackets();
                    continue;
                }
                Get();
                Ident();
            }
            break;
        default:
            if (identWords_.Has(la_)) {
                // Both attempts read as the real parse does.
                bool kept = false;
                const int32_t alt = ChooseAlternative(kTrialFactor, 2, 1, kept, [&](int32_t a) {
                    if (a == 1)
                        dottedCall();
                    else
                        typeCall();
                });
                if (kept) return;
                if (alt == 1)
                    dottedCall();
                else
                    typeCall();
            } else {
                SynError(kErrFactor);
            }
            break;
        }
    });
}

// SetConstructor = "[" [ SetElement { "," SetElement } ] "]"
void TOp4Parser::SetConstructor() {
    Expect(tLBrack);
    if (exprStart_.Has(la_)) {
        SetElement();
        while (la_ == tComma) {
            Get();
            SetElement();
        }
    }
    Expect(tRBrack);
}

// SetElement = Expression [ ".." Expression ]
void TOp4Parser::SetElement() {
    Expression();
    if (la_ == tDotDot) {
        Get();
        Expression();
    }
}

// TypedConstant = Expression | ArrayConstant | RecordConstant | "(" ")" (modern)
void TOp4Parser::TypedConstant() {
    Nested([&] {
        if (modern_ && la_ == tLParen && PeekKind() == tRParen) {
            // "()": a record or array constant of all zeros.
            Get();
            Get();
        } else if (la_ == tLParen && nesting_ + 8 <= MaxNesting && FieldConstantAhead()) {
            // A word and ":" after "(": neither an expression nor an array constant reads past the
            // ":", so the trial would end in the record constant anyway. Large tables of records
            // would otherwise try every element three ways.
            RecordConstant();
        } else if (la_ == tLParen) {
            // "(" opens a parenthesised expression, an array constant or a record constant. The
            // array and record attempts read as the real parse does, so a large table that
            // parses is read once.
            bool kept = false;
            const int32_t alt =
                ChooseAlternative(kTrialTypedConstant, 3, 2, kept, [this](int32_t a) {
                    if (a == 1) return ParenExpressionInTrial();
                    if (a == 2) return ArrayConstantInTrial();
                    RecordConstant();
                    return true;
                });
            if (kept) return;
            switch (alt) {
            case 1: Expression(); break;
            case 2: ArrayConstant(); break;
            default: RecordConstant(); break;
            }
        } else if (exprStart_.Has(la_)) {
            Expression();
        } else {
            SynError(kErrTypedConstant);
        }
    });
}

// Whether the text after the lookahead is a plain word, blanks and a ":" that is no ":=",
// read from the characters without scanning tokens (no directive can act on the way).
bool TOp4Parser::FieldConstantAhead() const {
    auto blank = [](uint8_t c) { return c == ' ' || (c >= 9 && c <= 13); };
    auto letter = [](uint8_t c) { return (c >= 'A' && c <= 'Z') || c == '_'; };
    int32_t p = s_.CurToken.Pos + s_.CurToken.Len;
    while (blank(CharAt(p)))
        ++p;
    if (!letter(CharAt(p))) return false;
    while (letter(CharAt(p)) || (CharAt(p) >= '0' && CharAt(p) <= '9'))
        ++p;
    while (blank(CharAt(p)))
        ++p;
    return CharAt(p) == ':' && CharAt(p + 1) != '=';
}

// Expression starting with "(" as a whole attempt: a missing ")" after the parenthesised list
// fails it without an exception. The same steps as Expression, SimpleExpression, Term and Factor.
bool TOp4Parser::ParenExpressionInTrial() {
    return Nested([&] {
        const bool closed = Nested([&] {
            Get(); // "("
            Expression();
            while (la_ == tComma) {
                Get();
                Expression();
            }
            if (la_ != tRParen) return false;
            Get();
            return true;
        });
        if (!closed) return false;
        TermTail();
        SimpleExpressionTail();
        ExpressionTail();
        return true;
    });
}

// ArrayConstant as a whole attempt: a missing ")" fails it without an exception.
bool TOp4Parser::ArrayConstantInTrial() {
    Get(); // "("
    TypedConstant();
    while (la_ == tComma) {
        Get();
        TypedConstant();
    }
    if (la_ != tRParen) return false;
    Get();
    return true;
}

// ArrayConstant = "(" TypedConstant { "," TypedConstant } ")"
void TOp4Parser::ArrayConstant() {
    Expect(tLParen);
    TypedConstant();
    while (la_ == tComma) {
        Get();
        TypedConstant();
    }
    Expect(tRParen);
}

// RecordConstant = "(" FieldConstant { ";" FieldConstant } ")"
void TOp4Parser::RecordConstant() {
    Expect(tLParen);
    FieldConstant();
    while (la_ == tSemicolon) {
        Get();
        if (modern_ && la_ == tRParen) break; // a ";" after the last field
        FieldConstant();
    }
    Expect(tRParen);
}

// FieldConstant = ident ":" TypedConstant
void TOp4Parser::FieldConstant() {
    Ident();
    Expect(tColon);
    TypedConstant();
}

// StatementList = { any token but END, EXCEPT, FINALLY, FINALIZATION; blocks nested }
void TOp4Parser::StatementList() {
    Nested([&] {
        for (;;) {
            switch (la_) {
            case tEnd:
            case tExcept:
            case tFinally:
            case tFinalization:
            case tEndOfText: return;
            case tBegin:
            case tCase:
            case tTry:
            case tAsm: NestedBlock(); break;
            default: Get(); break;
            }
        }
    });
}

// NestedBlock = BeginBlock | CASE StatementList END
//             | TRY StatementList ( EXCEPT | FINALLY ) StatementList END | AsmBlock
void TOp4Parser::NestedBlock() {
    switch (la_) {
    case tBegin: BeginBlock(); break;
    case tCase:
        Get();
        StatementList();
        Expect(tEnd);
        break;
    case tTry:
        Get();
        StatementList();
        if (la_ == tExcept || la_ == tFinally)
            Get();
        else
            SynError(kErrTryBlock);
        StatementList();
        Expect(tEnd);
        break;
    case tAsm: AsmBlock(); break;
    default: SynError(kErrNestedBlock); break;
    }
}

// BeginBlock = BEGIN StatementList END
void TOp4Parser::BeginBlock() {
    Expect(tBegin);
    StatementList();
    Expect(tEnd);
}

// AsmBlock = ASM { any token but END } END
void TOp4Parser::AsmBlock() {
    Expect(tAsm);
    while (la_ != tEnd && la_ != tEndOfText)
        Get();
    Expect(tEnd);
}

} // namespace quennet::pascal
