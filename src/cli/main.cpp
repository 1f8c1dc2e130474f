// quennet-diff: the engine from the command line. Reads the options once, then runs the mode.
#include <exception>
#include <iostream>

#include "commands.h"
#include "product.h"

int main(int argc, char** argv) {
    using namespace quennet::cli;
    try {
        const CliOptions opt = ParseCommandLine(argc, argv);
        if (opt.help || opt.version) {
            if (opt.help)
                std::cout << UsageText(opt.command);
            else
                std::cout << "quennet-diff " QUENNET_VERSION "\n" << quennet::kLicenceNotice;
            FlushStandardOutput();
            return 0;
        }
        switch (opt.command) {
        case Command::Model: return RunModelCommand(opt);
        case Command::FromWorkspace: return RunWorkspaceOutputCommand(opt);
        case Command::Dirs: return RunDirsCommand(opt);
        case Command::Merge: return RunMergeCommand(opt);
        case Command::Diff: break;
        }
        return RunDiffCommand(opt);
    } catch (const UsageError& e) {
        std::cerr << "quennet-diff: " << e.what() << "\nTry 'quennet-diff --help'.\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "quennet-diff: " << e.what() << "\n";
        return 2;
    }
}
