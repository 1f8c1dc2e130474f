// The three-way merge follows a declaration a side renamed or moved: its pieces are filed under
// the keys BASE gives them, so the other side's edit meets the renamed declaration.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "diff/decl_pairing.h"

namespace quennet::merge3 {

// A side's key and the BASE key it stands for. A class key set: a member key of that class
// (the key of the class in the side). prefix: every key starting with from.
struct KeyRename {
    std::string from, to;
    std::string classKey;
    bool prefix = false;
};

// The merge's keys of what pairing (BASE to a side) renamed or moved; old and new names of the
// renames in names, for the notes.
std::vector<KeyRename> RenamedKeys(const diff::DeclPairing& pairing,
                                   std::vector<std::pair<std::string, std::string>>& names);

// Files a side's declarations (a map by key of items with a key), its class members (a map by
// class key of item lists) and its unusable keys under BASE's keys. A key the side already
// holds under BASE's name stays as it is.
template <class Decls, class Members, class Keys>
void FileUnderBaseKeys(const std::vector<KeyRename>& renames, Decls& decls, Members& members,
                       Keys& unsound) {
    auto move = [&](const std::string& from, const std::string& to) {
        if (unsound.count(from) || unsound.count(to) || decls.count(to)) return;
        auto node = decls.extract(from);
        if (node.empty()) return;
        node.key() = to;
        node.mapped().key = to;
        decls.insert(std::move(node));
    };
    for (const KeyRename& r : renames) {
        if (!r.classKey.empty()) {
            auto list = members.find(r.classKey);
            if (list == members.end()) continue;
            for (auto& d : list->second)
                if (d.key == r.from) d.key = r.to;
        } else if (r.prefix) {
            std::vector<std::string> keys;
            for (const auto& [key, d] : decls)
                if (key.starts_with(r.from)) keys.push_back(key);
            for (const std::string& key : keys)
                move(key, r.to + key.substr(r.from.size()));
        } else {
            if (auto m = members.extract(r.from); !m.empty()) {
                m.key() = r.to;
                members.insert(std::move(m));
            }
            move(r.from, r.to);
        }
    }
}

// A note for each old name the merged text names more often than the renaming side does: a
// call the other side added, left as written (a compile tells), never rewritten.
std::vector<std::string>
StaleNameNotes(std::string_view merged, std::string_view renamingSide,
               const std::vector<std::pair<std::string, std::string>>& names,
               const std::string& sideLabel);

} // namespace quennet::merge3
