// A minimal streaming JSON writer for the machine-readable outputs.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::render {

// The "format" number of the --json and --model outputs; raised when a reader would misread them.
inline constexpr int32_t kJsonFormat = 1;

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    void Key(std::string_view key) {
        Separate();
        String(key);
        out_ << ':';
        afterKey_ = true;
    }
    void Value(std::string_view s) {
        Separate();
        String(s);
    }
    void Value(const char* s) { Value(std::string_view(s)); }
    void Value(int64_t n) {
        Separate();
        out_ << n;
    }
    void Value(uint32_t n) { Value(static_cast<int64_t>(n)); }
    void Value(int32_t n) { Value(static_cast<int64_t>(n)); }
    void Value(bool b) {
        Separate();
        out_ << (b ? "true" : "false");
    }
    // The shortest text that reads back as the same double; JSON has no NaN or infinity.
    void Number(double d) {
        Separate();
        if (!std::isfinite(d)) {
            out_ << "null";
            return;
        }
        char buf[32];
        out_.write(buf, std::to_chars(buf, buf + sizeof buf, d).ptr - buf);
    }
    void Null() {
        Separate();
        out_ << "null";
    }

private:
    void Open(char c) {
        Separate();
        out_ << c;
        first_.push_back(true);
    }
    void Close(char c) {
        out_ << c;
        first_.pop_back();
    }
    void Separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_.empty()) {
            if (!first_.back()) out_ << ',';
            first_.back() = false;
        }
    }
    // Bytes that are not valid UTF-8 are written as \u00XX (Latin-1), so the output is always
    // valid JSON whatever the source encoding.
    void String(std::string_view s);

    std::ostream& out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};

// Members every JSON output shares, written alike by each.

// "format": the first member of an output's object.
inline void FormatMember(JsonWriter& j) {
    j.Key("format");
    j.Value(kJsonFormat);
}

// "first" and "last" of a span of 1-based lines, in the open object.
inline void LineSpanMembers(JsonWriter& j, int64_t first, int64_t last) {
    j.Key("first");
    j.Value(first);
    j.Key("last");
    j.Value(last);
}

// Bytes as lower-case hex digits, two a byte.
inline void HexValue(JsonWriter& j, std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        hex += kHex[static_cast<unsigned char>(c) >> 4];
        hex += kHex[static_cast<unsigned char>(c) & 15];
    }
    j.Value(hex);
}

} // namespace quennet::render
