// quennet-diff: the engine from the command line. Dispatches on the mode option.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

#include "commands.h"
#include "exit_codes.h"

namespace {

bool Has(const std::vector<std::string>& args, const char* flag) {
    return std::find(args.begin(), args.end(), flag) != args.end();
}

} // namespace

int main(int argc, char** argv) {
    using namespace quennet::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        int status = kExitTrouble;
        if (Has(args, "--model"))
            status = RunModelCommand(std::move(args));
        else if (Has(args, "--from-workspace"))
            status = RunWorkspaceOutputCommand(std::move(args));
        else if (Has(args, "--merge"))
            status = RunMergeCommand(std::move(args));
        else if (Has(args, "--dirs"))
            status = RunDirsCommand(std::move(args));
        else
            status = RunDiffCommand(std::move(args));
        // Whatever the mode printed must have reached its destination (a full disk, a closed
        // pipe): otherwise the result is not what the status claims.
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("cannot write to the standard output");
        return status;
    } catch (const UsageError& e) {
        std::cerr << "quennet-diff: " << e.what() << "\nTry 'quennet-diff --help'.\n";
        return kExitTrouble;
    } catch (const std::exception& e) {
        std::cerr << "quennet-diff: " << e.what() << "\n";
        return kExitTrouble;
    }
}
