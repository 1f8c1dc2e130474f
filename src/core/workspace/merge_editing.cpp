// Navigation, marking and status of the merge editor.
#include "workspace/merge_editing.h"

#include "io/platform.h"
#include "io/view_encoding.h"

#include <cstdio>
#include <filesystem>

namespace quennet::workspace {

namespace {

bool IsBlackLine(const TWorkspaceDocument& doc, size_t line) {
    return doc.LineColor(line) == kBlack;
}

} // namespace

size_t NextDifference(const TWorkspaceDocument& doc, size_t selStart) {
    const size_t count = doc.TextLineCount();
    if (count == 0) return 0;
    size_t line = doc.LineFromChar(selStart);
    // Leave the difference the caret stands in, then look for the next one.
    while (line < count && !IsBlackLine(doc, line))
        ++line;
    while (line < count && IsBlackLine(doc, line))
        ++line;
    if (line >= count) line = count - 1;
    return doc.LineIndex(line);
}

size_t PriorDifference(const TWorkspaceDocument& doc, size_t selStart) {
    const size_t count = doc.TextLineCount();
    if (count == 0) return 0;
    std::ptrdiff_t line =
        static_cast<std::ptrdiff_t>(std::min(doc.LineFromChar(selStart), count - 1));
    auto black = [&](std::ptrdiff_t l) { return IsBlackLine(doc, static_cast<size_t>(l)); };
    while (line >= 0 && !black(line))
        --line;
    while (line >= 0 && black(line))
        --line;
    while (line >= 0) {
        if (black(line)) return doc.LineIndex(static_cast<size_t>(line + 1));
        --line;
    }
    return 0;
}

TSelection MarkRange(const TWorkspaceDocument& doc, TSelection selection) {
    if (selection.Length > 0) return selection;
    const size_t line = doc.LineFromChar(selection.Start);
    const size_t start = doc.LineIndex(line);
    const size_t breakEnd = start + doc.LineLength(line) + 1;
    return {start, std::min(breakEnd, doc.TextLength()) - start};
}

void Mark(TWorkspaceDocument& doc, TColor color) {
    const TSelection sel = doc.Selection();
    const TSelection range = MarkRange(doc, sel);
    doc.SetColor(range.Start, range.Length, color);
    doc.SetSelection(sel.Start, 0);
}

TColor MarkColorOfTag(int tag) {
    switch (tag) {
    case 1: return kBlue;
    case 2: return kRed;
    default: return kBlack;
    }
}

std::string LineColStatus(const TWorkspaceDocument& doc, size_t selStart) {
    const size_t line = doc.LineFromChar(selStart);
    const size_t byteCol = std::min(selStart, doc.TextLength()) - doc.LineIndex(line);
    // In UTF-8 text a column is an editor position, not a byte.
    const size_t col = doc.IsUtf8()
                           ? io::Utf16Offset(io::ToUtf16(doc.LineText(line), io::ViewCharset::Utf8),
                                             byteCol, io::ViewCharset::Utf8)
                           : byteCol;
    char buf[64];
    std::snprintf(buf, sizeof buf, "Line: %3zu   Col: %3zu", line + 1, col + 1);
    return buf;
}

std::optional<size_t> FindNext(const TWorkspaceDocument& doc, std::string_view what,
                               TFindOptions options, bool findNextRequest) {
    const TSelection sel = doc.Selection();
    return doc.Find(what, findNextRequest ? sel.Start + sel.Length : sel.Start, options);
}

std::string NotFoundMessage(std::string_view what) {
    return "Text <" + std::string(what) + "> not found";
}

TWorkspaceSaveTarget WorkspaceSaveTarget(const std::string& chosenPath) {
    std::string ext = io::Utf8Path(io::FsPath(chosenPath).extension());
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (ext.empty()) return {chosenPath + ".pas", false};
    return {chosenPath, ext == ".rtf"};
}

} // namespace quennet::workspace
