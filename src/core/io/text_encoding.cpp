// Byte-order marks and UTF-16. Lone surrogates are carried as three-byte sequences so that a
// file that was not well formed still saves unchanged.
#include "io/text_encoding.h"

#include <cstdint>
#include <stdexcept>

#include "io/source_file.h"

namespace quennet::io {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr size_t kBinaryProbe = 8192;

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<uint32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, u);
    }
    if (i < bytes.size()) AppendUtf8(out, 0xFFFD); // an odd last byte
    return out;
}

std::string EncodeUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2 + 2);
    auto put = [&](uint32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        size_t extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : 0;
        if (i + extra >= text.size()) extra = 0; // cut short: the bytes as they are
        uint32_t code = extra ? b0 & (0x3F >> extra) : b0;
        for (size_t k = 1; k <= extra; ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += extra + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            put(0xD800 + (code >> 10));
            put(0xDC00 + (code & 0x3FF));
        } else {
            put(code);
        }
    }
    return out;
}

} // namespace

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

DecodedText DecodeSourceBytes(std::string_view bytes, const std::string& name) {
    if (bytes.starts_with(kUtf16LeBom))
        return {DecodeUtf16(bytes.substr(2), false), TextEncoding::Utf16Le};
    if (bytes.starts_with(kUtf16BeBom))
        return {DecodeUtf16(bytes.substr(2), true), TextEncoding::Utf16Be};
    if (bytes.substr(0, kBinaryProbe).find('\0') != std::string_view::npos)
        throw std::runtime_error("\"" + name +
                                 "\" is not a text file (it holds NUL bytes near its start)");
    if (bytes.starts_with(kUtf8Bom))
        return {std::string(bytes.substr(kUtf8Bom.size())), TextEncoding::Utf8Bom};
    return {std::string(bytes), TextEncoding::Bytes};
}

std::string EncodeSourceText(std::string_view text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8Bom: return std::string(kUtf8Bom) + std::string(text);
    case TextEncoding::Utf16Le: return std::string(kUtf16LeBom) + EncodeUtf16(text, false);
    case TextEncoding::Utf16Be: return std::string(kUtf16BeBom) + EncodeUtf16(text, true);
    case TextEncoding::Bytes: break;
    }
    return std::string(text);
}

DecodedText DecodeSourceBytes(std::string&& bytes, const std::string& name) {
    // 8-bit and UTF-8 text is kept where it was read: no second copy of a large file.
    if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom))
        return DecodeSourceBytes(std::string_view(bytes), name);
    DecodedText d = DecodeSourceBytes(std::string_view(bytes).substr(0, kBinaryProbe), name);
    if (d.Encoding == TextEncoding::Utf8Bom) bytes.erase(0, kUtf8Bom.size());
    d.Text = std::move(bytes);
    return d;
}

DecodedText ReadSourceFile(const std::string& path, FileIdentity* identity) {
    return DecodeSourceBytes(ReadFileBytes(path, identity), path);
}

std::function<std::string()> ReaderOfUnchanged(const std::string& path,
                                               const FileIdentity& identity) {
    if (!identity.Regular) return {};
    return [path, identity] {
        FileIdentity now;
        DecodedText text = ReadSourceFile(path, &now);
        if (!(now == identity))
            throw std::runtime_error("\"" + path +
                                     "\" changed while it was being compared; compare it again");
        return TakeAsCrLfText(std::move(text.Text));
    };
}

} // namespace quennet::io
