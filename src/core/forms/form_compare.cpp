// The comparison of two form models.
#include "forms/form_compare.h"

#include <algorithm>
#include <unordered_map>

#include "diff/text_after_stop.h"
#include "io/source_file.h"

namespace quennet::forms {

namespace {

std::string FoldedKey(std::string_view s) {
    std::string k(s);
    for (char& c : k)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return k;
}

// An object where it sits: its path, parent's key and place among the siblings.
struct Placed {
    const FormObject* Object = nullptr;
    std::string Path, ParentKey, ParentPath;
    size_t Position = 0;
    bool OnDataModule = false;
    NoiseRules::Place Place = NoiseRules::Place::Root;
};

// Named objects by their name (names are unique in a form); unnamed ones by their parent's key,
// class and rank among the unnamed siblings of that class.
struct Index {
    std::unordered_map<std::string, Placed> byKey;
    std::vector<std::string> order; // keys in pre-order

    void Add(const FormObject& o, const std::string& key, const Placed& where) {
        byKey.emplace(key, where);
        order.push_back(key);
        std::unordered_map<std::string, size_t> unnamedRank;
        for (size_t i = 0; i < o.Children.size(); ++i) {
            const FormObject& c = o.Children[i];
            std::string childKey = c.Name.empty() ? key + "/" + FoldedKey(c.Class) + "#" +
                                                        std::to_string(unnamedRank[c.Class]++)
                                                  : FoldedKey(c.Name);
            // A name used twice (a frame's own components) is keyed by its parent too.
            if (byKey.count(childKey)) childKey = key + "/" + childKey;
            while (byKey.count(childKey))
                childKey += "'";
            Placed p{&c,
                     where.Path + "." + PathStep(c),
                     key,
                     where.Path,
                     i,
                     where.OnDataModule,
                     NoisePlace(c, &o, where.OnDataModule)};
            Add(c, childKey, p);
        }
    }
};

Index IndexOf(const FormFile& f) {
    Index idx;
    if (!f.HasRoot) return idx;
    const FormObject& r = f.Root;
    const bool dataModule = FoldedKey(r.Class).find("datamodule") != std::string::npos;
    idx.Add(r, r.Name.empty() ? "/" + FoldedKey(r.Class) : FoldedKey(r.Name),
            Placed{&r, PathStep(r), "", "", 0, dataModule});
    return idx;
}

// The form's lines joined as the line matcher takes them.
std::string CrLfText(const FormFile& f) {
    return f.Text ? io::ToCrLfText(*f.Text) : std::string();
}

struct Comparer {
    const NoiseRules& noise;
    FormComparison result;

    void Count(const FormDiffNode& n) {
        if (n.Noise)
            ++result.NoiseChanges;
        else
            ++result.Changes;
    }

    FormDiffNode ValueNode(FormNodeKind kind, FormChange change, std::string caption,
                           const FormValue* o, const FormValue* n) {
        FormDiffNode d;
        d.Kind = kind;
        d.Change = change;
        d.Caption = std::move(caption);
        if (o) {
            d.OldValue = ShortValueText(*o);
            d.OldFirst = o->FirstLine;
            d.OldLast = o->LastLine;
        }
        if (n) {
            d.NewValue = ShortValueText(*n);
            d.NewFirst = n->FirstLine;
            d.NewLast = n->LastLine;
        }
        return d;
    }

