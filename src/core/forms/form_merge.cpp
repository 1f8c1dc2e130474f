// The three-way merge of forms: decisions on the models, output from the sides' lines.
#include "forms/form_merge.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "forms/form_reader.h"
#include "forms/form_writer.h"
#include "io/source_file.h"
#include "io/source_save.h"
#include "io/text_encoding.h"
#include "merge3/line_diff3.h"

namespace quennet::forms {

namespace {

enum Side { kBase = 0, kLocal = 1, kRemote = 2 };

std::string Folded(std::string_view s) {
    std::string k(s);
    for (char& c : k)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return k;
}

// One version's objects by key (as the comparison keys them), with parents and child order.
struct Version {
    FormFile form;
    std::unordered_map<std::string, const FormObject*> objects;
    std::unordered_map<std::string, std::string> parent;
    std::unordered_map<std::string, std::vector<std::string>> children;
    std::string rootKey;

    void Add(const FormObject& o, const std::string& key, const std::string& parentKey) {
        if (!objects.emplace(key, &o).second) return;
        parent[key] = parentKey;
        auto& list = children[key];
        std::unordered_map<std::string, size_t> unnamedRank;
        for (const auto& c : o.Children) {
            std::string k = c.Name.empty() ? key + "/" + Folded(c.Class) + "#" +
                                                 std::to_string(unnamedRank[c.Class]++)
                                           : Folded(c.Name);
            // A name used twice (a frame's own components) is keyed by its parent too.
            if (objects.count(k)) k = key + "/" + k;
            while (objects.count(k))
                k += "'";
            list.push_back(k);
            Add(c, k, key);
        }
    }
    void Index() {
        if (!form.HasRoot) return;
        rootKey = form.Root.Name.empty() ? "/" + Folded(form.Root.Class) : Folded(form.Root.Name);
        Add(form.Root, rootKey, "");
    }
    const FormObject* Find(const std::string& key) const {
        auto it = objects.find(key);
        return it == objects.end() ? nullptr : it->second;
    }
    std::string ParentOf(const std::string& key) const {
        auto it = parent.find(key);
        return it == parent.end() ? std::string() : it->second;
    }
};

bool SameProperties(const FormObject& a, const FormObject& b) {
    if (a.Properties.size() != b.Properties.size()) return false;
    for (size_t i = 0; i < a.Properties.size(); ++i)
        if (!SameName(a.Properties[i].Name, b.Properties[i].Name) ||
            !(a.Properties[i].Value == b.Properties[i].Value))
            return false;
    return true;
}

bool SameHeader(const FormObject& a, const FormObject& b) {
    return SameName(a.Class, b.Class) && a.Kind == b.Kind && a.Index == b.Index;
}

bool SameSubtree(const FormObject& a, const FormObject& b) {
    if (!SameHeader(a, b) || !SameName(a.Name, b.Name) || !SameProperties(a, b) ||
        a.Children.size() != b.Children.size())
        return false;
    for (size_t i = 0; i < a.Children.size(); ++i)
        if (!SameSubtree(a.Children[i], b.Children[i])) return false;
    return true;
}

// A property's key in its object: its name without case, and for a name written twice (real
// forms have them) its occurrence.
std::vector<std::string> PropertyKeys(const FormObject* o) {
    std::vector<std::string> keys;
    if (!o) return keys;
    std::unordered_map<std::string, int> seen;
    for (const auto& p : o->Properties) {
        std::string k = Folded(p.Name);
        if (const int n = seen[k]++) k += "#" + std::to_string(n);
        keys.push_back(std::move(k));
    }
    return keys;
}

const FormProperty* FindProperty(const FormObject* o, const std::vector<std::string>& keys,
                                 const std::string& key) {
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == key) return &o->Properties[i];
    return nullptr;
}

bool SameValue(const FormProperty* a, const FormProperty* b) {
    if (!a || !b) return a == b;
    return a->Value == b->Value;
}

// The merged form as a plan: which side's lines make each part.
struct PropertyPlan {
    Side side = kLocal;
    const FormProperty* property = nullptr;
    bool conflict = false;
    const FormProperty* versions[3] = {nullptr, nullptr, nullptr};
};

struct ObjectPlan {
    std::string key;
    Side side = kLocal;       // whose lines give the object's first line and its "end"
    Side headerSide = kLocal; // whose first line (class, kind, position)
    const FormObject* object = nullptr;
    std::vector<PropertyPlan> properties;
    std::vector<ObjectPlan> children;
    // Added on both sides unlike, or deleted on one side and edited on the other: the
    // whole object of each side between conflict markers.
    bool conflict = false;
    const FormObject* versions[3] = {nullptr, nullptr, nullptr};
};

// Lines after the marker of a layout the plan cannot rebuild from lines (two parts on one
// line): such forms merge as lines.
bool OwnLines(const FormObject& o) {
    int last = o.FirstLine;
    for (const auto& p : o.Properties) {
        if (p.FirstLine <= last) return false;
        last = p.LastLine;
    }
    for (const auto& c : o.Children) {
        if (c.FirstLine <= last || !OwnLines(c)) return false;
        last = c.LastLine;
    }
    return o.LastLine > last;
}

class Merger {
public:
    Merger(Version (&v)[3], const NoiseRules& noise, std::vector<std::string>& notes)
        : v_(v), noise_(noise), notes_(notes) {}

