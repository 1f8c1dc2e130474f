// The report and tree texts of a form comparison.
#include "forms/form_report.h"

#include "diff/compare_sources.h"

namespace quennet::forms {

namespace {

char Mark(FormChange c) {
    return c == FormChange::Added ? '+' : c == FormChange::Removed ? '-' : '*';
}

} // namespace

bool ObjectChangedItself(const FormDiffNode& n) {
    return n.Kind == FormNodeKind::Text || n.Change != FormChange::Changed ||
           !n.OldParent.empty() || n.Reordered || !SameName(n.OldClass, n.NewClass) ||
           !n.OldKind.empty() || !n.OldIndex.empty();
}

namespace {

void ValueLines(std::string& out, const FormDiffNode& n, const std::string& pad) {
    const std::string mark(1, Mark(n.Change));
    // An item has no value of its own; its order number stands in for one.
    const bool item = n.Kind == FormNodeKind::Item;
    if (n.Change == FormChange::Added) {
        out += pad + "+ " + n.Caption + (item ? "" : " = " + n.NewValue) + "\n";
    } else if (n.Change == FormChange::Removed) {
        out += pad + "- " + n.Caption + (item ? "" : " = " + n.OldValue) + "\n";
    } else {
        out += pad + "* " + n.Caption + "\n";
        // Parts that changed say more than the whole: a list or collection shows them alone.
        if (n.Children.empty() && !(item && n.OldValue == n.NewValue)) {
            out += pad + "  - " + n.OldValue + "\n";
            out += pad + "  + " + n.NewValue + "\n";
        }
        for (const auto& c : n.Children)
            ValueLines(out, c, pad + "  ");
    }
}

void ObjectLines(std::string& out, const FormDiffNode& n, bool noiseSection) {
    if (n.Kind == FormNodeKind::Text) {
        out += std::string(1, Mark(n.Change)) + " " + n.Caption + "\n";
        return;
    }
    if (n.Change == FormChange::Added) {
        out += "+ " + n.Caption + ": " + n.NewClass + "\n";
        return;
    }
    if (n.Change == FormChange::Removed) {
        out += "- " + n.Caption + ": " + n.OldClass + "\n";
        return;
    }
    out += "* " + n.Caption + "\n";
    if (!noiseSection) {
        if (!SameName(n.OldClass, n.NewClass))
            out += "  class " + n.OldClass + " -> " + n.NewClass + "\n";
        if (!n.OldKind.empty()) out += "  kind " + n.OldKind + " -> " + n.NewKind + "\n";
        if (!n.OldIndex.empty()) out += "  position " + n.OldIndex + " -> " + n.NewIndex + "\n";
        if (!n.OldParent.empty()) out += "  moved from " + n.OldParent + "\n";
        if (n.Reordered) out += "  moved among its siblings\n";
    }
    for (const auto& c : n.Children)
        ValueLines(out, c, "  ");
}

void TreeLines(std::string& out, const FormDiffNode& n, int depth) {
    const int state = n.Change == FormChange::Removed ? 2 : n.Change == FormChange::Added ? 3 : 4;
    auto range = [](int a, int b) {
        return a ? std::to_string(a) + "-" + std::to_string(b) : std::string("-");
    };
    out += std::string(static_cast<size_t>(depth) * 2, ' ') + n.Caption + "\t" +
           std::to_string(state) + "\t" + range(n.OldFirst, n.OldLast) + "\t" +
           range(n.NewFirst, n.NewLast) + (n.Noise ? "\tnoise" : "") + "\n";
    for (const auto& c : n.Children)
        TreeLines(out, c, depth + 1);
}

bool HasNoise(const FormDiffNode& n) {
    for (const auto& c : n.Children)
        if (c.Noise || HasNoise(c)) return true;
    return false;
}

} // namespace

const char* ChangeName(FormChange change) {
    switch (change) {
    case FormChange::Added: return "added";
    case FormChange::Removed: return "removed";
    case FormChange::Changed: return "changed";
    }
    return "changed";
}

const char* NodeKindName(FormNodeKind kind) {
    switch (kind) {
    case FormNodeKind::Object: return "object";
    case FormNodeKind::Property: return "property";
    case FormNodeKind::Item: return "item";
    case FormNodeKind::Value: return "value";
    case FormNodeKind::Text: return "text";
    }
    return "object";
}

FormDiffNode WithNoise(const FormDiffNode& n, bool noise) {
    FormDiffNode copy = n;
    copy.Children.clear();
    for (const auto& c : n.Children)
        if (c.Noise == noise) copy.Children.push_back(c);
    return copy;
}

const char* NoiseModeName(NoiseMode mode) {
    switch (mode) {
    case NoiseMode::Show: return "show";
    case NoiseMode::Hide: return "hide";
    case NoiseMode::Ignore: return "ignore";
    }
    return "show";
}

NoiseMode NoiseModeNamed(std::string_view name) {
    for (NoiseMode m : {NoiseMode::Hide, NoiseMode::Ignore})
        if (name == NoiseModeName(m)) return m;
    return NoiseMode::Show;
}

bool FormsEquivalent(const FormComparison& c, NoiseMode mode) {
    return c.Changes == 0 && (mode == NoiseMode::Ignore || c.NoiseChanges == 0);
}

std::string FormReportBody(const FormComparison& c, NoiseMode mode) {
    std::string out;
    for (const auto& stop : c.Stops)
        out += "! " + stop.File + "(" + std::to_string(stop.Line) + "," +
               std::to_string(stop.Column) + "): " + stop.Message +
               "; the form is compared as lines from here on\n";
    const char* heading = nullptr;
    for (const auto& n : c.Objects) {
        const FormDiffNode real = WithNoise(n, false);
        if (real.Children.empty() && !ObjectChangedItself(n)) continue;
        const char* h = n.Kind == FormNodeKind::Text ? ">>> Text\n" : ">>> Objects\n";
        if (h != heading) out += h;
        heading = h;
        ObjectLines(out, real, false);
    }
    if (c.NoiseChanges == 0 || mode == NoiseMode::Ignore) return out;
    out += ">>> Designer noise: " + std::to_string(c.NoiseChanges) +
           (c.NoiseChanges == 1 ? " change" : " changes") +
           (mode == NoiseMode::Hide ? " hidden\n" : "\n");
    if (mode == NoiseMode::Hide) return out;
    for (const auto& n : c.Objects)
        if (HasNoise(n)) ObjectLines(out, WithNoise(n, true), true);
    return out;
}

std::string FormReportText(const FormComparison& c, NoiseMode mode, const std::string& oldName,
                           const std::string& newName) {
    std::string equivalent = std::string(diff::kEquivalentSentence) + "\n";
    // A fault is reported even where the rest compares equal, as a unit's stop is.
    if (FormsEquivalent(c, mode) && c.Stops.empty()) return equivalent;
    std::string out =
        "Diff report for\n  " + oldName + "\n  " + newName + "\n\n" + FormReportBody(c, mode);
    if (FormsEquivalent(c, mode)) out += equivalent;
    return out;
}

std::vector<FormDisplayPart> FormDisplayParts(const FormComparison& c, NoiseMode mode) {
    std::vector<FormDisplayPart> parts;
    auto add = [&](const char* kind, const std::string& name, const FormDiffNode& n) {
        parts.push_back({kind, name, n.Change, n.OldFirst, n.OldLast, n.NewFirst, n.NewLast});
    };
    auto properties = [&](const FormDiffNode& object, bool noise) {
        for (const auto& p : object.Children)
            if (p.Noise == noise)
                add(noise ? "designer noise" : "property", object.Caption + "." + p.Caption, p);
    };
    for (const auto& n : c.Objects) {
        if (n.Kind == FormNodeKind::Text) {
            add("lines", n.Caption, n);
        } else if (n.Change != FormChange::Changed) {
            add("object", n.Caption, n);
        } else {
            // The object's own line says what became of its class, kind or place.
            if (ObjectChangedItself(n))
                parts.push_back({"object", n.Caption, n.Change, n.OldFirst, n.OldFirst, n.NewFirst,
                                 n.NewFirst});
            properties(n, false);
        }
    }
    if (mode == NoiseMode::Show)
        for (const auto& n : c.Objects)
            if (n.Kind == FormNodeKind::Object && n.Change == FormChange::Changed)
                properties(n, true);
    return parts;
}

std::string FormTreeText(const FormComparison& c, NoiseMode mode) {
    std::string out;
    for (const auto& n : c.Objects) {
        FormDiffNode shown = n;
        if (mode != NoiseMode::Show) {
            shown = WithNoise(n, false);
            if (shown.Children.empty() && !ObjectChangedItself(n)) continue;
        }
        TreeLines(out, shown, 0);
    }
    return out;
}

} // namespace quennet::forms
