// The RTF reader: one pass over the bytes with an explicit group stack.
#include "workspace/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "io/text_encoding.h"
#include "workspace/rtf_writer.h"

namespace quennet::workspace {

namespace {

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F (0 where the byte is unused).
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char UnicodeToByte(uint32_t code) {
    if (code < 0x100) return static_cast<char>(code);
    for (size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == code) return static_cast<char>(0x80 + i);
    return '?';
}

// Destinations whose text is not body text.
constexpr std::string_view kSkippedDestinations[] = {
    "annotation",   "atnauthor",
    "atnid",        "author",
    "bkmkend",      "bkmkstart",
    "buptim",       "colorschememapping",
    "comment",      "creatim",
    "datastore",    "docvar",
    "doccomm",      "falt",
    "filetbl",      "fldinst",
    "fonttbl",      "footer",
    "footerf",      "footerl",
    "footerr",      "footnote",
    "ftncn",        "ftnsep",
    "ftnsepc",      "generator",
    "header",       "headerf",
    "headerl",      "headerr",
    "info",         "keywords",
    "latentstyles", "listoverridetable",
    "listtable",    "mmathPr",
    "nonshppict",   "object",
    "objdata",      "operator",
    "pgdsctbl",     "pict",
    "printim",      "private",
    "revtbl",       "revtim",
    "rsidtbl",      "rxe",
    "shpinst",      "shppict",
    "stylesheet",   "subject",
    "tc",           "template",
    "themedata",    "title",
    "txe",          "userprops",
    "xe",           "xmlnstbl",
};

bool IsSkippedDestination(std::string_view word) {
    return std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
           std::end(kSkippedDestinations);
}

// The first line of a workspace made by BuildMergeWorkspace.
constexpr std::string_view kBuiltWorkspaceHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
    "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n";

// The built header, also with the code page of UTF-8 text after "\ansi".
bool IsBuilt(std::string_view bytes) {
    constexpr size_t kAnsiEnd = std::string_view("{\\rtf1\\ansi").size();
    if (bytes.size() > kAnsiEnd && bytes.substr(kAnsiEnd).starts_with(kRtfUtf8CodePage))
        return bytes.substr(0, kAnsiEnd) == kBuiltWorkspaceHeader.substr(0, kAnsiEnd) &&
               bytes.substr(kAnsiEnd + kRtfUtf8CodePage.size())
                   .starts_with(kBuiltWorkspaceHeader.substr(kAnsiEnd));
    return bytes.starts_with(kBuiltWorkspaceHeader);
}

enum class Destination : uint8_t { Text, Skip, ColorTable };

struct GroupState {
    TCharFormat Format;
    Destination Dest = Destination::Text;
    int UnicodeSkip = 1; // \ucN
};

class RtfReader {
public:
    explicit RtfReader(std::string_view bytes) : src_(bytes), builtWorkspace_(IsBuilt(bytes)) {}

    TWorkspaceDocument Read(std::vector<TReadWarning>* warnings) {
        doc_.Clear();
        // Paragraph marks are nearly all the line breaks there are (a guess too low only
        // regrows), every character of the text takes at least one byte here, and a format
        // changes only after a control word or a group's end. Room not written stays untouched
        // memory; the runs' room is capped at the file's size.
        size_t marks = 1;
        for (size_t at = src_.find("\\par"); at != std::string_view::npos;
             at = src_.find("\\par", at + 4))
            ++marks;
        const auto changes = static_cast<size_t>(std::count(src_.begin(), src_.end(), '\\') +
                                                 std::count(src_.begin(), src_.end(), '}'));
        doc_.Reserve(marks, src_.size(), std::min(changes, src_.size() / 8) + 1);
        size_t i = 0;
        const size_t n = src_.size();
        bool closed = false;
        while (i < n && !closed) {
            const char c = src_[i];
            if (c == '{') {
                ++i;
                skipPending_ = 0;
                if (stack_.size() < kMaxRtfGroupDepth)
                    stack_.push_back(stack_.empty() ? GroupState{} : stack_.back());
                else
                    ++overflow_;
            } else if (c == '}') {
                ++i;
                skipPending_ = 0;
                if (overflow_ > 0) {
                    --overflow_;
                } else if (stack_.size() > 1) {
                    stack_.pop_back();
                } else {
                    closed = true; // the document's group ends; what follows is not read
                }
            } else if (c == '\\') {
                i = ControlAt(i + 1);
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                ++i;
                if (!stack_.empty() && stack_.back().Dest == Destination::ColorTable) {
                    if (c == ';') EndColorEntry();
                } else {
                    Char(c);
                }
            }
        }
        if (warnings && !closed && (!stack_.empty() || overflow_ > 0))
            warnings->push_back({n, "the workspace ends before its last group closes (" +
                                        std::to_string(stack_.size() + overflow_) +
                                        " open); the text up to there is read"});
        const size_t rest = src_.find_first_not_of(std::string_view(" \t\r\n\0", 5), i);
        if (warnings && closed && rest != std::string_view::npos)
            warnings->push_back({rest, "text after the end of the workspace is not read"});
        doc_.SetEndFormat(stack_.empty() ? TCharFormat{} : stack_.back().Format);
        doc_.SetUtf8(utf8_);
        return std::move(doc_);
    }

private:
    GroupState& State() {
        if (stack_.empty()) stack_.push_back({});
        return stack_.back();
    }
    bool InText() { return !stack_.empty() && stack_.back().Dest == Destination::Text; }