    int conflicts = 0;

    ObjectPlan Plan() {
        Decide();
        return PlanObject(v_[kLocal].rootKey, "");
    }

private:
    bool In(Side s, const std::string& key) const { return v_[s].objects.count(key) > 0; }

    // Whether a side edited an object it kept (its own first line or properties).
    bool Edited(Side s, const std::string& key) const {
        const FormObject* b = v_[kBase].Find(key);
        const FormObject* o = v_[s].Find(key);
        return b && o && (!SameHeader(*b, *o) || !SameProperties(*b, *o));
    }

    // Where each object of the result goes: kept objects follow the side that moved them.
    void Decide() {
        std::unordered_set<std::string> keys;
        for (const Side s : {kLocal, kRemote})
            for (const auto& [key, o] : v_[s].objects)
                keys.insert(key);
        for (const auto& key : keys) {
            const bool b = In(kBase, key), l = In(kLocal, key), r = In(kRemote, key);
            if (b && (!l || !r)) {
                // Deleted on one side: gone, unless the other side edited it.
                const Side kept = l ? kLocal : kRemote;
                if (!Edited(kept, key)) continue;
                conflictKeys_.insert(key);
            } else if (!b && l && r &&
                       !SameSubtree(*v_[kLocal].Find(key), *v_[kRemote].Find(key))) {
                conflictKeys_.insert(key);
            }
            std::string parent;
            if (l && r) {
                const std::string pb = v_[kBase].ParentOf(key), pl = v_[kLocal].ParentOf(key);
                parent = (b && pl == pb) ? v_[kRemote].ParentOf(key) : pl;
            } else {
                parent = v_[l ? kLocal : kRemote].ParentOf(key);
            }
            parent_[key] = parent;
        }
        // A parent that is gone takes its children with it, as deleting a panel deletes
        // its buttons; they are then no part of the result.
        for (const auto& [key, parent] : parent_)
            if (!parent.empty()) members_[parent].push_back(key);
    }

    bool Reordered(Side s, const std::string& parent) const {
        auto bi = v_[kBase].children.find(parent);
        auto si = v_[s].children.find(parent);
        if (bi == v_[kBase].children.end() || si == v_[s].children.end()) return false;
        std::vector<std::string> a, b;
        const std::unordered_set<std::string> inB(bi->second.begin(), bi->second.end());
        const std::unordered_set<std::string> inS(si->second.begin(), si->second.end());
        for (const auto& k : bi->second)
            if (inS.count(k)) a.push_back(k);
        for (const auto& k : si->second)
            if (inB.count(k)) b.push_back(k);
        return a != b;
    }

    // The children of a parent in the result: in the order of the side that reordered them,
    // the other side's additions after the sibling they follow there.
    std::vector<std::string> ChildOrder(const std::string& parent) {
        auto mi = members_.find(parent);
        if (mi == members_.end()) return {};
        const std::unordered_set<std::string> members(mi->second.begin(), mi->second.end());
        const Side first = Reordered(kLocal, parent)    ? kLocal
                           : Reordered(kRemote, parent) ? kRemote
                                                        : kLocal;
        const Side second = first == kLocal ? kRemote : kLocal;
        std::vector<std::string> order;
        std::unordered_set<std::string> placed;
        auto sideChildren = [&](Side s) -> const std::vector<std::string>& {
            static const std::vector<std::string> kNone;
            auto it = v_[s].children.find(parent);
            return it == v_[s].children.end() ? kNone : it->second;
        };
        for (const auto& k : sideChildren(first))
            if (members.count(k) && placed.insert(k).second) order.push_back(k);
        std::string after;
        for (const auto& k : sideChildren(second)) {
            if (!members.count(k)) continue;
            if (placed.insert(k).second) {
                auto at = order.begin();
                if (!after.empty()) {
                    at = std::find(order.begin(), order.end(), after);
                    at = at == order.end() ? order.end() : at + 1;
                }
                order.insert(at, k);
            }
            after = k;
        }
        for (const auto& k : mi->second) // moved in from elsewhere by the other side only
            if (placed.insert(k).second) order.push_back(k);
        return order;
    }

