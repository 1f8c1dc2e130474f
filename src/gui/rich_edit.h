// The merge editor's text control: a plain-text edit widget that shows a workspace document
// with every character's colour and bold, and keeps that document in step with the user's
// edits.
//
// Both sides hold the same text and formats. Loading and marking go from the document to the
// widget; typing, deleting, pasting and undo go from the widget to the document through
// contentsChange, which copies the changed range back with the widget's formats. Line breaks
// carry formats on both sides: in the widget a break's format is that of the block separator,
// which is what the following block reports as its char format. The end mark (the format of
// the last line's end) exists only in the document.
//
// The document counts bytes, the widget UTF-16 units. Windows-1252 text maps each byte to one
// character (the five unassigned bytes to the control characters of the same value), so the
// two agree; UTF-8 text shows characters, and positions are mapped line by line through the
// widget's own text, whose units each stand for bytes of their own.
#pragma once

#include "io/view_encoding.h"
#include "viewrules/palette.h"
#include "workspace/workspace_document.h"

#include <QPlainTextEdit>
#include <QString>
#include <QTextCharFormat>
#include <string>
#include <string_view>

namespace quennet::gui {

// Bytes and the characters that show them; a character with no bytes is '?'.
QString BytesToText(std::string_view bytes, io::ViewCharset charset = io::ViewCharset::Windows1252);
std::string TextToBytes(const QString& text,
                        io::ViewCharset charset = io::ViewCharset::Windows1252);

// With a palette, red, blue and black are shown in its colours and read back as stored.
QTextCharFormat ToTextCharFormat(const workspace::TCharFormat& format,
                                 const viewrules::ViewPalette* shown = nullptr);
workspace::TCharFormat ToCharFormat(const QTextCharFormat& format,
                                    const viewrules::ViewPalette* shown = nullptr);

class TRichEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TRichEdit(QWidget* parent = nullptr);

    // Replaces the content; the undo history is cleared and the text counts as unmodified.
    void LoadDocument(workspace::TWorkspaceDocument document);
    // The content as a workspace document, its selection the widget's.
    const workspace::TWorkspaceDocument& Document();
    // Rebuilds the document from the widget alone (a check for tests: it must equal Document()).
    workspace::TWorkspaceDocument DocumentFromWidget() const;
    // Shows the same bytes as UTF-8 text or as Windows-1252 bytes; the undo history is cleared.
    void SetUtf8(bool utf8);
    // Text as the document holds it, and bytes as the widget shows them.
    std::string TextBytes(const QString& text) const { return TextToBytes(text, Charset()); }
    QString ShownText(std::string_view bytes) const { return BytesToText(bytes, Charset()); }

    // File operations: RTF or plain text by content when loading; throws naming the file.
    void LoadFromFile(const QString& path);
    void SaveRtf(const QString& path);
    void SavePlainText(const QString& path);

    // Lines as a save writes them (the line-break-ended ones plus a last non-empty one).
    size_t LineCount() { return Document().TextLineCount(); }
    std::string LineText(size_t line) { return std::string(Document().LineText(line)); }
    size_t LineIndex(size_t line) { return Document().LineIndex(line); }
    size_t LineFromChar(size_t index) { return Document().LineFromChar(index); }

    workspace::TSelection Selection() const;
    // Moves the caret (to start + length) and scrolls it into view.
    void SetSelection(size_t start, size_t length);
    workspace::TColor SelectionColor() { return Document().SelectionColor(); }
    void SetSelectionColor(workspace::TColor color);
    // Recolours a range in the document and the widget.
    void SetColor(size_t start, size_t length, workspace::TColor color);
    std::optional<size_t> Find(std::string_view what, size_t start,
                               workspace::TFindOptions options) {
        return Document().Find(what, start, options);
    }

    // Redraw suspension, nestable: nothing is painted until the last resume, which repaints once.
    void SuspendRedraw();
    void ResumeRedraw();
    bool RedrawSuspended() const { return redrawLocks_ > 0; }

    bool ClipboardHasText() const;
    bool Modified() const;
    void SetModified(bool modified);

    // The palette the colours are shown in (from the window background).
    const viewrules::ViewPalette& ShownPalette() const { return *shown_; }
    // A gutter left of the text with "-" on removed and "+" on inserted lines.
    void SetSignGutterVisible(bool visible);
    int SignGutterWidth() const;
    // Scrolls so that text lines first..last are seen whole, or from a little above first
    // when they do not fit.
    void RevealLines(size_t first, size_t last);
    int FirstVisibleLine() const;

    // Count of widget changes copied into the document one by one, and of full rebuilds
    // needed when a change report did not fit (tests watch both).
    int IncrementalSyncs() const { return incrementalSyncs_; }
    int FullSyncs() const { return fullSyncs_; }

signals:
    // The caret or the selection moved.
    void SelectionChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The clipboard and drag and drop carry RTF next to the plain text, so lines keep their
    // colours when they are moved; RTF from other programs is read too.
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TSignGutter;
    void PaintSignGutter(QPaintEvent* event);
    void ApplyShownPalette();
    void OnContentsChange(int from, int removed, int added);
    void OnCursorPositionChanged();
    // Widget formats of widget positions [start, start + length) copied into the document;
    // breaks included.
    void CopyFormatsFromWidget(size_t start, size_t length);
    // Document formats of [start, start + length) put on the widget; breaks included.
    void PushFormatsToWidget(size_t start, size_t length);
    // Replaces the selection with a formatted piece of text.
    void InsertDocument(const workspace::TWorkspaceDocument& piece);
    // Inserts a document's lines at the cursor, each run in its format; false when a run
    // boundary splits a character, which the widget then shows in one format.
    bool InsertLines(QTextCursor& cursor, const workspace::TWorkspaceDocument& piece);
    // The document range a UTF-8 widget change replaced, from the unchanged text before and
    // after it; false when the report does not fit the document.
    bool ChangedRange(size_t from, size_t added, size_t& index, size_t& removed) const;
    void RebuildDocument();

    io::ViewCharset Charset() const {
        return doc_.IsUtf8() ? io::ViewCharset::Utf8 : io::ViewCharset::Windows1252;
    }
    // A document index as a widget position and back; the two must be in step up to there.
    int WidgetPos(size_t index) const;
    size_t DocIndex(int pos) const;
    size_t DocIndexIn(const QTextBlock& block, int column) const;
    // The document's format of the block separator that ends a block (its line break).
    QTextCharFormat BreakFormatOfBlock(const QTextBlock& block) const;

    workspace::TWorkspaceDocument doc_;
    workspace::TCharFormat endMark_;
    bool stale_ = false;   // the document missed a change: rebuild it from the widget
    bool pushing_ = false; // our own format changes are not copied back
    int redrawLocks_ = 0;
    int incrementalSyncs_ = 0;
    int fullSyncs_ = 0;
    const viewrules::ViewPalette* shown_ = &viewrules::LightPalette();
    QWidget* signGutter_ = nullptr;
};

// Suspends redrawing of a control for a scope.
class TRedrawLock {
public:
    explicit TRedrawLock(TRichEdit* edit) : edit_(edit) { edit_->SuspendRedraw(); }
    ~TRedrawLock() { edit_->ResumeRedraw(); }
    TRedrawLock(const TRedrawLock&) = delete;
    TRedrawLock& operator=(const TRedrawLock&) = delete;

private:
    TRichEdit* edit_;
};

} // namespace quennet::gui
