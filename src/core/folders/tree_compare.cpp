// Pairs are independent: each worker takes the next index and writes only its own slot, so
// the output order is the listing's whatever the scheduling.
#include "folders/tree_compare.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <tuple>

#include "base/ascii.h"
#include "diff/decl_pairing.h"
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
                AddFormsBeside(u, name, JoinPath(oldDir, name), JoinPath(newDir, name));
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

namespace {

struct LooseRef {
    size_t unit;
    const LooseDecl* decl;
};

std::string KindKey(diff::NodeKind kind, std::string_view name) {
    return std::to_string(static_cast<int>(kind)) + ":" + base::UpperAscii(name);
}

// The API change of unit u about decl, with `what` ("removed" or "added"); null when none.
diff::ApiChange* ApiChangeOf(UnitOutcome& u, const UnitMove& m, const char* what) {
    for (auto& c : u.api.changes)
        if (c.what == what && c.kind == MoveKindName(m.kind) &&
            model::CompareNames(c.name, m.name) == 0)
            return &c;
    return nullptr;
}

// Rewrites a listed API change and its line in the unit's section.
void RewriteApi(UnitOutcome& u, diff::ApiChange& c, const std::string& what) {
    const std::string before = diff::ApiChangeLine(c);
    c.what = what;
    for (auto& l : u.lines)
        if (l == before) {
            l = diff::ApiChangeLine(c);
            break;
        }
}

void DropApi(UnitOutcome& u, const diff::ApiChange& c) {
    const std::string line = diff::ApiChangeLine(c);
    std::erase(u.lines, line);
    --u.api.breaking;
    ++u.api.internal;
    std::erase_if(u.api.changes, [&](const diff::ApiChange& x) { return &x == &c; });
}

} // namespace

const char* MoveKindName(diff::NodeKind kind) {
    switch (kind) {
    case diff::NodeKind::Type: return "type";
    case diff::NodeKind::Class: return "class";
    default: return "routine";
    }
}

std::string MoveLine(const UnitMove& m) {
    return std::string("moved ") + MoveKindName(m.kind) + " " + m.name + " from " + m.from +
           " to " + m.to + (m.changed ? " and changed" : "");
}

std::vector<UnitMove> FindUnitMoves(std::vector<UnitOutcome>& units, const std::string& oldDir,
                                    const std::string& newDir, const TreeOptions& options) {
    // Units on one side only are parsed here, spread over threads as the pairs were.
    std::vector<size_t> lone;
    for (size_t i = 0; i < units.size(); ++i)
        if (units[i].status == UnitStatus::Removed || units[i].status == UnitStatus::Added)
            lone.push_back(i);
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k; (k = next.fetch_add(1)) < lone.size();) {
            UnitOutcome& u = units[lone[k]];
            if (u.status == UnitStatus::Removed)
                u.gone = LooseDeclsOfFile(JoinPath(oldDir, u.name), options.pair, {});
            else
                u.arrived = LooseDeclsOfFile(JoinPath(newDir, u.name), options.pair, {});
        }
    };
    unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
    threads =
        static_cast<unsigned>(std::clamp<size_t>(threads, 1, std::max<size_t>(lone.size(), 1)));
    {
        std::vector<std::jthread> pool;
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(work);
        work();
    }
    // Per kind and name, every unit it left and every unit it arrived in.
    std::map<std::string, std::pair<std::vector<LooseRef>, std::vector<LooseRef>>> byName;
    for (size_t i = 0; i < units.size(); ++i) {
        for (const auto& d : units[i].gone)
            byName[KindKey(d.kind, d.name)].first.push_back({i, &d});
        for (const auto& d : units[i].arrived)
            byName[KindKey(d.kind, d.name)].second.push_back({i, &d});
    }
    // A name that left or arrived twice is not told apart: ties are not paired.
    auto candidate = [](const auto& refs) {
        return refs.first.size() == 1 && refs.second.size() == 1 &&
               refs.first[0].unit != refs.second[0].unit;
    };
    // The tokens of a unit on one side only are read for the few candidates that need them.
    std::map<size_t, std::set<std::string>> wanted;
    for (const auto& [key, refs] : byName)
        if (candidate(refs) && refs.first[0].decl->fingerprint != refs.second[0].decl->fingerprint)
            for (const LooseRef& r : {refs.first[0], refs.second[0]})
                if (units[r.unit].status == UnitStatus::Removed ||
                    units[r.unit].status == UnitStatus::Added)
                    wanted[r.unit].insert(key);
    for (const auto& entry : wanted) {
        const std::set<std::string>& keys = entry.second;
        UnitOutcome& u = units[entry.first];
        const bool removed = u.status == UnitStatus::Removed;
        auto read = LooseDeclsOfFile(JoinPath(removed ? oldDir : newDir, u.name), options.pair,
                                     [&keys](diff::NodeKind kind, std::string_view name) {
                                         return keys.count(KindKey(kind, name)) > 0;
                                     });
        // The same file read the same way: the same declarations in the same order.
        auto& list = removed ? u.gone : u.arrived;
        if (read.size() != list.size()) continue;
        for (size_t i = 0; i < read.size(); ++i)
            list[i].tokens = std::move(read[i].tokens);
    }
    std::vector<UnitMove> moves;
    for (const auto& [key, refs] : byName) {
        const auto& [gone, arrived] = refs;
        if (!candidate(refs)) continue;
        const LooseDecl& a = *gone[0].decl;
        const LooseDecl& b = *arrived[0].decl;
        const bool same = a.fingerprint == b.fingerprint;
        if (!same && diff::TokenSimilarity(a.tokens, b.tokens) < diff::kRenameSimilarity) continue;
        UnitMove m{a.kind,
                   b.name,
                   units[gone[0].unit].name,
                   units[arrived[0].unit].name,
                   !same,
                   a.exposed && !a.stillExposed};
        UnitOutcome& from = units[gone[0].unit];
        UnitOutcome& to = units[arrived[0].unit];
        if (from.status != UnitStatus::Removed) {
            --from.decls.removed;
            ++from.decls.moved;
            if (diff::ApiChange* c = ApiChangeOf(from, m, "removed")) {
                if (m.breaking)
                    RewriteApi(from, *c, "moved to " + m.to);
                else
                    DropApi(from, *c);
            }
        } else {
            ++from.decls.moved;
        }
        if (to.status != UnitStatus::Added) {
            --to.decls.added;
            if (diff::ApiChange* c = ApiChangeOf(to, m, "added"))
                RewriteApi(to, *c, "moved from " + m.from);
        }
        moves.push_back(std::move(m));
    }
    std::sort(moves.begin(), moves.end(), [](const UnitMove& x, const UnitMove& y) {
        return std::tie(x.from, x.to, x.name) < std::tie(y.from, y.to, y.name);
    });
    for (auto& u : units) {
        u.gone.clear();
        u.arrived.clear();
    }
    return moves;
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
        s.decls.moved += u.decls.moved;
        if (!u.formChange.empty()) ++s.formsChanged;
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
    line += "; " +
            std::to_string(s.decls.added + s.decls.removed + s.decls.changed + s.decls.moved) +
            " declarations: " + std::to_string(s.decls.added) + " added, " +
            std::to_string(s.decls.removed) + " removed, " + std::to_string(s.decls.changed) +
            " changed";
    if (s.decls.moved) line += ", " + std::to_string(s.decls.moved) + " moved";
    if (s.formsChanged)
        line += "; " + std::to_string(s.formsChanged) + (s.formsChanged == 1 ? " form" : " forms") +
                " changed";
    return line;
}

} // namespace quennet::folders
