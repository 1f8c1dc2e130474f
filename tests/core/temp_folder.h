// A scratch folder for tests, removed with everything in it whatever permissions a test left
// on it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

#include "cli_runner.h"

namespace quennet::testing {

struct TempFolder {
    std::filesystem::path path;

    TempFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "quennet-XXXXXX").string();
        path = ::mkdtemp(name.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes bytes to name (folders included) inside the folder; returns the file's path.
    std::string Write(const std::string& name, std::string_view bytes) const {
        const auto file = path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }
    std::string Read(const std::string& name) const { return ReadWholeFile(path / name); }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path))
            names.insert(e.path().filename());
        return names;
    }
};

} // namespace quennet::testing
