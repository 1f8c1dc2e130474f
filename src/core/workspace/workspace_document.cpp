// The workspace document: one text buffer, line starts and format runs over the buffer.
#include "workspace/workspace_document.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace quennet::workspace {

namespace {

char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsWordChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 128;
}

} // namespace

TWorkspaceDocument::TWorkspaceDocument() {
    Clear();
}

void TWorkspaceDocument::Clear() {
    text_.clear();
    lineStart_.assign(1, 0);
    runs_.clear();
    formats_.clear();
    formatIndex_.clear();
    endMark_ = {};
    appended_ = false;
    selection_ = {};
}

void TWorkspaceDocument::Reserve(size_t lines, size_t textBytes, size_t runs) {
    lineStart_.reserve(lines);
    text_.reserve(textBytes);
    runs_.reserve(runs);
}

uint32_t TWorkspaceDocument::FormatIndex(TCharFormat format) {
    const uint64_t key = (uint64_t{format.Color.Value()} << 1) | (format.Bold ? 1 : 0);
    // Looked up first: emplace would make a node for every run of a large document.
    if (const auto it = formatIndex_.find(key); it != formatIndex_.end()) return it->second;
    const auto index = static_cast<uint32_t>(formats_.size());
    formatIndex_.emplace(key, index);
    formats_.push_back(format); // at most 2^25 + 2 formats: they fit kFormatBits
    return index;
}

void TWorkspaceDocument::PushRun(size_t start, TCharFormat format) {
    if (!runs_.empty() && formats_[RunFormat(runs_.back())] == format) return;
    runs_.push_back(Pack(start, FormatIndex(format)));
}

void TWorkspaceDocument::AppendBreak(TCharFormat breakFormat) {
    AppendChar('\n', breakFormat);
    lineStart_.push_back(text_.size());
}

void TWorkspaceDocument::AppendLine(std::string_view text, const std::vector<TFormatRun>& runs,
                                    TCharFormat breakFormat) {
    if (appended_) AppendBreak(endMark_);
    appended_ = true;
    size_t pos = text_.size();
    const size_t end = pos + text.size();
    text_.append(text);
    for (const auto& r : runs) {
        if (r.Length == 0 || pos >= end) continue;
        PushRun(pos, r.Format);
        pos += std::min(r.Length, end - pos);
    }
    if (pos < end) PushRun(pos, breakFormat); // runs short of the text: the rest as the break
    endMark_ = breakFormat;
}

void TWorkspaceDocument::AppendLine(std::string_view text, TCharFormat format) {
    AppendLine(text, {{text.size(), format}}, format);
}

size_t TWorkspaceDocument::TextLineCount() const {
    const size_t n = lineStart_.size();
    return LineLength(n - 1) == 0 ? n - 1 : n;
}

std::string_view TWorkspaceDocument::LineText(size_t line) const {
    return std::string_view(text_).substr(lineStart_.at(line), LineLength(line));
}

size_t TWorkspaceDocument::LineLength(size_t line) const {
    const size_t end = line + 1 < lineStart_.size() ? lineStart_[line + 1] - 1 : text_.size();
    return end - lineStart_.at(line);
}

std::vector<TFormatRun> TWorkspaceDocument::LineRuns(size_t line) const {
    std::vector<TFormatRun> out;
    const size_t start = LineIndex(line), end = start + LineLength(line);
    for (size_t r = start < end ? RunAt(start) : runs_.size(); r < runs_.size(); ++r) {
        const size_t s = std::max(start, RunStart(runs_[r])), e = std::min(end, RunEnd(r));
        if (s >= end) break;
        out.push_back({e - s, formats_[RunFormat(runs_[r])]});
    }
    return out;
}

TCharFormat TWorkspaceDocument::LineBreakFormat(size_t line) const {
    return line + 1 < lineStart_.size() ? FormatAt(lineStart_[line + 1] - 1) : endMark_;
}

TFormatSpan TWorkspaceDocument::FormatRun(size_t i) const {
    const size_t start = RunStart(runs_.at(i));
    return {start, RunEnd(i) - start, formats_[RunFormat(runs_[i])]};
}

