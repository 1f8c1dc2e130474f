// Token kinds of the Object Pascal scanner, defined once: the scanner, the parser's first
// sets and the tests all use this numbering.
#pragma once

#include <cstdint>
#include <string_view>

namespace quennet::pascal {

// X(name, spelling): keywords are the upper-case spellings; spelling is empty for the
// kinds without a fixed text.
// clang-format off
#define QUENNET_TOKEN_KINDS(X) \
    X(EndOfText, "") X(LBrack, "[") X(RBrack, "]") X(Identifier, "") X(Integer, "") \
    X(Real, "") X(String, "") X(CharConst, "") X(Program, "PROGRAM") X(LParen, "(") \
    X(RParen, ")") X(Semicolon, ";") X(Point, ".") X(Unit, "UNIT") X(Package, "PACKAGE") \
    X(End, "END") X(Requires, "REQUIRES") X(Contains, "CONTAINS") X(Library, "LIBRARY") \
    X(Begin, "BEGIN") X(Exports, "EXPORTS") X(Comma, ",") X(Index, "INDEX") X(Name, "NAME") \
    X(Resident, "RESIDENT") X(Uses, "USES") X(In, "IN") X(Interface, "INTERFACE") \
    X(Implementation, "IMPLEMENTATION") X(Label, "LABEL") X(Const, "CONST") \
    X(ResourceString, "RESOURCESTRING") X(Equal, "=") X(Plus, "+") X(Colon, ":") \
    X(Type, "TYPE") X(File, "FILE") X(Class, "CLASS") X(Of, "OF") X(DotDot, "..") \
    X(ShortString, "SHORTSTRING") X(AnsiString, "ANSISTRING") X(WideString, "WIDESTRING") \
    X(StringKw, "STRING") X(Packed, "PACKED") X(Array, "ARRAY") X(Record, "RECORD") \
    X(Case, "CASE") X(Set, "SET") X(Caret, "^") X(Object, "OBJECT") X(Function, "FUNCTION") \
    X(Procedure, "PROCEDURE") X(Var, "VAR") X(ThreadVar, "THREADVAR") X(Absolute, "ABSOLUTE") \
    X(Greater, ">") X(Less, "<") X(LessEqual, "<=") X(GreaterEqual, ">=") X(NotEqual, "<>") \
    X(Is, "IS") X(Minus, "-") X(Or, "OR") X(Xor, "XOR") X(Star, "*") X(Slash, "/") \
    X(Div, "DIV") X(Mod, "MOD") X(And, "AND") X(Shl, "SHL") X(Shr, "SHR") X(Asm, "ASM") \
    X(Try, "TRY") X(Except, "EXCEPT") X(Finally, "FINALLY") X(Constructor, "CONSTRUCTOR") \
    X(Destructor, "DESTRUCTOR") X(Forward, "FORWARD") X(External, "EXTERNAL") X(Out, "OUT") \
    X(Cdecl, "CDECL") X(Register, "REGISTER") X(Pascal, "PASCAL") X(Safecall, "SAFECALL") \
    X(Stdcall, "STDCALL") X(Assembler, "ASSEMBLER") X(Virtual, "VIRTUAL") \
    X(Dynamic, "DYNAMIC") X(Message, "MESSAGE") X(Override, "OVERRIDE") \
    X(Overload, "OVERLOAD") X(Reintroduce, "REINTRODUCE") X(Near, "NEAR") X(Far, "FAR") \
    X(Export, "EXPORT") X(DispId, "DISPID") X(Abstract, "ABSTRACT") \
    X(Initialization, "INITIALIZATION") X(Finalization, "FINALIZATION") \
    X(Property, "PROPERTY") X(Public, "PUBLIC") X(Protected, "PROTECTED") \
    X(Private, "PRIVATE") X(Published, "PUBLISHED") X(Automated, "AUTOMATED") X(Read, "READ") \
    X(ReadOnly, "READONLY") X(Write, "WRITE") X(WriteOnly, "WRITEONLY") X(Stored, "STORED") \
    X(Default, "DEFAULT") X(NoDefault, "NODEFAULT") X(Implements, "IMPLEMENTS") \
    X(DispInterface, "DISPINTERFACE") X(Nil, "NIL") X(Not, "NOT") X(At, "@") X(NoSym, "")
// clang-format on

enum Tok : int32_t {
#define QUENNET_TOKEN_ENUM(name, text) t##name,
    QUENNET_TOKEN_KINDS(QUENNET_TOKEN_ENUM)
#undef QUENNET_TOKEN_ENUM
};

static_assert(tNoSym == 118, "token numbering");
constexpr int32_t kMaxTerminal = 118; // kinds above this would be pragmas

inline constexpr std::string_view kTokenSpelling[] = {
#define QUENNET_TOKEN_TEXT(name, text) text,
    QUENNET_TOKEN_KINDS(QUENNET_TOKEN_TEXT)
#undef QUENNET_TOKEN_TEXT
};

// The keywords by length and first letter, for the scanner's lookup without copying the word.
struct KeywordBuckets {
    static constexpr size_t kPerBucket = 8; // 0 ends a list; building checks the size
    Tok Kinds[15][26][kPerBucket];
};
const KeywordBuckets& KeywordBucketTable();

// A fixed set of token kinds, for first sets.
class TokenSet {
public:
    constexpr TokenSet() = default;
    constexpr TokenSet(std::initializer_list<Tok> kinds) {
        for (Tok k : kinds)
            Add(k);
    }
    constexpr TokenSet& Add(Tok k) {
        bits_[k >> 6] |= uint64_t{1} << (k & 63);
        return *this;
    }
    constexpr TokenSet& AddRange(Tok from, Tok to) {
        for (int k = from; k <= to; ++k)
            Add(static_cast<Tok>(k));
        return *this;
    }
    constexpr TokenSet operator|(const TokenSet& o) const {
        TokenSet r;
        for (int i = 0; i < 2; ++i)
            r.bits_[i] = bits_[i] | o.bits_[i];
        return r;
    }
    constexpr bool Has(int32_t k) const {
        return k >= 0 && k <= kMaxTerminal && ((bits_[k >> 6] >> (k & 63)) & 1u);
    }

private:
    uint64_t bits_[2] = {0, 0};
};

} // namespace quennet::pascal
