#include <iostream>

#include "commands.h"

namespace quennet::cli {

void FlushStandardOutput() {
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("cannot write to the standard output");
}

} // namespace quennet::cli
