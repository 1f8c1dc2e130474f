// The merge workspace as a document: lines of 8-bit text, a colour and a bold flag for every
// character and for every line break. The text is one buffer with the breaks in it, the lines
// an array of where they start, the formats runs over the whole buffer: a document takes about
// its text's size, not a heap block per line. It is the model behind the merge editor's text
// control; the RTF reader fills it, the RTF writer and the merged-output writers read it.
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
#include <unordered_map>
#include <vector>

namespace quennet::workspace {

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

// Consecutive characters of the whole text, line breaks included, in one format.
struct TFormatSpan {
    size_t Start = 0;
    size_t Length = 0;
    TCharFormat Format;
};

class TWorkspaceDocument {
public:
    TWorkspaceDocument(); // one empty line, automatic colour

    // Building, line by line (tests and the clipboard use this). The first AppendLine replaces
    // the initial empty line; each call before the next ends the previous line with a break
    // in that line's BreakFormat.
    void Clear();
    void AppendLine(std::string_view text, const std::vector<TFormatRun>& runs,
                    TCharFormat breakFormat);
    void AppendLine(std::string_view text,
                    TCharFormat format); // one format for all, break included
    // Building a character at a time (the reader): a character at the end of the last line, a
    // break that ends the last line, and the end mark's format.
    void AppendChar(char c, TCharFormat format) { // inline: the reader calls it for every byte
        appended_ = true;
        if (runs_.empty() || !(formats_[RunFormat(runs_.back())] == format))
            runs_.push_back(Pack(text_.size(), FormatIndex(format)));
        text_ += c;
    }
    void AppendBreak(TCharFormat breakFormat);
    void SetEndFormat(TCharFormat format) { endMark_ = format; }
    // Room for that many lines, bytes of text and format runs, so that a large document does
    // not regrow (and hold two copies for a moment) as it is read.
    void Reserve(size_t lines, size_t textBytes, size_t runs = 0);

    // Lines. A line's text and runs are views of the whole text; LineRuns builds its vector.
    size_t LineCount() const { return lineStart_.size(); }
    size_t TextLineCount() const;
    std::string_view LineText(size_t line) const;
    size_t LineLength(size_t line) const;
    std::vector<TFormatRun> LineRuns(size_t line) const;
    // The format of the line's break (for the last line: its end mark).
    TCharFormat LineBreakFormat(size_t line) const;

    // The whole text with every line break as "\n" (a line's own "\n" bytes stay text: lines
    // are where LineIndex says), and its runs of one format, breaks included, in order.
    std::string_view Text() const { return text_; }
    size_t FormatRunCount() const { return runs_.size(); }
    TFormatSpan FormatRun(size_t i) const;

    // Character indexes. LineIndex and LineFromChar are inverses on a line's first character;
    // an index past the end belongs to the last line.
    size_t TextLength() const { return text_.size(); }
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

    // Invariant checks for tests: runs cover the text exactly, none empty, neighbours differ;
    // every line but the first starts after a break.
    bool IsConsistent() const;

private:
    // A run is its first character's index and its format's place in formats_, in one word:
    // a large document has one run per colour change, not one vector per line.
    static constexpr unsigned kFormatBits = 26;
    static uint64_t Pack(size_t start, uint32_t format) {
        return (uint64_t{start} << kFormatBits) | format;
    }
    static size_t RunStart(uint64_t run) { return static_cast<size_t>(run >> kFormatBits); }
    static uint32_t RunFormat(uint64_t run) {
        return static_cast<uint32_t>(run & ((uint64_t{1} << kFormatBits) - 1));
    }
    size_t RunEnd(size_t i) const {
        return i + 1 < runs_.size() ? RunStart(runs_[i + 1]) : text_.size();
    }
    uint32_t FormatIndex(TCharFormat format);
    size_t RunAt(size_t index) const; // the run holding a character of the text
    size_t SplitRunAt(size_t index);  // the run that starts at index (runs_.size() at the end)
    void PushRun(size_t start, TCharFormat format);
    void MergeRuns(size_t from, size_t to); // neighbours of one format within [from, to]
    void ShiftRuns(size_t from, std::ptrdiff_t by);
    void ApplyFormat(size_t start, size_t length, void (*apply)(TCharFormat&, const void*),
                     const void* arg);
    void ClampSelection();

    std::string text_;              // every line, each break as "\n"
    std::vector<size_t> lineStart_; // index of each line's first character
    std::vector<uint64_t> runs_;    // Pack(start, format), starts increasing from 0
    std::vector<TCharFormat> formats_;
    std::unordered_map<uint64_t, uint32_t> formatIndex_;
    TCharFormat endMark_; // the last line's end mark
    TSelection selection_;
    bool appended_ = false; // the first AppendLine replaces the initial empty line
    bool utf8_ = false;
};

} // namespace quennet::workspace
