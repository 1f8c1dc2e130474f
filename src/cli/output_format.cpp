// The registry of output formats; each format's file adds itself while the program starts.
#include "output_format.h"

#include <algorithm>
#include <stdexcept>

namespace quennet::cli {

namespace {
// Built on first use, so the registrations of other files may run in any order.
std::vector<OutputFormat>& Registry() {
    static std::vector<OutputFormat> formats;
    return formats;
}
} // namespace

RegisterOutputFormat::RegisterOutputFormat(OutputFormat format) {
    std::vector<OutputFormat>& formats = Registry();
    const auto at = std::find_if(formats.begin(), formats.end(),
                                 [&](const OutputFormat& f) { return f.id > format.id; });
    formats.insert(at, std::move(format));
}

const std::vector<OutputFormat>& OutputFormats() {
    return Registry();
}

std::string OutputFormatsHelp() {
    constexpr size_t kTextColumn = 28;
    std::string help;
    for (const OutputFormat& f : Registry()) {
        std::string line = !f.option       ? "      (default)"
                           : f.shortOption ? std::string("  -") + f.shortOption + ", --" + f.option
                                           : std::string("      --") + f.option;
        line.resize(kTextColumn, ' ');
        for (const char* c = f.help; *c; ++c)
            line += *c == '\n' ? "\n" + std::string(kTextColumn, ' ') : std::string(1, *c);
        help += line + "\n";
    }
    return help;
}

const OutputFormat& FormatOf(Output id) {
    for (const OutputFormat& f : Registry())
        if (f.id == id) return f;
    throw std::logic_error("an output format without its file");
}

} // namespace quennet::cli
