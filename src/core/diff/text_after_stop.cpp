// Changed runs of lines beyond a stop, from the whole-text line matcher.
#include "diff/text_after_stop.h"

#include <algorithm>
#include <cctype>

#include "base/pascal_text.h"
#include "diff/line_matcher.h"

namespace quennet::diff {

namespace {

// A side's last line in the run, or for a side without lines the line it stands before.
bool Reaches(int32_t first, int32_t last, int32_t stop) {
    return stop > 0 && std::max(first, last) >= stop;
}

// Each line of a text with the lexical state it starts in; split as LineRecordsOf splits.
struct PascalLines {
    std::vector<std::string_view> lines;
    std::vector<base::LexState> states;

    explicit PascalLines(std::string_view text) {
        base::LexState state = base::LexState::Code;
        size_t start = 0;
        for (size_t i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
            const std::string_view line = text.substr(start, i - start);
            lines.push_back(line);
            states.push_back(state);
            state = base::ForEachPiece(line, state, [](base::PieceKind, size_t, size_t) {});
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
        // A text that ends with a line break has no line after it.
        if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            lines.pop_back();
            states.pop_back();
        }
    }

    // Lines first..last (1-based) as tokens: comments and blanks give way to one space where
    // two words or two strings would otherwise join; letters upper-cased outside strings.
    std::string Tokens(int32_t first, int32_t last) const {
        std::string out;
        bool gap = false;
        auto put = [&out, &gap](char c, bool verbatim) {
            const auto word = [](char x) {
                return std::isalnum(static_cast<unsigned char>(x)) || x == '_' || x == '\'';
            };
            if (gap && !out.empty() && word(out.back()) && word(c)) out.push_back(' ');
            gap = false;
            out.push_back(
                verbatim ? c : static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        };
        for (int32_t n = first; n <= last && n >= 1 && static_cast<size_t>(n) <= lines.size();
             ++n) {
            const std::string_view line = lines[static_cast<size_t>(n - 1)];
            base::ForEachPiece(
                line, states[static_cast<size_t>(n - 1)],
                [&](base::PieceKind kind, size_t begin, size_t end) {
                    const std::string_view piece = line.substr(begin, end - begin);
                    const bool directive = kind == base::PieceKind::Comment &&
                                           (piece.starts_with("{$") || piece.starts_with("(*$"));
                    if (kind == base::PieceKind::Comment && !directive) {
                        gap = true;
                        return;
                    }
                    for (const char c : piece) {
                        if (kind == base::PieceKind::Code && static_cast<unsigned char>(c) <= ' ') {
                            gap = true;
                            continue;
                        }
                        put(c, kind == base::PieceKind::String);
                    }
                    if (directive) gap = true;
                });
            gap = true;
        }
        return out;
    }
};

} // namespace

std::vector<TextRun> WithoutLayoutRuns(std::vector<TextRun> runs, std::string_view oldText,
                                       std::string_view newText) {
    if (runs.empty()) return runs;
    const PascalLines oldLines(oldText), newLines(newText);
    std::erase_if(runs, [&](const TextRun& run) {
        return oldLines.Tokens(run.oldFirst, run.oldLast) ==
               newLines.Tokens(run.newFirst, run.newLast);
    });
    return runs;
}

std::vector<TextRun> ChangedRunsAfterStop(std::string_view oldText, std::string_view newText,
                                          int32_t oldStop, int32_t newStop) {
    if (oldStop <= 0 && newStop <= 0) return {};
    return ChangedRunsAfterStop(base::LineRecordsOf(oldText), base::LineRecordsOf(newText), oldStop,
                                newStop);
}

std::vector<TextRun> ChangedRunsAfterStop(std::vector<base::TLineRecord> oldLines,
                                          std::vector<base::TLineRecord> newLines, int32_t oldStop,
                                          int32_t newStop) {
    std::vector<TextRun> runs;
    if (oldStop <= 0 && newStop <= 0) return runs;
    std::vector<diff::TMapEntry> map;
    diff::MatchLines(oldLines, newLines, map);

    int32_t nextOld = 1, nextNew = 1;
    for (size_t i = 0; i < map.size();) {
        if (map[i].Kind == diff::Common) {
            ++nextOld;
            ++nextNew;
            ++i;
            continue;
        }
        TextRun run{nextOld, nextOld - 1, nextNew, nextNew - 1};
        for (; i < map.size() && map[i].Kind != diff::Common; ++i)
            if (map[i].Kind == diff::OldOnly)
                run.oldLast = nextOld++;
            else
                run.newLast = nextNew++;
        if (Reaches(run.oldFirst, run.oldLast, oldStop) ||
            Reaches(run.newFirst, run.newLast, newStop))
            runs.push_back(run);
    }
    return runs;
}

std::string TextRunCaption(const TextRun& run) {
    const bool useNew = run.HasNew();
    const int32_t first = useNew ? run.newFirst : run.oldFirst;
    const int32_t last = useNew ? run.newLast : run.oldLast;
    return "Text, lines " + std::to_string(first) + "-" + std::to_string(last);
}

void AddTextRuns(diff::TSourceDiff& diff, const std::vector<TextRun>& runs) {
    for (const TextRun& run : runs) {
        const model::TidName* oldLines =
            run.HasOld() ? diff.Own(std::make_unique<model::TidName>(diff::kTextRunName, 0,
                                                                     run.oldFirst, run.oldLast))
                         : nullptr;
        const model::TidName* newLines =
            run.HasNew() ? diff.Own(std::make_unique<model::TidName>(diff::kTextRunName, 0,
                                                                     run.newFirst, run.newLast))
                         : nullptr;
        const diff::DiffState state = !oldLines   ? diff::Added
                                      : !newLines ? diff::Removed
                                                  : diff::Changed;
        diff.Root.AddItem(TextRunCaption(run), state, oldLines, newLines);
    }
}

} // namespace quennet::diff
