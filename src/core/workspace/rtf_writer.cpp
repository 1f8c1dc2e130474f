// The RTF writer. Formats are written as changes against the running state, the way the
// reader keeps them; the end mark's format is set last, before the closing brace.
#include "workspace/rtf_writer.h"

#include "io/view_encoding.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace quennet::workspace {

namespace {

class RtfWriter {
public:
    // With a sink the RTF goes out in blocks as it is made; without one it is kept whole.
    RtfWriter(const TWorkspaceDocument& doc, const io::ByteSink* sink) : doc_(doc), sink_(sink) {}

    std::string Write() {
        CollectColors();
        utf8_ = doc_.IsUtf8() || IsUtf8Text(doc_.Text());
        out_ += "{\\rtf1\\ansi";
        out_ += utf8_ ? kRtfUtf8CodePage : std::string_view("\\ansicpg1252");
        out_ += "\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}\r\n{\\colortbl ;";
        for (const TColor& c : colors_) {
            out_ += "\\red" + std::to_string(c.Red()) + "\\green" + std::to_string(c.Green()) +
                    "\\blue" + std::to_string(c.Blue()) + ";";
        }
        out_ += "}\r\n\\pard\\plain\\f0\\fs20\r\n";
        const std::string_view text = doc_.Text();
        size_t line = 0;
        auto breakAfter = [&](size_t l) {
            return l + 1 < doc_.LineCount() ? doc_.LineIndex(l + 1) - 1 : text.size();
        };
        size_t nextBreak = breakAfter(0);
        for (size_t r = 0; r < doc_.FormatRunCount(); ++r) {
            const TFormatSpan span = doc_.FormatRun(r);
            SetFormat(span.Format);
            const size_t end = span.Start + span.Length;
            for (size_t i = span.Start; i < end;) {
                if (i == nextBreak) {
                    out_ += "\\par\r\n";
                    pendingDelimiter_ = false;
                    nextBreak = breakAfter(++line);
                    ++i;
                    Flush(false);
                    continue;
                }
                // A character in UTF-8 ends with its run and its line.
                const std::string_view upTo = text.substr(0, std::min(end, nextBreak));
                while (i < upTo.size())
                    i += Char(upTo, i);
            }
        }
        SetFormat(doc_.LineBreakFormat(doc_.LineCount() - 1));
        out_ += "}\r\n";
        Flush(true);
        return std::move(out_);
    }

private:
    void Flush(bool all) {
        if (sink_ && (all || out_.size() >= (size_t{1} << 16))) {
            (*sink_)(out_);
            out_.clear();
        }
    }

    void CollectColors() {
        auto add = [&](TColor c) {
            if (!c.IsAutomatic() && index_.emplace(c.Value(), colors_.size() + 1).second)
                colors_.push_back(c);
        };
        for (size_t r = 0; r < doc_.FormatRunCount(); ++r)
            add(doc_.FormatRun(r).Format.Color);
        add(doc_.LineBreakFormat(doc_.LineCount() - 1).Color);
    }

    void SetFormat(const TCharFormat& f) {
        if (f.Color != current_.Color) {
            out_ += "\\cf";
            out_ += std::to_string(f.Color.IsAutomatic() ? 0 : index_.at(f.Color.Value()));
            pendingDelimiter_ = true;
        }
        if (f.Bold != current_.Bold) {
            out_ += f.Bold ? "\\b" : "\\b0";
            pendingDelimiter_ = true;
        }
        current_ = f;
    }

    size_t Char(std::string_view text, size_t i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out_ += '\\';
            out_ += c;
            pendingDelimiter_ = false;
        } else if (c == '\t') {
            out_ += "\\tab";
            pendingDelimiter_ = true;
        } else if (u < 0x20 || u >= 0x80) {
            pendingDelimiter_ = false;
            return AppendRtfEscapedChar(out_, text, i, utf8_);
        } else {
            if (pendingDelimiter_) out_ += ' ';
            pendingDelimiter_ = false;
            out_ += c;
        }
        return 1;
    }

    const TWorkspaceDocument& doc_;
    const io::ByteSink* sink_;
    std::vector<TColor> colors_;
    std::unordered_map<uint32_t, size_t> index_;
    TCharFormat current_; // \plain: automatic, not bold
    bool pendingDelimiter_ = false;
    bool utf8_ = false;
    std::string out_;
};

// The length of a well-formed UTF-8 character starting at text[i], or 0.
size_t Utf8Length(std::string_view text, size_t i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    const size_t n = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
    return n && i + n <= text.size() && io::IsValidUtf8(text.substr(i, n)) ? n : 0;
}

} // namespace

bool IsUtf8Text(std::string_view text) {
    return io::IsValidUtf8(text) && std::any_of(text.begin(), text.end(), [](char c) {
               return static_cast<unsigned char>(c) >= 0x80;
           });
}

bool IsUtf8Text(const std::vector<const std::vector<std::string>*>& texts) {
    bool beyondAscii = false;
    for (const auto* lines : texts)
        for (const std::string& line : *lines) {
            if (!io::IsValidUtf8(line)) return false;
            beyondAscii = beyondAscii || std::any_of(line.begin(), line.end(), [](char c) {
                              return static_cast<unsigned char>(c) >= 0x80;
                          });
        }
    return beyondAscii;
}

size_t AppendRtfEscapedChar(std::string& out, std::string_view text, size_t i, bool utf8) {
    const size_t n = utf8 ? Utf8Length(text, i) : 0;
    if (n == 0) {
        static constexpr char kHex[] = "0123456789abcdef";
        const auto u = static_cast<unsigned char>(text[i]);
        out += "\\'";
        out += kHex[u >> 4];
        out += kHex[u & 15];
        return 1;
    }
    uint32_t code = static_cast<unsigned char>(text[i]) & (0x7F >> n);
    for (size_t k = 1; k < n; ++k)
        code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    auto unit = [&](uint32_t u) {
        out += "\\u";
        const auto value = static_cast<int32_t>(u);
        out += std::to_string(value >= 0x8000 ? value - 0x10000 : value); // RTF takes int16
        out += '?';
    };
    if (code >= 0x10000) {
        unit(0xD800 + ((code - 0x10000) >> 10));
        unit(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
        unit(code);
    }
    return n;
}

std::string WriteRtf(const TWorkspaceDocument& doc) {
    return RtfWriter(doc, nullptr).Write();
}

void WriteRtf(const TWorkspaceDocument& doc, const io::ByteSink& sink) {
    RtfWriter(doc, &sink).Write();
}

} // namespace quennet::workspace
