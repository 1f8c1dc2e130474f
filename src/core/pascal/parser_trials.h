// Trial patterns of the parser. An attempt runs with the state saved; any exception abandons it,
// except the abort of the whole parse, which passes through every trial.
//
// A failed or successful attempt is remembered by (trial id, alternative, token position) when
// it met no recursion guard: such an attempt depends on nothing but the text and, if it met a
// directive, the symbols it started from, so running it again from the same symbols would give
// the same answer and leave the same symbols. This keeps nested trials from re-parsing the same
// text a power of the nesting depth times, also around a conditional directive.
#pragma once

#include <type_traits>
#include <utility>

#include "pascal/parser.h"

namespace quennet::pascal {

// No destructor takes the level back: an exception then passes these frames without stopping
// at each, which made a failed trial deep in an expression three times as costly. Whoever
// catches a back-track restores the level it saved.
template <class F> decltype(auto) TOp4Parser::Nested(F&& body) {
    if (++nesting_ > MaxNesting) {
        aborted_ = true;
        throw EParseAbort{};
    }
    if constexpr (std::is_void_v<decltype(body())>) {
        body();
        --nesting_;
    } else {
        auto result = body();
        --nesting_;
        return result;
    }
}

template <class F> bool TOp4Parser::Attempt(int32_t id, int32_t alt, F&& attempt) {
    int32_t known;
    bool tested = false;
    if (LookupMemo(id, alt, known, tested)) {
        // A result that rested on the symbols makes the enclosing attempt rest on them too.
        if (tested) ++directiveEvents_;
        return known != 0;
    }
    const uint64_t directives = directiveEvents_;
    const uint64_t changes = symbolChanges_;
    const uint64_t state = symbolState_;
    const uint64_t guards = guardHits_;
    const int32_t nesting = nesting_;
    bool ok = true;
    try {
        // An attempt may also report a failure it has made certain, without throwing.
        if constexpr (std::is_same_v<decltype(attempt()), bool>)
            ok = attempt();
        else
            attempt();
    } catch (const EParserTryBack&) {
        // Only the parser's own back-track means "this alternative does not parse"; anything
        // else (an abort, memory exhausted, a bug) ends the parse.
        if (aborted_) throw;
        nesting_ = nesting;
        ok = false;
    }
    if (guardHits_ == guards)
        StoreMemo(id, alt, ok,
                  directiveEvents_ != directives || symbolChanges_ != changes ? state + 1 : 0);
    return ok;
}

template <class F> int32_t TOp4Parser::ChooseAlternative(int32_t id, int32_t count, F&& attempt) {
    bool kept = false;
    return ChooseAlternative(id, count, count + 1, kept, std::forward<F>(attempt));
}

template <class F>
int32_t TOp4Parser::ChooseAlternative(int32_t id, int32_t count, int32_t keepFrom, bool& kept,
                                      F&& attempt) {
    kept = false;
    TryPush(id);
    int32_t choice = count;
    while (Alternative() <= count) {
        const int32_t alt = Alternative();
        const AttemptMarks marks = Marks();
        if (Attempt(id, alt, [&] { return attempt(alt); })) {
            choice = alt;
            kept = alt >= keepFrom && ReadAsReal(marks);
            break;
        }
        RestoreState();
        SetAlternative(alt + 1);
    }
    if (kept)
        TryKeep();
    else
        TryPop();
    return choice;
}

template <class F> bool TOp4Parser::GuardedOptional(int32_t id, F&& item) {
    TryPush(id);
    const AttemptMarks marks = Marks();
    const bool ok = Attempt(id, 1, item);
    if (ok && ReadAsReal(marks)) {
        TryKeep();
        return true;
    }
    TryPop();
    if (ok) item();
    return ok;
}

} // namespace quennet::pascal