    ObjectPlan PlanObject(const std::string& key, const std::string& path) {
        visited_.insert(key);
        ObjectPlan plan;
        plan.key = key;
        for (const Side s : {kBase, kLocal, kRemote})
            plan.versions[s] = v_[s].Find(key);
        plan.side = plan.versions[kLocal] ? kLocal : kRemote;
        plan.object = plan.versions[plan.side];
        const std::string here =
            path.empty() ? PathStep(*plan.object) : path + "." + PathStep(*plan.object);
        if (conflictKeys_.count(key)) {
            plan.conflict = true;
            ++conflicts;
            return plan;
        }
        const FormObject *b = plan.versions[kBase], *l = plan.versions[kLocal],
                         *r = plan.versions[kRemote];
        plan.headerSide = plan.side;
        if (b && l && r && SameHeader(*b, *l) && !SameHeader(*b, *r)) plan.headerSide = kRemote;
        if (b && l && r && !SameHeader(*b, *l) && !SameHeader(*b, *r) && !SameHeader(*l, *r))
            notes_.push_back(here + ": class changed on both sides; LOCAL's kept");
        PlanProperties(plan, here);
        // Moves on both sides can make a parent its own descendant: such objects are left out.
        for (const auto& child : ChildOrder(key))
            if (!visited_.count(child)) plan.children.push_back(PlanObject(child, here));
        return plan;
    }

    void PlanProperties(ObjectPlan& plan, const std::string& here) {
        const FormObject *b = plan.versions[kBase], *l = plan.versions[kLocal],
                         *r = plan.versions[kRemote];
        const Side side = l ? kLocal : kRemote;
        const FormObject* parent = v_[side].Find(v_[side].ParentOf(plan.key));
        const NoiseRules::Place place =
            NoisePlace(*plan.versions[side], parent,
                       Folded(v_[kLocal].form.Root.Class).find("datamodule") != std::string::npos);
        // LOCAL's names in order, REMOTE's additions after the property they follow there.
        const std::vector<std::string> keys[3] = {PropertyKeys(b), PropertyKeys(l),
                                                  PropertyKeys(r)};
        std::vector<std::string> names = keys[kLocal];
        std::string after;
        for (const auto& n : keys[kRemote]) {
            if (std::find(names.begin(), names.end(), n) == names.end()) {
                auto at = names.begin();
                if (!after.empty()) {
                    at = std::find(names.begin(), names.end(), after);
                    at = at == names.end() ? names.end() : at + 1;
                }
                names.insert(at, n);
            }
            after = n;
        }
        for (const auto& n : names) {
            const FormProperty* pb = FindProperty(b, keys[kBase], n);
            const FormProperty* pl = FindProperty(l, keys[kLocal], n);
            const FormProperty* pr = FindProperty(r, keys[kRemote], n);
            PropertyPlan p;
            if (!r || SameValue(pl, pr) || (l && SameValue(pr, pb))) {
                p.side = kLocal;
                p.property = pl;
            } else if (!l || SameValue(pl, pb)) {
                p.side = kRemote;
                p.property = pr;
            } else if (noise_.IsNoise((pl ? pl : pr)->Name, place)) {
                p.side = kLocal;
                p.property = pl;
                notes_.push_back(here + "." + (pl ? pl : pr)->Name +
                                 ": designer noise changed on both sides; LOCAL's value taken");
            } else {
                p.conflict = true;
                p.versions[kBase] = pb;
                p.versions[kLocal] = pl;
                p.versions[kRemote] = pr;
                ++conflicts;
            }
            if (p.property || p.conflict) plan.properties.push_back(p);
        }
    }

