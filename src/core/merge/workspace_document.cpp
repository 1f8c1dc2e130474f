// The workspace document: per-line text with run-length formats and a format per line break.
#include "merge/workspace_document.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace quennet::merge {

namespace {

char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsWordChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 128;
}

// Splits runs at a character offset: the left part covers [0, offset).
std::pair<std::vector<TFormatRun>, std::vector<TFormatRun>>
SplitRuns(const std::vector<TFormatRun>& runs, size_t offset) {
    std::vector<TFormatRun> left, right;
    size_t pos = 0;
    for (const auto& r : runs) {
        if (pos + r.Length <= offset) {
            left.push_back(r);
        } else if (pos >= offset) {
            right.push_back(r);
        } else {
            left.push_back({offset - pos, r.Format});
            right.push_back({pos + r.Length - offset, r.Format});
        }
        pos += r.Length;
    }
    return {std::move(left), std::move(right)};
}

// Every piece between line breaks; CR LF, CR and LF each break once.
std::vector<std::string_view> SplitAtBreaks(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            parts.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

TWorkspaceDocument::TWorkspaceDocument() {
    Clear();
}

void TWorkspaceDocument::Clear() {
    lines_.assign(1, Line{});
    appended_ = false;
    RebuildIndex();
    selection_ = {};
}

void TWorkspaceDocument::ReserveLines(size_t lines) {
    lines_.reserve(lines);
    lineStart_.reserve(lines);
}

void TWorkspaceDocument::AppendLine(std::string text, std::vector<TFormatRun> runs,
                                    TCharFormat breakFormat) {
    NormalizeRuns(runs);
    size_t covered = 0;
    for (const auto& r : runs)
        covered += r.Length;
    if (covered > text.size()) {
        auto [left, right] = SplitRuns(runs, text.size());
        runs = std::move(left);
    } else if (covered < text.size()) {
        runs.push_back({text.size() - covered, breakFormat});
        NormalizeRuns(runs);
    }
    Line line{std::move(text), std::move(runs), breakFormat};
    if (!appended_) {
        lines_.clear(); // assign(1, line) would copy the line's text and runs
        lines_.push_back(std::move(line));
        appended_ = true;
        lineStart_.assign(1, 0);
        textLength_ = lines_[0].Text.size();
    } else {
        lineStart_.push_back(textLength_ + 1);
        textLength_ += 1 + line.Text.size();
        lines_.push_back(std::move(line));
    }
}

void TWorkspaceDocument::AppendLine(std::string text, TCharFormat format) {
    std::vector<TFormatRun> runs;
    if (!text.empty()) runs.push_back({text.size(), format});
    AppendLine(std::move(text), std::move(runs), format);
}

size_t TWorkspaceDocument::TextLineCount() const {
    size_t n = lines_.size();
    return lines_.back().Text.empty() ? n - 1 : n;
}

size_t TWorkspaceDocument::LineIndex(size_t line) const {
    if (line >= lines_.size()) return textLength_;
    return lineStart_[line];
}

size_t TWorkspaceDocument::LineFromChar(size_t index) const {
    auto it = std::upper_bound(lineStart_.begin(), lineStart_.end(), index);
    return static_cast<size_t>(it - lineStart_.begin()) - 1;
}

TCharFormat TWorkspaceDocument::FormatAt(size_t index) const {
    if (index >= textLength_) return lines_.back().BreakFormat;
    const size_t line = LineFromChar(index);
    const Line& l = lines_[line];
    size_t offset = index - lineStart_[line];
    if (offset >= l.Text.size()) return l.BreakFormat;
    for (const auto& r : l.Runs) {
        if (offset < r.Length) return r.Format;
        offset -= r.Length;
    }
    return l.BreakFormat; // not reached while the runs cover the text
}

void TWorkspaceDocument::NormalizeRuns(std::vector<TFormatRun>& runs) {
    std::vector<TFormatRun> out;
    out.reserve(runs.size());
    for (const auto& r : runs) {
        if (r.Length == 0) continue;
        if (!out.empty() && out.back().Format == r.Format)
            out.back().Length += r.Length;
        else
            out.push_back(r);
    }
    runs = std::move(out);
}

void TWorkspaceDocument::SetRunsFormat(Line& line, size_t from, size_t to,
                                       void (*apply)(TCharFormat&, const void*), const void* arg) {
    if (from >= to) return;
    auto [left, rest] = SplitRuns(line.Runs, from);
    auto [middle, right] = SplitRuns(rest, to - from);
    for (auto& r : middle)
        apply(r.Format, arg);
    left.insert(left.end(), middle.begin(), middle.end());
    left.insert(left.end(), right.begin(), right.end());
    NormalizeRuns(left);
    line.Runs = std::move(left);
}

void TWorkspaceDocument::ApplyFormat(size_t start, size_t length,
                                     void (*apply)(TCharFormat&, const void*), const void* arg) {
    start = std::min(start, textLength_);
    const size_t end = std::min(textLength_, start + std::min(length, textLength_ - start));
    if (start < end) {
        for (size_t line = LineFromChar(start); line < lines_.size(); ++line) {
            const size_t s = lineStart_[line];
            if (s >= end) break;
            Line& l = lines_[line];
            const size_t from = start > s ? start - s : 0;
            const size_t to = std::min(end - s, l.Text.size());
            SetRunsFormat(l, from, to, apply, arg);
            const size_t breakIndex = s + l.Text.size();
            if (line + 1 < lines_.size() && breakIndex >= start && breakIndex < end)
                apply(l.BreakFormat, arg);
        }
    }
    if (end >= textLength_ && (length > 0 || start == textLength_))
        apply(lines_.back().BreakFormat, arg);
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
    selection_.Start = std::min(selection_.Start, textLength_);
    selection_.Length = std::min(selection_.Length, textLength_ - selection_.Start);
}

std::string TWorkspaceDocument::TextRange(size_t start, size_t length) const {
    std::string out;
    start = std::min(start, textLength_);
    const size_t end = start + std::min(length, textLength_ - start);
    for (size_t line = LineFromChar(start); line < lines_.size() && lineStart_[line] < end;
         ++line) {
        const size_t s = lineStart_[line];
        const std::string& t = lines_[line].Text;
        const size_t from = start > s ? start - s : 0;
        const size_t to = std::min(end - s, t.size());
        if (from < to) out.append(t, from, to - from);
        if (line + 1 < lines_.size() && s + t.size() >= start && s + t.size() < end) out += '\n';
    }
    return out;
}

std::string TWorkspaceDocument::PlainText() const {
    std::string out;
    const size_t n = TextLineCount();
    for (size_t i = 0; i < n; ++i) {
        out += lines_[i].Text;
        out += "\r\n";
    }
    return out;
}

std::optional<size_t> TWorkspaceDocument::Find(std::string_view what, size_t start,
                                               TFindOptions options) const {
    if (what.empty() || start >= textLength_) return std::nullopt;
    auto equal = [&](char a, char b) {
        return options.MatchCase ? a == b : FoldCase(a) == FoldCase(b);
    };
    auto wordAround = [&](std::string_view hay, size_t pos, size_t len) {
        if (!options.WholeWord) return true;
        if (pos > 0 && IsWordChar(static_cast<unsigned char>(hay[pos - 1]))) return false;
        if (pos + len < hay.size() && IsWordChar(static_cast<unsigned char>(hay[pos + len])))
            return false;
        return true;
    };
    auto search = [&](std::string_view hay, size_t from) -> std::optional<size_t> {
        const std::default_searcher searcher(what.begin(), what.end(), equal);
        while (from + what.size() <= hay.size()) {
            auto it =
                std::search(hay.begin() + static_cast<std::ptrdiff_t>(from), hay.end(), searcher);
            if (it == hay.end()) return std::nullopt;
            const size_t pos = static_cast<size_t>(it - hay.begin());
            if (wordAround(hay, pos, what.size())) return pos;
            from = pos + 1;
        }
        return std::nullopt;
    };
    if (what.find('\n') != std::string_view::npos) {
        // A pattern across lines: search the flat text from the line of start.
        const size_t first = LineIndex(LineFromChar(start));
        const std::string hay = TextRange(first, textLength_ - first);
        if (auto pos = search(hay, start - first)) return first + *pos;
        return std::nullopt;
    }
    for (size_t line = LineFromChar(start); line < lines_.size(); ++line) {
        const size_t s = lineStart_[line];
        if (auto pos = search(lines_[line].Text, start > s ? start - s : 0)) return s + *pos;
    }
    return std::nullopt;
}

void TWorkspaceDocument::Insert(size_t index, std::string_view text, TCharFormat format) {
    index = std::min(index, textLength_);
    const size_t lineNo = LineFromChar(index);
    const size_t offset = index - lineStart_[lineNo];
    const auto parts = SplitAtBreaks(text);
    Line& line = lines_[lineNo];
    auto [headRuns, tailRuns] = SplitRuns(line.Runs, offset);
    const std::string tailText = line.Text.substr(offset);
    const TCharFormat tailBreak = line.BreakFormat;

    auto runOf = [&](std::string_view part) {
        return part.empty() ? std::vector<TFormatRun>{}
                            : std::vector<TFormatRun>{{part.size(), format}};
    };
    std::vector<Line> newLines;
    line.Text.resize(offset);
    line.Text.append(parts[0]);
    for (const auto& r : runOf(parts[0]))
        headRuns.push_back(r);
    size_t inserted = parts[0].size();
    if (parts.size() == 1) {
        line.Text += tailText;
        headRuns.insert(headRuns.end(), tailRuns.begin(), tailRuns.end());
        NormalizeRuns(headRuns);
        line.Runs = std::move(headRuns);
    } else {
        NormalizeRuns(headRuns);
        line.Runs = std::move(headRuns);
        line.BreakFormat = format;
        for (size_t i = 1; i + 1 < parts.size(); ++i) {
            newLines.push_back({std::string(parts[i]), runOf(parts[i]), format});
            inserted += 1 + parts[i].size();
        }
        Line last{std::string(parts.back()) + tailText, runOf(parts.back()), tailBreak};
        last.Runs.insert(last.Runs.end(), tailRuns.begin(), tailRuns.end());
        NormalizeRuns(last.Runs);
        inserted += 1 + parts.back().size();
        newLines.push_back(std::move(last));
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lineNo + 1),
                      std::make_move_iterator(newLines.begin()),
                      std::make_move_iterator(newLines.end()));
    }
    appended_ = true;
    RebuildIndex();
    selection_ = {index + inserted, 0};
    ClampSelection();
}

