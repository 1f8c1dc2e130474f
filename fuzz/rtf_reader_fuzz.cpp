// Fuzz target: the RTF reader on any bytes. Besides not crashing, the document it builds must
// be consistent and survive a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_support.h"
#include "workspace/rtf_reader.h"
#include "workspace/rtf_writer.h"

namespace quennet::fuzz {

inline int RtfReaderFuzzOne(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const workspace::TWorkspaceDocument doc = workspace::ReadWorkspace(bytes);
    Require(doc.IsConsistent());
    const workspace::TWorkspaceDocument again = workspace::ReadRtf(workspace::WriteRtf(doc));
    Require(again.LineCount() == doc.LineCount());
    for (size_t i = 0; i < doc.LineCount(); ++i) {
        Require(again.LineText(i) == doc.LineText(i));
        Require(again.LineRuns(i) == doc.LineRuns(i));
        Require(again.LineBreakFormat(i) == doc.LineBreakFormat(i));
    }
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::RtfReaderFuzzOne(data, size);
}
#endif
