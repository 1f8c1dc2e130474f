// The workspace builder. Both texts are converted once; body lines are picked from the
// conversions by index.
#include "workspace/merge_workspace.h"

#include <algorithm>
#include <stdexcept>

#include "io/source_file.h"
#include "workspace/pas_conversion.h"
#include "workspace/rtf_writer.h"

namespace quennet::workspace {

namespace {

constexpr std::string_view kParagraph = "\\par ";

std::vector<base::TLineRecord> MakeRecords(const std::vector<std::string>& lines) {
    std::vector<base::TLineRecord> records(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find_first_of("\r\n") != std::string::npos)
            throw std::invalid_argument("merge workspace: a source line holds a line break");
        records[i].Key = base::LineKey(lines[i]);
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

// How many source lines have their converted line: those before the first NUL byte (the
// converted lines follow the three header lines).
size_t ConvertedLineCount(const std::vector<std::string>& lines,
                          const std::vector<std::string>& rtf) {
    size_t n = 0;
    while (n < lines.size() && lines[n].find('\0') == std::string::npos)
        ++n;
    return std::min(n, rtf.size() > 3 ? rtf.size() - 3 : 0);
}

// Line keys fold letter case and skip blanks, so lines matched as common may differ in their
// bytes (a string's letter case, indentation). Such a pair is written as a changed line, joined
// with the changes next to it (old lines first), so that every output keeps each version's own
// bytes. Stretches without one keep their order.
std::vector<diff::TMapEntry> WrittenMap(const std::vector<diff::TMapEntry>& map,
                                        const std::vector<std::string>& oldLines,
                                        const std::vector<std::string>& newLines) {
    std::vector<diff::TMapEntry> out;
    out.reserve(map.size());
    std::vector<diff::TMapEntry> stretch, olds, news;
    bool split = false;
    auto flush = [&] {
        if (split) {
            out.insert(out.end(), olds.begin(), olds.end());
            out.insert(out.end(), news.begin(), news.end());
        } else {
            out.insert(out.end(), stretch.begin(), stretch.end());
        }
        stretch.clear();
        olds.clear();
        news.clear();
        split = false;
    };
    int32_t oldLine = 0; // every old line stands in the map once, in order
    for (const diff::TMapEntry& e : map) {
        if (e.Kind == diff::Common &&
            oldLines.at(static_cast<size_t>(oldLine)) == newLines.at(static_cast<size_t>(e.Line))) {
            flush();
            out.push_back(e);
        } else if (e.Kind == diff::Common) {
            split = true;
            olds.push_back({diff::OldOnly, oldLine});
            news.push_back({diff::NewOnly, e.Line});
        } else {
            stretch.push_back(e);
            (e.Kind == diff::OldOnly ? olds : news).push_back(e);
        }
        if (e.Kind != diff::NewOnly) ++oldLine;
    }
    flush();
    return out;
}

} // namespace

std::string_view MergeColorCode(const std::vector<diff::TMapEntry>& map, std::ptrdiff_t i) {
    if (i < 0 || static_cast<size_t>(i) >= map.size()) return "\\cf1 ";
    switch (map[static_cast<size_t>(i)].Kind) {
    case diff::OldOnly: return "\\cf2 ";
    case diff::NewOnly: return "\\cf3 ";
    case diff::Common: break;
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
    diff::MatchLines(oldRecords, newRecords, ws.MergeMap);
    ws.MergeMap = WrittenMap(ws.MergeMap, oldLines, newLines);

    report("Add sintax highlighting ...");
    const auto oldRtf = Convert(oldLines, false);
    const auto newRtf = Convert(newLines, true);

    // The converter's scan ends at a NUL byte: from the first line that holds one, lines are
    // written as escaped text, so that every byte reaches the workspace.
    const size_t oldConverted = ConvertedLineCount(oldLines, oldRtf);
    const size_t newConverted = ConvertedLineCount(newLines, newRtf);
    const bool utf8 = IsUtf8Text({&oldLines, &newLines});

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
    // Bytes beyond ASCII and control bytes become RTF escapes, so that word processors show
    // the characters; the RTF markup around them is ASCII.
    auto addBodyLine = [&](std::string_view line) {
        for (size_t k = 0; k < line.size();) {
            const auto u = static_cast<unsigned char>(line[k]);
            if (u >= 0x80 || (u < 0x20 && u != '\t')) {
                k += AppendRtfEscapedChar(ws.Rtf, line, k, utf8);
            } else {
                ws.Rtf += line[k];
                ++k;
            }
        }
        ws.Rtf += "\r\n";
    };
    if (utf8) {
        constexpr size_t kAnsiEnd = std::string_view("{\\rtf1\\ansi").size();
        addLine(oldRtf[0].substr(0, kAnsiEnd) + std::string(kRtfUtf8CodePage) +
                oldRtf[0].substr(kAnsiEnd));
    } else {
        addLine(oldRtf[0]);
    }
    for (size_t i = 1; i < 3; ++i)
        addLine(oldRtf[i]);

    for (size_t i = 0; i < ws.MergeMap.size(); ++i) {
        const diff::TMapEntry& e = ws.MergeMap[i];
        const bool fromOld = e.Kind == diff::OldOnly;
        const auto& rtf = fromOld ? oldRtf : newRtf;
        const auto& source = fromOld ? oldLines : newLines;
        const size_t j = static_cast<size_t>(e.Line);
        ws.Rtf += MergeColorCode(ws.MergeMap, static_cast<std::ptrdiff_t>(i));
        if (j < (fromOld ? oldConverted : newConverted)) {
            if (i > 0 && j == 0) ws.Rtf += kParagraph;
            addBodyLine(rtf[j + 3]);
        } else {
            if (i > 0) ws.Rtf += kParagraph;
            addBodyLine(TPasConversion::EscapeRtf(source.at(j)));
        }
    }
    addLine("");
    addLine("\\par }");
    addLine("");
    return ws;
}

} // namespace quennet::workspace
