// The model of a form file (.dfm, .lfm, .fmx, .xfm), text or binary: a tree of objects, each
// with its properties in file order. Strings hold Unicode text as UTF-8, so a string wrapped or
// escaped differently reads the same; every part keeps the lines it came from (1-based, 0 for
// a form read from binary).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/text_encoding.h"

namespace quennet::forms {

enum class ValueKind : uint8_t {
    Integer,
    Float,
    String,
    Identifier, // also True, False and nil as written in a text form
    Set,
    List,
    Collection,
    Binary,
};

// The float suffixes of the text form: none (extended), s (single), c (currency), d (date).
enum class FloatKind : char { Extended = 0, Single = 's', Currency = 'c', Date = 'd' };

struct FormProperty;
struct FormValue;

struct FormItem {
    std::optional<int64_t> Order; // item[n]
    std::vector<FormProperty> Properties;
    int FirstLine = 0, LastLine = 0;
};

// A form holds a value for nearly every line, most of them numbers and names: the value is
// kept small, and the parts of sets, lists and collections live apart, made when first edited.
struct FormValue {
    ValueKind Kind = ValueKind::Identifier;
    FloatKind FloatType = FloatKind::Extended;
    int FirstLine = 0, LastLine = 0;
    union {
        int64_t Integer = 0;
        double Float;
    };
    // String: UTF-8 text; Identifier: the name as written; Binary: the raw bytes.
    std::string Text;

    const std::vector<std::string>& Set() const;
    const std::vector<FormValue>& List() const;
    const std::vector<FormItem>& Items() const;
    std::vector<std::string>& EditSet();
    std::vector<FormValue>& EditList();
    std::vector<FormItem>& EditItems();

    FormValue();
    FormValue(const FormValue& o);
    FormValue(FormValue&& o) noexcept;
    FormValue& operator=(const FormValue& o);
    FormValue& operator=(FormValue&& o) noexcept;
    ~FormValue();

    bool operator==(const FormValue& o) const;

    struct Parts;

private:
    Parts& EditParts();
    std::unique_ptr<Parts> parts_;
};

struct FormProperty {
    std::string Name; // dotted names (Font.Style) as one name
    FormValue Value;
    int FirstLine = 0, LastLine = 0;
};

enum class ObjectKind { Object, Inherited, Inline };

struct FormObject {
    ObjectKind Kind = ObjectKind::Object;
    std::string Name; // may be empty
    std::string Class;
    std::optional<int64_t> Index; // [n] after the class
    std::vector<FormProperty> Properties;
    std::vector<FormObject> Children;
    int FirstLine = 0, LastLine = 0; // the object line and its "end"
};

// Where reading left the structure: the rest of the file is not in the model.
struct FormNote {
    std::string File;
    int Line = 0, Column = 0;
    std::string Message;
    std::string Text() const; // "file:line:column: message"
};

struct FormFile {
    std::string Name;
    bool Binary = false;
    bool HasRoot = false;
    FormObject Root;
    std::vector<FormNote> Notes;
    int TrailingLine = 0; // the first line of text after the root's "end", if any
    io::TextEncoding Encoding = io::TextEncoding::Bytes;
    // The decoded text (text forms) and its lines, for views and line comparison. Copies
    // share the text, so the lines stay valid in each.
    std::shared_ptr<const std::string> Text;
    std::vector<std::string_view> Lines;
};

// "Form1.Panel1.Button1": the names from the root down; an unnamed object is its class.
std::string PathStep(const FormObject& o);

const char* KindName(ValueKind kind);
const char* ObjectKindName(ObjectKind kind);

// ASCII letters compared without case, as the Pascal names of forms are.
bool SameName(std::string_view a, std::string_view b);

// The value as the text form shows it on one line (lists and collections abbreviated), for
// reports.
std::string ShortValueText(const FormValue& v);

} // namespace quennet::forms