size_t TWorkspaceDocument::LineIndex(size_t line) const {
    if (line >= lineStart_.size()) return text_.size();
    return lineStart_[line];
}

size_t TWorkspaceDocument::LineFromChar(size_t index) const {
    auto it = std::upper_bound(lineStart_.begin(), lineStart_.end(), index);
    return static_cast<size_t>(it - lineStart_.begin()) - 1;
}

size_t TWorkspaceDocument::RunAt(size_t index) const {
    auto it = std::upper_bound(runs_.begin(), runs_.end(), index,
                               [](size_t i, uint64_t run) { return i < RunStart(run); });
    return static_cast<size_t>(it - runs_.begin()) - 1;
}

TCharFormat TWorkspaceDocument::FormatAt(size_t index) const {
    if (index >= text_.size()) return endMark_;
    return formats_[RunFormat(runs_[RunAt(index)])];
}

size_t TWorkspaceDocument::SplitRunAt(size_t index) {
    if (index >= text_.size()) return runs_.size();
    const size_t r = RunAt(index);
    if (RunStart(runs_[r]) == index) return r;
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(r + 1),
                 Pack(index, RunFormat(runs_[r])));
    return r + 1;
}

void TWorkspaceDocument::MergeRuns(size_t from, size_t to) {
    to = std::min(to, runs_.empty() ? 0 : runs_.size() - 1);
    if (from >= to) return;
    size_t out = from;
    for (size_t r = from + 1; r <= to; ++r)
        if (RunFormat(runs_[r]) != RunFormat(runs_[out])) runs_[++out] = runs_[r];
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(out + 1),
                runs_.begin() + static_cast<std::ptrdiff_t>(to + 1));
}

void TWorkspaceDocument::ShiftRuns(size_t from, std::ptrdiff_t by) {
    for (size_t r = from; r < runs_.size(); ++r)
        runs_[r] = Pack(RunStart(runs_[r]) + static_cast<size_t>(by), RunFormat(runs_[r]));
}

void TWorkspaceDocument::ApplyFormat(size_t start, size_t length,
                                     void (*apply)(TCharFormat&, const void*), const void* arg) {
    start = std::min(start, text_.size());
    const size_t end = start + std::min(length, text_.size() - start);
    if (start < end) {
        const size_t first = SplitRunAt(start);
        const size_t last = SplitRunAt(end);
        for (size_t r = first; r < last; ++r) {
            TCharFormat f = formats_[RunFormat(runs_[r])];
            apply(f, arg);
            runs_[r] = Pack(RunStart(runs_[r]), FormatIndex(f));
        }
        MergeRuns(first > 0 ? first - 1 : 0, last);
    }
    if (end >= text_.size() && (length > 0 || start == text_.size())) apply(endMark_, arg);
}

void TWorkspaceDocument::SetColor(size_t start, size_t length, TColor color) {
    ApplyFormat(
        start, length,
        [](TCharFormat& f, const void* c) { f.Color = *static_cast<const TColor*>(c); }, &color);
}

void TWorkspaceDocument::SetBold(size_t start, size_t length, bool bold) {
    ApplyFormat(
        start, length, [](TCharFormat& f, const void* b) { f.Bold = *static_cast<const bool*>(b); },
        &bold);
}

void TWorkspaceDocument::SetSelection(size_t start, size_t length) {
    selection_ = {start, length};
    ClampSelection();
}

void TWorkspaceDocument::ClampSelection() {
    selection_.Start = std::min(selection_.Start, text_.size());
    selection_.Length = std::min(selection_.Length, text_.size() - selection_.Start);
}

std::string TWorkspaceDocument::TextRange(size_t start, size_t length) const {
    start = std::min(start, text_.size());
    return text_.substr(start, std::min(length, text_.size() - start));
}

