// The text and binary writers of a form model.
#include <charconv>
#include <cmath>
#include <cstring>

#include "forms/binary_values.h"
#include "forms/form_writer.h"

namespace quennet::forms {

namespace {

constexpr size_t kStringPiece = 64; // characters of a string on one line, as the IDEs wrap
constexpr size_t kHexLine = 32;     // bytes of binary data on one line

std::string FloatText(const FormValue& v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v.Float);
    std::string t(buf, r.ptr);
    if (t.find_first_of(".e") == std::string::npos && t.find_first_of("ni") == std::string::npos)
        t += ".0";
    else if (t.find('.') == std::string::npos && t.find('e') != std::string::npos)
        t.insert(t.find('e'), ".0");
    if (v.FloatType != FloatKind::Extended) t += static_cast<char>(v.FloatType);
    return t;
}

// The string as pieces of at most kStringPiece UTF-16 units: printable ASCII quoted, the rest
// as #nnn.
std::vector<std::string> StringPieces(const std::string& text) {
    std::vector<std::string> pieces;
    std::string cur;
    size_t units = 0;
    bool quoted = false;
    auto unit = [&](uint32_t u) {
        if (units == kStringPiece) {
            if (quoted) cur += '\'';
            pieces.push_back(std::move(cur));
            cur.clear();
            units = 0;
            quoted = false;
        }
        if (u >= 32 && u < 127) {
            if (!quoted) cur += '\'';
            quoted = true;
            cur += static_cast<char>(u);
            if (u == '\'') cur += '\'';
        } else {
            if (quoted) cur += '\'';
            quoted = false;
            cur += '#' + std::to_string(u);
        }
        ++units;
    };
    for (const uint32_t code : Utf8CodePoints(text)) {
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    if (quoted) cur += '\'';
    if (cur.empty() && pieces.empty()) cur = "''";
    if (!cur.empty()) pieces.push_back(std::move(cur));
    return pieces;
}

class TextWriter {
public:
    explicit TextWriter(const std::string& eol) : eol_(eol) {}

    void Object(const FormObject& o, size_t indent) {
        std::string head(indent, ' ');
        head += ObjectKindName(o.Kind);
        head += ' ';
        if (!o.Name.empty()) head += o.Name + ": ";
        head += o.Class;
        if (o.Index) head += "[" + std::to_string(*o.Index) + "]";
        Line(head);
        for (const auto& p : o.Properties)
            Property(p, indent + 2);
        for (const auto& c : o.Children)
            Object(c, indent + 2);
        Line(std::string(indent, ' ') + "end");
    }

    std::string Take() { return std::move(out_); }

private:
    void Line(const std::string& s) {
        out_ += s;
        out_ += eol_;
    }

    void Property(const FormProperty& p, size_t indent) {
        Value(std::string(indent, ' ') + p.Name + " = ", p.Value, indent, "");
    }

    // Writes v after prefix (the line so far); closing is appended to its last line.
    void Value(const std::string& prefix, const FormValue& v, size_t indent,
               const std::string& closing) {
        const std::string pad(indent + 2, ' ');
        switch (v.Kind) {
        case ValueKind::String: {
            const auto pieces = StringPieces(v.Text);
            if (pieces.size() == 1) {
                Line(prefix + pieces[0] + closing);
                return;
            }
            // A wrapped string starts on the next line when it is a property's value.
            std::string first = prefix;
            size_t k = 0;
            if (first.find_first_not_of(' ') == std::string::npos) {
                first += pieces[k++];
                Line(first + " +");
            } else {
                while (!first.empty() && first.back() == ' ')
                    first.pop_back();
                Line(first + " ");
            }
            for (; k < pieces.size(); ++k)
                Line(pad + pieces[k] + (k + 1 < pieces.size() ? " +" : closing));
            return;
        }
        case ValueKind::List:
            if (v.List().empty()) {
                Line(prefix + "()" + closing);
                return;
            }
            Line(prefix + "(");
            for (size_t i = 0; i < v.List().size(); ++i)
                Value(pad, v.List()[i], indent + 2, i + 1 < v.List().size() ? "" : ")" + closing);
            return;
        case ValueKind::Collection:
            if (v.Items().empty()) {
                Line(prefix + "<>" + closing);
                return;
            }
            Line(prefix + "<");
            for (size_t i = 0; i < v.Items().size(); ++i) {
                const FormItem& item = v.Items()[i];
                Line(pad + "item" + (item.Order ? "[" + std::to_string(*item.Order) + "]" : ""));
                for (const auto& p : item.Properties)
                    Property(p, indent + 4);
                Line(pad + "end" + (i + 1 < v.Items().size() ? "" : ">" + closing));
            }
            return;
        case ValueKind::Binary: {
            static const char kHex[] = "0123456789ABCDEF";
            if (v.Text.empty()) {
                Line(prefix + "{}" + closing);
                return;
            }
            Line(prefix + "{");
            for (size_t at = 0; at < v.Text.size(); at += kHexLine) {
                std::string l = pad;
                for (size_t i = at; i < std::min(v.Text.size(), at + kHexLine); ++i) {
                    const auto b = static_cast<unsigned char>(v.Text[i]);
                    l += kHex[b >> 4];
                    l += kHex[b & 15];
                }
                Line(l + (at + kHexLine >= v.Text.size() ? "}" + closing : ""));
            }
            return;
        }
        default: Line(prefix + ValueText(v) + closing);
        }
    }

    const std::string& eol_;
    std::string out_;
};

void PutByte(std::string& out, int b) {
    out += static_cast<char>(b);
}

template <class T> void PutLittle(std::string& out, T value, size_t bytes) {
    uint64_t u = 0;
    std::memcpy(&u, &value, sizeof value);
    for (size_t i = 0; i < bytes; ++i)
        PutByte(out, static_cast<int>((u >> (8 * i)) & 0xFF));
}

void PutShortString(std::string& out, const std::string& s) {
    const size_t n = std::min<size_t>(s.size(), 255);
    PutByte(out, static_cast<int>(n));
    out.append(s, 0, n);
}

void PutInteger(std::string& out, int64_t n) {
    if (n >= -128 && n <= 127) {
        PutByte(out, kVaInt8);
        PutLittle(out, static_cast<int8_t>(n), 1);
    } else if (n >= -32768 && n <= 32767) {
        PutByte(out, kVaInt16);
        PutLittle(out, static_cast<int16_t>(n), 2);
    } else if (n >= INT32_MIN && n <= INT32_MAX) {
        PutByte(out, kVaInt32);
        PutLittle(out, static_cast<int32_t>(n), 4);
    } else {
        PutByte(out, kVaInt64);
        PutLittle(out, n, 8);
    }
}

void PutValue(std::string& out, const FormValue& v);

void PutProperties(std::string& out, const std::vector<FormProperty>& properties) {
    for (const auto& p : properties) {
        PutShortString(out, p.Name);
        PutValue(out, p.Value);
    }
    PutByte(out, 0);
}

void PutValue(std::string& out, const FormValue& v) {
    switch (v.Kind) {
    case ValueKind::Integer: PutInteger(out, v.Integer); break;
    case ValueKind::Float:
        switch (v.FloatType) {
        case FloatKind::Extended:
            PutByte(out, kVaExtended);
            out += ExtendedBytes(v.Float);
            break;
        case FloatKind::Single:
            PutByte(out, kVaSingle);
            PutLittle(out, static_cast<float>(v.Float), 4);
            break;
        case FloatKind::Currency:
            PutByte(out, kVaCurrency);
            PutLittle(out, static_cast<int64_t>(std::llround(v.Float * 10000)), 8);
            break;
        case FloatKind::Date:
            PutByte(out, kVaDate);
            PutLittle(out, v.Float, 8);
            break;
        }
        break;
    case ValueKind::String: {
        bool ascii = true;
        for (const char c : v.Text)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii && v.Text.size() <= 255) {
            PutByte(out, kVaString);
            PutShortString(out, v.Text);
        } else if (ascii) {
            PutByte(out, kVaLString);
            PutLittle(out, static_cast<uint32_t>(v.Text.size()), 4);
            out += v.Text;
        } else {
            std::vector<uint16_t> units;
            for (const uint32_t code : Utf8CodePoints(v.Text)) {
                if (code >= 0x10000) {
                    units.push_back(static_cast<uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
                    units.push_back(static_cast<uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
                } else {
                    units.push_back(static_cast<uint16_t>(code));
                }
            }
            PutByte(out, kVaWString);
            PutLittle(out, static_cast<uint32_t>(units.size()), 4);
            for (const uint16_t u : units)
                PutLittle(out, u, 2);
        }
        break;
    }
    case ValueKind::Identifier:
        if (SameName(v.Text, "True"))
            PutByte(out, kVaTrue);
        else if (SameName(v.Text, "False"))
            PutByte(out, kVaFalse);
        else if (SameName(v.Text, "nil"))
            PutByte(out, kVaNil);
        else {
            PutByte(out, kVaIdent);
            PutShortString(out, v.Text);
        }
        break;
    case ValueKind::Set:
        PutByte(out, kVaSet);
        for (const auto& e : v.Set())
            PutShortString(out, e);
        PutByte(out, 0);
        break;
    case ValueKind::List:
        PutByte(out, kVaList);
        for (const auto& e : v.List())
            PutValue(out, e);
        PutByte(out, kVaNull);
        break;
    case ValueKind::Collection:
        PutByte(out, kVaCollection);
        for (const auto& item : v.Items()) {
            if (item.Order) PutInteger(out, *item.Order);
            PutByte(out, kVaList);
            PutProperties(out, item.Properties);
        }
        PutByte(out, kVaNull);
        break;
    case ValueKind::Binary:
        PutByte(out, kVaBinary);
        PutLittle(out, static_cast<uint32_t>(v.Text.size()), 4);
        out += v.Text;
        break;
    }
}

void PutObject(std::string& out, const FormObject& o) {
    int flags = 0;
    if (o.Kind == ObjectKind::Inherited) flags |= kFilerInherited;
    if (o.Kind == ObjectKind::Inline) flags |= kFilerInline;
    if (o.Index) flags |= kFilerChildPos;
    if (flags) {
        PutByte(out, 0xF0 | flags);
        if (o.Index) PutInteger(out, *o.Index);
    }
    PutShortString(out, o.Class);
    PutShortString(out, o.Name);
    PutProperties(out, o.Properties);
    for (const auto& c : o.Children)
        PutObject(out, c);
    PutByte(out, 0);
}

} // namespace

std::string ValueText(const FormValue& v) {
    switch (v.Kind) {
    case ValueKind::Integer: return std::to_string(v.Integer);
    case ValueKind::Float: return FloatText(v);
    case ValueKind::Identifier: return v.Text;
    case ValueKind::String: {
        std::string out;
        for (const auto& piece : StringPieces(v.Text))
            out += piece;
        return out;
    }
    case ValueKind::Set: {
        std::string out = "[";
        for (size_t i = 0; i < v.Set().size(); ++i)
            out += (i ? ", " : "") + v.Set()[i];
        return out + "]";
    }
    case ValueKind::List: return "(";
    case ValueKind::Collection: return "<";
    case ValueKind::Binary: return "{";
    }
    return {};
}

std::string FormToText(const FormObject& root, const std::string& eol) {
    TextWriter w(eol);
    w.Object(root, 0);
    return w.Take();
}

std::string FormToBinary(const FormObject& root) {
    std::string out = "TPF0";
    PutObject(out, root);
    return out;
}

} // namespace quennet::forms
