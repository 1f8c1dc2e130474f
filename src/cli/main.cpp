// quennet-diff: the engine from the command line. Dispatches on the mode option.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

#include "commands.h"

namespace {

bool Has(const std::vector<std::string>& args, const char* flag) {
    return std::find(args.begin(), args.end(), flag) != args.end();
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
        return RunDiffCommand(std::move(args));
    } catch (const UsageError& e) {
        std::cerr << "quennet-diff: " << e.what() << "\nTry 'quennet-diff --help'.\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "quennet-diff: " << e.what() << "\n";
        return 2;
    }
}
