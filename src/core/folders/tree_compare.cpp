// Pairs are independent: each worker takes the next index and writes only its own slot, so
// the output order is the listing's whatever the scheduling.
#include "folders/tree_compare.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "folders/folder_compare.h"
#include "io/platform.h"

namespace quennet::folders {

namespace fs = std::filesystem;

std::vector<std::string> ListTreeFiles(const std::string& folder, const std::string& mask) {
    std::vector<std::string> out;
    std::error_code ec;
    const fs::path root = io::FsPath(folder);
    fs::recursive_directory_iterator it(root, ec), end;
    if (ec) throw std::runtime_error(folder + ": " + ec.message());
    for (; it != end; it.increment(ec)) {
        if (ec) throw std::runtime_error(folder + ": " + ec.message());
        const std::string name = io::Utf8Path(it->path().filename());
        std::error_code kindError;
        const bool isDir = it->is_directory(kindError);
        if (!name.empty() && name[0] == '.') {
            if (isDir) it.disable_recursion_pending();
            continue;
        }
        if (isDir || !it->is_regular_file(kindError)) continue;
        if (!folders::MatchesMask(name, mask)) continue;
        // The iterator's paths start with the folder as given: cutting it off costs no
        // system calls, where fs::relative resolves both paths on disk.
        std::string relative = io::Utf8Path(it->path().lexically_relative(root));
        std::replace(relative.begin(), relative.end(), '\\', '/');
        out.push_back(std::move(relative));
    }
    std::sort(out.begin(), out.end());
    return out;
}

namespace {

// Where the system ignores letter case in file names ("Unit1.pas" opens "UNIT1.PAS"), so does
// the pairing of the two trees.
std::string PairingKey(const std::string& name) {
    if (!io::FileNamesIgnoreCase()) return name;
    std::string key = name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

// The folder and the name with "/" between on every system: the names reach the messages.
std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '/' || dir.back() == '\\') return dir + name;
    return dir + "/" + name;
}

std::vector<std::string> ListForPairing(const std::string& folder, const std::string& mask) {
    auto names = ListTreeFiles(folder, mask);
    if (io::FileNamesIgnoreCase())
        std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
            return PairingKey(a) < PairingKey(b);
        });
    return names;
}

} // namespace

std::vector<UnitOutcome> CompareTrees(const std::string& oldDir, const std::string& newDir,
                                      const TreeOptions& options) {
    const auto oldNames = ListForPairing(oldDir, options.mask);
    const auto newNames = ListForPairing(newDir, options.mask);
    std::vector<UnitOutcome> all;
    std::vector<size_t> pairs; // slots of names in both trees
    size_t i = 0, j = 0;
    while (i < oldNames.size() || j < newNames.size()) {
        UnitOutcome u;
        if (j >= newNames.size() ||
            (i < oldNames.size() && PairingKey(oldNames[i]) < PairingKey(newNames[j]))) {
            u.name = oldNames[i++];
            u.status = UnitStatus::Removed;
        } else if (i >= oldNames.size() || PairingKey(newNames[j]) < PairingKey(oldNames[i])) {
            u.name = newNames[j++];
            u.status = UnitStatus::Added;
        } else {
            u.name = oldNames[i++];
            ++j;
            pairs.push_back(all.size());
        }
        all.push_back(std::move(u));
    }

    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k; (k = next.fetch_add(1)) < pairs.size();) {
            if (options.cancel && options.cancel->load()) return;
            UnitOutcome& u = all[pairs[k]];
            std::string name = std::move(u.name);
            try {
                u = CompareUnitFiles(JoinPath(oldDir, name), JoinPath(newDir, name), options.pair);
            } catch (const std::exception& e) {
                u = UnitOutcome{};
                u.status = UnitStatus::Trouble;
                u.problem = e.what();
            }
            u.name = std::move(name);
            if (options.pairsDone) options.pairsDone->fetch_add(1);
        }
    };
    unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
    threads =
        static_cast<unsigned>(std::clamp<size_t>(threads, 1, std::max<size_t>(pairs.size(), 1)));
    std::vector<std::jthread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    pool.clear();

    std::erase_if(all, [](const UnitOutcome& u) { return u.status == UnitStatus::Same; });
    return all;
}

TreeSummary Summarize(const std::vector<UnitOutcome>& units, bool api) {
    TreeSummary s;
    for (const auto& u : units) {
        switch (u.status) {
        case UnitStatus::Changed: ++s.unitsChanged; break;
        case UnitStatus::Added: ++s.unitsAdded; break;
        case UnitStatus::Removed: ++s.unitsRemoved; break;
        case UnitStatus::Trouble: ++s.unitsTrouble; break;
        default: break;
        }
        s.decls.added += u.decls.added;
        s.decls.removed += u.decls.removed;
        s.decls.changed += u.decls.changed;
        s.breaking += u.api.breaking;
        s.additive += u.api.additive;
        s.internal += u.api.internal;
        if (api && u.status == UnitStatus::Removed) ++s.breaking;
        if (api && u.status == UnitStatus::Added) ++s.additive;
    }
    return s;
}

std::vector<FolderCounts> CountsByFolder(const std::vector<UnitOutcome>& units) {
    std::map<std::string, FolderCounts> byFolder;
    for (const auto& u : units) {
        const TreeSummary own = Summarize({u}, true);
        std::string folder = u.name;
        do {
            const size_t slash = folder.rfind('/');
            folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
            FolderCounts& c = byFolder[folder];
            c.folder = folder;
            ++c.units;
            c.breaking += own.breaking;
            c.additive += own.additive;
            c.internal += own.internal;
        } while (!folder.empty());
    }
    std::vector<FolderCounts> out;
    out.reserve(byFolder.size());
    for (auto& [name, counts] : byFolder)
        out.push_back(std::move(counts));
    return out;
}

std::string SummaryLine(const TreeSummary& s) {
    std::string line = std::to_string(s.unitsChanged) + (s.unitsChanged == 1 ? " unit" : " units") +
                       " changed, " + std::to_string(s.unitsAdded) + " added, " +
                       std::to_string(s.unitsRemoved) + " removed";
    if (s.unitsTrouble) line += ", " + std::to_string(s.unitsTrouble) + " in trouble";
    line += "; " + std::to_string(s.decls.added + s.decls.removed + s.decls.changed) +
            " declarations: " + std::to_string(s.decls.added) + " added, " +
            std::to_string(s.decls.removed) + " removed, " + std::to_string(s.decls.changed) +
            " changed";
    return line;
}

} // namespace quennet::folders
