// Fuzz target: encodings, line-end detection and reassembly. An unedited text comes back byte
// for byte, also through decoding (a UTF-16 file of whole code units); edited lines come back
// as the same lines, in the detected line end.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "io/source_file.h"
#include "io/source_save.h"
#include "io/text_encoding.h"

namespace quennet::fuzz {

inline int TextFormatFuzzOne(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const io::SourceTextFormat format = io::DetectTextFormat(bytes);
    Require(format.LineBreak == "\r\n" || format.LineBreak == "\n" || format.LineBreak == "\r");
    std::vector<std::string> lines = io::SplitLines(bytes);
    Require(io::AssembleSourceText(lines, format) == bytes);

    lines.push_back("edited");
    const std::string assembled = io::AssembleSourceText(lines, format);
    Require(io::SplitLines(assembled) == lines);
    for (size_t at = assembled.find_first_of("\r\n"); at != std::string::npos;
         at = assembled.find_first_of("\r\n", at + format.LineBreak.size()))
        Require(assembled.compare(at, format.LineBreak.size(), format.LineBreak) == 0);

    io::DecodedText decoded;
    try {
        decoded = io::DecodeSourceBytes(bytes, "f");
    } catch (const std::runtime_error&) {
        Require(bytes.substr(0, 8192).find('\0') != std::string_view::npos);
        return 0;
    }
    const bool utf16 = decoded.Encoding == io::TextEncoding::Utf16Le ||
                       decoded.Encoding == io::TextEncoding::Utf16Be;
    if (utf16 && size % 2 != 0) return 0; // the odd last byte is not a character
    Require(io::AssembleSourceText(io::SplitLines(decoded.Text),
                                   io::DetectTextFormat(decoded.Text, decoded.Encoding)) == bytes);
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::TextFormatFuzzOne(data, size);
}
#endif
