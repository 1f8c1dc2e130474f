// A unit and its form: components against published fields, fields against components, events
// against methods.
#include "forms/form_check.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "base/ascii.h"
#include "forms/form_reader.h"
#include "io/platform.h"
#include "io/source_file.h"

namespace quennet::forms {

namespace {

using model::MemberVisibility;
using model::TidClass;
using model::TidField;

std::string_view LastDotted(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

// The class and its ancestors as far as the unit declares them, nearest first.
std::vector<const TidClass*> ClassChain(const model::TPasSrc& unit, const TidClass* cls) {
    std::vector<const TidClass*> chain;
    while (cls && chain.size() < 64 && std::find(chain.begin(), chain.end(), cls) == chain.end()) {
        chain.push_back(cls);
        // The first ancestor is the class; interfaces may follow. A generic's parameters may
        // hold commas of their own.
        std::string_view ancestors = cls->Ancestors;
        int depth = 0;
        size_t end = 0;
        for (; end < ancestors.size(); ++end) {
            if (ancestors[end] == '<') ++depth;
            if (ancestors[end] == '>') --depth;
            if (ancestors[end] == ',' && depth == 0) break;
        }
        const std::string_view first = ancestors.substr(0, end);
        if (first.empty()) break;
        const TidClass* next = model::FindByName(unit.Classes, first);
        if (!next) next = model::FindByName(unit.Classes, LastDotted(first));
        cls = next;
    }
    return chain;
}

const TidField* FieldOf(const std::vector<const TidClass*>& chain, std::string_view name) {
    for (const TidClass* c : chain)
        if (const TidField* f = model::FindByName(c->Fields, name)) return f;
    return nullptr;
}

// A method's name without the parameter list that tells overloads apart.
bool HasMethod(const std::vector<const TidClass*>& chain, std::string_view name) {
    for (const TidClass* c : chain)
        for (const auto& m : c->Methods) {
            std::string_view own = m->Name;
            own = own.substr(0, own.find_first_of("(<"));
            if (SameName(own, name)) return true;
        }
    return false;
}

bool Streamed(MemberVisibility v) {
    return v == MemberVisibility::Default || v == MemberVisibility::Published;
}

const char* SectionName(MemberVisibility v) {
    switch (v) {
    case MemberVisibility::Private: return "private";
    case MemberVisibility::Protected: return "protected";
    case MemberVisibility::Public: return "public";
    case MemberVisibility::Automated: return "automated";
    default: return "published";
    }
}

// A field's type as a dotted name, without the attributes before it and the hint directives
// after it; the text itself when it is more than a name (a generic, an array).
std::string_view TypeName(std::string_view text) {
    while (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos) return text;
        text.remove_prefix(close + 1);
        while (!text.empty() && text[0] == ' ')
            text.remove_prefix(1);
    }
    size_t end = 0;
    while (end < text.size() && (base::IsIdentChar(text[end]) || text[end] == '.'))
        ++end;
    if (end == text.size()) return text;
    if (text[end] != ' ') return text;
    for (const char* hint : {"deprecated", "platform", "library", "experimental"}) {
        const std::string_view rest = text.substr(end + 1);
        const std::string_view word = rest.substr(0, rest.find(' '));
        if (SameName(word, hint)) return text.substr(0, end);
    }
    return text;
}

// A field's type as a plain class name: "TButton", "StdCtrls.TButton"; generics, pointers,
// arrays and the unit's own non-class types are not components.
bool ComponentLikeType(const model::TPasSrc& unit, std::string_view type) {
    type = TypeName(type);
    if (type.find_first_of("<^[ ") != std::string_view::npos) return false;
    const std::string_view name = LastDotted(type);
    if (name.size() < 2 || base::AsciiUpper(name[0]) != 'T' || !base::IsAsciiLetter(name[1]))
        return false;
    for (const char c : name)
        if (!base::IsIdentChar(c)) return false;
    if (model::FindByName(unit.Types, name)) return false;
    if (const TidClass* c = model::FindByName(unit.Classes, name)) return c->Kind == "class";
    return true;
}

bool SameType(std::string_view fieldType, std::string_view cls) {
    fieldType = TypeName(fieldType);
    return SameName(fieldType, cls) || SameName(LastDotted(fieldType), LastDotted(cls));
}

// "OnClick = Button1Click": a name that opens with On and a capital, and a method's name as
// its value (not nil, not a method of another object).
bool IsEventHandler(const FormProperty& p) {
    const std::string_view name = LastDotted(p.Name);
    if (name.size() < 3 || name[0] != 'O' || name[1] != 'n' || name[2] < 'A' || name[2] > 'Z')
        return false;
    const FormValue& v = p.Value;
    return v.Kind == ValueKind::Identifier && !v.Text.empty() &&
           v.Text.find('.') == std::string::npos && !SameName(v.Text, "nil") &&
           !SameName(v.Text, "True") && !SameName(v.Text, "False");
}

struct Component {
    const FormObject* Object;
    // Streamed by an ancestor's form (inherited) or a frame's (inside an inline object): its
    // field may be declared where this unit cannot see it.
    bool Ancestors;
};

class Checker {
public:
    Checker(const model::TPasSrc& unit, const std::string& unitName, const FormFile& form,
            const std::string& formName)
        : unit_(unit), unitName_(unitName), form_(form), formName_(formName) {}

