// Fuzz target: line-end detection and reassembly. An unedited text comes back byte for byte;
// edited lines come back as the same lines, in the detected line end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "io/source_file.h"
#include "io/source_save.h"

namespace quennet::fuzz {

inline int TextFormatFuzzOne(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const model::SourceTextFormat format = model::DetectTextFormat(bytes);
    Require(format.LineBreak == "\r\n" || format.LineBreak == "\n" || format.LineBreak == "\r");
    std::vector<std::string> lines = io::SplitLines(bytes);
    Require(model::AssembleSourceText(lines, format) == bytes);

    lines.push_back("edited");
    const std::string assembled = model::AssembleSourceText(lines, format);
    Require(io::SplitLines(assembled) == lines);
    for (size_t at = assembled.find_first_of("\r\n"); at != std::string::npos;
         at = assembled.find_first_of("\r\n", at + format.LineBreak.size()))
        Require(assembled.compare(at, format.LineBreak.size(), format.LineBreak) == 0);
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::TextFormatFuzzOne(data, size);
}
#endif
