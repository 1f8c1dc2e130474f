// The text form: object/inherited/inline blocks with properties, read by a small scanner and a
// recursive descent that stops at the first fault with a note where it stood.
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "forms/binary_values.h"
#include "forms/form_reader.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "io/view_encoding.h"

namespace quennet::forms {

namespace {

struct Fault {
    int line, column;
    std::string message;
};

bool IsAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool IsIdentStart(unsigned char c) {
    return std::isalpha(c) || c == '_';
}
bool IsIdentChar(unsigned char c) {
    return std::isalnum(c) || c == '_';
}

class TextFormParser {
public:
    TextFormParser(std::string_view text, bool utf8) : s_(text), utf8_(utf8) {}

    void ParseForm(FormFile& form) {
        Skip();
        if (!IsObjectStart())
            Fail("expected 'object', 'inherited' or 'inline' at the start of the form");
        form.HasRoot = true;
        ParseObject(form.Root);
        // The IDEs and the run-time library read one object and stop: what follows (a second
        // form pasted below, left-overs) is no part of the form, and is compared as lines.
        Skip();
        if (pos_ < s_.size()) form.TrailingLine = line_;
    }

private:
    [[noreturn]] void Fail(const std::string& message) const {
        throw Fault{line_, static_cast<int>(pos_ - lineStart_) + 1, message};
    }

    // Spaces, line ends and nothing else: the text form has no comments.
    void Skip() {
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == '\n' || (c == '\r' && (pos_ + 1 >= s_.size() || s_[pos_ + 1] != '\n'))) {
                ++pos_;
                ++line_;
                lineStart_ = pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
                ++pos_;
            } else {
                break;
            }
        }
    }

