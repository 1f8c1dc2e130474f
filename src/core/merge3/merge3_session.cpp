#include "merge3/merge3_session.h"

#include "io/source_file.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace quennet::merge3 {

namespace {

struct Line {
    size_t start = 0, end = 0; // end after the line end
    std::string_view text;     // without the line end
};

std::vector<Line> SplitKeepingEnds(const std::string& text) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t stop = text.find_first_of("\r\n", start);
        size_t end = stop == std::string::npos ? text.size() : stop + 1;
        if (stop != std::string::npos && text[stop] == '\r' && end < text.size() &&
            text[end] == '\n')
            ++end;
        size_t len = (stop == std::string::npos ? text.size() : stop) - start;
        lines.push_back({start, end, std::string_view(text).substr(start, len)});
        start = end;
    }
    return lines;
}

enum class Marker : uint8_t { None, Open, BaseStart, Middle, Close };

// git's markers: seven characters, alone or followed by a blank and a label.
Marker MarkerOf(std::string_view line) {
    auto is = [&](char c) {
        return line.size() >= 7 && line.substr(0, 7) == std::string(7, c) &&
               (line.size() == 7 || line[7] == ' ');
    };
    if (is('<')) return Marker::Open;
    if (is('|')) return Marker::BaseStart;
    if (line == "=======") return Marker::Middle;
    if (is('>')) return Marker::Close;
    return Marker::None;
}

std::string LabelOf(std::string_view line) {
    return line.size() > 8 ? std::string(line.substr(8)) : std::string();
}

} // namespace

int32_t FindPart(const std::vector<std::string>& lines, const std::string& part, int32_t near) {
    const std::vector<std::string> wanted = io::SplitLines(part);
    if (wanted.empty() || wanted.size() > lines.size()) return -1;
    int32_t best = -1;
    for (size_t i = 0; i + wanted.size() <= lines.size(); ++i) {
        if (!std::equal(wanted.begin(), wanted.end(), lines.begin() + static_cast<ptrdiff_t>(i)))
            continue;
        const auto at = static_cast<int32_t>(i);
        if (best < 0 || std::abs(at - near) < std::abs(best - near)) best = at;
    }
    return best;
}

TMerge3Session::TMerge3Session(std::string text) : text_(std::move(text)) {
    ReadConflicts();
}

void TMerge3Session::SetText(std::string text) {
    text_ = std::move(text);
    ReadConflicts();
}

void TMerge3Session::ReadConflicts() {
    conflicts_.clear();
    blockStart_.clear();
    blockEnd_.clear();
    strayMarkers_ = 0;
    const std::vector<Line> lines = SplitKeepingEnds(text_);
    const size_t n = lines.size();
    auto bytes = [&](size_t from, size_t to) {
        return from >= to ? std::string()
                          : text_.substr(lines[from].start, lines[to - 1].end - lines[from].start);
    };
    for (size_t i = 0; i < n; ++i) {
        Marker m = MarkerOf(lines[i].text);
        if (m == Marker::None || m == Marker::Middle) continue;
        // A block: open, local lines, an optional base part, middle, remote lines, close.
        size_t baseAt = 0, middle = 0, close = 0;
        for (size_t j = i + 1; m == Marker::Open && j < n && !close; ++j) {
            Marker k = MarkerOf(lines[j].text);
            if (k == Marker::Open) break;
            if (k == Marker::BaseStart && !baseAt && !middle)
                baseAt = j;
            else if (k == Marker::Middle && !middle)
                middle = j;
            else if (k == Marker::Close && middle)
                close = j;
            else if (k != Marker::None)
                break;
        }
        if (!close) {
            ++strayMarkers_;
            continue;
        }
        Merge3Conflict c;
        c.firstLine = static_cast<int32_t>(i);
        c.lastLine = static_cast<int32_t>(close);
        c.localLabel = LabelOf(lines[i].text);
        c.remoteLabel = LabelOf(lines[close].text);
        c.hasBase = baseAt != 0;
        c.local = bytes(i + 1, baseAt ? baseAt : middle);
        if (baseAt) c.base = bytes(baseAt + 1, middle);
        c.remote = bytes(middle + 1, close);
        conflicts_.push_back(std::move(c));
        blockStart_.push_back(lines[i].start);
        blockEnd_.push_back(lines[close].end);
        i = close;
    }
}

int32_t TMerge3Session::Resolve(size_t index, Merge3Choice choice) {
    const Merge3Conflict& c = conflicts_.at(index);
    std::string chosen;
    switch (choice) {
    case Merge3Choice::Local: chosen = c.local; break;
    case Merge3Choice::Remote: chosen = c.remote; break;
    case Merge3Choice::LocalThenRemote: chosen = c.local + c.remote; break;
    case Merge3Choice::RemoteThenLocal: chosen = c.remote + c.local; break;
    case Merge3Choice::Base:
        if (!c.hasBase) throw std::invalid_argument("this conflict does not show the base version");
        chosen = c.base;
        break;
    }
    const size_t start = blockStart_[index], end = blockEnd_[index];
    // A block that closed the text without a line end leaves the text without one.
    const bool endless = end == text_.size() && text_.back() != '\n' && text_.back() != '\r';
    if (endless) {
        while (!chosen.empty() && (chosen.back() == '\n' || chosen.back() == '\r'))
            chosen.pop_back();
    }
    const int32_t line = c.firstLine;
    text_.replace(start, end - start, chosen);
    ReadConflicts();
    return line;
}

} // namespace quennet::merge3
