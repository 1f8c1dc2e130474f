// TOp4Parser: recursive descent with one token of lookahead, token checksums, silent syntax
// errors and trial parsing; TDelphiParser adds conditional compilation on top of it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/read_text_release.h"
#include "model/source_model.h"
#include "pascal/include_files.h"
#include "pascal/scanner.h"

namespace quennet::pascal {

// Abandons one attempt of a trial.
struct EParserTryBack {};

// Ends the whole parse when the nesting or the work bound is exceeded. Trials let it pass.
struct EParseAbort {};

class TOp4Parser : public TOp4Scanner {
public:
    TOp4Parser();

    model::TPasSrc* Model = nullptr; // not owned

    void ParseText(const char* text, int32_t length);
    void ScannerError(int code, int line, int pos, int col) override;

    uint32_t RunningChecksum = 0;
    uint32_t TokenChecksum = 0;
    int32_t ErrDist = 0;
    int32_t TrialDepth = 0;

    // The defined symbols, and the values of named constants for {$IF} in the modern readings
    // (CompilerVersion, values given by {$DEFINE X := v}), upper-case names. Directives change
    // them in the derived parser; they are kept here, where trials remember them.
    std::vector<std::string> Symbols;
    std::vector<std::pair<std::string, double>> Values;

    // Told of the text passed between the declarations of a section; null: nothing to tell.
    base::ReadTextRelease* Release = nullptr;

    // Bounds that protect against hostile input; far beyond anything real code needs.
    int32_t MaxNesting = 400;

    // The modern Delphi reading: the classic grammar plus what Delphi has gained since. Set
    // before ParseText; the classic reading never enters the productions it adds.
    void SetModern(bool modern);
    bool Modern() const { return modern_; }
    // The Free Pascal reading: files start in FPC mode, where brace comments nest.
    void SetFpc(bool fpc) {
        fpc_ = fpc;
        NestedComments = fpc;
    }
    bool Fpc() const { return fpc_; }

protected:
    // Between top-level declarations, and those of a top-level section, outside trials nothing
    // behind the last token is read again, but for attributes that wait for their declaration.
    void PassedText() {
        // A Free Pascal macro's text is read again where the macro is used: from its first
        // definition on, nothing more is given back.
        if (!Release || !macroTexts_.empty()) return;
        if (!trials_.empty()) {
            ++unrecorded_;
            return;
        }
        Release->Passed(src_ + (attrs_.Present ? std::min(attrs_.Pos, SourcePos(s_.PrevToken))
                                               : SourcePos(s_.PrevToken)));
    }

    // Directive handling counts here so that memoised attempts can tell what they depend on:
    // a tested condition holds only while the symbols are as they were.
    uint64_t directiveEvents_ = 0;
    // Every directive read, whatever it did: an attempt that read none can stand for its real
    // parse.
    uint64_t directivesRead_ = 0;
    // Called after a directive changed the symbols, values, macros or comment mode.
    void SymbolsChanged();
    // A constant of the file, for the {$IF} expressions after it; the modern readings only.
    virtual void ConstantDeclared(std::string_view name, std::string_view expression) {
        (void)name;
        (void)expression;
    }
    // Names given a text by {$DEFINE X := text}, upper-case: Free Pascal macros, which stand
    // for calling conventions where routine directives go.
    std::vector<std::string> macros_;
    // Their texts where Free Pascal expands them: "NAME from to", the span in the source.
    std::vector<std::string> macroTexts_;
    bool MacroText(int32_t pos, int32_t len, int32_t& from, int32_t& to) override;
    // Where macros were expanded: the name's position, its end and the span of the text.
    struct MacroUse {
        int32_t NameEnd, From, To;
    };
    std::map<int32_t, MacroUse> macroUses_;
    std::deque<std::string> expandedTexts_;
    // The source from pos to end with the texts of the macros in it; a declaration's text is
    // what the compiler reads, so a file included twice under two meanings of a name gives two
    // overloads.
    std::string_view ExpandedText(int32_t pos, int32_t end,
                                  std::map<int32_t, MacroUse>::const_iterator use);

private:
    struct TrialRecord {
        TScannerState Scanner;
        std::vector<TCommentRecord> Comments;
        int32_t ErrDist;
        int32_t La;
        uint32_t RunningChecksum;
        uint32_t TokenChecksum;
        int32_t Alternative;
        int32_t Id;
    };

