// quennet-diff's exit status, as diff(1) has it.
#pragma once

namespace quennet::cli {

enum ExitCode : int {
    kExitEquivalent = 0, // also: everything asked for was written
    kExitDifferent = 1,  // also: a merge left conflicts
    kExitTrouble = 2,    // bad usage, unreadable input, failed write
};

} // namespace quennet::cli
