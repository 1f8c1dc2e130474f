// Changed runs of lines beyond a stop, from the whole-text line matcher.
#include "compare/text_after_stop.h"

#include <algorithm>

#include "model/line_matcher.h"

namespace quennet::compare {

namespace {

// A side's last line in the run, or for a side without lines the line it stands before.
bool Reaches(int32_t first, int32_t last, int32_t stop) {
    return stop > 0 && std::max(first, last) >= stop;
}

} // namespace

std::vector<TextRun> ChangedRunsAfterStop(std::string_view oldText, std::string_view newText,
                                          int32_t oldStop, int32_t newStop) {
    if (oldStop <= 0 && newStop <= 0) return {};
    return ChangedRunsAfterStop(model::LineRecordsOf(oldText), model::LineRecordsOf(newText),
                                oldStop, newStop);
}

std::vector<TextRun> ChangedRunsAfterStop(std::vector<model::TLineRecord> oldLines,
                                          std::vector<model::TLineRecord> newLines, int32_t oldStop,
                                          int32_t newStop) {
    std::vector<TextRun> runs;
    if (oldStop <= 0 && newStop <= 0) return runs;
    std::vector<model::TMapEntry> map;
    model::MatchLines(oldLines, newLines, map);

    int32_t nextOld = 1, nextNew = 1;
    for (size_t i = 0; i < map.size();) {
        if (map[i].Kind == model::Common) {
            ++nextOld;
            ++nextNew;
            ++i;
            continue;
        }
        TextRun run{nextOld, nextOld - 1, nextNew, nextNew - 1};
        for (; i < map.size() && map[i].Kind != model::Common; ++i)
            if (map[i].Kind == model::OldOnly)
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

void AddTextRuns(model::TSourceDiff& diff, const std::vector<TextRun>& runs) {
    for (const TextRun& run : runs) {
        const model::TidName* oldLines =
            run.HasOld() ? diff.Own(std::make_unique<model::TidName>(model::kTextRunName, 0,
                                                                     run.oldFirst, run.oldLast))
                         : nullptr;
        const model::TidName* newLines =
            run.HasNew() ? diff.Own(std::make_unique<model::TidName>(model::kTextRunName, 0,
                                                                     run.newFirst, run.newLast))
                         : nullptr;
        const model::DiffState state = !oldLines   ? model::Added
                                       : !newLines ? model::Removed
                                                   : model::Changed;
        diff.Root.AddItem(TextRunCaption(run), state, oldLines, newLines);
    }
}

} // namespace quennet::compare
