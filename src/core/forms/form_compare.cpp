// The comparison of two form models.
#include "forms/form_compare.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

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

// An object where it sits: its key and its parent (an index into the same side, -1 for the
// root). Paths are made only for the objects reported.
struct Placed {
    const FormObject* Object = nullptr;
    std::string Key;
    int Parent = -1;
    NoiseRules::Place Place = NoiseRules::Place::Root;
};

size_t CountObjects(const FormObject& o) {
    size_t n = 1;
    for (const auto& c : o.Children)
        n += CountObjects(c);
    return n;
}

// Named objects by their name (names are unique in a form); unnamed ones by their parent's key,
// class and rank among the unnamed siblings of that class.
struct Index {
    std::vector<Placed> all; // in pre-order; reserved whole, so the views of its keys hold
    std::unordered_map<std::string_view, size_t> byKey;
    bool onDataModule = false;

    const Placed* Find(std::string_view key) const {
        auto it = byKey.find(key);
        return it == byKey.end() ? nullptr : &all[it->second];
    }
    std::string_view ParentKey(const Placed& p) const {
        return p.Parent < 0 ? std::string_view() : all[static_cast<size_t>(p.Parent)].Key;
    }
    std::string Path(int i) const {
        if (i < 0) return {};
        const Placed& p = all[static_cast<size_t>(i)];
        return p.Parent < 0 ? PathStep(*p.Object) : Path(p.Parent) + "." + PathStep(*p.Object);
    }

    void Add(const FormObject& o, std::string key, int parent, NoiseRules::Place place) {
        const int self = static_cast<int>(all.size());
        all.push_back(Placed{&o, std::move(key), parent, place});
        byKey.emplace(all.back().Key, all.size() - 1);
        std::unordered_map<std::string, size_t> unnamedRank;
        for (const FormObject& c : o.Children) {
            const std::string& here = all[static_cast<size_t>(self)].Key;
            std::string childKey = c.Name.empty() ? here + "/" + FoldedKey(c.Class) + "#" +
                                                        std::to_string(unnamedRank[c.Class]++)
                                                  : FoldedKey(c.Name);
            // A name used twice (a frame's own components) is keyed by its parent too.
            if (byKey.count(childKey)) childKey = here + "/" + childKey;
            while (byKey.count(childKey))
                childKey += "'";
            Add(c, std::move(childKey), self, NoisePlace(c, &o, onDataModule));
        }
    }
};

Index IndexOf(const FormFile& f) {
    Index idx;
    if (!f.HasRoot) return idx;
    const FormObject& r = f.Root;
    idx.onDataModule = FoldedKey(r.Class).find("datamodule") != std::string::npos;
    idx.all.reserve(CountObjects(r));
    idx.byKey.reserve(idx.all.capacity());
    idx.Add(r, r.Name.empty() ? "/" + FoldedKey(r.Class) : FoldedKey(r.Name), -1,
            NoiseRules::Place::Root);
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
    static std::vector<std::string_view> Reordered(const std::vector<std::string_view>& oldOrder,
                                                   const std::vector<std::string_view>& newOrder) {
        if (oldOrder == newOrder) return {};
        const size_t n = oldOrder.size(), m = newOrder.size();
        std::vector<std::vector<uint16_t>> lcs(n + 1, std::vector<uint16_t>(m + 1, 0));
        for (size_t i = n; i-- > 0;)
            for (size_t j = m; j-- > 0;)
                lcs[i][j] = oldOrder[i] == newOrder[j]
                                ? static_cast<uint16_t>(lcs[i + 1][j + 1] + 1)
                                : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        std::vector<std::string_view> moved;
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

    // Children kept under the same parent, by parent, in the side's order.
    static std::unordered_map<std::string_view, std::vector<std::string_view>>
    KeptSiblings(const Index& side, const Index& other) {
        std::unordered_map<std::string_view, std::vector<std::string_view>> siblings;
        for (const Placed& p : side.all) {
            const Placed* q = other.Find(p.Key);
            if (q && p.Parent >= 0 && other.ParentKey(*q) == side.ParentKey(p))
                siblings[side.ParentKey(p)].push_back(p.Key);
        }
        return siblings;
    }

    void Run(const FormFile& oldForm, const FormFile& newForm) {
        const Index a = IndexOf(oldForm), b = IndexOf(newForm);
        auto oldSiblings = KeptSiblings(a, b);
        const auto newSiblings = KeptSiblings(b, a);
        std::unordered_set<std::string_view> reordered;
        for (const auto& [parent, order] : newSiblings)
            if (order.size() > 1 && order.size() < 2000)
                for (const auto key : Reordered(oldSiblings[parent], order))
                    reordered.insert(key);

        std::vector<bool> added(b.all.size(), false);
        for (size_t k = 0; k < b.all.size(); ++k) {
            const Placed& n = b.all[k];
            const FormObject& no = *n.Object;
            const Placed* o = a.Find(n.Key);
            if (!o) {
                added[k] = true;
                // Inside an added object, an added child is part of that addition.
                if (n.Parent >= 0 && added[static_cast<size_t>(n.Parent)]) continue;
            }
            FormDiffNode d;
            d.Kind = FormNodeKind::Object;
            d.NewClass = no.Class;
            d.NewFirst = no.FirstLine;
            d.NewLast = no.LastLine;
            if (!o) {
                d.Change = FormChange::Added;
                d.Caption = b.Path(static_cast<int>(k));
                Count(d);
                result.Objects.push_back(std::move(d));
                continue;
            }
            const FormObject& oo = *o->Object;
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
            if (a.ParentKey(*o) != b.ParentKey(n)) {
                d.OldParent = a.Path(o->Parent);
                own = true;
            }
            if (reordered.count(n.Key)) {
                d.Reordered = true;
                own = true;
            }
            Properties(d, oo.Properties, no.Properties, n.Place, true);
            if (own) ++result.Changes;
            if (own || !d.Children.empty()) {
                d.Caption = b.Path(static_cast<int>(k));
                result.Objects.push_back(std::move(d));
            }
        }
        std::vector<bool> removed(a.all.size(), false);
        for (size_t k = 0; k < a.all.size(); ++k) {
            const Placed& o = a.all[k];
            if (b.Find(o.Key)) continue;
            removed[k] = true;
            if (o.Parent >= 0 && removed[static_cast<size_t>(o.Parent)]) continue;
            FormDiffNode d;
            d.Kind = FormNodeKind::Object;
            d.Change = FormChange::Removed;
            d.Caption = a.Path(static_cast<int>(k));
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
