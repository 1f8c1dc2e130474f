// Tree-order stepping between differences.
#include "viewrules/difference_order.h"

#include <vector>

namespace quennet::viewrules {

using diff::TSourceDiffItem;
using diff::TSourceDiffList;

namespace {

void Flatten(const TSourceDiffList& list, std::vector<const TSourceDiffItem*>& out) {
    for (size_t i = 0; i < list.Count(); ++i) {
        const TSourceDiffItem* item = list.Items(i);
        out.push_back(item);
        Flatten(item->Children, out);
    }
}

bool IsStop(const TSourceDiffItem* item) {
    return item->Children.Count() == 0 && (item->OldDecl || item->NewDecl);
}

} // namespace

const TSourceDiffItem* StepDifference(const TSourceDiffList& root, const TSourceDiffItem* current,
                                      bool forward) {
    std::vector<const TSourceDiffItem*> items;
    Flatten(root, items);
    const auto n = static_cast<std::ptrdiff_t>(items.size());
    std::ptrdiff_t at = forward ? -1 : n;
    for (std::ptrdiff_t i = 0; i < n; ++i)
        if (items[static_cast<size_t>(i)] == current) at = i;
    for (std::ptrdiff_t i = forward ? at + 1 : at - 1; i >= 0 && i < n; i += forward ? 1 : -1)
        if (IsStop(items[static_cast<size_t>(i)])) return items[static_cast<size_t>(i)];
    return nullptr;
}

} // namespace quennet::viewrules
