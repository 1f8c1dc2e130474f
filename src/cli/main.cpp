// quennet-diff: the engine from the command line. Reads the options once, then runs the mode.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "base/product.h"
#include "commands.h"
#include "display_options.h"
#include "exit_codes.h"
#include "io/platform.h"

int main(int argc, char** argv) {
    using namespace quennet::cli;
    quennet::io::PrepareStandardStreams();
    // The arguments as UTF-8, in argv's form for the option parser.
    std::vector<std::string> args = quennet::io::CommandLineArguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (auto& a : args)
        utf8Argv.push_back(a.data());
    utf8Argv.push_back(nullptr);
    try {
        const CliOptions opt = ParseCommandLine(static_cast<int>(args.size()), utf8Argv.data());
        if (opt.help || opt.version) {
            if (opt.help)
                std::cout << UsageText(opt.command);
            else
                std::cout << "quennet-diff " QUENNET_VERSION "\n" << quennet::kLicenceNotice;
            FlushStandardOutput();
            return kExitEquivalent;
        }
        int status = kExitTrouble;
        if (UsesForms(opt)) {
            status = RunFormCommand(opt);
            FlushStandardOutput();
            return status;
        }
        switch (opt.command) {
        case Command::Model: status = RunModelCommand(opt); break;
        case Command::FromWorkspace: status = RunWorkspaceOutputCommand(opt); break;
        case Command::Dirs: status = RunDirsCommand(opt); break;
        case Command::Merge: status = RunMergeCommand(opt); break;
        case Command::Tree: status = RunTreeCommand(opt); break;
        case Command::FormText: break; // always a form command
        case Command::CheckForm: status = RunCheckFormCommand(opt); break;
        case Command::Diff:
            status = WantsDisplay(opt) ? RunDisplayCommand(opt) : RunDiffCommand(opt);
            break;
        }
        // Whatever a mode printed must have reached its destination (a full disk, a closed
        // pipe): otherwise the result is not what the status claims.
        FlushStandardOutput();
        return status;
    } catch (const UsageError& e) {
        std::cerr << "quennet-diff: " << e.what() << "\nTry 'quennet-diff --help'.\n";
        return kExitTrouble;
    } catch (const std::exception& e) {
        std::cerr << "quennet-diff: " << e.what() << "\n";
        return kExitTrouble;
    }
}
