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

// The text is gathered in a buffer and handed to the stream in large blocks, and whole when the
// outermost object or array closes, so the stream may be written directly after that.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) { buf_.reserve(kBlock + 1024); }
    ~JsonWriter() { Flush(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    void Key(std::string_view key) {
        Separate();
        String(key);
        buf_ += ':';
        afterKey_ = true;
    }
    void Value(std::string_view s) {
        Separate();
        String(s);
    }
    void Value(const char* s) { Value(std::string_view(s)); }
    void Value(int64_t n) {
        Separate();
        char num[24];
        buf_.append(num, static_cast<size_t>(std::to_chars(num, num + sizeof num, n).ptr - num));
    }
    void Value(uint32_t n) { Value(static_cast<int64_t>(n)); }
    void Value(int32_t n) { Value(static_cast<int64_t>(n)); }
    void Value(bool b) {
        Separate();
        buf_ += b ? "true" : "false";
    }
    // The shortest text that reads back as the same double; JSON has no NaN or infinity.
    void Number(double d) {
        Separate();
        if (!std::isfinite(d)) {
            buf_ += "null";
            return;
        }
        char num[32];
        buf_.append(num, static_cast<size_t>(std::to_chars(num, num + sizeof num, d).ptr - num));
    }
    void Null() {
        Separate();
        buf_ += "null";
    }

private:
    static constexpr size_t kBlock = 1 << 16;

    void Open(char c) {
        Separate();
        buf_ += c;
        first_.push_back(true);
    }
    void Close(char c) {
        buf_ += c;
        first_.pop_back();
        if (first_.empty() || buf_.size() >= kBlock) Flush();
    }
    void Separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_.empty()) {
            if (!first_.back()) buf_ += ',';
            first_.back() = false;
        }
    }
    void Flush() {
        out_.write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
        buf_.clear();
    }
    // Bytes that are not valid UTF-8 are written as \u00XX (Latin-1), so the output is always
    // valid JSON whatever the source encoding.
    void String(std::string_view s);

    std::ostream& out_;
    std::string buf_;
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