std::optional<size_t> TWorkspaceDocument::Find(std::string_view what, size_t start,
                                               TFindOptions options) const {
    if (what.empty() || start >= text_.size()) return std::nullopt;
    auto equal = [&](char a, char b) {
        return options.MatchCase ? a == b : FoldCase(a) == FoldCase(b);
    };
    const std::string_view hay = text_;
    auto wordAround = [&](size_t pos, size_t len) {
        if (!options.WholeWord) return true;
        if (pos > 0 && IsWordChar(static_cast<unsigned char>(hay[pos - 1]))) return false;
        if (pos + len < hay.size() && IsWordChar(static_cast<unsigned char>(hay[pos + len])))
            return false;
        return true;
    };
    // Breaks are "\n" in the text and never word characters, so one search over the whole
    // text finds what a search line by line would.
    const std::default_searcher searcher(what.begin(), what.end(), equal);
    for (size_t from = start; from + what.size() <= hay.size();) {
        auto it = std::search(hay.begin() + static_cast<std::ptrdiff_t>(from), hay.end(), searcher);
        if (it == hay.end()) return std::nullopt;
        const size_t pos = static_cast<size_t>(it - hay.begin());
        if (wordAround(pos, what.size())) return pos;
        from = pos + 1;
    }
    return std::nullopt;
}

void TWorkspaceDocument::Insert(size_t index, std::string_view text, TCharFormat format) {
    index = std::min(index, text_.size());
    const size_t line = LineFromChar(index);
    std::string bytes;
    bytes.reserve(text.size());
    std::vector<size_t> starts; // of the lines the inserted breaks begin
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            bytes += '\n';
            starts.push_back(index + bytes.size());
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            bytes += text[i];
        }
    }
    const size_t n = bytes.size();
    appended_ = true;
    if (n > 0) {
        const size_t at = SplitRunAt(index);
        text_.insert(index, bytes);
        for (size_t l = line + 1; l < lineStart_.size(); ++l)
            lineStart_[l] += n;
        lineStart_.insert(lineStart_.begin() + static_cast<std::ptrdiff_t>(line + 1),
                          starts.begin(), starts.end());
        ShiftRuns(at, static_cast<std::ptrdiff_t>(n));
        runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(at),
                     Pack(index, FormatIndex(format)));
        MergeRuns(at > 0 ? at - 1 : 0, at + 1);
    }
    selection_ = {index + n, 0};
    ClampSelection();
}

void TWorkspaceDocument::Delete(size_t start, size_t length) {
    start = std::min(start, text_.size());
    const size_t end = start + std::min(length, text_.size() - start);
    if (start == end) return;
    const size_t sl = LineFromChar(start), el = LineFromChar(end);
    const size_t first = SplitRunAt(start), last = SplitRunAt(end);
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first),
                runs_.begin() + static_cast<std::ptrdiff_t>(last));
    const size_t n = end - start;
    ShiftRuns(first, -static_cast<std::ptrdiff_t>(n));
    MergeRuns(first > 0 ? first - 1 : 0, first);
    text_.erase(start, n);
    lineStart_.erase(lineStart_.begin() + static_cast<std::ptrdiff_t>(sl + 1),
                     lineStart_.begin() + static_cast<std::ptrdiff_t>(el + 1));
    for (size_t l = sl + 1; l < lineStart_.size(); ++l)
        lineStart_[l] -= n;
    selection_ = {start, 0};
}

void TWorkspaceDocument::ReplaceSelection(std::string_view text) {
    const TSelection sel = selection_;
    const TCharFormat format = FormatAt(sel.Start);
    Delete(sel.Start, sel.Length);
    Insert(sel.Start, text, format);
}

bool TWorkspaceDocument::IsConsistent() const {
    if (lineStart_.empty() || lineStart_[0] != 0) return false;
    for (size_t l = 1; l < lineStart_.size(); ++l)
        if (lineStart_[l] <= lineStart_[l - 1] || lineStart_[l] > text_.size() ||
            text_[lineStart_[l] - 1] != '\n')
            return false;
    if (text_.empty()) return runs_.empty();
    if (runs_.empty() || RunStart(runs_[0]) != 0) return false;
    for (size_t r = 0; r < runs_.size(); ++r) {
        if (RunFormat(runs_[r]) >= formats_.size() || RunStart(runs_[r]) >= RunEnd(r)) return false;
        if (r > 0 && formats_[RunFormat(runs_[r])] == formats_[RunFormat(runs_[r - 1])])
            return false;
    }
    return true;
}

} // namespace quennet::workspace