    Version (&v_)[3];
    const NoiseRules& noise_;
    std::vector<std::string>& notes_;
    std::unordered_set<std::string> conflictKeys_, visited_;
    std::unordered_map<std::string, std::string> parent_;
    std::unordered_map<std::string, std::vector<std::string>> members_;
};

size_t IndentOf(std::string_view line) {
    return std::min(line.find_first_not_of(' '), line.size());
}

// Writes the plan from the sides' lines, each part moved to its depth in the result.
class LineWriter {
public:
    LineWriter(const Version (&v)[3], const std::string (&labels)[3]) : v_(v), labels_(labels) {}

    void Object(const ObjectPlan& plan, size_t indent) {
        if (plan.conflict) {
            Conflict(
                [&](Side s) {
                    const FormObject* o = plan.versions[s];
                    if (o) Lines(s, o->FirstLine, o->LastLine, Shift(s, *o, indent));
                },
                false);
            return;
        }
        const FormObject& o = *plan.object;
        const FormObject& head = *plan.versions[plan.headerSide];
        Lines(plan.headerSide, head.FirstLine, head.FirstLine,
              Shift(plan.headerSide, head, indent));
        for (const auto& p : plan.properties) {
            if (!p.conflict) {
                Lines(p.side, p.property->FirstLine, p.property->LastLine,
                      Shift(p.side, *plan.versions[p.side], indent));
                continue;
            }
            Conflict(
                [&](Side s) {
                    if (p.versions[s])
                        Lines(s, p.versions[s]->FirstLine, p.versions[s]->LastLine,
                              Shift(s, *plan.versions[s], indent));
                },
                true);
        }
        for (const auto& c : plan.children)
            Object(c, indent + 2);
        Lines(plan.side, o.LastLine, o.LastLine, Shift(plan.side, o, indent));
    }

    std::vector<std::string> Take() { return std::move(out_); }

private:
    long Shift(Side s, const FormObject& o, size_t indent) const {
        return static_cast<long>(indent) -
               static_cast<long>(IndentOf(v_[s].form.Lines[static_cast<size_t>(o.FirstLine - 1)]));
    }

    void Lines(Side s, int first, int last, long shift) {
        const auto& lines = v_[s].form.Lines;
        for (int i = first; i <= last && i >= 1 && static_cast<size_t>(i) <= lines.size(); ++i) {
            std::string line(lines[static_cast<size_t>(i - 1)]);
            if (shift > 0)
                line.insert(0, static_cast<size_t>(shift), ' ');
            else if (shift < 0)
                line.erase(0, std::min(IndentOf(line), static_cast<size_t>(-shift)));
            out_.push_back(std::move(line));
        }
    }

    void Conflict(const std::function<void(Side)>& side, bool withBase) {
        out_.push_back("<<<<<<< " + labels_[kLocal]);
        side(kLocal);
        if (withBase) {
            out_.push_back("||||||| " + labels_[kBase]);
            side(kBase);
        }
        out_.push_back("=======");
        side(kRemote);
        out_.push_back(">>>>>>> " + labels_[kRemote]);
    }

    const Version (&v_)[3];
    const std::string (&labels_)[3];
    std::vector<std::string> out_;
};

// The model of the result, for binary forms: a conflict keeps LOCAL's part.
FormObject ModelOf(const ObjectPlan& plan) {
    const FormObject* src = plan.object;
    if (plan.conflict) return plan.versions[kLocal] ? *plan.versions[kLocal] : FormObject{};
    FormObject o;
    const FormObject& head = *plan.versions[plan.headerSide];
    o.Kind = head.Kind;
    o.Name = src->Name;
    o.Class = head.Class;
    o.Index = head.Index;
    for (const auto& p : plan.properties) {
        const FormProperty* chosen = p.conflict ? p.versions[kLocal] : p.property;
        if (chosen) o.Properties.push_back(*chosen);
    }
    for (const auto& c : plan.children) {
        FormObject child = ModelOf(c);
        if (!child.Class.empty()) o.Children.push_back(std::move(child));
    }
    return o;
}

uint64_t LineKey(std::string_view line) {
    return std::hash<std::string_view>{}(line);
}

// Forms that do not read whole merge as lines, as any text would.
std::vector<std::string> MergeLines(const Version (&v)[3], const std::string (&labels)[3],
                                    int& conflicts) {
    std::vector<uint64_t> keys[3];
    for (int s = 0; s < 3; ++s)
        for (const auto& line : v[s].form.Lines)
            keys[s].push_back(LineKey(line));
    std::vector<std::string> out;
    auto copy = [&](int s, int32_t from, int32_t to) {
        for (int32_t i = from; i < to; ++i)
            out.emplace_back(v[s].form.Lines[static_cast<size_t>(i)]);
    };
    for (const auto& h : merge3::Diff3(keys[0], keys[1], keys[2])) {
        switch (h.kind) {
        case merge3::HunkKind::Stable:
        case merge3::HunkKind::TakeLocal: copy(kLocal, h.local, h.localEnd); break;
        case merge3::HunkKind::TakeRemote: copy(kRemote, h.remote, h.remoteEnd); break;
        case merge3::HunkKind::Conflict:
            ++conflicts;
            out.push_back("<<<<<<< " + labels[kLocal]);
            copy(kLocal, h.local, h.localEnd);
            out.push_back("||||||| " + labels[kBase]);
            copy(kBase, h.base, h.baseEnd);
            out.push_back("=======");
            copy(kRemote, h.remote, h.remoteEnd);
            out.push_back(">>>>>>> " + labels[kRemote]);
            break;
        }
    }
    return out;
}

} // namespace