    std::vector<FormFinding> Run() {
        if (!form_.HasRoot) throw std::runtime_error(formName_ + ": no form object could be read");
        const FormObject& root = form_.Root;
        const TidClass* cls = model::FindByName(unit_.Classes, root.Class);
        if (!cls || cls->Kind != "class")
            throw std::runtime_error(unitName_ + ": the form's class " + root.Class +
                                     " is not declared in the unit");
        chain_ = ClassChain(unit_, cls);
        className_ = cls->Name;
        for (const FormObject& child : root.Children)
            Collect(child, false);
        Events(root, PathStep(root));
        Components();
        Fields(*cls);
        std::sort(out_.begin(), out_.end(), [](const FormFinding& a, const FormFinding& b) {
            return std::tie(a.File, a.Line, a.Message) < std::tie(b.File, b.Line, b.Message);
        });
        return std::move(out_);
    }

private:
    void Add(FormCheckKind kind, bool inForm, int line, std::string message) {
        out_.push_back({kind, inForm ? formName_ : unitName_, line, std::move(message)});
    }

    void Collect(const FormObject& o, bool insideFrame) {
        if (!o.Name.empty()) {
            components_.push_back({&o, insideFrame || o.Kind == ObjectKind::Inherited});
            names_.insert(base::LowerAscii(o.Name));
        }
        Events(o, PathStep(o));
        for (const FormObject& child : o.Children)
            Collect(child, insideFrame || o.Kind == ObjectKind::Inline);
    }

    void Events(const FormObject& o, const std::string& path) { EventsOf(o.Properties, path); }

    void EventsOf(const std::vector<FormProperty>& properties, const std::string& path) {
        for (const FormProperty& p : properties) {
            if (p.Value.Kind == ValueKind::Collection)
                for (const FormItem& item : p.Value.Items())
                    EventsOf(item.Properties, path + "." + p.Name);
            if (!IsEventHandler(p) || HasMethod(chain_, p.Value.Text)) continue;
            Add(FormCheckKind::NoMethod, true, p.FirstLine,
                "event " + path + "." + p.Name + " names " + p.Value.Text +
                    ", which is no method of " + className_);
        }
    }

    void Components() {
        for (const Component& c : components_) {
            const FormObject& o = *c.Object;
            const std::string what = "component " + o.Name + ": " + o.Class;
            const TidField* f = FieldOf(chain_, o.Name);
            if (!f) {
                if (!c.Ancestors)
                    Add(FormCheckKind::NoField, true, o.FirstLine,
                        what + " has no field in " + className_);
                continue;
            }
            if (!Streamed(f->Visibility))
                Add(FormCheckKind::NotPublished, true, o.FirstLine,
                    what + " has its field in a " + SectionName(f->Visibility) + " section of " +
                        className_ + ", not a published one");
            if (!SameType(f->TypeText, o.Class))
                Add(FormCheckKind::TypeMismatch, true, o.FirstLine,
                    what + " has the field " + f->Name + ": " + std::string(TypeName(f->TypeText)) +
                        " in " + className_);
        }
    }

    // The class's own fields: an ancestor's belong to the ancestor's form.
    void Fields(const TidClass& cls) {
        for (const auto& f : cls.Fields) {
            if (!Streamed(f->Visibility) || !ComponentLikeType(unit_, f->TypeText) ||
                names_.count(base::LowerAscii(f->Name)))
                continue;
            Add(FormCheckKind::NoComponent, false, f->FirstLine,
                "field " + f->Name + ": " + std::string(TypeName(f->TypeText)) + " of " +
                    className_ + " has no component in the form");
        }
    }

