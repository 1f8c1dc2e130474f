// The merge workspace as a document: lines of 8-bit text, a colour and a bold flag for every
// character and for every line break. It is the model behind the merge editor's text control;
// the RTF reader fills it, the RTF writer and the merged-output writers read it.
//
// Character indexes run over the whole text with every line break counted as one character,
// as in a platform text control: line L starts at LineIndex(L), its break (when it has one)
// sits at LineIndex(L) + LineLength(L). The document always has at least one line; only the
// last line has no break. Its "end mark" still carries attributes, so an empty last line has
// a colour (read at index TextLength()).
//
// LineCount() counts lines as the control shows them; TextLineCount() is the number of lines a
// save writes (a last line that is empty after a break is not a line of text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::merge {

// An RGB colour or the control's automatic text colour, which equals no RGB value.
class TColor {
public:
    constexpr TColor() = default;
    static constexpr TColor Rgb(uint8_t r, uint8_t g, uint8_t b) {
        return TColor((uint32_t{r} << 16) | (uint32_t{g} << 8) | b);
    }
    static constexpr TColor Automatic() { return TColor(kAutomaticValue); }
    constexpr bool IsAutomatic() const { return value_ == kAutomaticValue; }
    constexpr uint8_t Red() const { return static_cast<uint8_t>(value_ >> 16); }
    constexpr uint8_t Green() const { return static_cast<uint8_t>(value_ >> 8); }
    constexpr uint8_t Blue() const { return static_cast<uint8_t>(value_); }
    constexpr uint32_t Value() const { return value_; }
    constexpr bool operator==(const TColor&) const = default;

private:
    static constexpr uint32_t kAutomaticValue = 0xFF000000u;
    constexpr explicit TColor(uint32_t value) : value_(value) {}
    uint32_t value_ = kAutomaticValue;
};

inline constexpr TColor kBlack = TColor::Rgb(0, 0, 0);
inline constexpr TColor kRed = TColor::Rgb(255, 0, 0);
inline constexpr TColor kBlue = TColor::Rgb(0, 0, 255);

struct TCharFormat {
    TColor Color;
    bool Bold = false;
    bool operator==(const TCharFormat&) const = default;
};

// Consecutive characters of one line with the same format.
struct TFormatRun {
    size_t Length = 0;
    TCharFormat Format;
    bool operator==(const TFormatRun&) const = default;
};

struct TSelection {
    size_t Start = 0;
    size_t Length = 0;
    bool operator==(const TSelection&) const = default;
};

struct TFindOptions {
    bool MatchCase = false;
    bool WholeWord = false;
};

class TWorkspaceDocument {
public:
    TWorkspaceDocument(); // one empty line, automatic colour

    // Building, line by line (the reader and tests use this). The first AppendLine replaces
    // the initial empty line; each call before the next ends the previous line with a break
    // in that line's BreakFormat.
    void Clear();
    void AppendLine(std::string text, std::vector<TFormatRun> runs, TCharFormat breakFormat);
    void AppendLine(std::string text, TCharFormat format); // one format for all, break included
    // Room for that many lines, so that a large document does not regrow as it is read.
    void ReserveLines(size_t lines);

    // Lines.
    size_t LineCount() const { return lines_.size(); }
    size_t TextLineCount() const;
    const std::string& LineText(size_t line) const { return lines_.at(line).Text; }
    size_t LineLength(size_t line) const { return lines_.at(line).Text.size(); }
    const std::vector<TFormatRun>& LineRuns(size_t line) const { return lines_.at(line).Runs; }
    // The format of the line's break (for the last line: its end mark).
    TCharFormat LineBreakFormat(size_t line) const { return lines_.at(line).BreakFormat; }

    // Character indexes. LineIndex and LineFromChar are inverses on a line's first character;
    // an index past the end belongs to the last line.
    size_t TextLength() const { return textLength_; }
    size_t LineIndex(size_t line) const;
    size_t LineFromChar(size_t index) const;

    // Formats. FormatAt(i) is the character's format, a line break's format for the index of
    // a break, and the end mark's format at TextLength() and beyond.
    TCharFormat FormatAt(size_t index) const;
    TColor ColorAt(size_t index) const { return FormatAt(index).Color; }
    // The colour of the line's first character, or of its break when it is empty.
    TColor LineColor(size_t line) const { return ColorAt(LineIndex(line)); }
    // Colours [start, start + length); a range that reaches the end colours the end mark too.
    void SetColor(size_t start, size_t length, TColor color);
    void SetBold(size_t start, size_t length, bool bold);

    // Selection, clamped to the text.
    TSelection Selection() const { return selection_; }
    void SetSelection(size_t start, size_t length);
    TColor SelectionColor() const { return ColorAt(selection_.Start); }
    void SetSelectionColor(TColor color) { SetColor(selection_.Start, selection_.Length, color); }
    std::string SelectedText() const { return TextRange(selection_.Start, selection_.Length); }

    // The text of a range, line breaks as "\n".
    std::string TextRange(size_t start, size_t length) const;
    // Every text line followed by CR LF: the plain-text save.
    std::string PlainText() const;

    // First match at or after start (searching towards the end), or nothing. Without
    // MatchCase, letters a to z match their capitals; WholeWord wants no letter, digit or "_"
    // (nor byte from 128 up) right before and after the match. "\n" in what matches a break.
    std::optional<size_t> Find(std::string_view what, size_t start, TFindOptions options) const;

    // Editing. Inserted text takes the given format; "\n", CR LF and a lone CR start a new
    // line. The caret ends after the insertion.
    void Insert(size_t index, std::string_view text, TCharFormat format);
    void Delete(size_t start, size_t length);
    // Replaces the selection, taking the format of the selection's first character.
    void ReplaceSelection(std::string_view text);

    // Whether the bytes are UTF-8 text; otherwise each is a Windows-1252 character. Editors
    // show the text by it, and the RTF writer declares it.
    bool IsUtf8() const { return utf8_; }
    void SetUtf8(bool utf8) { utf8_ = utf8; }

    // Invariant checks for tests: runs cover every line exactly, no empty runs.
    bool IsConsistent() const;

private:
    struct Line {
        std::string Text;
        std::vector<TFormatRun> Runs;
        TCharFormat BreakFormat;
    };
    static void NormalizeRuns(std::vector<TFormatRun>& runs);
    static void SetRunsFormat(Line& line, size_t from, size_t to,
                              void (*apply)(TCharFormat&, const void*), const void* arg);
    void ApplyFormat(size_t start, size_t length, void (*apply)(TCharFormat&, const void*),
                     const void* arg);
    void RebuildIndex();
    void ClampSelection();

    std::vector<Line> lines_;
    std::vector<size_t> lineStart_; // character index of each line's first character
    size_t textLength_ = 0;
    TSelection selection_;
    bool appended_ = false; // the first AppendLine replaces the initial empty line
    bool utf8_ = false;
};

} // namespace quennet::merge
