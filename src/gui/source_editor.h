// The source editor control of the old view, the new view and the diff view: a QScintilla
// editor that keeps a file's bytes exactly, colours Pascal, has ten numbered bookmarks and
// carries the per-line decorations of a selected difference.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QFont>
#include <QImage>
#include <array>
#include <string>
#include <vector>

#include "io/source_save.h"
#include "io/view_encoding.h"
#include "render/line_decoration.h"
#include "viewrules/char_diff.h"
#include "viewrules/difference_marks.h"
#include "viewrules/inactive_code.h"
#include "viewrules/palette.h"
#include "viewrules/split_alignment.h"

namespace quennet::gui {

class PascalLexer;

// "Courier New" 10 pt, or the system's fixed-pitch font at 10 pt where that family is missing.
QFont DefaultEditorFont();

class SourceEditor : public QsciScintilla {
    Q_OBJECT
public:
    // Marker numbers: bookmarks 0..9 carry their digit; the two state images and the grey
    // line background follow. Indicators colour the text of marked lines.
    static constexpr int kBookmarkCount = 10;
    // Of two background markers on a line the higher number shows, so the selection band
    // stands over the tint of every difference.
    static constexpr int kOldOnlyMarker = 10; // image 0 in the gutter
    static constexpr int kNewOnlyMarker = 11; // image 1 in the gutter
    static constexpr int kRemovedLinesMarker = 12;
    static constexpr int kAddedLinesMarker = 13;
    static constexpr int kChangedLinesMarker = 14;
    static constexpr int kBackgroundMarker = 15; // the selection band
    // Changed lines inside a changed declaration: over its tint, under the selection band
    // (Scintilla draws the highest background marker).
    static constexpr int kChangedInsideMarker = 16;
    // Translucent over every other background: code conditional compilation left out.
    static constexpr int kInactiveMarker = 25;
    static constexpr int kFirstForegroundIndicator = 8;
    static constexpr int kForegroundIndicatorCount = 8;
    static constexpr int kCharMarkIndicator = 16;
    // Line backgrounds in colours of the caller's choosing (the merge window's tints).
    static constexpr int kFirstTintMarker = 17;
    static constexpr int kTintMarkerCount = 8;

    explicit SourceEditor(int gutterWidth, QWidget* parent = nullptr);
    ~SourceEditor() override;

    // Text as bytes, one string per line without its line break. Text decoded from another
    // encoding (UTF-16, marked UTF-8) is shown as UTF-8 whatever it holds.
    void setLines(const std::vector<std::string>& lines,
                  io::TextEncoding encoding = io::TextEncoding::Bytes);
    std::vector<std::string> lines() const;
    std::string lineBytes(int line) const; // throws std::out_of_range beyond the last line
    int lineCount() const;
    std::string textCrLf() const; // every line followed by CR LF: the text for Parse
    io::ViewCharset charset() const { return charset_; }
    // Throws std::runtime_error naming the file when a character typed cannot be written in
    // the encoding the text came in.
    void requireEncodable(const std::string& fileName) const;
    // The file's bytes for the text in its format (textFormat), after requireEncodable.
    std::string fileBytes(const std::string& fileName) const;

    // Throws std::runtime_error naming the file when it cannot be read.
    void loadFile(const QString& path);
    // Line ends and final break of the last file loaded, so that saving keeps them.
    const io::SourceTextFormat& textFormat() const { return textFormat_; }

    // firstLine is a line of the text; filler rows above it are counted in.
    void scrollToLine(int firstLine, int column = 0);
    int firstVisibleTextLine() const;
    int visibleRows() const;
    int caretLine() const;
    int caretColumn() const;

    bool isModified() const;
    void setModified(bool modified) override;
    void setReadOnly(bool readOnly) override;
    void setEditorFont(const QFont& font);
    QFont editorFont() const { return font_; }

    // Numbered bookmarks; a line of -1 means not set.
    void toggleBookmark(int number); // on the caret line
    void gotoBookmark(int number);
    void setBookmark(int number, int line);
    int bookmarkLine(int number) const;

