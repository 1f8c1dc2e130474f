// Copying a range of a workspace document.
#include "workspace/workspace_range.h"

#include <algorithm>

namespace quennet::workspace {

TWorkspaceDocument CopyRange(const TWorkspaceDocument& doc, size_t start, size_t length) {
    TWorkspaceDocument out;
    out.SetUtf8(doc.IsUtf8());
    start = std::min(start, doc.TextLength());
    const size_t end = start + std::min(length, doc.TextLength() - start);
    const size_t first = doc.LineFromChar(start), last = doc.LineFromChar(end);
    for (size_t line = first; line <= last; ++line) {
        const size_t lineStart = doc.LineIndex(line);
        const size_t from = line == first ? start - lineStart : 0;
        const size_t to = line == last ? end - lineStart : doc.LineLength(line);
        std::vector<TFormatRun> runs;
        size_t pos = 0;
        for (const auto& run : doc.LineRuns(line)) {
            const size_t s = std::max(pos, from), e = std::min(pos + run.Length, to);
            if (s < e) runs.push_back({e - s, run.Format});
            pos += run.Length;
        }
        out.AppendLine(doc.LineText(line).substr(from, to - from), runs, doc.LineBreakFormat(line));
    }
    return out;
}

} // namespace quennet::workspace