    // ---- core ----
    void Get();
    void Expect(int32_t kind);
    void SynError(int32_t code);
    void TryPush(int32_t id);
    void TryPop();
    void TryKeep();
    void RestoreState();
    int32_t Alternative() const { return trials_.empty() ? 0 : trials_.back().Alternative; }
    void SetAlternative(int32_t a) { trials_.back().Alternative = a; }
    // Counts what a trial leaves unrecorded, so that an attempt that left nothing can be kept.
    bool Recording() const {
        if (TrialDepth == 0) return true;
        ++unrecorded_;
        return false;
    }
    std::string_view LastTokenText() const { return GetName(s_.PrevToken.Pos, s_.PrevToken.Len); }
    // Source text from pos to the end of the previous token.
    std::string_view TextFrom(int32_t pos) {
        const int32_t end = SourceEnd(s_.PrevToken);
        if (!macroUses_.empty()) {
            auto use = macroUses_.lower_bound(pos);
            if (use != macroUses_.end() && use->first < end) return ExpandedText(pos, end, use);
        }
        return GetString(pos, end - pos);
    }
    // Where a token stands in the source; a macro's tokens stand where its name does.
    static int32_t SourcePos(const TSymbolPosition& t) {
        return t.MacroUse >= 0 ? t.MacroUse : t.Pos;
    }
    static int32_t SourceEnd(const TSymbolPosition& t) {
        return t.MacroUse >= 0 ? t.MacroUseEnd : t.Pos + t.Len;
    }
    int32_t CurLine() const { return s_.CurToken.Line; }
    int32_t PrevLine() const { return s_.PrevToken.Line; }
    int32_t CurPos() const { return SourcePos(s_.CurToken); }

