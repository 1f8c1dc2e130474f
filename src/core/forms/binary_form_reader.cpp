// The binary form: an optional 16-bit resource header, "TPF0", then the root component with
// its properties and children, each list ended by a zero byte.
#include <cmath>
#include <cstring>

#include "forms/binary_values.h"
#include "forms/form_reader.h"
#include "io/text_encoding.h"
#include "io/view_encoding.h"

namespace quennet::forms {

namespace {

struct Fault {
    size_t offset;
    std::string message;
};

// A resource header: $FF $0A $00, a zero-ended name, 16-bit flags and a 32-bit size.
size_t SkipResourceHeader(std::string_view b) {
    if (b.size() < 3 || static_cast<unsigned char>(b[0]) != 0xFF || b[1] != 0x0A || b[2] != 0)
        return 0;
    const size_t nameEnd = b.find('\0', 3);
    if (nameEnd == std::string_view::npos) return b.size();
    return nameEnd + 1 + 2 + 4;
}

// 8-bit strings of the stream: UTF-8 when they are, Windows-1252 otherwise.
std::string EightBitText(std::string_view s) {
    if (IsUtf8(s)) return NormalUtf8(s);
    std::string out;
    for (const char c : s)
        io::AppendUtf8(out, io::Windows1252Char(static_cast<unsigned char>(c)));
    return out;
}

class BinaryFormParser {
public:
    explicit BinaryFormParser(std::string_view b) : b_(b) {}

    void Parse(FormFile& form) {
        pos_ = SkipResourceHeader(b_);
        if (Take(4) != "TPF0") Fail("no \"TPF0\" signature", pos_);
        form.HasRoot = true;
        ParseObject(form.Root);
    }

private:
    [[noreturn]] void Fail(const std::string& message, size_t at) const {
        throw Fault{at, message};
    }

