// Replacing a file only when its new content is complete: written to a temporary file in the
// target's folder, flushed to disk, then renamed over the target. A failed write leaves any
// existing file as it was. A target that exists and is not a regular file (a device, a pipe)
// is written directly.
#pragma once

#include <string>
#include <string_view>

#include "io/source_save.h"

namespace quennet::io {

// Throws std::runtime_error naming the file and the reason.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// The same, written as it is produced.
void WriteFileAtomically(const std::string& path, const ByteProducer& produce);

} // namespace quennet::io