FormMergeResult MergeForms(const std::string& base, const std::string& local,
                           const std::string& remote, const std::string (&labels)[3],
                           const std::vector<std::string>& names, const NoiseRules& noise) {
    FormMergeResult result;
    Version v[3];
    const std::string* bytes[3] = {&base, &local, &remote};
    bool whole = true;
    for (int s = 0; s < 3; ++s) {
        const std::string name =
            static_cast<size_t>(s) < names.size() ? names[static_cast<size_t>(s)] : labels[s];
        v[s].form = ReadForm(*bytes[s], name);
        for (const auto& n : v[s].form.Notes)
            result.Notes.push_back(n.Text());
        // Text after the form is kept only by a merge of lines.
        whole = whole && v[s].form.Notes.empty() && v[s].form.HasRoot && !v[s].form.TrailingLine;
        v[s].Index();
    }
    bool binary = false;
    for (int s = 0; s < 3; ++s)
        binary = binary || v[s].form.Binary;
    if (whole && !binary)
        for (int s = 0; s < 3; ++s)
            whole = whole && OwnLines(v[s].form.Root);
    if (whole && v[kLocal].rootKey != v[kRemote].rootKey) whole = false;

    if (whole) {
        Merger m(v, noise, result.Notes);
        const ObjectPlan plan = m.Plan();
        result.Conflicts = m.conflicts;
        if (binary) {
            // Written from the model: a binary result, or the text form for a text LOCAL.
            if (result.Conflicts)
                result.Notes.push_back("conflicts in binary forms are not marked: LOCAL's "
                                       "side of each was written");
            const FormObject merged = ModelOf(plan);
            if (v[kLocal].form.Binary) {
                result.Bytes = FormToBinary(merged);
            } else {
                const io::DecodedText text = io::DecodeSourceBytes(local, labels[kLocal]);
                const io::SourceTextFormat format = io::DetectTextFormat(text.Text, text.Encoding);
                result.Bytes =
                    io::EncodeSourceText(FormToText(merged, format.LineBreak), text.Encoding);
            }
            return result;
        }
        LineWriter w(v, labels);
        w.Object(
            plan,
            IndentOf(v[kLocal].form.Lines[static_cast<size_t>(v[kLocal].form.Root.FirstLine - 1)]));
        const io::DecodedText text = io::DecodeSourceBytes(local, labels[kLocal]);
        const io::SourceTextFormat format =
            io::OutputFormatOf(io::DetectTextFormat(text.Text, text.Encoding));
        result.Bytes = io::AssembleSourceText(w.Take(), format);
        return result;
    }
    if (binary) throw std::runtime_error("The binary forms cannot be read whole: not merged");
    result.Notes.push_back("merged as lines: the forms do not read whole");
    const io::DecodedText text = io::DecodeSourceBytes(local, labels[kLocal]);
    const io::SourceTextFormat format =
        io::OutputFormatOf(io::DetectTextFormat(text.Text, text.Encoding));
    result.Bytes = io::AssembleSourceText(MergeLines(v, labels, result.Conflicts), format);
    return result;
}

} // namespace quennet::forms
