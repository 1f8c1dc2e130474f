// Keys as the merge writes them: a kind letter, then the upper-cased name; a method's body
// under its class ("I:TSHAPE.MOVEBY"), members under their class's key.
#include "merge3/follow_renames.h"

#include "pascal/scanner.h"

namespace quennet::merge3 {

namespace {

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return u;
}

// The lines (1-based) where name is written as a token.
std::vector<int32_t> LinesNaming(std::string_view text, const std::string& name) {
    std::vector<int32_t> lines;
    pascal::TOp4Scanner scanner;
    scanner.InitSource(text.data(), static_cast<int32_t>(text.size()));
    while (scanner.Get() != pascal::tEndOfText) {
        const auto& t = scanner.State().CurToken;
        if (static_cast<size_t>(t.Len) == name.size() &&
            model::CompareNames(scanner.GetString(t.Pos, t.Len), name) == 0)
            lines.push_back(t.Line);
    }
    return lines;
}

} // namespace

std::vector<KeyRename> RenamedKeys(const diff::DeclPairing& pairing,
                                   std::vector<std::pair<std::string, std::string>>& names) {
    std::vector<KeyRename> keys, classes;
    for (const diff::DeclPair& p : pairing.Pairs()) {
        const std::string o = Upper(p.oldDecl->Name), n = Upper(p.newDecl->Name);
        if (dynamic_cast<const model::TidClass*>(p.oldDecl)) {
            classes.push_back({"C:" + n, "C:" + o, {}, false});
            classes.push_back({"I:" + n + ".", "I:" + o + ".", {}, true});
            continue;
        }
        const std::string newClass = p.newOwner ? "C:" + Upper(p.newOwner->Name) : "";
        const std::string of = p.newOwner ? Upper(p.newOwner->Name) + "." : "";
        const std::string to = p.oldOwner ? Upper(p.oldOwner->Name) + "." : "";
        if (dynamic_cast<const model::TidProc*>(p.oldDecl)) {
            keys.push_back({"I:" + of + n, "I:" + to + o, {}, false});
            if (p.moved) continue;
            if (newClass.empty())
                keys.push_back({"H:" + n, "H:" + o, {}, false});
            else
                keys.push_back({"M:" + n, "M:" + o, newClass, false});
            names.emplace_back(std::string(diff::BareName(p.oldDecl->Name)),
                               std::string(diff::BareName(p.newDecl->Name)));
        } else if (dynamic_cast<const model::TidType*>(p.oldDecl)) {
            keys.push_back({"T:" + n, "T:" + o, {}, false});
        } else if (dynamic_cast<const model::TidProp*>(p.oldDecl)) {
            keys.push_back({"P:" + n, "P:" + o, newClass, false});
        } else if (dynamic_cast<const model::TidField*>(p.oldDecl)) {
            keys.push_back({"F:" + n + ",", "F:" + o + ",", newClass, false});
        } else if (dynamic_cast<const model::TidVar*>(p.oldDecl)) {
            // Constants and variables alike; a name declared alone is its own group.
            keys.push_back({"K:" + n, "K:" + o, {}, false});
            keys.push_back({"V:" + n + ",", "V:" + o + ",", {}, false});
        }
    }
    keys.insert(keys.end(), classes.begin(), classes.end());
    return keys;
}

std::vector<std::string>
StaleNameNotes(std::string_view merged, std::string_view renamingSide,
               const std::vector<std::pair<std::string, std::string>>& names,
               const std::string& sideLabel) {
    std::vector<std::string> notes;
    for (const auto& [oldName, newName] : names) {
        const std::vector<int32_t> lines = LinesNaming(merged, oldName);
        if (lines.size() <= LinesNaming(renamingSide, oldName).size()) continue;
        std::string at;
        for (size_t i = 0; i < lines.size() && i < 5; ++i)
            at += (i ? ", " : "") + std::to_string(lines[i]);
        notes.push_back(oldName + ", renamed to " + newName + " by " + sideLabel +
                        ", is still named on line(s) " + at +
                        " of the result, left as written there");
    }
    return notes;
}

} // namespace quennet::merge3
