#include "merge3/merge3_output.h"

#include "io/source_file.h"

namespace quennet::merge3 {

const std::vector<OutputEncoding>& OutputEncodings() {
    using io::TextEncoding;
    using io::ViewCharset;
    static const std::vector<OutputEncoding> list = {
        {"Windows-1252", TextEncoding::Bytes, ViewCharset::Windows1252},
        {"UTF-8", TextEncoding::Bytes, ViewCharset::Utf8},
        {"UTF-8 with BOM", TextEncoding::Utf8Bom, ViewCharset::Utf8},
        {"UTF-16 LE", TextEncoding::Utf16Le, ViewCharset::Utf8},
        {"UTF-16 BE", TextEncoding::Utf16Be, ViewCharset::Utf8},
    };
    return list;
}

size_t OutputEncodingOf(io::TextEncoding encoding, io::ViewCharset charset) {
    const auto& list = OutputEncodings();
    if (encoding != io::TextEncoding::Bytes) charset = io::ViewCharset::Utf8;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].Encoding == encoding && list[i].Charset == charset) return i;
    return 0;
}

LineEnds LineEndsOf(std::string_view text) {
    size_t crlf = 0, other = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++crlf;
            ++i;
        } else if (text[i] == '\n' || text[i] == '\r') {
            ++other;
        }
    }
    return crlf >= other ? LineEnds::CrLf : LineEnds::Lf;
}

std::string EncodeMergeOutput(std::string_view text, io::ViewCharset charset,
                              const OutputEncoding& to, LineEnds ends,
                              const std::string& fileName) {
    // The mark is the encoding's to write, not part of the text.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const bool finalBreak = !text.empty() && (text.back() == '\n' || text.back() == '\r');
    std::vector<std::string> lines = io::SplitLines(text);
    if (charset != to.Charset) {
        if (charset == io::ViewCharset::Windows1252) {
            for (std::string& line : lines)
                line = io::ToViewText(line, charset);
        } else {
            io::RequireEncodable(lines, to.Charset, fileName);
            for (std::string& line : lines)
                line = io::FromViewText(line, to.Charset);
        }
    }
    const char* end = ends == LineEnds::CrLf ? "\r\n" : "\n";
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || finalBreak) out += end;
    }
    if (to.Encoding == io::TextEncoding::Bytes) return out;
    return io::EncodeSourceText(out, to.Encoding);
}

} // namespace quennet::merge3
