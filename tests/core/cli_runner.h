// Runs the quennet-diff binary for tests: captures standard output, standard error and the
// exit status.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quennet::testing {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a shell command line in folder dir; "$CLI" names the tool.
inline CliResult RunShell(const std::string& command, const std::string& dir = ".") {
    static int counter = 0;
    auto errPath =
        std::filesystem::temp_directory_path() / ("quennet-cli-err-" + std::to_string(::getpid()) +
                                                  "-" + std::to_string(counter++) + ".txt");
    std::string cmd = "cd " + ShellQuote(dir) + " && CLI=" + ShellQuote(QUENNET_CLI_PATH) +
                      " && { " + command + "; } 2>" + ShellQuote(errPath.string());
    CliResult r;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        r.out.append(buf, n);
    int status = ::pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadWholeFile(errPath);
    std::filesystem::remove(errPath);
    return r;
}

// Runs the command line tool in folder dir (so relative file names stay as given).
inline CliResult RunCli(const std::vector<std::string>& args, const std::string& dir = ".") {
    std::string cmd = "\"$CLI\"";
    for (const auto& a : args)
        cmd += " " + ShellQuote(a);
    return RunShell(cmd, dir);
}

} // namespace quennet::testing