    void Char(char c) {
        if (!InText()) return;
        if (skipPending_ > 0) {
            --skipPending_;
            return;
        }
        Emit(c);
    }

    void Emit(char c) {
        doc_.AppendChar(c, State().Format);
        lineEmpty_ = false;
    }

    // UTF-8 text: the character's bytes, a surrogate pair joined; a half pair is written as
    // its three bytes, as the text it came from held it.
    void EmitUnicode(uint32_t code) {
        std::string bytes;
        if (code >= 0xDC00 && code <= 0xDFFF && lastWasHighSurrogate_) {
            io::AppendUtf8(bytes, 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (code - 0xDC00));
        } else if (code >= 0xD800 && code <= 0xDBFF) {
            highSurrogate_ = code;
            return;
        } else {
            io::AppendUtf8(bytes, code);
        }
        for (char b : bytes)
            Emit(b);
    }

    void LineBreak() {
        if (!InText()) return;
        TCharFormat breakFormat = State().Format;
        // A built workspace writes each line's colour code before the paragraph mark that
        // starts the line (the first line's code comes first in the body), so the mark that
        // ends an empty line carries the next line's code. An empty line keeps its own.
        if (builtWorkspace_ && lineEmpty_) {
            if (lineCount_ > 0)
                breakFormat.Color = lineStartColor_;
            else if (firstColorSeen_)
                breakFormat.Color = firstLineColor_;
        }
        doc_.AppendBreak(breakFormat);
        lineEmpty_ = true;
        ++lineCount_;
        lineStartColor_ = State().Format.Color;
    }

    void EndColorEntry() {
        if (colors_.size() < (1u << 16))
            colors_.push_back(entryHasRgb_ ? TColor::Rgb(red_, green_, blue_)
                                           : TColor::Automatic());
        red_ = green_ = blue_ = 0;
        entryHasRgb_ = false;
    }

    static int HexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    // Reads the control word or symbol after a backslash; returns the next position.
    size_t ControlAt(size_t i) {
        const size_t n = src_.size();
        if (i >= n) return n;
        const char c = src_[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter) return ControlSymbol(i);

        const size_t nameStart = i;
        while (i < n && ((src_[i] >= 'a' && src_[i] <= 'z') || (src_[i] >= 'A' && src_[i] <= 'Z')))
            ++i;
        const std::string_view name = src_.substr(nameStart, std::min<size_t>(i - nameStart, 32));
        bool hasParam = false;
        bool negative = false;
        int64_t param = 0;
        if (i < n && src_[i] == '-' && i + 1 < n && src_[i + 1] >= '0' && src_[i + 1] <= '9') {
            negative = true;
            ++i;
        }
        while (i < n && src_[i] >= '0' && src_[i] <= '9') {
            hasParam = true;
            if (param < (int64_t{1} << 40)) param = param * 10 + (src_[i] - '0');
            ++i;
        }
        if (negative) param = -param;
        if (i < n && src_[i] == ' ') ++i;
        return ControlWord(name, hasParam, param, i);
    }

    size_t ControlSymbol(size_t i) {
        const char c = src_[i];
        switch (c) {
        case '\'': {
            const int hi = i + 1 < src_.size() ? HexValue(src_[i + 1]) : -1;
            const int lo = i + 2 < src_.size() ? HexValue(src_[i + 2]) : -1;
            if (hi < 0 || lo < 0) return i + 1 + (hi >= 0 ? 1 : 0);
            Char(static_cast<char>(hi * 16 + lo));
            return i + 3;
        }
        case '\\':
        case '{':
        case '}': Char(c); return i + 1;
        case '~': Char(static_cast<char>(0xA0)); return i + 1;
        case '_': Char('-'); return i + 1;
        case '*': State().Dest = Destination::Skip; return i + 1;
        case '\r':
        case '\n': LineBreak(); return i + 1; // a backslash before a line end is \par
        case '\t': Char('\t'); return i + 1;
        default: return i + 1; // \- \| \: and unknown symbols
        }
    }

