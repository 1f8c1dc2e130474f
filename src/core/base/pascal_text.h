// Pascal text read line by line without the parser: which parts of a line are code, comments or
// string literals. A comment left open at the end of a line goes on in the next, as the scanner
// reads it: "{" ends at the first "}", "(*" at the first "*)" after it (so "(*)" is left open),
// "//" at the end of the line; a string ends at the next quote ("''" reads as two strings).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace quennet::base {

// Where a reading stands between lines.
enum class LexState : uint8_t { Code, BraceComment, ParenComment };

enum class PieceKind : uint8_t { Code, Comment, String };

// Calls visit(kind, begin, end) for the parts of line in order, [begin, end) each covering the
// whole line between them, starting in state; returns the state at the end of the line. visit
// may return false to stop early; the state returned then is that of the stop.
template <class Visit> LexState ForEachPiece(std::string_view line, LexState state, Visit&& visit) {
    size_t i = 0;
    const size_t n = line.size();
    auto emit = [&](PieceKind kind, size_t begin, size_t end) {
        if (begin >= end) return true;
        if constexpr (std::is_same_v<decltype(visit(kind, begin, end)), bool>)
            return visit(kind, begin, end);
        else
            return visit(kind, begin, end), true;
    };
    while (i < n) {
        if (state != LexState::Code) {
            const bool brace = state == LexState::BraceComment;
            const size_t close = brace ? line.find('}', i) : line.find("*)", i);
            const size_t end = close == std::string_view::npos ? n : close + (brace ? 1 : 2);
            if (close != std::string_view::npos) state = LexState::Code;
            if (!emit(PieceKind::Comment, i, end)) return state;
            i = end;
            continue;
        }
        size_t j = i;
        while (j < n) {
            const char c = line[j];
            if (c == '{' || c == '\'' || (c == '/' && j + 1 < n && line[j + 1] == '/') ||
                (c == '(' && j + 1 < n && line[j + 1] == '*'))
                break;
            ++j;
        }
        if (!emit(PieceKind::Code, i, j)) return state;
        if (j == n) break;
        const char c = line[j];
        if (c == '\'') {
            const size_t close = line.find('\'', j + 1);
            const size_t end = close == std::string_view::npos ? n : close + 1;
            if (!emit(PieceKind::String, j, end)) return state;
            i = end;
        } else if (c == '/') {
            emit(PieceKind::Comment, j, n);
            return state;
        } else {
            // The comment's body starts after its opener: "(*)" does not close itself.
            const bool brace = c == '{';
            const size_t from = j + (brace ? 1 : 2);
            const size_t close = brace ? line.find('}', from) : line.find("*)", from);
            const size_t end = close == std::string_view::npos ? n : close + (brace ? 1 : 2);
            if (close == std::string_view::npos)
                state = brace ? LexState::BraceComment : LexState::ParenComment;
            if (!emit(PieceKind::Comment, j, end)) return state;
            i = end;
        }
    }
    return state;
}

} // namespace quennet::base
