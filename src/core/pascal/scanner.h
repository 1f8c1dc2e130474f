// The token scanner: TCoCoScanner holds the language-independent machinery (characters, lines,
// positions, comment records), TOp4Scanner the Object Pascal automaton and comment forms.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pascal/token_kinds.h"

namespace quennet::pascal {

struct TSymbolPosition {
    int32_t Line = 0; // 1-based
    int32_t Col = 0;
    int32_t Len = 0;
    int32_t Pos = 0; // 0-based offset of the first character
    // Where a token that only the modern readings form begins ("&" included), else -1: its
    // checksum is that of the classic tokens of the same text, so readings agree on the sums.
    int32_t ModernFrom = -1;
    // A token of a macro's text: where the macro's name stands in the source, else -1. Texts
    // of declarations run over the source, so they take the name as written.
    int32_t MacroUse = -1;
    int32_t MacroUseEnd = -1;
    // The token's checksum (CRC-32 of its text with a-z read as A-Z), taken as it is read:
    // that of the empty text until a token is read.
    uint32_t Sum = 0xFFFFFFFFu;
};

struct TCommentRecord {
    int32_t StartPos;
    int32_t EndPos; // the comment's last character
};

// Every field a trial must restore lives here, so a trial saves it with one copy.
struct TScannerState {
    uint8_t LastCh = 0;
    uint8_t Ch = 0;
    int32_t CurLine = 1;
    int32_t LineStart = -2;
    int32_t ContextLen = 0;
    int32_t LineEndsInComment = 0;
    int32_t BufPos = -1;
    int32_t TokenStart = 0;
    TSymbolPosition PrevToken;
    TSymbolPosition CurToken;
    int32_t ErrorCount = 0;
    bool CommentsExist = false;
    int32_t LastKind = 0; // kind of the token recognised last, for words after a "."
    // While a macro's text is read: where it ends, the name it stands for, and where the
    // source goes on after the name.
    int32_t MacroEnd = -1;
    TSymbolPosition MacroName;
    int32_t ResumePos = 0;
    int32_t ResumeLine = 0;
    int32_t ResumeLineStart = 0;
    uint8_t ResumeCh = 0;
    uint8_t ResumeLastCh = 0;
};

class TCoCoScanner {
public:
    using ErrorHandler = std::function<void(int code, int line, int pos, int col)>;

    TCoCoScanner();
    virtual ~TCoCoScanner() = default;
    TCoCoScanner(const TCoCoScanner&) = delete;
    TCoCoScanner& operator=(const TCoCoScanner&) = delete;

    virtual bool Comment() = 0;
    void InitSource(const char* text, int32_t length);
    virtual void ScannerError(int code, int line, int pos, int col);

    // The text as written, clipped at the end of the text.
    std::string_view GetString(int32_t pos, int32_t len) const {
        if (pos < 0) {
            len += pos;
            pos = 0;
        }
        if (len <= 0 || pos >= srcLen_) return {};
        if (len > srcLen_ - pos) len = srcLen_ - pos;
        return std::string_view(src_ + pos, static_cast<size_t>(len));
    }
    std::string_view GetName(int32_t pos, int32_t len) const { return GetString(pos, len); }
    std::string GetComments();

    // Upper-cased (a to z only); 0 at or beyond the end and for Ctrl-Z, which ends the text.
    uint8_t CharAt(int32_t pos) const {
        return pos < srcLen_ && pos >= 0 ? kUpper[static_cast<uint8_t>(src_[pos])] : 0;
    }

    const TScannerState& State() const { return s_; }
    int32_t SourceLength() const { return srcLen_; }
    ErrorHandler OnError;

protected:
    void NextCh() {
        s_.LastCh = s_.Ch;
        ++s_.BufPos;
        s_.Ch = CharAt(s_.BufPos);
        if (s_.Ch == 13 || (s_.Ch == 10 && s_.LastCh != 13)) {
            ++s_.CurLine;
            s_.LineStart = s_.BufPos;
        }
    }

    static const uint8_t kUpper[256];

    TScannerState s_;
    std::vector<TCommentRecord> comments_;
    const char* src_ = nullptr;
    int32_t srcLen_ = 0;
};

class TOp4Scanner : public TCoCoScanner {
public:
    bool Comment() override;
    // Recognises the next token; returns its kind.
    int32_t Get();

    // The modern readings add token forms that the classic one reads as several tokens or as
    // noSym: "&" before a word, "%" binary and "&" octal numbers, "_" between digits, triple-
    // quoted multi-line strings, and any word after "." read as a name.
    bool ModernTokens = false;
    // Brace comments nest (Free Pascal's FPC and OBJFPC modes).
    bool NestedComments = false;
    // Names are looked up as macros (Free Pascal's {$DEFINE X := text}); MacroText gives the
    // span of the text a name stands for.
    bool ExpandMacros = false;
    virtual bool MacroText(int32_t pos, int32_t len, int32_t& from, int32_t& to) {
        (void)pos;
        (void)len;
        (void)from;
        (void)to;
        return false;
    }

protected:
    // NextCh up to the next quote, "/", "(" or "{", or the end of the text.
    void SkipToQuoteOrComment();

private:
    bool ScanModern(uint8_t first, int32_t& kind);
    int32_t ScanToken();
    int32_t CheckLiteral();
    void SkipWord();
    void TakeSum(int32_t kind);
    template <class Pred> void SkipRun(Pred pred);
    template <char A, char B = A, char C = A, char D = A> void AdvanceUntil();
};

} // namespace quennet::pascal
