// Reading and writing at the edge of the three-way merge.
#include "merge/merge3_files.h"

#include "io/source_file.h"

namespace quennet::merge {

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

std::string EncodeMerge3Result(std::string text, io::TextEncoding localEncoding) {
    if (!IsUtf16(localEncoding)) return text;
    // UTF-16 has its own mark; one taken over from a UTF-8 side would become a character.
    return io::EncodeSourceText(WithoutUtf8Mark(text), localEncoding);
}

std::string_view WithoutUtf8Mark(std::string_view text) {
    if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
    return text;
}

} // namespace quennet::merge