    size_t ControlWord(std::string_view w, bool hasParam, int64_t param, size_t next) {
        GroupState& s = State();
        if (w == "par" || w == "line" || w == "row") {
            LineBreak();
        } else if (w == "tab" || w == "cell") {
            Char('\t');
        } else if (w == "b") {
            s.Format.Bold = !(hasParam && param == 0);
        } else if (w == "plain") {
            s.Format = TCharFormat{};
        } else if (w == "cf") {
            const bool firstOfDocument = lineCount_ == 0 && !firstColorSeen_;
            s.Format.Color = param >= 0 && static_cast<uint64_t>(param) < colors_.size()
                                 ? colors_[static_cast<size_t>(param)]
                                 : TColor::Automatic();
            if (firstOfDocument && s.Dest == Destination::Text) {
                firstColorSeen_ = true;
                firstLineColor_ = s.Format.Color;
            }
        } else if (w == "colortbl") {
            s.Dest = Destination::ColorTable;
            colors_.clear();
            red_ = green_ = blue_ = 0;
            entryHasRgb_ = false;
        } else if (s.Dest == Destination::ColorTable &&
                   (w == "red" || w == "green" || w == "blue")) {
            const uint8_t v = static_cast<uint8_t>(std::clamp<int64_t>(param, 0, 255));
            (w == "red" ? red_ : w == "green" ? green_ : blue_) = v;
            entryHasRgb_ = true;
        } else if (w == "ansicpg") {
            utf8_ = param == 65001;
        } else if (w == "uc") {
            s.UnicodeSkip = static_cast<int>(std::clamp<int64_t>(param, 0, 255));
        } else if (w == "u") {
            int64_t code = param;
            if (code < 0) code += 65536;
            if (utf8_) {
                if (InText()) EmitUnicode(static_cast<uint32_t>(code));
            } else if (code >= 0xDC00 && code <= 0xDFFF && lastWasHighSurrogate_) {
                // the second half of a pair: the first already wrote the "?"
            } else if (InText()) {
                Emit(code >= 0xD800 && code <= 0xDBFF ? '?'
                                                      : UnicodeToByte(static_cast<uint32_t>(code)));
            }
            lastWasHighSurrogate_ = code >= 0xD800 && code <= 0xDBFF;
            skipPending_ = s.UnicodeSkip;
            return next;
        } else if (w == "bin") {
            // Binary data of the given length follows the delimiter.
            const uint64_t len = param > 0 ? static_cast<uint64_t>(param) : 0;
            return static_cast<size_t>(std::min<uint64_t>(src_.size(), next + len));
        } else if (w == "emdash") {
            Char(static_cast<char>(0x97));
        } else if (w == "endash") {
            Char(static_cast<char>(0x96));
        } else if (w == "lquote") {
            Char(static_cast<char>(0x91));
        } else if (w == "rquote") {
            Char(static_cast<char>(0x92));
        } else if (w == "ldblquote") {
            Char(static_cast<char>(0x93));
        } else if (w == "rdblquote") {
            Char(static_cast<char>(0x94));
        } else if (w == "bullet") {
            Char(static_cast<char>(0x95));
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            Char(' ');
        } else if (IsSkippedDestination(w)) {
            s.Dest = Destination::Skip;
        }
        lastWasHighSurrogate_ = false;
        return next;
    }

    std::string_view src_;
    const bool builtWorkspace_;
    size_t lineCount_ = 0;
    TColor lineStartColor_;
    bool firstColorSeen_ = false;
    TColor firstLineColor_;
    std::vector<GroupState> stack_;
    size_t overflow_ = 0;
    int skipPending_ = 0;
    bool lastWasHighSurrogate_ = false;
    uint32_t highSurrogate_ = 0;
    bool utf8_ = false; // \ansicpg65001: \uN is a character of UTF-8 text
    std::vector<TColor> colors_;
    uint8_t red_ = 0, green_ = 0, blue_ = 0;
    bool entryHasRgb_ = false;
    TWorkspaceDocument doc_;
    bool lineEmpty_ = true; // nothing emitted since the last break
};

} // namespace

bool LooksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

TWorkspaceDocument ReadRtf(std::string_view bytes, std::vector<TReadWarning>* warnings) {
    return RtfReader(bytes).Read(warnings);
}

TWorkspaceDocument ReadPlainText(std::string_view bytes) {
    TWorkspaceDocument doc;
    doc.Reserve(1 + static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')),
                bytes.size());
    const TCharFormat automatic{};
    io::ForEachLine(bytes, [&](std::string_view line) { doc.AppendLine(line, automatic); });
    doc.SetUtf8(IsUtf8Text(doc.Text()));
    if (!bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n'))
        doc.AppendLine(std::string_view(), automatic);
    return doc;
}

TWorkspaceDocument ReadWorkspace(std::string_view bytes, std::vector<TReadWarning>* warnings) {
    return LooksLikeRtf(bytes) ? ReadRtf(bytes, warnings) : ReadPlainText(bytes);
}

} // namespace quennet::workspace
