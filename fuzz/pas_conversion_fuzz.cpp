// Fuzz target: the highlighter and the workspace builder on any bytes. A conversion either
// fails with "Invalid string" or gives balanced RTF with one line per source line; a workspace
// built from the text's lines reads back with every line's text and kind.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/pas_conversion.h"
#include "workspace/rtf_reader.h"

namespace quennet::fuzz {

inline void CheckConversion(bool ok) {
    if (!ok) std::abort();
}

// Groups open and close in order outside escapes: the output is one well-formed document.
inline bool Balanced(std::string_view rtf) {
    long depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}') {
            if (--depth < 0) return false;
        }
    }
    return depth == 0;
}

inline int PasConversionFuzzOne(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    workspace::TPasConversion conv;
    conv.SetDefaultAttributes();
    conv.Write(bytes);
    conv.Rewind();
    try {
        conv.ConvertToRtf();
        const std::string_view out = conv.Data();
        CheckConversion(out.size() >= 10 && out.substr(out.size() - 10) == "\r\n\\par }\r\n");
        CheckConversion(Balanced(out));
    } catch (const workspace::EConversionError& e) {
        CheckConversion(std::strcmp(e.what(), "Invalid string") == 0);
    }

    // The text's lines as old, and as new with every third line left out.
    const std::vector<std::string> oldLines = io::SplitLines(bytes);
    std::vector<std::string> newLines;
    for (size_t i = 0; i < oldLines.size(); ++i)
        if (i % 3 != 1) newLines.push_back(oldLines[i]);
    std::optional<workspace::TMergeWorkspace> ws;
    try {
        ws = workspace::BuildMergeWorkspace(oldLines, newLines);
    } catch (const workspace::EConversionError&) {
        return 0;
    }
    CheckConversion(ws.has_value() == !(oldLines.empty() && newLines.empty()));
    if (!ws) return 0;
    CheckConversion(Balanced(ws->Rtf));
    const workspace::TWorkspaceDocument doc = workspace::ReadRtf(ws->Rtf);
    CheckConversion(doc.TextLineCount() == ws->MergeMap.size());
    for (size_t i = 0; i < ws->MergeMap.size(); ++i) {
        const diff::MapKind kind = ws->MergeMap[i].Kind;
        const workspace::TColor expected = kind == diff::OldOnly   ? workspace::kRed
                                           : kind == diff::NewOnly ? workspace::kBlue
                                                                   : workspace::kBlack;
        CheckConversion(doc.LineColor(i) == expected);
    }
    auto hasNul = [](const std::string& l) { return l.find('\0') != std::string::npos; };
    if (std::none_of(oldLines.begin(), oldLines.end(), hasNul)) {
        // Common lines hold the new text, which matches the old one only by its line key.
        const auto oldVersion = workspace::OldVersionLines(doc, "");
        CheckConversion(oldVersion.size() == oldLines.size());
        for (size_t i = 0; i < oldLines.size(); ++i)
            CheckConversion(base::LineKey(oldVersion[i]) == base::LineKey(oldLines[i]));
        CheckConversion(workspace::NewVersionLines(doc, "") == newLines);
    }
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::PasConversionFuzzOne(data, size);
}
#endif
