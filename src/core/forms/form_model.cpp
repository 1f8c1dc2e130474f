// Small helpers of the form model.
#include <cmath>
#include <cstdio>

#include "forms/form_model.h"
#include "forms/form_writer.h"

namespace quennet::forms {

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameProperties(const std::vector<FormProperty>& a, const std::vector<FormProperty>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameName(a[i].Name, b[i].Name) || !(a[i].Value == b[i].Value)) return false;
    return true;
}

} // namespace

struct FormValue::Parts {
    std::vector<std::string> Set;
    std::vector<FormValue> List;
    std::vector<FormItem> Items;
};

namespace {
const FormValue::Parts& NoParts() {
    static const FormValue::Parts none;
    return none;
}
} // namespace

FormValue::FormValue() = default;
FormValue::FormValue(const FormValue& o)
    : Kind(o.Kind), FloatType(o.FloatType), FirstLine(o.FirstLine), LastLine(o.LastLine),
      Text(o.Text), parts_(o.parts_ ? std::make_unique<Parts>(*o.parts_) : nullptr) {
    Float = o.Float;
    Integer = o.Integer;
}
FormValue::FormValue(FormValue&& o) noexcept = default;
FormValue& FormValue::operator=(const FormValue& o) {
    if (this != &o) *this = FormValue(o);
    return *this;
}
FormValue& FormValue::operator=(FormValue&& o) noexcept = default;
FormValue::~FormValue() = default;

FormValue::Parts& FormValue::EditParts() {
    if (!parts_) parts_ = std::make_unique<Parts>();
    return *parts_;
}
const std::vector<std::string>& FormValue::Set() const {
    return (parts_ ? *parts_ : NoParts()).Set;
}
const std::vector<FormValue>& FormValue::List() const {
    return (parts_ ? *parts_ : NoParts()).List;
}
const std::vector<FormItem>& FormValue::Items() const {
    return (parts_ ? *parts_ : NoParts()).Items;
}
std::vector<std::string>& FormValue::EditSet() {
    return EditParts().Set;
}
std::vector<FormValue>& FormValue::EditList() {
    return EditParts().List;
}
std::vector<FormItem>& FormValue::EditItems() {
    return EditParts().Items;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

// Identifiers and set elements are Pascal names, so letter case is no difference; a string's is.
bool FormValue::operator==(const FormValue& o) const {
    if (Kind != o.Kind) return false;
    switch (Kind) {
    case ValueKind::Integer: return Integer == o.Integer;
    // A value that is not a number (a binary form can hold one) equals itself.
    case ValueKind::Float:
        return (Float == o.Float || (std::isnan(Float) && std::isnan(o.Float))) &&
               FloatType == o.FloatType;
    case ValueKind::String:
    case ValueKind::Binary: return Text == o.Text;
    case ValueKind::Identifier: return SameName(Text, o.Text);
    case ValueKind::Set:
        if (Set().size() != o.Set().size()) return false;
        for (size_t i = 0; i < Set().size(); ++i)
            if (!SameName(Set()[i], o.Set()[i])) return false;
        return true;
    case ValueKind::List: return List() == o.List();
    case ValueKind::Collection:
        if (Items().size() != o.Items().size()) return false;
        for (size_t i = 0; i < Items().size(); ++i)
            if (Items()[i].Order != o.Items()[i].Order ||
                !SameProperties(Items()[i].Properties, o.Items()[i].Properties))
                return false;
        return true;
    }
    return false;
}

std::string FormNote::Text() const {
    return File + ":" + std::to_string(Line) + ":" + std::to_string(Column) + ": " + Message;
}

std::string PathStep(const FormObject& o) {
    return o.Name.empty() ? o.Class : o.Name;
}

const char* KindName(ValueKind kind) {
    switch (kind) {
    case ValueKind::Integer: return "integer";
    case ValueKind::Float: return "float";
    case ValueKind::String: return "string";
    case ValueKind::Identifier: return "identifier";
    case ValueKind::Set: return "set";
    case ValueKind::List: return "list";
    case ValueKind::Collection: return "collection";
    case ValueKind::Binary: return "binary";
    }
    return "identifier";
}

const char* ObjectKindName(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::Object: return "object";
    case ObjectKind::Inherited: return "inherited";
    case ObjectKind::Inline: return "inline";
    }
    return "object";
}

std::string ShortValueText(const FormValue& v) {
    switch (v.Kind) {
    case ValueKind::List: return "(" + std::to_string(v.List().size()) + " values)";
    case ValueKind::Collection: return "<" + std::to_string(v.Items().size()) + " items>";
    case ValueKind::Binary: {
        // Short data in full; longer data by its start and size.
        static const char kHex[] = "0123456789ABCDEF";
        std::string out = "{";
        const size_t shown = v.Text.size() <= 32 ? v.Text.size() : 16;
        for (size_t i = 0; i < shown; ++i) {
            out += kHex[static_cast<unsigned char>(v.Text[i]) >> 4];
            out += kHex[static_cast<unsigned char>(v.Text[i]) & 15];
        }
        if (shown < v.Text.size()) out += "... " + std::to_string(v.Text.size()) + " bytes";
        return out + "}";
    }
    case ValueKind::String: {
        // One line, quoted with '' for a quote; control characters as #nnn.
        std::string out = "'";
        for (const char c : v.Text) {
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "'#" + std::to_string(static_cast<int>(c)) + "'";
            } else {
                out += c;
                if (c == '\'') out += '\'';
            }
        }
        return out + "'";
    }
    default: return ValueText(v);
    }
}

} // namespace quennet::forms
