// Changed runs of lines beyond a stop, from the whole-text line matcher.
#include "diff/text_after_stop.h"

#include <algorithm>

#include "diff/line_matcher.h"

namespace quennet::diff {

namespace {

// A side's last line in the run, or for a side without lines the line it stands before.
bool Reaches(int32_t first, int32_t last, int32_t stop) {
    return stop > 0 && std::max(first, last) >= stop;
}

} // namespace

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