    std::string_view Take(size_t n) {
        if (n > b_.size() - pos_) Fail("the stream ends too early", b_.size());
        const std::string_view s = b_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    int Byte() { return static_cast<unsigned char>(Take(1)[0]); }
    int NextByte() const {
        if (pos_ >= b_.size()) Fail("the stream ends too early", b_.size());
        return static_cast<unsigned char>(b_[pos_]);
    }
    uint64_t Little(size_t n) {
        const std::string_view s = Take(n);
        uint64_t u = 0;
        for (size_t i = 0; i < n; ++i)
            u |= static_cast<uint64_t>(static_cast<unsigned char>(s[i])) << (8 * i);
        return u;
    }
    std::string ShortString() { return std::string(Take(static_cast<size_t>(Byte()))); }

    int64_t Integer() {
        const size_t at = pos_;
        FormValue v;
        ParseValue(v);
        if (v.Kind != ValueKind::Integer) Fail("expected an integer", at);
        return v.Integer;
    }

    std::string Utf16(size_t units) {
        if (units > (b_.size() - pos_) / 2) Fail("the stream ends too early", b_.size());
        std::string out;
        for (size_t i = 0; i < units; ++i) {
            uint32_t u = static_cast<uint32_t>(Little(2));
            if (u >= 0xD800 && u < 0xDC00 && pos_ + 1 < b_.size()) {
                const uint32_t low = static_cast<unsigned char>(b_[pos_]) |
                                     (static_cast<unsigned char>(b_[pos_ + 1]) << 8);
                if (low >= 0xDC00 && low < 0xE000 && i + 1 < units) {
                    pos_ += 2;
                    ++i;
                    u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                }
            }
            io::AppendUtf8(out, u);
        }
        return out;
    }

    void ParseObject(FormObject& o) {
        if (++depth_ > 500) Fail("nested too deeply", pos_);
        int b = NextByte();
        if ((b & 0xF0) == 0xF0) {
            ++pos_;
            const int flags = b & 0x0F;
            if (flags & kFilerInherited) o.Kind = ObjectKind::Inherited;
            if (flags & kFilerInline) o.Kind = ObjectKind::Inline;
            if (flags & kFilerChildPos) o.Index = Integer();
        }
        o.Class = ShortString();
        o.Name = ShortString();
        ParseProperties(o.Properties);
        while (NextByte() != 0) {
            o.Children.emplace_back();
            ParseObject(o.Children.back());
        }
        o.Children.shrink_to_fit();
        ++pos_;
        --depth_;
    }

    void ParseProperties(std::vector<FormProperty>& properties) {
        while (NextByte() != 0) {
            properties.emplace_back();
            properties.back().Name = ShortString();
            ParseValue(properties.back().Value);
        }
        properties.shrink_to_fit();
        ++pos_;
    }

    void ParseValue(FormValue& v) {
        if (++depth_ > 500) Fail("nested too deeply", pos_);
        const size_t at = pos_;
        const int type = Byte();
        switch (type) {
        case kVaInt8:
            v.Kind = ValueKind::Integer;
            // One byte, signed.
            v.Integer = static_cast<int64_t>(Little(1) ^ 0x80U) - 0x80;
            break;
        case kVaInt16:
            v.Kind = ValueKind::Integer;
            v.Integer = static_cast<int16_t>(Little(2));
            break;
        case kVaInt32:
            v.Kind = ValueKind::Integer;
            v.Integer = static_cast<int32_t>(Little(4));
            break;
        case kVaInt64:
        case kVaQWord:
            v.Kind = ValueKind::Integer;
            v.Integer = static_cast<int64_t>(Little(8));
            break;
        case kVaExtended:
            v.Kind = ValueKind::Float;
            v.Float = ExtendedValue(Take(10));
            break;
        case kVaSingle: {
            const auto u = static_cast<uint32_t>(Little(4));
            float f;
            std::memcpy(&f, &u, 4);
            v.Kind = ValueKind::Float;
            v.FloatType = FloatKind::Single;
            v.Float = f;
            break;
        }
        case kVaCurrency:
            v.Kind = ValueKind::Float;
            v.FloatType = FloatKind::Currency;
            v.Float = static_cast<double>(static_cast<int64_t>(Little(8))) / 10000.0;
            break;
        case kVaDate: {
            const uint64_t u = Little(8);
            v.Kind = ValueKind::Float;
            v.FloatType = FloatKind::Date;
            std::memcpy(&v.Float, &u, 8);
            break;
        }
        case kVaString:
            v.Kind = ValueKind::String;
            v.Text = EightBitText(ShortString());
            break;
        case kVaLString:
            v.Kind = ValueKind::String;
            v.Text = EightBitText(Take(Little(4)));
            break;
        case kVaUtf8String:
            v.Kind = ValueKind::String;
            v.Text = NormalUtf8(Take(Little(4)));
            break;
        case kVaWString:
        case kVaUString:
            v.Kind = ValueKind::String;
            v.Text = Utf16(Little(4));
            break;
        case kVaIdent:
            v.Kind = ValueKind::Identifier;
            v.Text = ShortString();
            break;
        case kVaFalse:
        case kVaTrue:
        case kVaNil:
            v.Kind = ValueKind::Identifier;
            v.Text = type == kVaFalse ? "False" : type == kVaTrue ? "True" : "nil";
            break;
        case kVaNull:
            // An empty list's place in some writers: read as the empty identifier list.
            Fail("unexpected end of list", at);
        case kVaBinary:
            v.Kind = ValueKind::Binary;
            v.Text = std::string(Take(Little(4)));
            break;
        case kVaSet:
            v.Kind = ValueKind::Set;
            for (std::string e = ShortString(); !e.empty(); e = ShortString())
                v.EditSet().push_back(std::move(e));
            break;
        case kVaList:
            v.Kind = ValueKind::List;
            while (NextByte() != kVaNull) {
                v.EditList().emplace_back();
                ParseValue(v.EditList().back());
            }
            ++pos_;
            break;
        case kVaCollection:
            v.Kind = ValueKind::Collection;
            while (NextByte() != kVaNull) {
                v.EditItems().emplace_back();
                FormItem& item = v.EditItems().back();
                if (NextByte() != kVaList) item.Order = Integer();
                if (Byte() != kVaList) Fail("expected a collection item", pos_ - 1);
                ParseProperties(item.Properties);
            }
            ++pos_;
            break;
        default: Fail("unknown value type " + std::to_string(type), at);
        }
        --depth_;
    }

    std::string_view b_;
    size_t pos_ = 0;
    int depth_ = 0;
};

} // namespace

bool IsBinaryForm(std::string_view bytes) {
    const size_t start = SkipResourceHeader(bytes);
    return start < bytes.size() && bytes.substr(start, 4) == "TPF0";
}

FormFile ReadBinaryForm(std::string_view bytes, const std::string& name) {
    FormFile form;
    form.Name = name;
    form.Binary = true;
    BinaryFormParser parser(bytes);
    try {
        parser.Parse(form);
    } catch (const Fault& f) {
        // A binary form has no lines: the column is the byte offset, counted from 1.
        form.Notes.push_back({name, 1, static_cast<int>(f.offset) + 1, f.message});
    }
    return form;
}

std::string ExtendedBytes(double value) {
    std::string out(10, '\0');
    uint16_t signExp = 0;
    uint64_t mantissa = 0;
    if (std::signbit(value)) signExp = 0x8000;
    const double a = std::fabs(value);
    if (std::isnan(a)) {
        signExp |= 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(a)) {
        signExp |= 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (a != 0) {
        int e = 0;
        const double m = std::frexp(a, &e); // a = m * 2^e, m in [0.5, 1)
        mantissa = static_cast<uint64_t>(std::ldexp(m, 64));
        signExp |= static_cast<uint16_t>(e - 1 + 16383);
    }
    for (int i = 0; i < 8; ++i)
        out[static_cast<size_t>(i)] = static_cast<char>((mantissa >> (8 * i)) & 0xFF);
    out[8] = static_cast<char>(signExp & 0xFF);
    out[9] = static_cast<char>(signExp >> 8);
    return out;
}

double ExtendedValue(std::string_view b) {
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= static_cast<uint64_t>(static_cast<unsigned char>(b[static_cast<size_t>(i)]))
                    << (8 * i);
    const int signExp = static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8);
    const int exponent = signExp & 0x7FFF;
    double v;
    if (exponent == 0x7FFF)
        v = (mantissa << 1) ? std::nan("") : HUGE_VAL;
    else
        v = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
    return (signExp & 0x8000) ? -v : v;
}

namespace {

// The length of the well-formed UTF-8 character at s[i] and its code point; 0 when none
// starts there (overlong forms and code points past U+10FFFF included, so that a decoded
// text re-encodes to the same bytes).
size_t Utf8Char(std::string_view s, size_t i, uint32_t& code) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (n == 9 || i + n >= s.size()) return 0;
    code = n == 0 ? c : c & (0x3F >> n);
    for (size_t k = 1; k <= n; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t >> 6) != 2) return 0;
        code = (code << 6) | (t & 0x3F);
    }
    static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[n] || code > 0x10FFFF) return 0;
    return n + 1;
}

} // namespace