    char Peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }

    bool Accept(char c) {
        Skip();
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }

    void Expect(char c, const char* what) {
        if (!Accept(c)) Fail(std::string("expected ") + what);
    }

    std::string_view PeekIdent() {
        Skip();
        size_t end = pos_;
        if (end < s_.size() && IsIdentStart(static_cast<unsigned char>(s_[end])))
            while (end < s_.size() && IsIdentChar(static_cast<unsigned char>(s_[end])))
                ++end;
        return s_.substr(pos_, end - pos_);
    }

    std::string Ident(const char* what) {
        const std::string_view id = PeekIdent();
        if (id.empty()) Fail(std::string("expected ") + what);
        pos_ += id.size();
        return std::string(id);
    }

    // Name {'.' Name}
    std::string DottedIdent(const char* what) {
        std::string name = Ident(what);
        while (Peek() == '.' && pos_ + 1 < s_.size() &&
               IsIdentStart(static_cast<unsigned char>(s_[pos_ + 1]))) {
            ++pos_;
            name += '.';
            name += Ident(what);
        }
        return name;
    }

    bool IsObjectStart() {
        const std::string_view id = PeekIdent();
        return SameName(id, "object") || SameName(id, "inherited") || SameName(id, "inline");
    }

    // ('object'|'inherited'|'inline') [Name ':'] Class ['[' Integer ']'] {Property} {Object}
    // 'end'
    void ParseObject(FormObject& o) {
        const Depth depth(*this);
        Skip();
        o.FirstLine = line_;
        const std::string word = Ident("'object'");
        o.Kind = SameName(word, "inherited") ? ObjectKind::Inherited
                 : SameName(word, "inline")  ? ObjectKind::Inline
                                             : ObjectKind::Object;
        std::string first = DottedIdent("a component name or class");
        if (Accept(':')) {
            o.Name = std::move(first);
            o.Class = DottedIdent("a class name");
        } else {
            o.Class = std::move(first);
        }
        if (Accept('[')) {
            o.Index = SignedInteger();
            Expect(']', "']' after the child position");
        }
        for (;;) {
            const std::string_view id = PeekIdent();
            if (id.empty()) Fail("expected a property, an object or 'end'");
            if (SameName(id, "end")) {
                o.LastLine = line_;
                pos_ += id.size();
                o.Properties.shrink_to_fit();
                o.Children.shrink_to_fit();
                return;
            }
            if (IsObjectStart()) {
                o.Children.emplace_back();
                ParseObject(o.Children.back());
            } else {
                o.Properties.emplace_back();
                ParseProperty(o.Properties.back());
            }
        }
    }

    void ParseProperty(FormProperty& p) {
        Skip();
        p.FirstLine = line_;
        p.Name = DottedIdent("a property name");
        Expect('=', "'=' after the property name");
        ParseValue(p.Value);
        p.LastLine = line_;
    }

    int64_t SignedInteger() {
        FormValue v;
        Skip();
        ParseNumber(v);
        if (v.Kind != ValueKind::Integer) Fail("expected an integer");
        return v.Integer;
    }

    void ParseValue(FormValue& v) {
        const Depth depth(*this);
        Skip();
        v.FirstLine = line_;
        ParseBareValue(v);
        v.LastLine = line_;
    }

    void ParseBareValue(FormValue& v) {
        const char c = Peek();
        if (c == '\'' || c == '#') {
            v.Kind = ValueKind::String;
            ParseString(v.Text);
            // Bytes that are no UTF-8 in a UTF-8 file, and surrogate halves written apart,
            // are held as the writers give them back.
            if (!IsAscii(v.Text)) v.Text = NormalUtf8(v.Text);
        } else if (c == '-' || c == '+' || std::isdigit(static_cast<unsigned char>(c)) ||
                   c == '$') {
            ParseNumber(v);
        } else if (IsIdentStart(static_cast<unsigned char>(c))) {
            v.Kind = ValueKind::Identifier;
            v.Text = DottedIdent("a value");
        } else if (c == '[') {
            ++pos_;
            v.Kind = ValueKind::Set;
            if (!Accept(']')) {
                do
                    v.EditSet().push_back(Ident("a set element"));
                while (Accept(','));
                Expect(']', "',' or ']' in a set");
                v.EditSet().shrink_to_fit();
            }
        } else if (c == '(') {
            ++pos_;
            v.Kind = ValueKind::List;
            while (!Accept(')')) {
                if (pos_ >= s_.size()) Fail("expected ')' closing the list");
                v.EditList().emplace_back();
                ParseValue(v.EditList().back());
            }
            if (!v.List().empty()) v.EditList().shrink_to_fit();
        } else if (c == '<') {
            ++pos_;
            v.Kind = ValueKind::Collection;
            while (!Accept('>')) {
                if (!SameName(PeekIdent(), "item")) Fail("expected 'item' or '>'");
                v.EditItems().emplace_back();
                ParseItem(v.EditItems().back());
            }
            if (!v.Items().empty()) v.EditItems().shrink_to_fit();
        } else if (c == '{') {
            ++pos_;
            v.Kind = ValueKind::Binary;
            ParseBinary(v.Text);
        } else {
            Fail("expected a value");
        }
    }

    // 'item' ['[' Integer ']'] {Property} 'end'
    void ParseItem(FormItem& item) {
        Skip();
        item.FirstLine = line_;
        pos_ += 4;
        if (Accept('[')) {
            item.Order = SignedInteger();
            Expect(']', "']' after the item's order");
        }
        for (;;) {
            const std::string_view id = PeekIdent();
            if (id.empty()) Fail("expected a property or 'end' in a collection item");
            if (SameName(id, "end")) {
                item.LastLine = line_;
                pos_ += id.size();
                item.Properties.shrink_to_fit();
                return;
            }
            item.Properties.emplace_back();
            ParseProperty(item.Properties.back());
        }
    }

    void ParseNumber(FormValue& v) {
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            ++pos_;
            Skip();
        }
        const size_t start = pos_;
        if (Peek() == '$') {
            ++pos_;
            uint64_t n = 0;
            size_t digits = 0;
            while (std::isxdigit(static_cast<unsigned char>(Peek()))) {
                const char d = s_[pos_++];
                n = n * 16 + static_cast<uint64_t>(std::isdigit(static_cast<unsigned char>(d))
                                                       ? d - '0'
                                                       : (std::tolower(d) - 'a' + 10));
                ++digits;
            }
            if (digits == 0 || digits > 16) Fail("bad hexadecimal number");
            v.Kind = ValueKind::Integer;
            v.Integer = static_cast<int64_t>(negative ? 0 - n : n);
            return;
        }
        while (std::isdigit(static_cast<unsigned char>(Peek())))
            ++pos_;
        bool isFloat = false;
        if (Peek() == '.' && pos_ + 1 < s_.size() &&
            std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
            isFloat = true;
            ++pos_;
            while (std::isdigit(static_cast<unsigned char>(Peek())))
                ++pos_;
        }
        if ((Peek() == 'e' || Peek() == 'E') && pos_ > start) {
            size_t e = pos_ + 1;
            if (e < s_.size() && (s_[e] == '+' || s_[e] == '-')) ++e;
            if (e < s_.size() && std::isdigit(static_cast<unsigned char>(s_[e]))) {
                isFloat = true;
                pos_ = e;
                while (std::isdigit(static_cast<unsigned char>(Peek())))
                    ++pos_;
            }
        }
        if (pos_ == start) Fail("expected a number");
        const std::string digits(s_.substr(start, pos_ - start));
        const char suffix = static_cast<char>(std::tolower(static_cast<unsigned char>(Peek())));
        if (suffix == 's' || suffix == 'c' || suffix == 'd') {
            isFloat = true;
            ++pos_;
        }
        if (pos_ < s_.size() && IsIdentChar(static_cast<unsigned char>(Peek()))) Fail("bad number");
        if (!isFloat) {
            int64_t n = 0;
            const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
            // A number too large for 64 bits signed reads as a float, as the RTL's parser has it.
            if (r.ec == std::errc() && r.ptr == digits.data() + digits.size()) {
                v.Kind = ValueKind::Integer;
                v.Integer = negative ? -n : n;
                return;
            }
        }
        v.Kind = ValueKind::Float;
        v.Float = std::strtod(digits.c_str(), nullptr) * (negative ? -1 : 1);
        // A single holds what its binary form holds, so text and binary read the same.
        if (suffix == 's') v.Float = static_cast<float>(v.Float);
        v.FloatType = suffix == 's'   ? FloatKind::Single
                      : suffix == 'c' ? FloatKind::Currency
                      : suffix == 'd' ? FloatKind::Date
                                      : FloatKind::Extended;
    }

    void AppendRawChar(std::string& out) {
        const auto c = static_cast<unsigned char>(s_[pos_]);
        if (c < 0x80 || utf8_) {
            out += static_cast<char>(c);
        } else {
            io::AppendUtf8(out, io::Windows1252Char(c));
        }
        ++pos_;
    }

    // Pieces ('...' with '' for a quote, #nnn, #$hh) joined by '+' across lines. #nnn are
    // UTF-16 code units: a surrogate pair makes one character.
    void ParseString(std::string& out) {
        uint32_t pendingHigh = 0;
        auto flushHigh = [&] {
            if (pendingHigh) io::AppendUtf8(out, pendingHigh);
            pendingHigh = 0;
        };
        for (;;) {
            bool any = false;
            for (;;) {
                const char c = Peek();
                if (c == '\'') {
                    flushHigh();
                    ++pos_;
                    for (;;) {
                        if (pos_ >= s_.size() || s_[pos_] == '\r' || s_[pos_] == '\n')
                            Fail("string not closed on its line");
                        if (s_[pos_] == '\'') {
                            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                                out += '\'';
                                pos_ += 2;
                                continue;
                            }
                            ++pos_;
                            break;
                        }
                        // A run of plain characters at once.
                        size_t run = pos_;
                        while (run < s_.size() && s_[run] != '\'' && s_[run] != '\r' &&
                               s_[run] != '\n' &&
                               (utf8_ || static_cast<unsigned char>(s_[run]) < 0x80))
                            ++run;
                        if (run > pos_) {
                            out.append(s_.data() + pos_, run - pos_);
                            pos_ = run;
                            continue;
                        }
                        AppendRawChar(out);
                    }
                } else if (c == '#') {
                    ++pos_;
                    uint32_t code = 0;
                    size_t digits = 0;
                    if (Peek() == '$') {
                        ++pos_;
                        while (std::isxdigit(static_cast<unsigned char>(Peek())) && digits < 9) {
                            const char d = s_[pos_++];
                            code = code * 16 +
                                   static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(d))
                                                             ? d - '0'
                                                             : std::tolower(d) - 'a' + 10);
                            ++digits;
                        }
                    } else {
                        while (std::isdigit(static_cast<unsigned char>(Peek())) && digits < 9) {
                            code = code * 10 + static_cast<uint32_t>(s_[pos_++] - '0');
                            ++digits;
                        }
                    }
                    if (digits == 0 || code > 0x10FFFF) Fail("bad character code after '#'");
                    if (code >= 0xDC00 && code < 0xE000 && pendingHigh) {
                        io::AppendUtf8(out,
                                       0x10000 + ((pendingHigh - 0xD800) << 10) + (code - 0xDC00));
                        pendingHigh = 0;
                    } else {
                        flushHigh();
                        if (code >= 0xD800 && code < 0xDC00)
                            pendingHigh = code;
                        else
                            io::AppendUtf8(out, code);
                    }
                } else {
                    break;
                }
                any = true;
            }
            if (!any) Fail("expected a string");
            const size_t save = pos_;
            const int saveLine = line_;
            const size_t saveStart = lineStart_;
            if (Accept('+')) {
                Skip();
                if (Peek() == '\'' || Peek() == '#') continue;
                Fail("expected a string after '+'");
            }
            pos_ = save;
            line_ = saveLine;
            lineStart_ = saveStart;
            flushHigh();
            return;
        }
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        const char l = static_cast<char>(c | 0x20);
        return l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
    }

    // Hexadecimal digits in pairs, over any number of lines, up to '}'.
    void ParseBinary(std::string& out) {
        int high = -1;
        for (;;) {
            Skip();
            if (pos_ >= s_.size()) Fail("expected '}' closing the binary data");
            const char c = s_[pos_];
            if (c == '}') {
                if (high >= 0) Fail("odd number of hexadecimal digits");
                ++pos_;
                return;
            }
            if (HexDigit(c) < 0) Fail("expected a hexadecimal digit in the binary data");
            // The rest of the line's digits at once.
            for (int d; pos_ < s_.size() && (d = HexDigit(s_[pos_])) >= 0; ++pos_) {
                if (high < 0) {
                    high = d;
                } else {
                    out += static_cast<char>(high * 16 + d);
                    high = -1;
                }
            }
        }
    }

    // Nesting deep enough to exhaust the stack is no form anyone wrote.
    struct Depth {
        explicit Depth(TextFormParser& p) : p_(p) {
            if (++p_.depth_ > 500) p_.Fail("nested too deeply");
        }
        ~Depth() { --p_.depth_; }
        TextFormParser& p_;
    };

    std::string_view s_;
    bool utf8_;
    int depth_ = 0;
    size_t pos_ = 0;
    int line_ = 1;
    size_t lineStart_ = 0;
};

