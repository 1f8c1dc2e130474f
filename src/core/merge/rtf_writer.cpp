// The RTF writer. Formats are written as changes against the running state, the way the
// reader keeps them; the end mark's format is set last, before the closing brace.
#include "merge/rtf_writer.h"

#include <unordered_map>
#include <vector>

namespace quennet::merge {

namespace {

class RtfWriter {
public:
    explicit RtfWriter(const TWorkspaceDocument& doc) : doc_(doc) {}

    std::string Write() {
        CollectColors();
        out_ += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier "
                "New;}}\r\n{\\colortbl ;";
        for (const TColor& c : colors_) {
            out_ += "\\red" + std::to_string(c.Red()) + "\\green" + std::to_string(c.Green()) +
                    "\\blue" + std::to_string(c.Blue()) + ";";
        }
        out_ += "}\r\n\\pard\\plain\\f0\\fs20\r\n";
        for (size_t line = 0; line < doc_.LineCount(); ++line) {
            const std::string& text = doc_.LineText(line);
            size_t pos = 0;
            for (const auto& run : doc_.LineRuns(line)) {
                SetFormat(run.Format);
                for (size_t i = pos; i < pos + run.Length; ++i)
                    Char(text[i]);
                pos += run.Length;
            }
            SetFormat(doc_.LineBreakFormat(line));
            if (line + 1 < doc_.LineCount()) {
                out_ += "\\par\r\n";
                pendingDelimiter_ = false;
            }
        }
        out_ += "}\r\n";
        return std::move(out_);
    }

private:
    void CollectColors() {
        auto add = [&](TColor c) {
            if (!c.IsAutomatic() && index_.emplace(c.Value(), colors_.size() + 1).second)
                colors_.push_back(c);
        };
        for (size_t line = 0; line < doc_.LineCount(); ++line) {
            for (const auto& run : doc_.LineRuns(line))
                add(run.Format.Color);
            add(doc_.LineBreakFormat(line).Color);
        }
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

    void Char(char c) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out_ += '\\';
            out_ += c;
            pendingDelimiter_ = false;
        } else if (c == '\t') {
            out_ += "\\tab";
            pendingDelimiter_ = true;
        } else if (u < 0x20 || u >= 0x80) {
            static constexpr char kHex[] = "0123456789abcdef";
            out_ += "\\'";
            out_ += kHex[u >> 4];
            out_ += kHex[u & 15];
            pendingDelimiter_ = false;
        } else {
            if (pendingDelimiter_) out_ += ' ';
            pendingDelimiter_ = false;
            out_ += c;
        }
    }

    const TWorkspaceDocument& doc_;
    std::vector<TColor> colors_;
    std::unordered_map<uint32_t, size_t> index_;
    TCharFormat current_; // \plain: automatic, not bold
    bool pendingDelimiter_ = false;
    std::string out_;
};

} // namespace

std::string WriteRtf(const TWorkspaceDocument& doc) {
    return RtfWriter(doc).Write();
}

} // namespace quennet::merge
