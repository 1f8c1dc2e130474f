// Comparing files by device and file number (inode), so hard links, symbolic links and other
// spellings of a path are caught alike.
#include "io/output_guard.h"

#include <stdexcept>

#include "io/platform.h"

namespace quennet::io {

bool SameFile(const std::string& a, const std::string& b) {
    const FileInfo sa = StatPath(a), sb = StatPath(b);
    if (sa.Kind == FileKind::Missing || sb.Kind == FileKind::Missing) return false;
    return sa.Device == sb.Device && sa.Id == sb.Id;
}

namespace {

// Devices and pipes keep no text that an output could destroy (/dev/null may well be both).
bool IsRegularFile(const std::string& path) {
    return StatPath(path).Kind == FileKind::Regular;
}

} // namespace

void RefuseOutputsOverInputs(const std::vector<std::string>& outputs,
                             const std::vector<std::string>& inputs) {
    for (const auto& out : outputs) {
        if (out.empty() || out == "-" || !IsRegularFile(out)) continue;
        for (const auto& in : inputs) {
            if (in.empty() || in == "-" || !SameFile(out, in)) continue;
            throw std::runtime_error("Cannot write \"" + out + "\": it is the input \"" + in +
                                     "\"; choose another output file");
        }
    }
}

} // namespace quennet::io
