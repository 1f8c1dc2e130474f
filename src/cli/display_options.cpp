// Terminal facts (is standard output a terminal, how wide) are read here and nowhere in core.
#include "display_options.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include "commands.h"

namespace quennet::cli {

namespace {

bool StdoutIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

int TerminalWidth() {
    if (const char* c = std::getenv("COLUMNS")) {
        const int n = std::atoi(c);
        if (n > 0) return n;
    }
    struct winsize ws {};
    if (StdoutIsTerminal() && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return ws.ws_col;
    return 80;
}

bool ColorWanted(const std::string& when) {
    if (when == "always") return true;
    if (when == "never") return false;
    if (when != "auto") throw UsageError("--color takes auto, always or never, not '" + when + "'");
    const char* term = std::getenv("TERM");
    return StdoutIsTerminal() && !std::getenv("NO_COLOR") && !(term && std::string(term) == "dumb");
}

int PositiveNumber(const std::string& option, const std::string& value) {
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end || n < 1 || n > 100000)
        throw UsageError(option + " needs a positive number, not '" + value + "'");
    return static_cast<int>(n);
}

// "--name=value" or "--name value"; false when args[i] is not --name.
bool ValueOf(std::vector<std::string>& args, size_t& i, const std::string& name,
             std::string& value) {
    const std::string& a = args[i];
    if (a.rfind(name + "=", 0) == 0) {
        value = a.substr(name.size() + 1);
        return true;
    }
    if (a != name) return false;
    if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
    value = args[++i];
    return true;
}

const char* const kDisplayFlags[] = {"--display", "--width", "--color", "--api", "--fail-on"};

} // namespace

bool HasDisplayOptions(const std::vector<std::string>& args) {
    for (const auto& a : args)
        for (const char* f : kDisplayFlags)
            if (a == f || a.rfind(std::string(f) + "=", 0) == 0) return true;
    return false;
}

DisplayRequest TakeDisplayOptions(std::vector<std::string>& args, bool forTree) {
    DisplayRequest r;
    auto& display = r.tree.pair.display;
    std::string color = "auto";
    int width = 0;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string v;
        if (args[i] == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<long>(i), args.end());
            break;
        }
        if (ValueOf(args, i, "--display", v)) {
            if (!display::DisplayStyleFromName(v, display.style))
                throw UsageError("--display takes report, inline or side-by-side, not '" + v + "'");
            r.styleGiven = true;
        } else if (ValueOf(args, i, "--width", v)) {
            width = PositiveNumber("--width", v);
        } else if (ValueOf(args, i, "--color", v)) {
            color = v;
        } else if (args[i] == "--api") {
            r.tree.pair.api = tree::ApiMode::Public;
        } else if (args[i] == "--api=protected") {
            r.tree.pair.api = tree::ApiMode::Protected;
        } else if (args[i].rfind("--api=", 0) == 0) {
            throw UsageError("--api takes no value or 'protected', not '" + args[i].substr(6) +
                             "'");
        } else if (ValueOf(args, i, "--fail-on", v)) {
            if (v != "breaking") throw UsageError("--fail-on takes 'breaking', not '" + v + "'");
            r.failOnBreaking = true;
        } else if (forTree && ValueOf(args, i, "--mask", v)) {
            r.tree.mask = v;
        } else if (forTree && ValueOf(args, i, "--threads", v)) {
            r.tree.threads = static_cast<unsigned>(PositiveNumber("--threads", v));
        } else if (forTree && args[i] == "--json") {
            r.json = true;
        } else {
            rest.push_back(args[i]);
            continue;
        }
        r.anyGiven = true;
    }
    args = std::move(rest);
    if (!r.styleGiven)
        display.style =
            StdoutIsTerminal() ? display::DisplayStyle::Inline : display::DisplayStyle::Report;
    display.width = width ? width : TerminalWidth();
    display.color = ColorWanted(color);
    if (r.failOnBreaking && r.tree.pair.api == tree::ApiMode::Off)
        r.tree.pair.api = tree::ApiMode::Public;
    return r;
}

} // namespace quennet::cli
