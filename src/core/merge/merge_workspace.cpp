// The workspace builder. Both texts are converted once; body lines are picked from the
// conversions by index.
#include "merge/merge_workspace.h"

#include <stdexcept>

#include "io/source_file.h"
#include "merge/pas_conversion.h"

namespace quennet::merge {

namespace {

constexpr std::string_view kParagraph = "\\par ";

std::vector<model::TLineRecord> MakeRecords(const std::vector<std::string>& lines) {
    std::vector<model::TLineRecord> records(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find_first_of("\r\n") != std::string::npos)
            throw std::invalid_argument("merge workspace: a source line holds a line break");
        records[i].Key = model::LineKey(lines[i]);
        records[i].Line = static_cast<int32_t>(i);
    }
    return records;
}

// The converted text as lines: three header lines, one line per source line (fewer when a
// NUL byte ended the scan), the empty line of the extra line end, and "\par }".
// A conversion error names the text and its line, so the caller can name the file.
std::vector<std::string> Convert(const std::vector<std::string>& lines, bool newText) {
    TPasConversion conv;
    conv.SetDefaultAttributes();
    conv.AppendSourceText(io::JoinLinesCrLf(lines));
    conv.Rewind();
    try {
        conv.ConvertToRtf();
    } catch (EConversionError& e) {
        size_t start = 0;
        e.Line = 1;
        for (size_t i = 0; i + 1 < lines.size() && start + lines[i].size() + 2 <= e.Offset; ++i) {
            start += lines[i].size() + 2;
            ++e.Line;
        }
        e.InNewText = newText;
        throw;
    }
    return io::SplitLines(conv.Data());
}

} // namespace

std::string_view MergeColorCode(const std::vector<model::TMapEntry>& map, std::ptrdiff_t i) {
    if (i < 0 || static_cast<size_t>(i) >= map.size()) return "\\cf1 ";
    switch (map[static_cast<size_t>(i)].Kind) {
    case model::OldOnly: return "\\cf2 ";
    case model::NewOnly: return "\\cf3 ";
    case model::Common: break;
    }
    return "\\cf1 ";
}

std::optional<TMergeWorkspace> BuildMergeWorkspace(const std::vector<std::string>& oldLines,
                                                   const std::vector<std::string>& newLines,
                                                   const TProgressCallback& progress) {
    auto report = [&](std::string_view text) {
        if (progress) progress(text);
    };
    report("Prepare for merge ...");
    auto oldRecords = MakeRecords(oldLines);
    auto newRecords = MakeRecords(newLines);

    TMergeWorkspace ws;
    report("Find merge map ...");
    if (oldLines.empty() && newLines.empty()) return std::nullopt;
    model::MatchLines(oldRecords, newRecords, ws.MergeMap);

    report("Add sintax highlighting ...");
    const auto oldRtf = Convert(oldLines, false);
    const auto newRtf = Convert(newLines, true);

    report("Make merge result ...");
    size_t total = 0;
    for (const auto& l : oldRtf)
        total += l.size() + 2;
    for (const auto& l : newRtf)
        total += l.size() + 2;
    ws.Rtf.reserve(total + ws.MergeMap.size() * 8);
    auto addLine = [&](std::string_view line) {
        ws.Rtf += line;
        ws.Rtf += "\r\n";
    };
    for (size_t i = 0; i < 3; ++i)
        addLine(oldRtf[i]);

    for (size_t i = 0; i < ws.MergeMap.size(); ++i) {
        const model::TMapEntry& e = ws.MergeMap[i];
        const bool fromOld = e.Kind == model::OldOnly;
        const auto& rtf = fromOld ? oldRtf : newRtf;
        const auto& source = fromOld ? oldLines : newLines;
        const size_t j = static_cast<size_t>(e.Line);
        ws.Rtf += MergeColorCode(ws.MergeMap, static_cast<std::ptrdiff_t>(i));
        // Converted lines sit between the header and the closing "\par }" line. A NUL byte
        // ends the conversion early; the lines it left out are written as plain escaped text.
        if (j + 3 + 1 < rtf.size()) {
            if (i > 0 && j == 0) ws.Rtf += kParagraph;
            addLine(rtf[j + 3]);
        } else {
            if (i > 0) ws.Rtf += kParagraph;
            addLine(TPasConversion::EscapeRtf(source.at(j)));
        }
    }
    addLine("");
    addLine("\\par }");
    addLine("");
    return ws;
}

} // namespace quennet::merge