    const model::TPasSrc& unit_;
    const std::string& unitName_;
    const FormFile& form_;
    const std::string& formName_;
    std::vector<const TidClass*> chain_;
    std::string className_;
    std::vector<Component> components_;
    std::unordered_set<std::string> names_;
    std::vector<FormFinding> out_;
};

std::string_view Extension(std::string_view leaf) {
    const size_t dot = leaf.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : leaf.substr(dot);
}

// The form extension a "{$R *.ext}" of the unit names first, or empty.
std::string NamedFormExtension(std::string_view text) {
    const std::string lower =
        base::LowerAscii(text.substr(0, std::min<size_t>(text.size(), 1u << 20)));
    for (size_t at = lower.find("{$r"); at != std::string::npos; at = lower.find("{$r", at + 3)) {
        const size_t close = lower.find('}', at);
        if (close == std::string::npos) break;
        const std::string_view inside = std::string_view(lower).substr(at + 3, close - at - 3);
        if (inside.empty() || (inside[0] != ' ' && inside[0] != '\t')) continue;
        for (const char* ext : kFormFileExtensions)
            if (inside.find(ext) != std::string_view::npos) return ext;
    }
    return {};
}

} // namespace

std::string FormFinding::Text() const {
    return File + "(" + std::to_string(Line) + "): " + Message;
}

std::vector<FormFinding> CheckUnitAndForm(const model::TPasSrc& unit, const std::string& unitName,
                                          const FormFile& form, const std::string& formName) {
    return Checker(unit, unitName, form, formName).Run();
}

std::vector<FormFinding> NewFindings(const std::vector<FormFinding>& before,
                                     const std::vector<FormFinding>& now) {
    // Each old finding answers for one new one: a second component of the same name and
    // class is new.
    std::unordered_map<std::string, int> seen;
    const auto key = [](const FormFinding& f) {
        return std::to_string(static_cast<int>(f.Kind)) + ' ' + f.Message;
    };
    for (const FormFinding& f : before)
        ++seen[key(f)];
    std::vector<FormFinding> out;
    for (const FormFinding& f : now)
        if (int& n = seen[key(f)]; n > 0)
            --n;
        else
            out.push_back(f);
    return out;
}

std::string FormBesideUnit(const std::string& unitPath, std::string_view unitText) {
    const size_t slash = unitPath.find_last_of(io::FileNamesIgnoreCase() ? "/\\" : "/");
    const std::string folder =
        slash == std::string::npos ? std::string() : unitPath.substr(0, slash + 1);
    std::string stem = unitPath.substr(folder.size());
    stem.resize(stem.size() - Extension(stem).size());
    if (stem.empty()) return {};

    std::vector<std::string> order;
    if (std::string named = NamedFormExtension(unitText); !named.empty()) order.push_back(named);
    for (const char* ext : kFormFileExtensions)
        if (order.empty() || order.front() != ext) order.emplace_back(ext);

    std::vector<io::FolderEntry> entries;
    try {
        entries = io::ReadFolder(folder.empty() ? "." : folder);
    } catch (const std::exception&) {
        return {};
    }
    for (const std::string& ext : order) {
        const std::string wanted = stem + ext;
        // The name as written first: on a system that tells letter case apart, "Unit1.DFM"
        // beside "Unit1.dfm" is another file.
        const io::FolderEntry* found = nullptr;
        for (const io::FolderEntry& e : entries)
            if (e.Kind == io::FileKind::Regular && base::SameIgnoringCase(e.Name, wanted) &&
                (!found || e.Name == wanted))
                found = &e;
        if (found) return folder + found->Name;
    }
    return {};
}

std::string FormOfUnitFile(const std::string& unitPath) {
    std::string found = FormBesideUnit(unitPath);
    if (found.empty()) return found;
    try {
        return FormBesideUnit(unitPath, io::ReadRegularFileHead(unitPath, 1 << 16));
    } catch (const std::exception&) {
        return found; // the unit is gone since: its {$R} cannot choose
    }
}

std::vector<FormFinding> NewPairFindings(const model::TPasSrc& oldUnit, const std::string& oldLabel,
                                         const std::string& oldForm, const model::TPasSrc& newUnit,
                                         const std::string& newLabel, const std::string& newForm) {
    if (!newUnit.Status.Complete) return {};
    std::vector<FormFinding> before, now;
    try {
        now = CheckUnitAndForm(newUnit, newLabel, ReadFormFile(newForm), newForm);
    } catch (const std::exception&) {
        return {}; // no class for the form: nothing to say of it here
    }
    try {
        before = CheckUnitAndForm(oldUnit, oldLabel, ReadFormFile(oldForm), oldForm);
    } catch (const std::exception&) {
        // The old pair had no class for its form: everything is new.
    }
    return NewFindings(before, now);
}

} // namespace quennet::forms
