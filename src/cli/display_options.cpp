// Terminal facts (is standard output a terminal, how wide) are read here and nowhere in core.
#include "display_options.h"

#include <cstdlib>

#include "commands.h"
#include "io/platform.h"

namespace quennet::cli {

namespace {

bool StdoutIsTerminal() {
    return io::IsTerminal(io::StandardStream::Output);
}

int TerminalWidth() {
    const int n = std::atoi(io::EnvironmentValue("COLUMNS").c_str());
    if (n > 0) return n;
    const int columns = io::TerminalColumns();
    return columns > 0 ? columns : 80;
}

bool ColorWanted(ColorWhen when) {
    if (when != ColorWhen::Auto) return when == ColorWhen::Always;
    return io::TerminalTakesColours() && io::EnvironmentValue("NO_COLOR").empty() &&
           io::EnvironmentValue("TERM") != "dumb";
}

} // namespace

bool WantsDisplay(const CliOptions& opt) {
    if (opt.command != Command::Diff) return false;
    if (!opt.api.empty()) return true;
    if (!opt.display.empty()) return opt.display != "report";
    // On a terminal a plain pair shows the inline display; other outputs keep their own.
    return opt.output == Output::Report && opt.workspacePath.empty() && opt.mergedPath.empty() &&
           StdoutIsTerminal();
}

DisplayRequest MakeDisplayRequest(const CliOptions& opt) {
    DisplayRequest r;
    auto& display = r.tree.pair.display;
    if (opt.display.empty())
        display.style =
            StdoutIsTerminal() ? render::DisplayStyle::Inline : render::DisplayStyle::Report;
    else if (!render::DisplayStyleFromName(opt.display, display.style))
        throw UsageError("--display takes report, inline or side-by-side, not '" + opt.display +
                         "'");
    display.width = opt.width ? opt.width : TerminalWidth();
    display.color = ColorWanted(opt.color);
    if (opt.api == "public") r.tree.pair.api = folders::ApiMode::Public;
    if (opt.api == "protected") r.tree.pair.api = folders::ApiMode::Protected;
    r.failOnBreaking = opt.failOnBreaking;
    r.json = opt.output == Output::Json;
    r.tree.mask = opt.mask;
    r.tree.threads = opt.threads;
    r.tree.pair.symbols = opt.symbols;
    r.tree.pair.dialect = opt.dialect;
    r.tree.pair.reading = ReadingOf(opt);
    return r;
}

} // namespace quennet::cli