    // Values of two lists paired by their longest common run, so one inserted line of a
    // string list is one addition.
    void ListChildren(FormDiffNode& d, const std::vector<FormValue>& a,
                      const std::vector<FormValue>& b) {
        // Equal ends need no table: only the middle that differs is paired.
        size_t head = 0, tail = 0;
        while (head < a.size() && head < b.size() && a[head] == b[head])
            ++head;
        while (tail < a.size() - head && tail < b.size() - head &&
               a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
            ++tail;
        const size_t n = a.size() - tail, m = b.size() - tail;
        if ((n - head) * (m - head) > 4'000'000) {
            for (size_t i = head; i < std::max(n, m); ++i) {
                const FormValue* o = i < n ? &a[i] : nullptr;
                const FormValue* v = i < m ? &b[i] : nullptr;
                if (o && v && *o == *v) continue;
                d.Children.push_back(ValueNode(FormNodeKind::Value,
                                               !o   ? FormChange::Added
                                               : !v ? FormChange::Removed
                                                    : FormChange::Changed,
                                               "[" + std::to_string(i) + "]", o, v));
            }
            return;
        }
        // The table of the middle, indexed from head.
        const size_t cols = m - head + 1;
        std::vector<uint32_t> lcs((n - head + 1) * cols, 0);
        auto at = [&](size_t i, size_t j) -> uint32_t& {
            return lcs[(i - head) * cols + (j - head)];
        };
        for (size_t i = n; i-- > head;)
            for (size_t j = m; j-- > head;)
                at(i, j) =
                    a[i] == b[j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
        size_t i = head, j = head;
        while (i < n || j < m) {
            if (i < n && j < m && a[i] == b[j]) {
                ++i;
                ++j;
            } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
                d.Children.push_back(ValueNode(FormNodeKind::Value, FormChange::Removed,
                                               "[" + std::to_string(i) + "]", &a[i], nullptr));
                ++i;
            } else {
                d.Children.push_back(ValueNode(FormNodeKind::Value, FormChange::Added,
                                               "[" + std::to_string(j) + "]", nullptr, &b[j]));
                ++j;
            }
        }
    }

    void ItemChildren(FormDiffNode& d, const std::vector<FormItem>& a,
                      const std::vector<FormItem>& b) {
        for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
            FormDiffNode item;
            item.Kind = FormNodeKind::Item;
            item.Caption = "item " + std::to_string(i);
            if (i < a.size()) {
                item.OldFirst = a[i].FirstLine;
                item.OldLast = a[i].LastLine;
            }
            if (i < b.size()) {
                item.NewFirst = b[i].FirstLine;
                item.NewLast = b[i].LastLine;
            }
            if (i >= a.size()) {
                item.Change = FormChange::Added;
            } else if (i >= b.size()) {
                item.Change = FormChange::Removed;
            } else {
                if (a[i].Order != b[i].Order) {
                    item.OldValue = a[i].Order ? std::to_string(*a[i].Order) : "";
                    item.NewValue = b[i].Order ? std::to_string(*b[i].Order) : "";
                }
                Properties(item, a[i].Properties, b[i].Properties, NoiseRules::Place::Other, false);
                if (item.Children.empty() && item.OldValue == item.NewValue) continue;
            }
            d.Children.push_back(std::move(item));
        }
    }

    // Property nodes under parent; count says whether they are changes of their own (an
    // object's) or parts of an item's change.
    void Properties(FormDiffNode& parent, const std::vector<FormProperty>& a,
                    const std::vector<FormProperty>& b, NoiseRules::Place place, bool count) {
        std::vector<bool> matched(a.size(), false);
        std::unordered_map<std::string, std::vector<size_t>> byName;
        for (size_t i = a.size(); i-- > 0;)
            byName[FoldedKey(a[i].Name)].push_back(i);
        std::vector<FormDiffNode> nodes;
        for (const FormProperty& p : b) {
            auto it = byName.find(FoldedKey(p.Name));
            const FormProperty* o = nullptr;
            if (it != byName.end() && !it->second.empty()) {
                o = &a[it->second.back()];
                matched[it->second.back()] = true;
                it->second.pop_back();
            }
            if (o && o->Value == p.Value) continue;
            FormDiffNode d =
                ValueNode(FormNodeKind::Property, o ? FormChange::Changed : FormChange::Added,
                          p.Name, o ? &o->Value : nullptr, &p.Value);
            d.NewFirst = p.FirstLine;
            d.NewLast = p.LastLine;
            if (o) {
                d.OldFirst = o->FirstLine;
                d.OldLast = o->LastLine;
                if (o->Value.Kind == ValueKind::Collection && p.Value.Kind == ValueKind::Collection)
                    ItemChildren(d, o->Value.Items(), p.Value.Items());
                else if (o->Value.Kind == ValueKind::List && p.Value.Kind == ValueKind::List)
                    ListChildren(d, o->Value.List(), p.Value.List());
            }
            d.Noise = noise.IsNoise(p.Name, place);
            nodes.push_back(std::move(d));
        }
        for (size_t i = 0; i < a.size(); ++i) {
            if (matched[i]) continue;
            FormDiffNode d = ValueNode(FormNodeKind::Property, FormChange::Removed, a[i].Name,
                                       &a[i].Value, nullptr);
            d.OldFirst = a[i].FirstLine;
            d.OldLast = a[i].LastLine;
            d.Noise = noise.IsNoise(a[i].Name, place);
            nodes.push_back(std::move(d));
        }
        for (auto& d : nodes) {
            if (count) Count(d);
            parent.Children.push_back(std::move(d));
        }
    }

