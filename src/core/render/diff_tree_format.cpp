// Renderings of the difference tree.
#include "render/diff_tree_format.h"

namespace quennet::render {

using diff::DiffState;
using enum diff::DiffState;
using diff::ShownCaption;
using diff::TSourceDiffItem;
using diff::TSourceDiffList;
using model::TidName;

namespace {

std::string LineRange(const TidName* decl) {
    if (!decl) return "-";
    return std::to_string(decl->FirstLine) + "-" + std::to_string(decl->LastLine);
}

void FormatLevel(const TSourceDiffList& list, int depth, std::vector<std::string>& out) {
    for (size_t i = 0; i < list.Count(); ++i) {
        const TSourceDiffItem* item = list.Items(i);
        out.push_back(std::string(2 * static_cast<size_t>(depth), ' ') + ShownCaption(*item) +
                      "\t" + std::to_string(static_cast<int>(item->State)) + "\t" +
                      LineRange(item->OldDecl) + "\t" + LineRange(item->NewDecl));
        FormatLevel(item->Children, depth + 1, out);
    }
}

} // namespace

std::vector<std::string> FormatDiffTree(const TSourceDiffList& root) {
    std::vector<std::string> out;
    FormatLevel(root, 0, out);
    return out;
}

const char* DiffStateName(DiffState state) {
    switch (state) {
    case Group: return "group";
    case Removed: return "removed";
    case Added: return "added";
    case Changed: return "changed";
    }
    return "unknown";
}

} // namespace quennet::render