// After a fault: an object without its "end" ends where the reading stopped, and the property
// being read is left out.
void CloseUnfinished(FormObject& o, int line) {
    if (o.LastLine == 0) o.LastLine = line;
    while (!o.Properties.empty() && o.Properties.back().LastLine == 0)
        o.Properties.pop_back();
    for (auto& c : o.Children)
        CloseUnfinished(c, line);
}

} // namespace

FormFile ReadTextForm(std::string_view text, io::TextEncoding encoding, const std::string& name) {
    return ReadTextForm(std::string(text), encoding, name);
}

FormFile ReadTextForm(std::string&& owned, io::TextEncoding encoding, const std::string& name) {
    FormFile form;
    form.Name = name;
    form.Encoding = encoding;
    auto kept = std::make_shared<const std::string>(std::move(owned));
    const std::string_view text = *kept;
    form.Text = std::move(kept);
    // One more than the LF count is right for LF and CR LF files; lone CRs grow it.
    size_t feeds = 0;
    for (const char* p = text.data();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(text.end() - p))));
         ++p)
        ++feeds;
    form.Lines.reserve(feeds + 1);
    io::ForEachLine(text, [&](std::string_view line) { form.Lines.push_back(line); });
    if (form.Lines.capacity() - form.Lines.size() > 64) form.Lines.shrink_to_fit();
    TextFormParser parser(text, encoding != io::TextEncoding::Bytes || IsUtf8(text));
    try {
        parser.ParseForm(form);
    } catch (const Fault& f) {
        form.Notes.push_back({name, f.line, f.column, f.message});
        if (form.HasRoot) CloseUnfinished(form.Root, f.line);
    }
    return form;
}

} // namespace quennet::forms
