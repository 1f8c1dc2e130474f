// Reading and writing at the edge of the three-way merge.
#include "merge3/merge3_files.h"

#include "io/source_file.h"
#include "io/view_encoding.h"

#include <algorithm>
#include <stdexcept>

namespace quennet::merge3 {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsUtf16(io::TextEncoding encoding) {
    return encoding == io::TextEncoding::Utf16Le || encoding == io::TextEncoding::Utf16Be;
}

} // namespace

Merge3Version ReadMerge3Version(const std::string& path, std::string label) {
    io::DecodedText decoded = io::DecodeSourceBytes(io::ReadFileBytes(path), path);
    Merge3Version v;
    v.encoding = decoded.Encoding;
    v.input.bytes = decoded.Encoding == io::TextEncoding::Utf8Bom
                        ? std::string(kUtf8Mark) + decoded.Text
                        : std::move(decoded.Text);
    v.input.fileName = path;
    v.input.label = std::move(label);
    return v;
}

Merge3Encoding AlignMerge3Versions(Merge3Version (&versions)[3]) {
    const auto charsetOf = [](const Merge3Version& v) {
        return io::ViewCharsetOf(io::SplitLines(WithoutUtf8Mark(v.input.bytes)), v.encoding);
    };
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    Merge3Encoding result{versions[1].encoding};
    const Merge3Version& local = versions[1];
    if (local.encoding == io::TextEncoding::Bytes && ascii(local.input.bytes)) return result;
    io::ViewCharset wanted = charsetOf(local);
    if (wanted == io::ViewCharset::Windows1252) {
        for (int k : {0, 2}) {
            const Merge3Version& v = versions[k];
            const std::string_view text = WithoutUtf8Mark(v.input.bytes);
            if (!ascii(text) && charsetOf(v) == io::ViewCharset::Utf8 &&
                io::FirstUnencodable(io::SplitLines(text), wanted))
                result.mergedAsUtf8 = true;
        }
        if (result.mergedAsUtf8) wanted = io::ViewCharset::Utf8;
    }
    for (int k : {0, 1, 2}) {
        Merge3Version& v = versions[k];
        std::string_view text = WithoutUtf8Mark(v.input.bytes);
        if (ascii(text) || charsetOf(v) == wanted) continue;
        v.input.bytes = wanted == io::ViewCharset::Utf8
                            ? io::ToViewText(text, io::ViewCharset::Windows1252)
                            : io::FromViewText(text, wanted);
        v.encoding = io::TextEncoding::Bytes;
    }
    return result;
}

Merge3Bytes EncodeMerge3Result(std::string text, const Merge3Encoding& encoding) {
    if (!encoding.mergedAsUtf8) return {EncodeMerge3Result(std::move(text), encoding.local), {}};
    const std::string_view body = WithoutUtf8Mark(text);
    const std::vector<std::string> lines = io::SplitLines(body);
    const auto bad = io::FirstUnencodable(lines, io::ViewCharset::Windows1252);
    if (!bad) return {io::FromViewText(body, io::ViewCharset::Windows1252), {}};
    return {std::string(kUtf8Mark) + std::string(body),
            "The result is written in UTF-8 with a byte-order mark: its line " +
                std::to_string(bad->Line + 1) + " holds " + io::DescribeUnencodable(*bad) +
                ", which LOCAL's Windows-1252 has no byte for"};
}

std::string EncodeMerge3Result(std::string text, io::TextEncoding localEncoding) {
    if (!IsUtf16(localEncoding)) return text;
    // UTF-16 has its own mark; one taken over from a UTF-8 side would become a character.
    return io::EncodeSourceText(WithoutUtf8Mark(text), localEncoding);
}

std::string_view WithoutUtf8Mark(std::string_view text) {
    if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
    return text;
}

} // namespace quennet::merge3
