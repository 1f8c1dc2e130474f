// Inputs named on the command line, with "-" for the standard input.
#include "commands.h"

#include <cstdio>
#include <iostream>
#include <optional>

#include "io/source_file.h"

namespace quennet::cli {

std::vector<std::string> LoadInputLines(const std::string& path) {
    if (path != "-") return io::LoadSourceLines(path);
    // Several outputs read the same side; standard input can be read only once.
    static std::optional<std::vector<std::string>> standardInput;
    if (!standardInput) {
        std::string bytes;
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0)
            bytes.append(buf, n);
        if (std::ferror(stdin)) throw std::runtime_error("Cannot read the standard input");
        standardInput = io::SplitLines(bytes);
    }
    return *standardInput;
}

void FlushStandardOutput() {
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("cannot write to the standard output");
}

} // namespace quennet::cli