void TWorkspaceDocument::Delete(size_t start, size_t length) {
    start = std::min(start, textLength_);
    const size_t end = start + std::min(length, textLength_ - start);
    if (start == end) return;
    const size_t sl = LineFromChar(start), el = LineFromChar(end);
    const size_t so = start - lineStart_[sl], eo = end - lineStart_[el];
    Line& first = lines_[sl];
    auto [keepRuns, dropRuns] = SplitRuns(first.Runs, so);
    auto [unusedRuns, tailRuns] = SplitRuns(lines_[el].Runs, eo);
    std::string tail = lines_[el].Text.substr(eo);
    const TCharFormat breakFormat = lines_[el].BreakFormat;
    first.Text.resize(so);
    first.Text += tail;
    keepRuns.insert(keepRuns.end(), tailRuns.begin(), tailRuns.end());
    NormalizeRuns(keepRuns);
    first.Runs = std::move(keepRuns);
    first.BreakFormat = breakFormat;
    if (el > sl)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(sl + 1),
                     lines_.begin() + static_cast<std::ptrdiff_t>(el + 1));
    RebuildIndex();
    selection_ = {start, 0};
}

void TWorkspaceDocument::ReplaceSelection(std::string_view text) {
    const TSelection sel = selection_;
    const TCharFormat format = FormatAt(sel.Start);
    Delete(sel.Start, sel.Length);
    Insert(sel.Start, text, format);
}

void TWorkspaceDocument::RebuildIndex() {
    lineStart_.resize(lines_.size());
    size_t pos = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        lineStart_[i] = pos;
        pos += lines_[i].Text.size() + 1;
    }
    textLength_ = pos - 1;
}

bool TWorkspaceDocument::IsConsistent() const {
    if (lines_.empty() || lineStart_.size() != lines_.size()) return false;
    size_t pos = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lineStart_[i] != pos) return false;
        size_t covered = 0;
        for (size_t r = 0; r < lines_[i].Runs.size(); ++r) {
            const auto& run = lines_[i].Runs[r];
            if (run.Length == 0) return false;
            if (r > 0 && lines_[i].Runs[r - 1].Format == run.Format) return false;
            covered += run.Length;
        }
        if (covered != lines_[i].Text.size()) return false;
        pos += lines_[i].Text.size() + 1;
    }
    return textLength_ + 1 == pos;
}

} // namespace quennet::merge
