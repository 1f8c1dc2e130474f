// The parser core: consuming tokens with their checksums, silent syntax errors, and trials
// that save and restore the whole scanner and parser state.
#include <algorithm>
#include <cstring>

#include "base/crc32.h"
#include "pascal/grammar_sets.h"
#include "pascal/parser.h"
#include "pascal/parser_trials.h"

namespace quennet::pascal {

TOp4Parser::TOp4Parser() {
    SetModern(false);
}

void TOp4Parser::SetModern(bool modern) {
    modern_ = modern;
    ModernTokens = modern;
    identWords_ = modern ? grammar::kModernIdentWords : grammar::kIdentWords;
    exprStart_ = modern ? grammar::kModernExprStart : grammar::kExprStart;
}

namespace {
// Far more than any recovery needs at one place; a loop that never reads on reaches it at once.
constexpr int32_t kMaxErrorsAtOneToken = 1000;
} // namespace

void TOp4Parser::Get() {
    for (;;) {
        la_ = TOp4Scanner::Get();
        if (++tokensRead_ > tokenBudget_) {
            aborted_ = true;
            throw EParseAbort{};
        }
        const uint32_t c = s_.PrevToken.Sum;
        TokenChecksum = c;
        RunningChecksum += c;
        if (la_ <= kMaxTerminal) {
            ++ErrDist;
            break;
        }
    }
}

void TOp4Parser::Expect(int32_t kind) {
    if (la_ == kind)
        Get();
    else
        SynError(kind);
}

void TOp4Parser::SynError(int32_t code) {
    if (TrialDepth >= 1) throw EParserTryBack{};
    if (CurPos() != errorPos_) {
        errorPos_ = CurPos();
        errorsAtPos_ = 0;
    } else if (++errorsAtPos_ > kMaxErrorsAtOneToken) {
        aborted_ = true;
        throw EParseAbort{};
    }
    if (ErrDist >= 2) ScannerError(code, s_.CurToken.Line, s_.CurToken.Pos, s_.CurToken.Col);
    ErrDist = 0;
}

void TOp4Parser::ScannerError(int code, int line, int pos, int col) {
    if (TrialDepth >= 1) throw EParserTryBack{};
    if (Model && Model->Status.FirstErrorLine < 0) Model->Status.FirstErrorLine = line;
    TOp4Scanner::ScannerError(code, line, pos, col);
}

void TOp4Parser::TryPush(int32_t id) {
    if (TrialDepth > 0) {
        for (const auto& r : trials_) {
            if (r.Id == id && r.Scanner.PrevToken.Pos == s_.PrevToken.Pos &&
                r.Scanner.PrevToken.MacroUse == s_.PrevToken.MacroUse) {
                ++guardHits_;
                throw EParserTryBack{};
            }
        }
    }
    trials_.push_back(
        TrialRecord{s_, std::move(comments_), ErrDist, la_, RunningChecksum, TokenChecksum, 1, id});
    comments_.clear();
    ++TrialDepth;
}

void TOp4Parser::RestoreState() {
    const TrialRecord& r = trials_.back();
    s_ = r.Scanner;
    ErrDist = r.ErrDist;
    la_ = r.La;
    RunningChecksum = r.RunningChecksum;
    TokenChecksum = r.TokenChecksum;
    comments_.clear();
}

void TOp4Parser::TryPop() {
    RestoreState();
    comments_ = std::move(trials_.back().Comments);
    trials_.pop_back();
    --TrialDepth;
}

// The attempt's reading stands: the state stays where it ended.
void TOp4Parser::TryKeep() {
    trials_.pop_back();
    --TrialDepth;
}

// The memo is an open-addressing table of keys whose lowest bit holds the outcome. An entry
// that rested on the symbols holds only while they are as it found them.
bool TOp4Parser::LookupMemo(int32_t id, int32_t alt, int32_t& result, bool& tested) {
    // A macro's tokens stand at the same place for every use of it: not memoised.
    if (memoCount_ == 0 || trials_.back().Scanner.CurToken.MacroUse >= 0) return false;
    const uint64_t key = MemoKey(trials_.back().Scanner.CurToken.Pos, id, alt) << 1;
    const size_t mask = memo_.size() - 1;
    for (size_t h = (key * 0x9E3779B97F4A7C15ull) >> 20 & mask;; h = (h + 1) & mask) {
        const MemoSlot& slot = memo_[h];
        if (slot.Key == 0) return false;
        if ((slot.Key & ~uint64_t{1}) == key) {
            if (slot.Start != 0 && slot.Start != symbolState_ + 1) return false;
            result = static_cast<int32_t>(slot.Key & 1u);
            tested = slot.Start != 0;
            if (tested && slot.End != symbolState_) EnterSymbolState(slot.End);
            return true;
        }
    }
}

void TOp4Parser::StoreMemo(int32_t id, int32_t alt, bool ok, uint64_t start) {
    // Only an attempt inside another trial can be repeated at the same place; one that left
    // symbols without an image could not give them back.
    if (trials_.size() < 2 || (start != 0 && symbolState_ >= symbolImages_.size()) ||
        trials_.back().Scanner.CurToken.MacroUse >= 0)
        return;
    if ((memoCount_ + 1) * 2 > memo_.size()) {
        // No trial can go back before the outermost one began: what lies before it is dropped,
        // so the table follows the trials instead of growing with the file.
        const uint64_t liveFrom = MemoKey(SourcePos(trials_.front().Scanner.CurToken), 0, 0) << 1;
        const size_t live = static_cast<size_t>(
            std::count_if(memo_.begin(), memo_.end(),
                          [liveFrom](const MemoSlot& slot) { return slot.Key >= liveFrom; }));
        size_t size = 1024;
        while (size < live * 4)
            size *= 2;
        std::vector<MemoSlot> old(size);
        old.swap(memo_);
        memoCount_ = 0;
        const size_t mask = memo_.size() - 1;
        for (const MemoSlot& slot : old) {
            if (slot.Key == 0 || slot.Key < liveFrom) continue;
            size_t h = ((slot.Key & ~uint64_t{1}) * 0x9E3779B97F4A7C15ull) >> 20 & mask;
            while (memo_[h].Key != 0)
                h = (h + 1) & mask;
            memo_[h] = slot;
            ++memoCount_;
        }
    }
    const uint64_t key = MemoKey(trials_.back().Scanner.CurToken.Pos, id, alt) << 1;
    const MemoSlot entry{key | (ok ? 1u : 0u), start, symbolState_};
    const size_t mask = memo_.size() - 1;
    size_t h = (key * 0x9E3779B97F4A7C15ull) >> 20 & mask;
    while (memo_[h].Key != 0) {
        if ((memo_[h].Key & ~uint64_t{1}) == key) {
            memo_[h] = entry; // only a stale entry is stored over
            return;
        }
        h = (h + 1) & mask;
    }
    memo_[h] = entry;
    ++memoCount_;
}

namespace {

void PutImageSize(std::string& image, size_t size) {
    const auto n = static_cast<uint32_t>(size);
    image.append(reinterpret_cast<const char*>(&n), sizeof n);
}

void PutImageText(std::string& image, std::string_view text) {
    PutImageSize(image, text.size());
    image.append(text);
}

std::string_view TakeImageBytes(std::string_view& image, size_t size) {
    const std::string_view bytes = image.substr(0, size);
    image.remove_prefix(size);
    return bytes;
}

uint32_t TakeImageSize(std::string_view& image) {
    uint32_t size;
    std::memcpy(&size, TakeImageBytes(image, sizeof size).data(), sizeof size);
    return size;
}

std::vector<std::string> TakeImageTexts(std::string_view& image) {
    std::vector<std::string> texts(TakeImageSize(image));
    for (auto& t : texts)
        t = TakeImageBytes(image, TakeImageSize(image));
    return texts;
}

} // namespace

// The symbols, values, macros and comment mode as bytes, in their order: equal bytes, equal
// reading from here on.
std::string TOp4Parser::SymbolsImage() const {
    std::string image(1, NestedComments ? '1' : '0');
    for (const auto* texts : {&Symbols, &macros_, &macroTexts_}) {
        PutImageSize(image, texts->size());
        for (const auto& t : *texts)
            PutImageText(image, t);
    }
    PutImageSize(image, Values.size());
    for (const auto& [name, value] : Values) {
        PutImageText(image, name);
        image.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    return image;
}

void TOp4Parser::SymbolsChanged() {
    ++symbolChanges_;
    ExpandMacros = fpc_ && !macroTexts_.empty();
    // Once the images fill the bound, every change is a new state without one, and costs no
    // copy of the symbols. A unit that declares many constants makes an image of every value
    // per constant: past this bound the copies cost more than the trials they save (large
    // units parsed 10-40% faster than with 8 MB, jwawincrypt.pas's peak 10 MB less).
    constexpr size_t kImageBound = size_t{128} << 10;
    if (unnamedStates_ != 0) {
        symbolState_ = kImageBound + ++unnamedStates_;
        return;
    }
    std::string image = SymbolsImage();
    if (const auto known = symbolIds_.find(image); known != symbolIds_.end()) {
        symbolState_ = known->second;
    } else if (symbolImageBytes_ + image.size() <= kImageBound) {
        symbolImageBytes_ += image.size();
        symbolState_ = symbolImages_.size();
        symbolImages_.push_back(&symbolIds_.emplace(std::move(image), symbolState_).first->first);
    } else {
        symbolState_ = kImageBound + ++unnamedStates_;
    }
}

void TOp4Parser::EnterSymbolState(uint64_t state) {
    std::string_view image = *symbolImages_[state];
    NestedComments = TakeImageBytes(image, 1) == "1";
    Symbols = TakeImageTexts(image);
    macros_ = TakeImageTexts(image);
    macroTexts_ = TakeImageTexts(image);
    ExpandMacros = fpc_ && !macroTexts_.empty();
    Values.resize(TakeImageSize(image));
    for (auto& [name, value] : Values) {
        name = TakeImageBytes(image, TakeImageSize(image));
        std::memcpy(&value, TakeImageBytes(image, sizeof value).data(), sizeof value);
    }
    symbolState_ = state;
    ++symbolChanges_;
}

bool TOp4Parser::MacroText(int32_t pos, int32_t len, int32_t& from, int32_t& to) {
    for (const auto& m : macroTexts_) {
        const size_t space = m.find(' ');
        if (space != static_cast<size_t>(len)) continue;
        int32_t i = 0;
        while (i < len && CharAt(pos + i) == static_cast<uint8_t>(m[static_cast<size_t>(i)]))
            ++i;
        if (i < len) continue;
        from = std::stoi(m.substr(space + 1));
        to = std::stoi(m.substr(m.find(' ', space + 1) + 1));
        macroUses_[pos] = MacroUse{pos + len, from, to};
        return true;
    }
    return false;
}

std::string_view TOp4Parser::ExpandedText(int32_t pos, int32_t end,
                                          std::map<int32_t, MacroUse>::const_iterator use) {
    std::string text;
    for (; use != macroUses_.end() && use->first < end; ++use) {
        text.append(GetString(pos, use->first - pos));
        std::string_view body = GetString(use->second.From, use->second.To - use->second.From);
        while (!body.empty() && static_cast<unsigned char>(body.front()) <= ' ')
            body.remove_prefix(1);
        while (!body.empty() && static_cast<unsigned char>(body.back()) <= ' ')
            body.remove_suffix(1);
        text.append(body);
        pos = use->second.NameEnd;
    }
    text.append(GetString(pos, end - pos));
    return expandedTexts_.emplace_back(std::move(text));
}

void TOp4Parser::ParseText(const char* text, int32_t length) {
    InitSource(text, length);
    ErrDist = 2;
    RunningChecksum = 0;
    TrialDepth = 0;
    nesting_ = 0;
    trials_.clear();
    memo_.clear();
    memoCount_ = 0;
    macroUses_.clear();
    expandedTexts_.clear();
    tokensRead_ = 0;
    tokenBudget_ = 64u * static_cast<uint64_t>(length) + 100000u;
    errorPos_ = -1;
    errorsAtPos_ = 0;
    reachedFinalDot_ = false;
    symbolIds_.clear();
    symbolImages_.clear();
    symbolImageBytes_ = 0;
    unnamedStates_ = 0;
    SymbolsChanged();
    try {
        Get();
        SourceFile();
    } catch (const EParseAbort&) {
        // Back to the last real position: what trials read ahead does not count.
        if (!trials_.empty()) {
            const TrialRecord& outer = trials_.front();
            s_ = outer.Scanner;
            la_ = outer.La;
            RunningChecksum = outer.RunningChecksum;
            ErrDist = outer.ErrDist;
        }
        trials_.clear();
        TrialDepth = 0;
        nesting_ = 0;
        if (Model) Model->Checksum = RunningChecksum;
    }
    FinishStatus();
}

void TOp4Parser::FinishStatus() {
    if (!Model) return;
    model::ParseStatus& st = Model->Status;
    st.ReachedFinalDot = reachedFinalDot_ && !aborted_;
    st.ErrorCount = s_.ErrorCount;
    st.Complete = st.ReachedFinalDot && s_.ErrorCount == 0;
    st.StopLine = s_.CurToken.Line;
    st.StopPosition = s_.CurToken.Pos;
    if (st.Complete) return;
    // The unread rest, token by token, so that two files broken at the same place can still be
    // told equal or different.
    uint64_t hash = 1469598103934665603ull;
    uint64_t count = 0;
    while (la_ != tEndOfText) {
        const uint32_t c = base::UpperCrc32(GetName(s_.CurToken.Pos, s_.CurToken.Len), 0xFFFFFFFFu);
        hash = (hash ^ c) * 1099511628211ull;
        ++count;
        la_ = TOp4Scanner::Get();
    }
    st.RestHash = hash;
    st.RestTokens = count;
}

} // namespace quennet::pascal