    // Runs one attempt of the open trial with the state saved; true when it parsed.
    template <class F> bool Attempt(int32_t id, int32_t alt, F&& attempt);
    // Alternatives by trial: the number of the first alternative that parses, else count.
    template <class F> int32_t ChooseAlternative(int32_t id, int32_t count, F&& attempt);
    // The same where the attempts of the alternatives from keepFrom on are their real parse: when
    // the chosen one read as the real parse would, its reading is kept and kept is set.
    template <class F>
    int32_t ChooseAlternative(int32_t id, int32_t count, int32_t keepFrom, bool& kept, F&& attempt);
    // Tries item once and, when it parses, keeps that reading or parses it again for real.
    template <class F> bool GuardedOptional(int32_t id, F&& item);
    // What an attempt that parsed must have left as it was to stand for its real parse.
    struct AttemptMarks {
        uint64_t Tokens, Guards, Directives, Changes, Unrecorded;
    };
    AttemptMarks Marks() const {
        return {tokensRead_, guardHits_, directivesRead_, symbolChanges_, unrecorded_};
    }
    // An answer from the memo read nothing; a guard met, a directive read or a step left
    // unrecorded would make the real parse differ from the attempt.
    bool ReadAsReal(const AttemptMarks& m) const {
        return tokensRead_ != m.Tokens && guardHits_ == m.Guards &&
               directivesRead_ == m.Directives && symbolChanges_ == m.Changes &&
               unrecorded_ == m.Unrecorded && trials_.back().Comments.empty();
    }
    bool LookupMemo(int32_t id, int32_t alt, int32_t& result, bool& tested);
    void StoreMemo(int32_t id, int32_t alt, bool ok, uint64_t start);
    static uint64_t MemoKey(int32_t pos, int32_t id, int32_t alt) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(pos) + 1u) << 12) |
               (static_cast<uint64_t>(id) << 2) | static_cast<uint64_t>(alt);
    }
    void FinishStatus();
    std::string SymbolsImage() const;
    void EnterSymbolState(uint64_t state);

    // Runs body one level of nesting deeper; past MaxNesting the parse ends.
    template <class F> decltype(auto) Nested(F&& body);

    // ---- modern reading ----
    bool LaWord(std::string_view upperWord) const; // an identifier spelled so, any letter case
    int32_t PeekKind();                            // the token after the lookahead
    bool PeekIsWord(std::string_view upperWord);
    void ModuleName();
    void ModernTypeDecl(bool record);
    bool ModernDirectiveStart(int context);
    void VarDirectives();
    bool OperatorAhead();
    bool GenericRoutineAhead();
    void OperatorRoutine(bool record, bool implementation);
    void ForeignClassType(const std::string& name, bool record, int32_t startLine);
    void ExternalName();
    void OperatorSymbol(std::string* name);
    void HeadingEnd(int context);
    void SkipBrackets();
    void TypeRef();
    void DottedName(std::string* name); // ident { "." ident }
    void UsedUnit(bool record);
    void GenericName(std::string* name); // ident [ "<" TypeParams ">" ]
    void TypeParams(std::string* name);
    bool HintAhead();
    void TypeArgs();
    void HintDirectives();
    bool ModernDirective();
    void Attributes();
    void ModernClassBody(model::TidClass* cls, const std::string& className, std::string visibility,
                         bool isRecord);
    void ModernMember(model::TidClass* cls, const std::string& className, std::string& visibility,
                      bool isRecord);
    void MethodMember(model::TidClass* cls, const std::string& visibility);
    void ClassConst(model::TidClass* cls, const std::string& visibility);
    void ModernVariantPart(model::TidClass* cls, const std::string& visibility);
    void ModernRecordType();
    bool RecordHasMembers();
    void ModernRecordClass(const std::string& name, bool record, int32_t startLine);
    void ModernClassType(const std::string& name, bool record, int32_t startLine);
    void ReferenceType();
    void GlobalProperty();
    bool MacroAhead() const; // a macro name, where a calling convention may stand
    // A declaration's attributes: recorded with it, starting it.
    struct PendingAttributes {
        bool Present = false;
        int32_t Line = -1;
        int32_t Pos = 0;
        int32_t EndPos = 0;
        uint32_t Sum = 0;
    };
    PendingAttributes TakeAttributes();
    std::string AttributedText(const PendingAttributes& attrs, std::string_view text) const;

    // ---- grammar: units and declarations ----
    void SourceFile();
    void ProgramModule();
    void UnitModule();
    void LibraryModule();
    void PackageModule();
    void Ident();
    void IdentList(std::vector<std::string>* names);
    void QualifiedName(std::string* name, bool* qualified);
    void StringSeq();
    void UsesClause();
    void ExportsClause();
    void ExportItem();
    void InterfaceSection();
    void ImplementationSection();
    void ImplDecls();
    void RecordedStatements(model::TidName* rec);
    void InitSection();
    void ConstSection(bool record);
    void ConstDecl(bool record);
    void ResStringSection();
    void ResStringDecl();
    void TypeSection(bool record);
    void TypeDecl(bool record);
    void VarSection(bool record);
    void VarDecl(bool record);
    void LabelSection();
    void ProcHeadingDecl();
    void FunctionHeading(std::string* name);
    void ProcedureHeading(std::string* name);
    void ImplRoutine(bool record);
    void ImplFunction(bool record);
    void ImplProcedure(bool record);
    void ImplBody(bool record, const std::string& name, bool qualified, int32_t startLine,
                  int32_t textStart, uint32_t headStart);
    void ExternalSpec();
    void FormalParams();
    void FormalParam();
    void ParamType();
    void ResultType() { TypeIdent(); }
    void TypeIdent();
    void Directive();
    void Block();
    void LocalDeclSection();

    // ---- grammar: class-like types and records ----
    void ClassType(const std::string& name, bool record);
    void AncestorList(std::string* ancestors);
    void VisibilityWord(std::string* visibility);
    void ClassMember(model::TidClass* cls, const std::string& visibility);
    void FieldDecl(model::TidClass* cls, const std::string& visibility);
    void MethodDecl(model::TidClass* cls, const std::string& visibility);
    void MethodDirectives();
    void MethodHeading(std::string* name);
    void PropertyDecl(model::TidClass* cls, const std::string& visibility);
    void PropertyInterface();
    void PropertySpecifiers();
    void InterfaceType(const std::string& name, bool record);
    void ObjectType(const std::string& name, bool record);
    void ObjectMethod(model::TidClass* cls);
    void RecordType();
    void FieldList();
    void VariantPart();
    void RecordVariant();

    // ---- grammar: types, expressions, bodies ----
    void Type();
    void SimpleType();
    void OrdinalType();
    void SubrangeType();
    bool SubrangeTypeInTrial();
    void EnumType();
    void StringType();
    void StructType();
    void FileType();
    void ArrayType();
    void IndexType();
    void SetType();
    void PointerType();
    void ClassRefType();
    void ProcType();
    void Expression();
    void ExpressionTail();
    void SimpleExpression();
    void SimpleExpressionTail();
    void Term();
    void TermTail();
    bool ParenExpressionInTrial();
    bool FieldConstantAhead() const;
    bool ArrayConstantInTrial();
    void Factor();
    void SetConstructor();
    void SetElement();
    void TypedConstant();
    void ArrayConstant();
    void RecordConstant();
    void FieldConstant();
    void StatementList();
    void NestedBlock();
    void BeginBlock();
    void AsmBlock();

    int32_t la_ = tEndOfText;
    bool modern_ = false;
    bool fpc_ = false;
    TokenSet identWords_;    // the words Ident accepts in this reading
    TokenSet exprStart_;     // the tokens that can begin an expression
    std::string nestPrefix_; // "TOuter." while the types of a class body are read
    PendingAttributes attrs_;
    int32_t recordMembers_ = 0; // members seen that make a record class-like
    std::vector<TrialRecord> trials_;
    int32_t nesting_ = 0;
    uint64_t guardHits_ = 0;
    mutable uint64_t unrecorded_ = 0;
    uint64_t tokensRead_ = 0;
    uint64_t tokenBudget_ = 0;
    // Errors reported one after another at one token: a loop that recovers without reading on
    // would repeat them for ever.
    int32_t errorPos_ = -1;
    int32_t errorsAtPos_ = 0;
    bool aborted_ = false;
    bool reachedFinalDot_ = false;
    bool bodiless_ = false; // a SYSCALL directive of the routine being read: it has no body
    // What directives change is numbered by its content. A failed attempt does not take its
    // changes back (the compiler reads each directive once), so an attempt repeated after it
    // starts from other symbols; numbered by content, the symbols its nested attempts meet
    // again are known again, and so are their results.
    uint64_t symbolState_ = 0;
    uint64_t symbolChanges_ = 0;
    std::unordered_map<std::string, uint64_t> symbolIds_;
    std::vector<const std::string*> symbolImages_; // by number, while the images fit the bound
    size_t symbolImageBytes_ = 0;
    uint64_t unnamedStates_ = 0; // numbered past the bound, with no image to go back to
    // A key with its outcome in the lowest bit. Start is 0 when the attempt rested on no
    // symbol, else 1 + the state it started from; End is the state it left.
    struct MemoSlot {
        uint64_t Key = 0;
        uint64_t Start = 0;
        uint64_t End = 0;
    };
    std::vector<MemoSlot> memo_;
    size_t memoCount_ = 0;
};

