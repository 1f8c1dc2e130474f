// The one comparison of two source texts, as the window, the command line and the benchmarks
// all make it: parse both, compare the models and decide the verdict. The caller asks render/
// for the report, the tree or the JSON of the result.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "diff/decl_pairing.h"
#include "diff/source_diff.h"
#include "diff/text_after_stop.h"
#include "model/dialect.h"
#include "model/source_model.h"

namespace quennet::diff {

// The closing line of a report whose files are equivalent, and the window's message for it.
inline constexpr char kEquivalentSentence[] = "The compared files syntactically are equivalent.";

// The steps of a comparison, for a progress display.
enum class CompareStep { ParseOld, ParseNew, FindDifferences };
using CompareProgress = std::function<void(CompareStep)>;

struct SourceText {
    // Spelled out so that {text, name} needs no path.
    SourceText(std::string_view bytes, std::string shownName, std::string filePath = {})
        : text(bytes), name(std::move(shownName)), path(std::move(filePath)) {}

    std::string_view text; // every line followed by CR LF, as io::JoinLinesCrLf gives it
    std::string name;      // shown in the report and the notes; also names the file for the dialect
    std::string path;      // where include files are looked for; empty: name
    // The caller reads the text no more and lets the comparison give back its memory as the
    // parse passes it (a command that only reports).
    bool releaseAsRead = false;
    // With releaseAsRead: the whole text again, for the lines after a stop (a file read again);
    // without it, a key of each line given back is kept as the parse passes it.
    std::function<std::string()> readAgain;
};

struct StopNote {
    std::string file;
    int32_t line; // -1 when no line is known
    std::string text;
};

struct ComparisonResult {
    std::unique_ptr<model::TPasSrc> oldSource;
    std::unique_ptr<model::TPasSrc> newSource;
    std::unique_ptr<diff::TSourceDiff> diff; // refers to both sources
    // Renamed and moved declarations; null where they are not followed (classic by default).
    std::unique_ptr<DeclPairing> pairing;
    std::vector<StopNote> stopNotes; // one per parse that lost the structure
    // Runs of changed text after a stop, compared line by line (modern readings only).
    std::vector<TextRun> textRuns;
    bool equivalent = false;
    std::string oldName, newName; // as shown
};

// One text parsed as each side of a comparison is: options.dialect may be Auto, resolved by
// the side's name and text; options.fileName is the side's path, else its name.
std::unique_ptr<model::TPasSrc> ParseSource(const SourceText& side,
                                            const std::vector<std::string>& symbols,
                                            model::ParseOptions options);

// How far a parse followed its file, as the front ends tell the user: Stopped shows the stop
// note; WithNotes reached the end but some text was not read (an include file not found) or was
// read by a guess (an {$IF} name without a value), as the notes say.
enum class ReadVerdict { Followed, WithNotes, Stopped };
ReadVerdict ReadVerdictOf(const model::ParseStatus& status);

// options.dialect may be Auto: it is resolved for each file by its name and text.
// options.fileName is ignored; each side's name is used.
ComparisonResult CompareSources(const SourceText& oldText, const SourceText& newText,
                                const std::vector<std::string>& symbols,
                                const model::ParseOptions& options = {},
                                const CompareProgress& progress = {});

// Gives a side to compare: may fill text, which the comparison keeps until it ends, and
// return a SourceText that views it. Throws when the side cannot be read.
using SideLoader = std::function<SourceText(std::string& text)>;

// The same comparison, each side read on the thread that parses it: the old side's reading
// and parse overlap the new side's. When both sides fail to load, the old side's error is the
// one thrown. oneThread reads and parses the sides in turn, for small files, whose parse takes
// less than starting a thread.
ComparisonResult CompareSources(const SideLoader& loadOld, const SideLoader& loadNew,
                                const std::vector<std::string>& symbols,
                                const model::ParseOptions& options = {},
                                const CompareProgress& progress = {}, bool oneThread = false);

// The window's message when the token checksums differ but no declaration does.
inline constexpr char kDiffersOutsideSentence[] =
    "The files differ outside the compared declarations.";

// What a window says when the comparison found no difference in the declarations: the
// equivalent sentence, or why it cannot be said. Empty when the tree has entries.
std::string OutcomeMessage(const ComparisonResult& result);

} // namespace quennet::diff