bool IsUtf8(std::string_view s) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    uint32_t code;
    size_t i = 0;
    while (i < s.size()) {
        // Forms are nearly all ASCII: eight bytes at a time up to the next one that is not.
        uint64_t word;
        while (i + 8 <= s.size() && (std::memcpy(&word, s.data() + i, 8), (word & kHighBits) == 0))
            i += 8;
        if (i == s.size()) break;
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t n = Utf8Char(s, i, code);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::vector<uint32_t> Utf8CodePoints(std::string_view s) {
    std::vector<uint32_t> out;
    size_t i = 0;
    while (i < s.size()) {
        uint32_t code;
        const size_t n = Utf8Char(s, i, code);
        if (n == 0) {
            out.push_back(io::Windows1252Char(static_cast<unsigned char>(s[i])));
            ++i;
            continue;
        }
        out.push_back(code);
        i += n;
    }
    return out;
}

std::string NormalUtf8(std::string_view s) {
    bool ascii = true;
    for (const char c : s)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(s);
    const std::vector<uint32_t> codes = Utf8CodePoints(s);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        uint32_t code = codes[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < codes.size() && codes[i + 1] >= 0xDC00 &&
            codes[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (codes[++i] - 0xDC00);
        io::AppendUtf8(out, code);
    }
    return out;
}

} // namespace quennet::forms