// Names compared with a-z folded, as directives name symbols.
bool EqualNoCaseAZ(std::string_view a, std::string_view b);

class TDelphiParser : public TOp4Parser {
public:
    // The include files spliced into the text, for their notes; null when there are none.
    const IncludeExpansion* Includes = nullptr;
    bool Comment() override;
    void ConstantDeclared(std::string_view name, std::string_view expression) override;

    // What the reading left out, in text order; lines of the parsed (spliced) text.
    std::vector<model::InactiveLines> TakeInactive();

private:
    bool HasSymbol(std::string_view name) const;
    // The directive at pos ("{$...}") was taken (nothing left out) or skipped from, up to the
    // line before skipStopLine_. Keyed by position: a trial reads a directive again.
    void DirectiveTaken(int32_t pos);
    void Skipped(int32_t pos, bool afterElse, int32_t startLine);
    std::string RawDirective(int32_t pos) const;
    std::string OpenerOf(int32_t pos) const;
    std::map<int32_t, model::InactiveLines> inactive_;
    int32_t skipStopLine_ = 0;
    void SkipExcluded(bool fromElse);
    // Conditional compilation as compilers read it: whole directive words, {$IF} expressions,
    // {$ELSEIF}, {$IFEND}, MacPas {$IFC}/{$ELSEC}/{$ENDC}.
    void ModernDirective(const std::string& upperText, int32_t pos);
    void SkipModern(bool toEnd);
    bool Evaluate(std::string_view expression);
    const double* ValueOf(std::string_view name) const;
    void NoteUnknown(const std::string& name);
    std::vector<std::string> noted_;
    std::vector<int32_t> includesNoted_;
};

} // namespace quennet::pascal