    // Decorations: decorations[i] applies to line firstLine + i. Replaces all earlier ones.
    void setDecorations(int firstLine, const std::vector<render::LineDecoration>& decorations);
    void clearDecorations();
    // Where the state image stands in the gutter; by default right of a bookmark digit.
    void setStateImageX(int x);
    int stateImageX() const { return stateImageX_; }
    // Indicator that carries the given foreground colour (allocated on first use).
    int foregroundIndicator(uint32_t rgb);
    // The foreground colour an indicator puts on the text at a byte position, or -1 for none.
    int64_t foregroundAt(int line, int byteIndex) const;

    // The theme's colours, chosen from the window background.
    const viewrules::ViewPalette& viewPalette() const { return *viewPalette_; }

    // Lines of every difference, tinted by kind; the overview strip draws them too.
    void setDifferenceSpans(std::vector<viewrules::LineSpan> spans);
    const std::vector<viewrules::LineSpan>& differenceSpans() const { return spans_; }
    // The changed lines inside changed declarations; replaces earlier ones.
    void setChangedInside(const std::vector<int32_t>& lines);
    // Lines conditional compilation left out, shaded, each with the tip that says why.
    void setInactive(std::vector<viewrules::InactiveSpan> spans);
    // The tip of a left-out line; empty for a compiled one.
    QString inactiveTip(int line) const;
    // Filler rows that keep this view level with the other one; empty removes them.
    void setFillers(const std::vector<viewrules::FillerBlock>& fillers);
    int fillerRowsAfter(int line) const;
    // Changed characters, in the colour of this view's side.
    void setSide(render::ViewSide side);
    void clearCharMarks();
    void addCharMarks(int line, const std::vector<viewrules::ByteRange>& ranges);
    bool hasCharMark(int line, int byteIndex) const;
    // Backgrounds of whole lines, one colour per line (0 for none); replaces earlier tints.
    // Throws std::logic_error beyond kTintMarkerCount colours.
    void setLineTints(const std::vector<uint32_t>& tints);
    // The tint of a line, or 0.
    uint32_t lineTint(int line) const;
    void setLineNumbersVisible(bool visible);
    bool lineNumbersVisible() const { return lineNumbers_; }

signals:
    void statusChanged(); // caret moved or the modified state changed
    void differencesChanged();
    void textReplaced(); // setLines: marks and fillers of the earlier text are gone
    void scrolled();     // the first visible row changed

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyAppearance();
    void defineMarkers();
    void applyTints();
    void updateLineNumberWidth();
    int lineHeight() const;
    std::string viewLine(int line) const; // UTF-8 as shown
    std::vector<std::string> viewLines() const;
    long viewPosition(int line, int byteIndex) const;

    PascalLexer* lexer_ = nullptr;
    QFont font_;
    int gutterWidth_;
    int stateImageX_ = -1; // -1: right of a digit
    io::ViewCharset charset_ = io::ViewCharset::Windows1252;
    // Scintilla always holds one line; these tell an empty text from one empty line.
    bool oneEmptyLine_ = false;
    bool forcedModified_ = false;
    io::SourceTextFormat textFormat_;
    std::array<int, kBookmarkCount> bookmarkHandles_;
    uint32_t backgroundColor_ = render::kSelectionBackground; // of the background marker
    std::vector<uint32_t> indicatorColors_; // colour of indicator kFirstForegroundIndicator + i
    std::vector<uint32_t> tintColors_;      // colour of marker kFirstTintMarker + i
    const viewrules::ViewPalette* viewPalette_ = &viewrules::LightPalette();
    std::vector<viewrules::LineSpan> spans_;
    std::vector<viewrules::InactiveSpan> inactive_;
    std::vector<viewrules::FillerBlock> fillers_;
    render::ViewSide side_ = render::ViewSide::Old;
    bool lineNumbers_ = false;
};

} // namespace quennet::gui
