// Parsing, comparing and judging two texts in one place, so that no front end can say
// "equivalent" where another would not.
#include "diff/compare_sources.h"

#include <future>
#include <optional>

#include "base/read_text_release.h"
#include "diff/comparison_outcome.h"
#include "diff/text_after_stop.h"
#include "pascal/parse.h"

namespace quennet::diff {

std::unique_ptr<model::TPasSrc> ParseSource(const SourceText& side,
                                            const std::vector<std::string>& symbols,
                                            model::ParseOptions options) {
    options.dialect = model::ResolveDialect(options.dialect, side.name, side.text);
    options.fileName = side.path.empty() ? side.name : side.path;
    auto src = std::make_unique<model::TPasSrc>();
    pascal::Parse(*src, side.text, &symbols, options);
    return src;
}

ReadVerdict ReadVerdictOf(const model::ParseStatus& status) {
    if (!status.Complete) return ReadVerdict::Stopped;
    return status.Notes.empty() ? ReadVerdict::Followed : ReadVerdict::WithNotes;
}

ComparisonResult CompareSources(const SourceText& oldText, const SourceText& newText,
                                const std::vector<std::string>& symbols,
                                const model::ParseOptions& options,
                                const CompareProgress& progress) {
    return CompareSources([&oldText](std::string&) { return oldText; },
                          [&newText](std::string&) { return newText; }, symbols, options, progress);
}

ComparisonResult CompareSources(const SideLoader& loadOld, const SideLoader& loadNew,
                                const std::vector<std::string>& symbols,
                                const model::ParseOptions& options, const CompareProgress& progress,
                                bool oneThread) {
    auto step = [&progress](CompareStep s) {
        if (progress) progress(s);
    };
    ComparisonResult r;
    std::string storage[2];
    std::optional<SourceText> loaded[2];
    std::optional<base::ReadTextRelease> releases[2];
    model::Dialect dialects[2] = {};
    const auto loadAndParse = [&](int k) {
        const SourceText& side = loaded[k].emplace((k == 0 ? loadOld : loadNew)(storage[k]));
        dialects[k] = model::ResolveDialect(options.dialect, side.name, side.text);
        model::ParseOptions reading = options;
        if (side.releaseAsRead) reading.release = &releases[k].emplace(side.text, side.readAgain);
        return ParseSource(side, symbols, reading);
    };
    // The two sides share nothing, so the old one is read and parsed on its own thread.
    step(CompareStep::ParseOld);
    auto oldParse = std::async(oneThread ? std::launch::deferred : std::launch::async,
                               [&] { return loadAndParse(0); });
    if (oneThread) oldParse.wait();
    step(CompareStep::ParseNew);
    try {
        r.newSource = loadAndParse(1);
    } catch (...) {
        oldParse.wait();
        if (!loaded[0]) oldParse.get(); // the old side's error, had it one, comes first
        throw;
    }
    r.oldSource = oldParse.get();
    step(CompareStep::FindDifferences);
    const SourceText& oldText = *loaded[0];
    const SourceText& newText = *loaded[1];
    if (diff::FollowsRenames(options, dialects[1])) {
        // The texts are read only when a pair must be decided token by token.
        auto textOf = [&](int k) -> diff::SideText {
            const SourceText& side = *loaded[k];
            if (!releases[k]) return [text = side.text] { return std::string(text); };
            return side.readAgain;
        };
        r.pairing =
            std::make_unique<diff::DeclPairing>(*r.oldSource, *r.newSource, textOf(0), textOf(1));
    }
    r.diff = std::make_unique<diff::TSourceDiff>(*r.oldSource, *r.newSource, r.pairing.get());

    const std::pair<const SourceText*, const model::TPasSrc*> sides[] = {
        {&oldText, r.oldSource.get()}, {&newText, r.newSource.get()}};
    for (auto [text, src] : sides)
        if (!src->Status.Complete)
            r.stopNotes.push_back(
                {text->name, ParseStopLine(src->Status), ParseStopNote(text->name, src->Status)});
    // The classic reading keeps its tree and report as they were.
    std::vector<TextRun> textRuns;
    const int32_t oldStop = ParseStopLine(r.oldSource->Status);
    const int32_t newStop = ParseStopLine(r.newSource->Status);
    if (options.dialect != model::Dialect::Classic && (oldStop > 0 || newStop > 0)) {
        // A side given back as read is read again once, for its lines and their tokens.
        std::string again[2];
        auto lines = [&](int k) {
            const SourceText& side = k == 0 ? oldText : newText;
            if (!releases[k]) return base::LineRecordsOf(side.text);
            if (!side.readAgain) return releases[k]->LineRecords();
            again[k] = side.readAgain();
            return base::LineRecordsOf(again[k]);
        };
        textRuns = ChangedRunsAfterStop(lines(0), lines(1), oldStop, newStop);
        // Layout does not count after a stop either, where the texts can still be read.
        if (!textRuns.empty() && (!releases[0] || oldText.readAgain) &&
            (!releases[1] || newText.readAgain))
            textRuns = WithoutLayoutRuns(std::move(textRuns),
                                         releases[0] ? std::string_view(again[0]) : oldText.text,
                                         releases[1] ? std::string_view(again[1]) : newText.text);
    }
    AddTextRuns(*r.diff, textRuns);
    r.textRuns = std::move(textRuns);
    r.oldName = oldText.name;
    r.newName = newText.name;
    r.equivalent = ClaimsEquivalence(*r.diff, *r.oldSource, *r.newSource);

    return r;
}

std::string OutcomeMessage(const ComparisonResult& result) {
    if (result.diff->Root.Count() != 0) return {};
    if (result.equivalent) return kEquivalentSentence;
    if (result.stopNotes.empty()) return kDiffersOutsideSentence;
    // Equal trees say nothing about text the parser did not follow.
    std::string message = "No structural differences were found, but the comparison is incomplete:";
    for (const auto& note : result.stopNotes)
        message += "\n\n" + note.text;
    return message;
}

} // namespace quennet::diff
