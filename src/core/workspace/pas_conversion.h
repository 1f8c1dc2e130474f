// Pascal source to rich text with syntax highlighting: reserved words bold, one RTF line per
// source line, so a caller can pick converted lines by index.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quennet::workspace {

// Token kinds of the highlighter; the numbers index the attribute table.
enum TokenKind : int {
    tkAssembler = 0,
    tkComment = 1,
    tkLineEnd = 2,       // CR LF; its suffix is always "\par "
    tkDirectiveWord = 3, // a directive word used as an ordinary word
    tkIdentifier = 4,
    tkReservedWord = 5,
    tkNumber = 6,
    tkWhitespace = 7,
    tkString = 8,
    tkSymbol = 9,
    tkPlainText = 10,
};
inline constexpr int kTokenKindCount = 11;

// The kind-name table ("Assembler", "Comment", "IGNORE", ...).
std::string_view TokenKindName(int kind);

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

struct TTokenAttributes {
    std::string Prefix;
    std::string Suffix;
};

// Thrown for an unterminated string literal ("Invalid string") and when the output cannot grow
// ("conversions buffer to small").
struct EConversionError : std::runtime_error {
    explicit EConversionError(const std::string& what, size_t offset = 0)
        : std::runtime_error(what), Offset(offset) {}
    size_t Offset;    // where in the source text the conversion stopped
    int32_t Line = 0; // 1-based line of the text; set by the workspace builder
    bool InNewText = false;
};

// A memory stream that holds Pascal source before ConvertToRtf and the RTF after it.
//
//   TPasConversion conv;
//   conv.SetDefaultAttributes();
//   conv.AppendSourceText(text);   // text + CR LF at the position
//   conv.Rewind();
//   conv.ConvertToRtf();           // throws EConversionError
//   conv.Data();                   // the RTF
class TPasConversion {
public:
    TPasConversion();

    // Clears the table and makes reserved words bold.
    void SetDefaultAttributes();
    // Prefix "{" + "\b " / "\i " / "\u " for the styles, suffix "}"; no styles: both empty.
    // The line end keeps no prefix and the suffix "\par " whatever the styles.
    void SetAttributes(int kind, unsigned styles);
    const TTokenAttributes& Attributes(int kind) const { return attributes_[kind]; }

    // Stream operations: writes overwrite at the position and extend the content.
    void Write(std::string_view bytes);
    void AppendSourceText(std::string_view text); // text, then CR LF
    void Rewind() { position_ = 0; }
    size_t Position() const { return position_; }
    void Seek(size_t position) { position_ = position < data_.size() ? position : data_.size(); }
    size_t Size() const { return data_.size(); }
    std::string_view Data() const { return data_; }
    std::string TakeData();

    // Converts the content from the position to the end; the content becomes the RTF and the
    // position returns to 0. InProperty carries over between calls as it does between lines.
    void ConvertToRtf();

    bool InProperty() const { return inProperty_; }

    static bool IsReservedWord(std::string_view upperWord);
    static bool IsPropertyEndWord(std::string_view upperWord);
    // Updates the property context; true when the word is shown as an ordinary word.
    bool IsDirectiveWord(std::string_view upperWord);

    // A backslash before every "\", "{" and "}".
    static std::string EscapeRtf(std::string_view text);

private:
    void WriteToken(int kind, std::string_view text);
    void WriteRaw(std::string_view text);

    std::array<TTokenAttributes, kTokenKindCount> attributes_;
    bool inProperty_ = false;
    std::string data_;
    size_t position_ = 0;
    std::string out_;
    std::string work_;
};

} // namespace quennet::workspace
