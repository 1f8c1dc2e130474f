// Reading source files as bytes.
#include "io/source_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>

namespace quennet::io {

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    size_t start = 0, i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes.substr(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    size_t total = 0;
    for (const auto& l : lines)
        total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string ReadFileBytes(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw std::runtime_error("Cannot open \"" + path + "\": " + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        throw std::runtime_error("Cannot open \"" + path + "\": it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open \"" + path + "\": " + std::strerror(errno));
    std::string data;
    in.seekg(0, std::ios::end);
    auto size = in.tellg();
    if (size > 0) {
        data.resize(static_cast<size_t>(size));
        in.seekg(0);
        in.read(data.data(), size);
    }
    if (in.bad() || (size > 0 && in.gcount() != size))
        throw std::runtime_error("Cannot read \"" + path + "\": read error");
    return data;
}

std::vector<std::string> LoadSourceLines(const std::string& path) {
    return SplitLines(ReadFileBytes(path));
}

} // namespace quennet::io
