// A minimal streaming JSON writer for the machine-readable outputs.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
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
    explicit JsonWriter(std::ostream& out)
        : out_(out), buf_(std::make_unique_for_overwrite<char[]>(kBlock + kRoom)),
          cap_(kBlock + kRoom) {}
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
        buf_[len_++] = ':'; // String leaves room for one more byte
        afterKey_ = true;
    }
    // A key spelled in the program, as a literal: plain ASCII, copied as it is.
    template <size_t N> void Key(const char (&key)[N]) {
        Separate();
        Room(N + 2);
        buf_[len_] = '"';
        std::memcpy(&buf_[len_ + 1], key, N - 1);
        buf_[len_ + N] = '"';
        buf_[len_ + N + 1] = ':';
        len_ += N + 2;
        afterKey_ = true;
    }
    void Value(std::string_view s) {
        Separate();
        String(s);
    }
    void Value(const char* s) { Value(std::string_view(s)); }
    void Value(int64_t n) {
        Separate();
        Room(24);
        len_ = static_cast<size_t>(std::to_chars(&buf_[len_], &buf_[len_ + 24], n).ptr - &buf_[0]);
    }
    void Value(uint32_t n) { Value(static_cast<int64_t>(n)); }
    void Value(int32_t n) { Value(static_cast<int64_t>(n)); }
    void Value(bool b) {
        Separate();
        Put(b ? std::string_view("true") : std::string_view("false"));
    }
    // The shortest text that reads back as the same double; JSON has no NaN or infinity.
    void Number(double d) {
        Separate();
        if (!std::isfinite(d)) {
            Put("null");
            return;
        }
        Room(32);
        len_ = static_cast<size_t>(std::to_chars(&buf_[len_], &buf_[len_ + 32], d).ptr - &buf_[0]);
    }
    void Null() {
        Separate();
        Put("null");
    }

private:
    static constexpr size_t kBlock = 1 << 16;
    // Every write but a long string's fits in this much past the block.
    static constexpr size_t kRoom = 64;

    // At least n bytes free at buf_[len_].
    void Room(size_t n) {
        if (len_ + n <= cap_) return;
        Flush();
        if (n > cap_) {
            buf_ = std::make_unique_for_overwrite<char[]>(n);
            cap_ = n;
        }
    }
    void Put(std::string_view text) {
        Room(text.size());
        std::memcpy(&buf_[len_], text.data(), text.size());
        len_ += text.size();
    }
    void Open(char c) {
        Separate();
        Room(1);
        buf_[len_++] = c;
        first_.push_back(1);
    }
    void Close(char c) {
        Room(1);
        buf_[len_++] = c;
        first_.pop_back();
        if (first_.empty() || len_ >= kBlock) Flush();
    }
    void Separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_.empty()) {
            if (first_.back() == 0) {
                Room(1);
                buf_[len_++] = ',';
            }
            first_.back() = 0;
        }
    }
    void Flush() {
        out_.write(buf_.get(), static_cast<std::streamsize>(len_));
        len_ = 0;
    }
    // Bytes that are not valid UTF-8 are written as \u00XX (Latin-1), so the output is always
    // valid JSON whatever the source encoding.
    void String(std::string_view s);

    std::ostream& out_;
    std::unique_ptr<char[]> buf_;
    size_t cap_;
    size_t len_ = 0;
    std::vector<uint8_t> first_; // per open object or array: nothing written in it yet
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
