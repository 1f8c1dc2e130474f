// Comparing files by device and inode, so hard links, symbolic links and other spellings of a
// path are caught alike.
#include "io/output_guard.h"

#include <stdexcept>
#include <sys/stat.h>

namespace quennet::io {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

// Devices and pipes keep no text that an output could destroy (/dev/null may well be both).
bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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
