// The main window's view of a form comparison.
#include "viewrules/form_view.h"

#include <algorithm>

#include "diff/compare_sources.h"
#include "forms/form_reader.h"
#include "forms/form_writer.h"
#include "io/source_file.h"

namespace quennet::viewrules {

using forms::FormChange;
using forms::FormDiffNode;
using forms::FormNodeKind;

namespace {

render::LineRange ViewRange(int first, int last) {
    if (first <= 0) return {};
    return {first - 1, std::max(first, last) - 1};
}

FormViewNode NodeOf(const FormDiffNode& n, std::string caption, bool dimmed) {
    FormViewNode v;
    v.Caption = std::move(caption);
    v.Change = n.Change;
    v.Dimmed = dimmed;
    v.Old = ViewRange(n.OldFirst, n.OldLast);
    v.New = ViewRange(n.NewFirst, n.NewLast);
    return v;
}

FormViewNode ValueNode(const FormDiffNode& n, bool dimmed) {
    std::string caption = n.Caption;
    const bool item = n.Kind == FormNodeKind::Item;
    if (n.Change == FormChange::Added && !item)
        caption += " = " + n.NewValue;
    else if (n.Change == FormChange::Removed && !item)
        caption += " = " + n.OldValue;
    else if (n.Change == FormChange::Changed && n.Children.empty() && n.OldValue != n.NewValue)
        caption += ": " + n.OldValue + " -> " + n.NewValue;
    FormViewNode v = NodeOf(n, std::move(caption), dimmed);
    for (const auto& c : n.Children)
        v.Children.push_back(ValueNode(c, dimmed));
    return v;
}

// A changed object's own changes, each on the object's first line.
void OwnChanges(FormViewNode& v, const FormDiffNode& n) {
    auto add = [&](std::string caption) {
        FormViewNode row;
        row.Caption = std::move(caption);
        row.Old = ViewRange(n.OldFirst, n.OldFirst);
        row.New = ViewRange(n.NewFirst, n.NewFirst);
        v.Children.push_back(std::move(row));
    };
    if (!forms::SameName(n.OldClass, n.NewClass)) add("class " + n.OldClass + " -> " + n.NewClass);
    if (!n.OldKind.empty()) add("kind " + n.OldKind + " -> " + n.NewKind);
    if (!n.OldIndex.empty()) add("position " + n.OldIndex + " -> " + n.NewIndex);
    if (!n.OldParent.empty()) add("moved from " + n.OldParent);
    if (n.Reordered) add("moved among its siblings");
}

FormViewNode ObjectNode(const FormDiffNode& n, bool noise) {
    if (n.Kind == FormNodeKind::Text) return NodeOf(n, n.Caption, noise);
    const std::string caption = n.Change == FormChange::Added     ? n.Caption + ": " + n.NewClass
                                : n.Change == FormChange::Removed ? n.Caption + ": " + n.OldClass
                                                                  : n.Caption;
    FormViewNode v = NodeOf(n, caption, noise);
    if (n.Change != FormChange::Changed) return v;
    if (!noise) OwnChanges(v, n);
    for (const auto& c : n.Children)
        if (c.Noise == noise) v.Children.push_back(ValueNode(c, noise));
    return v;
}

bool HasNoise(const FormDiffNode& n) {
    return std::any_of(n.Children.begin(), n.Children.end(),
                       [](const FormDiffNode& c) { return c.Noise; });
}

void CollectSpans(const std::vector<FormViewNode>& nodes, DifferenceSpans& spans) {
    for (const FormViewNode& n : nodes) {
        if (n.Group || n.Dimmed) continue;
        if (!n.Children.empty()) {
            CollectSpans(n.Children, spans);
            continue;
        }
        const MarkKind kind = n.Change == FormChange::Added     ? MarkKind::Added
                              : n.Change == FormChange::Removed ? MarkKind::Removed
                                                                : MarkKind::Changed;
        if (n.Old.IsSet()) spans.Old.push_back({n.Old.First, n.Old.Last, kind});
        if (n.New.IsSet()) spans.New.push_back({n.New.First, n.New.Last, kind});
    }
}

void CollectNoise(const std::vector<FormDiffNode>& objects, FormView& view) {
    for (const FormDiffNode& o : objects)
        for (const FormDiffNode& p : o.Children) {
            if (!p.Noise) continue;
            const std::string tip = "Designer noise: " + o.Caption + "." + p.Caption;
            if (const auto r = ViewRange(p.OldFirst, p.OldLast); r.IsSet())
                view.NoiseOld.push_back({r.First, r.Last, tip});
            if (const auto r = ViewRange(p.NewFirst, p.NewLast); r.IsSet())
                view.NoiseNew.push_back({r.First, r.Last, tip});
        }
    for (auto* spans : {&view.NoiseOld, &view.NoiseNew})
        std::sort(spans->begin(), spans->end(),
                  [](const InactiveSpan& a, const InactiveSpan& b) { return a.First < b.First; });
}

void SortSpans(std::vector<LineSpan>& spans) {
    std::sort(spans.begin(), spans.end(), [](const LineSpan& a, const LineSpan& b) {
        return a.First != b.First ? a.First < b.First : a.Last < b.Last;
    });
    spans.erase(std::unique(spans.begin(), spans.end()), spans.end());
}

bool Steppable(const FormViewNode& n) {
    return !n.Group && n.Children.empty() && (n.Old.IsSet() || n.New.IsSet());
}

void Outline(const forms::FormObject& o, const std::string& parent, std::vector<NamedSpan>& out) {
    const std::string path =
        parent.empty() ? forms::PathStep(o) : parent + "." + forms::PathStep(o);
    if (o.FirstLine > 0)
        out.push_back({path, o.FirstLine - 1, std::max(o.FirstLine, o.LastLine) - 1});
    for (const forms::FormProperty& p : o.Properties)
        if (p.FirstLine > 0)
            out.push_back(
                {path + "." + p.Name, p.FirstLine - 1, std::max(p.FirstLine, p.LastLine) - 1});
    for (const forms::FormObject& c : o.Children)
        Outline(c, path, out);
}

void Flatten(const std::vector<FormViewNode>& nodes, std::vector<const FormViewNode*>& out) {
    for (const FormViewNode& n : nodes) {
        out.push_back(&n);
        Flatten(n.Children, out);
    }
}

} // namespace

bool IsFormPair(const std::string& oldName, const std::string& oldText, const std::string& newName,
                const std::string& newText) {
    return forms::IsForm(oldName, oldText) || forms::IsForm(newName, newText);
}

FormView CompareFormTexts(const FormSideText& oldSide, const FormSideText& newSide,
                          const forms::NoiseRules& rules, forms::NoiseMode mode) {
    auto read = [](const FormSideText& side) {
        return forms::ReadTextForm(
            side.Text, side.Utf8 ? io::TextEncoding::Utf8Bom : io::TextEncoding::Bytes, side.Name);
    };
    const forms::FormFile a = read(oldSide);
    const forms::FormFile b = read(newSide);
    FormView view;
    view.Comparison = forms::CompareForms(a, b, rules);
    view.Mode = mode;
    view.Tree = FormViewTree(view.Comparison, mode);
    CollectSpans(view.Tree, view.Spans);
    CollectNoise(view.Comparison.Objects, view);
    SortSpans(view.Spans.Old);
    SortSpans(view.Spans.New);
    return view;
}

std::string FormOutcomeMessage(const FormView& view) {
    if (!view.Tree.empty()) return {};
    const forms::FormComparison& c = view.Comparison;
    if (forms::FormsEquivalent(c, view.Mode)) return diff::kEquivalentSentence;
    return "Only designer noise differs: " + std::to_string(c.NoiseChanges) +
           (c.NoiseChanges == 1 ? " change" : " changes") + " hidden.";
}

std::vector<FormViewNode> FormViewTree(const forms::FormComparison& c, forms::NoiseMode mode) {
    std::vector<FormViewNode> tree;
    for (const FormDiffNode& n : c.Objects) {
        FormViewNode v = ObjectNode(n, false);
        if (n.Kind == FormNodeKind::Object && v.Children.empty() && !ObjectChangedItself(n))
            continue;
        tree.push_back(std::move(v));
    }
    if (mode != forms::NoiseMode::Show || c.NoiseChanges == 0) return tree;
    FormViewNode group;
    group.Caption = "Designer noise: " + std::to_string(c.NoiseChanges) +
                    (c.NoiseChanges == 1 ? " change" : " changes");
    group.Group = true;
    group.Dimmed = true;
    for (const FormDiffNode& n : c.Objects)
        if (n.Kind == FormNodeKind::Object && n.Change == FormChange::Changed && HasNoise(n))
            group.Children.push_back(ObjectNode(n, true));
    tree.push_back(std::move(group));
    return tree;
}

const FormViewNode* StepFormNode(const std::vector<FormViewNode>& tree, const FormViewNode* current,
                                 bool forward) {
    std::vector<const FormViewNode*> order;
    Flatten(tree, order);
    const auto at = std::find(order.begin(), order.end(), current);
    if (forward) {
        for (auto it = at == order.end() ? order.begin() : at + 1; it != order.end(); ++it)
            if (Steppable(**it)) return *it;
        return nullptr;
    }
    for (auto it = at == order.end() ? order.rbegin() : std::make_reverse_iterator(at);
         it != order.rend(); ++it)
        if (Steppable(**it)) return *it;
    return nullptr;
}

std::optional<std::vector<std::string>> BinaryFormLines(const std::string& path) {
    if (!forms::IsBinaryForm(io::ReadRegularFileHead(path, 512))) return std::nullopt;
    const forms::FormFile f = forms::ReadFormFile(path);
    if (!f.HasRoot) return std::nullopt;
    return io::SplitLines(forms::FormToText(f.Root, "\n"));
}

std::vector<NamedSpan> OutlineForm(const std::vector<std::string>& lines,
                                   const std::string& fileName) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    const forms::FormFile f = forms::ReadTextForm(text, io::TextEncoding::Bytes, fileName);
    std::vector<NamedSpan> out;
    if (f.HasRoot) Outline(f.Root, "", out);
    return out;
}

} // namespace quennet::viewrules