    // Children of one parent present on both sides whose order changed: those outside the
    // longest run kept in order.
    static std::vector<std::string> Reordered(const std::vector<std::string>& oldOrder,
                                              const std::vector<std::string>& newOrder) {
        if (oldOrder == newOrder) return {};
        const size_t n = oldOrder.size(), m = newOrder.size();
        std::vector<std::vector<uint16_t>> lcs(n + 1, std::vector<uint16_t>(m + 1, 0));
        for (size_t i = n; i-- > 0;)
            for (size_t j = m; j-- > 0;)
                lcs[i][j] = oldOrder[i] == newOrder[j]
                                ? static_cast<uint16_t>(lcs[i + 1][j + 1] + 1)
                                : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        std::vector<std::string> moved;
        size_t i = 0, j = 0;
        while (j < m) {
            if (i < n && oldOrder[i] == newOrder[j]) {
                ++i;
                ++j;
            } else if (i < n && lcs[i + 1][j] >= lcs[i][j + 1]) {
                ++i;
            } else {
                moved.push_back(newOrder[j++]);
            }
        }
        return moved;
    }

    void Run(const FormFile& oldForm, const FormFile& newForm) {
        const Index a = IndexOf(oldForm), b = IndexOf(newForm);
        // Siblings kept under the same parent, in each side's order, for reorderings.
        std::unordered_map<std::string, std::vector<std::string>> oldSiblings, newSiblings;
        for (const auto& key : a.order) {
            const Placed& p = a.byKey.at(key);
            auto it = b.byKey.find(key);
            if (it != b.byKey.end() && it->second.ParentKey == p.ParentKey && !p.ParentKey.empty())
                oldSiblings[p.ParentKey].push_back(key);
        }
        for (const auto& key : b.order) {
            const Placed& p = b.byKey.at(key);
            auto it = a.byKey.find(key);
            if (it != a.byKey.end() && it->second.ParentKey == p.ParentKey && !p.ParentKey.empty())
                newSiblings[p.ParentKey].push_back(key);
        }
        std::unordered_map<std::string, bool> reordered;
        for (const auto& [parent, order] : newSiblings)
            if (order.size() > 1 && order.size() < 2000)
                for (const auto& key : Reordered(oldSiblings[parent], order))
                    reordered[key] = true;

        std::unordered_map<std::string, bool> addedKeys;
        for (const auto& key : b.order) {
            const Placed& n = b.byKey.at(key);
            const FormObject& no = *n.Object;
            FormDiffNode d;
            d.Kind = FormNodeKind::Object;
            d.Caption = n.Path;
            d.NewClass = no.Class;
            d.NewFirst = no.FirstLine;
            d.NewLast = no.LastLine;
            auto it = a.byKey.find(key);
            if (it == a.byKey.end()) {
                addedKeys[key] = true;
                // Inside an added object, an added child is part of that addition.
                if (addedKeys.count(n.ParentKey)) continue;
                d.Change = FormChange::Added;
                Count(d);
                result.Objects.push_back(std::move(d));
                continue;
            }
            const Placed& o = it->second;
            const FormObject& oo = *o.Object;
            d.OldClass = oo.Class;
            d.OldFirst = oo.FirstLine;
            d.OldLast = oo.LastLine;
            bool own = false;
            if (!SameName(oo.Class, no.Class)) own = true;
            if (oo.Kind != no.Kind) {
                d.OldKind = ObjectKindName(oo.Kind);
                d.NewKind = ObjectKindName(no.Kind);
                own = true;
            }
            if (oo.Index != no.Index) {
                auto shown = [](const std::optional<int64_t>& i) {
                    return i ? "[" + std::to_string(*i) + "]" : std::string("none");
                };
                d.OldIndex = shown(oo.Index);
                d.NewIndex = shown(no.Index);
                own = true;
            }
            if (o.ParentKey != n.ParentKey) {
                d.OldParent = o.ParentPath;
                own = true;
            }
            if (reordered.count(key)) {
                d.Reordered = true;
                own = true;
            }
            Properties(d, oo.Properties, no.Properties, n.Place, true);
            if (own) ++result.Changes;
            if (own || !d.Children.empty()) result.Objects.push_back(std::move(d));
        }
        std::unordered_map<std::string, bool> removedKeys;
        for (const auto& key : a.order) {
            if (b.byKey.count(key)) continue;
            const Placed& o = a.byKey.at(key);
            removedKeys[key] = true;
            if (removedKeys.count(o.ParentKey)) continue;
            FormDiffNode d;
            d.Kind = FormNodeKind::Object;
            d.Change = FormChange::Removed;
            d.Caption = o.Path;
            d.OldClass = o.Object->Class;
            d.OldFirst = o.Object->FirstLine;
            d.OldLast = o.Object->LastLine;
            Count(d);
            result.Objects.push_back(std::move(d));
        }
    }
};

} // namespace

NoiseRules::Place NoisePlace(const FormObject& o, const FormObject* parent, bool onDataModule) {
    using Place = NoiseRules::Place;
    if (!parent) return Place::Root;
    if (onDataModule) return Place::DataModuleChild;
    if (SameName(o.Class, "TToolButton")) return Place::ToolButton;
    if (o.Kind == ObjectKind::Inherited && parent->Kind == ObjectKind::Inline)
        return Place::FrameComponent;
    return Place::Other;
}

bool NoiseRules::IsNoise(std::string_view property, Place where) const {
    const bool place = SameName(property, "Left") || SameName(property, "Top");
    const bool size = SameName(property, "Width") || SameName(property, "Height");
    if (DesignerPositions && (where == Place::Root || where == Place::DataModuleChild) && place)
        return true;
    if (ArrangedLayout && ((where == Place::ToolButton && place) ||
                           (where == Place::FrameComponent && (place || size))))
        return true;
    for (const auto& n : Names) {
        if (!n.empty() && n.back() == '*') {
            const std::string_view prefix(n.data(), n.size() - 1);
            if (property.size() >= prefix.size() &&
                SameName(property.substr(0, prefix.size()), prefix))
                return true;
        } else if (SameName(property, n)) {
            return true;
        }
    }
    return false;
}

NoiseRules DefaultNoiseRules() {
    return NoiseRules{
        // A tree view's row height is worked out from the designer's font; a labelled edit
        // places and sizes its label itself.
        {"Explicit*", "PixelsPerInch", "DesignTimePPI", "TextHeight", "LCLVersion", "DesignSize",
         "DefaultItemHeight", "EditLabel.Left", "EditLabel.Top", "EditLabel.Width",
         "EditLabel.Height"},
        true,
        true};
}

FormComparison CompareForms(const FormFile& oldForm, const FormFile& newForm,
                            const NoiseRules& noise) {
    Comparer c{noise, {}};
    c.Run(oldForm, newForm);
    FormComparison& r = c.result;
    // Past a fault the texts are compared as lines, so no change there goes unshown.
    auto stopOf = [](const FormFile& f) {
        return !f.Notes.empty() ? f.Notes[0].Line : f.TrailingLine ? f.TrailingLine : -1;
    };
    const int32_t oldStop = stopOf(oldForm), newStop = stopOf(newForm);
    r.Stops = oldForm.Notes;
    r.Stops.insert(r.Stops.end(), newForm.Notes.begin(), newForm.Notes.end());
    if (oldStop >= 0 || newStop >= 0) {
        for (const auto& run :
             diff::ChangedRunsAfterStop(CrLfText(oldForm), CrLfText(newForm), oldStop, newStop)) {
            FormDiffNode d;
            d.Kind = FormNodeKind::Text;
            d.Change = !run.HasOld()   ? FormChange::Added
                       : !run.HasNew() ? FormChange::Removed
                                       : FormChange::Changed;
            d.Caption = diff::TextRunCaption(run);
            if (run.HasOld()) {
                d.OldFirst = run.oldFirst;
                d.OldLast = run.oldLast;
            }
            if (run.HasNew()) {
                d.NewFirst = run.newFirst;
                d.NewLast = run.newLast;
            }
            ++r.Changes;
            r.Objects.push_back(std::move(d));
        }
    }
    return std::move(r);
}

} // namespace quennet::forms
