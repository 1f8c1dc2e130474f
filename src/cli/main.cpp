// quennet-diff: the engine from the command line. Dispatches on the mode option.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

#include <unistd.h>

#include "commands.h"
#include "display_options.h"

namespace {

bool Has(const std::vector<std::string>& args, const char* flag) {
    return std::find(args.begin(), args.end(), flag) != args.end();
}

// On a terminal a plain pair shows the inline display; other outputs keep their own.
bool TerminalWantsDisplay(const std::vector<std::string>& args) {
    if (::isatty(STDOUT_FILENO) != 1) return false;
    for (const char* own :
         {"--tree", "--json", "--map", "--workspace", "--merged", "--help", "-h", "--version"})
        if (Has(args, own)) return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace quennet::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (Has(args, "--model")) return RunModelCommand(std::move(args));
        if (Has(args, "--from-workspace")) return RunWorkspaceOutputCommand(std::move(args));
        if (Has(args, "--merge")) return RunMergeCommand(std::move(args));
        if (Has(args, "--dirs")) return RunDirsCommand(std::move(args));
        if (Has(args, "-r") || Has(args, "--recursive")) return RunTreeCommand(std::move(args));
        if (HasDisplayOptions(args) || TerminalWantsDisplay(args))
            return RunDisplayCommand(std::move(args));
        return RunDiffCommand(std::move(args));
    } catch (const UsageError& e) {
        std::cerr << "quennet-diff: " << e.what() << "\nTry 'quennet-diff --help'.\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "quennet-diff: " << e.what() << "\n";
        return 2;
    }
}
