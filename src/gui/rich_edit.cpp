// The merge editor's text control and its two-way link with the workspace document.
#include "rich_edit.h"

#include "io/source_file.h"
#include "io/view_encoding.h"
#include "source_editor.h"
#include "view_colors.h"
#include "viewrules/difference_marks.h"
#include "viewrules/merge_colors.h"
#include "workspace/merged_output.h"
#include "workspace/rtf_reader.h"
#include "workspace/rtf_writer.h"
#include "workspace/workspace_range.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPalette>
#include <QPlainTextDocumentLayout>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace quennet::gui {

namespace {

using workspace::TCharFormat;
using workspace::TColor;

std::u16string_view Units(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

} // namespace

QString BytesToText(std::string_view bytes, io::ViewCharset charset) {
    return QString::fromStdU16String(io::ToUtf16(bytes, charset));
}

std::string TextToBytes(const QString& text, io::ViewCharset charset) {
    return io::FromUtf16(Units(text), charset);
}

QTextCharFormat ToTextCharFormat(const TCharFormat& format, const viewrules::ViewPalette* shown) {
    QTextCharFormat f;
    const TColor color = shown ? viewrules::SwapMergeColor(*shown, format.Color) : format.Color;
    if (!color.IsAutomatic()) f.setForeground(QColor(color.Red(), color.Green(), color.Blue()));
    if (format.Bold) f.setFontWeight(QFont::Bold);
    return f;
}

TCharFormat ToCharFormat(const QTextCharFormat& format, const viewrules::ViewPalette* shown) {
    TCharFormat f;
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor c = format.foreground().color();
        f.Color = TColor::Rgb(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                              static_cast<uint8_t>(c.blue()));
        if (shown) f.Color = viewrules::SwapMergeColor(*shown, f.Color);
    }
    f.Bold = format.fontWeight() >= QFont::Bold;
    return f;
}

// The sign gutter: painted by its editor, which knows the lines' colours.
class TSignGutter : public QWidget {
public:
    explicit TSignGutter(TRichEdit* edit) : QWidget(edit), edit_(edit) {}
    QSize sizeHint() const override { return {edit_->SignGutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { edit_->PaintSignGutter(event); }

private:
    TRichEdit* edit_;
};

TRichEdit::TRichEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    setFont(DefaultEditorFont());
    // Tab stops every half inch, as a workspace's default tab of 720 twips asks.
    setTabStopDistance(logicalDpiX() / 2.0);
    // The selection stays visible, in its usual colours, when the focus moves elsewhere.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
    ApplyShownPalette();
    connect(document(), &QTextDocument::contentsChange, this, &TRichEdit::OnContentsChange);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            &TRichEdit::OnCursorPositionChanged);
    connect(this, &QPlainTextEdit::selectionChanged, this, &TRichEdit::SelectionChange);
}

void TRichEdit::LoadDocument(workspace::TWorkspaceDocument document) {
    doc_ = std::move(document);
    endMark_ = doc_.LineBreakFormat(doc_.LineCount() - 1);
    stale_ = false;
    QTextDocument* qdoc = QPlainTextEdit::document();
    pushing_ = true;
    qdoc->setUndoRedoEnabled(false);
    {
        // One edit block: the layout and the view hear of the change once.
        QTextCursor c(qdoc);
        c.beginEditBlock();
        c.select(QTextCursor::Document);
        c.removeSelectedText();
        const bool whole = InsertLines(c, doc_);
        c.endEditBlock();
        // A character whose bytes had two formats has one now: the document follows.
        if (!whole) doc_ = DocumentFromWidget();
    }
    qdoc->setUndoRedoEnabled(true);
    pushing_ = false;
    qdoc->setModified(false);
    QTextCursor start(qdoc);
    setTextCursor(start);
    OnCursorPositionChanged();
}

bool TRichEdit::InsertLines(QTextCursor& c, const workspace::TWorkspaceDocument& piece) {
    const io::ViewCharset charset =
        piece.IsUtf8() ? io::ViewCharset::Utf8 : io::ViewCharset::Windows1252;
    // A piece in the other charset keeps its characters, as far as this one holds them.
    const bool convert = charset != Charset();
    bool whole = true;
    for (size_t line = 0; line < piece.LineCount(); ++line) {
        if (line > 0)
            c.insertBlock(QTextBlockFormat(),
                          ToTextCharFormat(piece.LineBreakFormat(line - 1), shown_));
        const std::string_view text = piece.LineText(line);
        const std::u16string units = io::ToUtf16(text, charset);
        size_t pos = 0, unit = 0, unitBytes = 0; // unitBytes: the bytes of units before unit
        for (const auto& run : piece.LineRuns(line)) {
            pos += run.Length;
            const std::u16string_view rest = std::u16string_view(units).substr(unit);
            const size_t n = io::Utf16Offset(rest, pos - unitBytes, charset);
            const size_t nBytes = io::ByteLength(rest.substr(0, n), charset);
            whole = whole && unitBytes + nBytes == pos;
            if (n == 0) continue;
            QString shown = QString::fromUtf16(rest.data(), static_cast<qsizetype>(n));
            if (convert) shown = ShownText(TextBytes(shown));
            c.insertText(shown, ToTextCharFormat(run.Format, shown_));
            unit += n;
            unitBytes += nBytes;
        }
    }
    return whole;
}

void TRichEdit::SetUtf8(bool utf8) {
    if (utf8 == doc_.IsUtf8()) return;
    workspace::TWorkspaceDocument doc = Document();
    doc.SetUtf8(utf8);
    const bool wasModified = Modified();
    LoadDocument(std::move(doc));
    SetModified(wasModified);
}

void TRichEdit::RebuildDocument() {
    doc_ = DocumentFromWidget();
    stale_ = false;
    ++fullSyncs_;
}

const workspace::TWorkspaceDocument& TRichEdit::Document() {
    if (stale_) RebuildDocument();
    const workspace::TSelection sel = Selection();
    doc_.SetSelection(sel.Start, sel.Length);
    return doc_;
}

workspace::TWorkspaceDocument TRichEdit::DocumentFromWidget() const {
    workspace::TWorkspaceDocument out;
    out.SetUtf8(doc_.IsUtf8());
    for (QTextBlock b = QPlainTextEdit::document()->begin(); b.isValid(); b = b.next()) {
        std::string text;
        std::vector<workspace::TFormatRun> runs;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid()) continue;
            std::string piece = TextBytes(f.text());
            runs.push_back({piece.size(), ToCharFormat(f.charFormat(), shown_)});
            text += piece;
        }
        const QTextBlock next = b.next();
        out.AppendLine(text, runs,
                       next.isValid() ? ToCharFormat(next.charFormat(), shown_) : endMark_);
    }
    return out;
}

void TRichEdit::OnContentsChange(int from, int removed, int added) {
    if (pushing_ || stale_) return;
    // Qt may count the document's closing separator in both numbers; anything that still
    // does not add up makes the document rebuild itself from the widget when next asked.
    QTextDocument* qdoc = QPlainTextEdit::document();
    const size_t widgetLength = static_cast<size_t>(qdoc->characterCount() - 1);
    const size_t start = static_cast<size_t>(std::max(from, 0));
    if (start > widgetLength) {
        stale_ = true;
        return;
    }
    const size_t add = std::min(static_cast<size_t>(std::max(added, 0)), widgetLength - start);
    size_t index = start, rem = 0;
    if (doc_.IsUtf8()) {
        if (!ChangedRange(start, add, index, rem)) {
            stale_ = true;
            return;
        }
    } else {
        const size_t docLength = doc_.TextLength();
        rem = std::min(static_cast<size_t>(std::max(removed, 0)),
                       docLength - std::min(start, docLength));
        if (start > docLength || docLength - rem + add != widgetLength) {
            stale_ = true;
            return;
        }
    }
    QTextCursor c(qdoc);
    c.setPosition(static_cast<int>(start));
    c.setPosition(static_cast<int>(start + add), QTextCursor::KeepAnchor);
    const std::string inserted = TextBytes(c.selectedText());
    doc_.Delete(index, rem);
    if (!inserted.empty()) doc_.Insert(index, inserted, endMark_);
    if (doc_.LineCount() != static_cast<size_t>(qdoc->blockCount())) {
        stale_ = true;
        return;
    }
    CopyFormatsFromWidget(start, add);
    endMark_ = doc_.LineBreakFormat(doc_.LineCount() - 1);
    ++incrementalSyncs_;
}

bool TRichEdit::ChangedRange(size_t from, size_t added, size_t& index, size_t& removed) const {
    QTextDocument* qdoc = QPlainTextEdit::document();
    const QTextBlock first = qdoc->findBlock(static_cast<int>(from));
    const QTextBlock last = qdoc->findBlock(static_cast<int>(from + added));
    if (!first.isValid() || !last.isValid()) return false;
    // The lines after the change are the document's last ones still.
    const auto lines = static_cast<ptrdiff_t>(doc_.LineCount());
    const ptrdiff_t lastLine = last.blockNumber() + lines - qdoc->blockCount();
    if (first.blockNumber() >= lines || lastLine < first.blockNumber() || lastLine >= lines)
        return false;
    index = DocIndexIn(first, static_cast<int>(from) - first.position());
    const QString after = last.text().mid(static_cast<int>(from + added) - last.position());
    const size_t afterBytes = io::ByteLength(Units(after), io::ViewCharset::Utf8);
    const auto line = static_cast<size_t>(lastLine);
    const size_t lineEnd = doc_.LineIndex(line) + doc_.LineLength(line);
    if (afterBytes > doc_.LineLength(line) || lineEnd - afterBytes < index) return false;
    removed = lineEnd - afterBytes - index;
    return true;
}

int TRichEdit::WidgetPos(size_t index) const {
    if (!doc_.IsUtf8()) return static_cast<int>(index);
    index = std::min(index, doc_.TextLength());
    const size_t line = doc_.LineFromChar(index);
    const QTextBlock block = QPlainTextEdit::document()->findBlockByNumber(static_cast<int>(line));
    if (!block.isValid()) return static_cast<int>(index);
    const size_t column =
        io::Utf16Offset(Units(block.text()), index - doc_.LineIndex(line), io::ViewCharset::Utf8);
    return block.position() + static_cast<int>(column);
}

size_t TRichEdit::DocIndex(int pos) const {
    if (!doc_.IsUtf8()) return static_cast<size_t>(std::max(pos, 0));
    const QTextBlock block = QPlainTextEdit::document()->findBlock(std::max(pos, 0));
    if (!block.isValid()) return doc_.TextLength();
    return DocIndexIn(block, pos - block.position());
}

size_t TRichEdit::DocIndexIn(const QTextBlock& block, int column) const {
    if (!doc_.IsUtf8()) return static_cast<size_t>(block.position() + column);
    const size_t line = std::min(static_cast<size_t>(block.blockNumber()), doc_.LineCount() - 1);
    const QString text = block.text();
    const auto before = static_cast<size_t>(std::clamp(column, 0, static_cast<int>(text.size())));
    return doc_.LineIndex(line) +
           io::ByteLength(Units(text).substr(0, before), io::ViewCharset::Utf8);
}

void TRichEdit::CopyFormatsFromWidget(size_t start, size_t length) {
    if (length == 0) return;
    const size_t end = start + length;
    QTextDocument* qdoc = QPlainTextEdit::document();
    const bool endMarkReached = end >= static_cast<size_t>(qdoc->characterCount() - 1);
    const TCharFormat endMark = endMark_;
    for (QTextBlock b = qdoc->findBlock(static_cast<int>(start));
         b.isValid() && static_cast<size_t>(b.position()) < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid()) continue;
            const size_t fs = static_cast<size_t>(f.position());
            const size_t fe = fs + static_cast<size_t>(f.length());
            const size_t s = std::max(fs, start), e = std::min(fe, end);
            if (s >= e) continue;
            const TCharFormat format = ToCharFormat(f.charFormat(), shown_);
            const size_t ds = DocIndexIn(b, static_cast<int>(s) - b.position());
            const size_t de = DocIndexIn(b, static_cast<int>(e) - b.position());
            doc_.SetColor(ds, de - ds, format.Color);
            doc_.SetBold(ds, de - ds, format.Bold);
        }
        const size_t breakAt = static_cast<size_t>(b.position() + b.length() - 1);
        const QTextBlock next = b.next();
        if (next.isValid() && breakAt >= start && breakAt < end) {
            const TCharFormat format = ToCharFormat(next.charFormat(), shown_);
            const size_t docBreak = DocIndexIn(b, b.length() - 1);
            doc_.SetColor(docBreak, 1, format.Color);
            doc_.SetBold(docBreak, 1, format.Bold);
        }
    }
    // A range that reaches the end also formats the end mark in the document; typing at the
    // end of the text leaves the end mark as it was.
    if (endMarkReached) {
        const size_t last = doc_.TextLength();
        doc_.SetColor(last, 0, endMark.Color);
        doc_.SetBold(last, 0, endMark.Bold);
    }
}

void TRichEdit::PushFormatsToWidget(size_t start, size_t length) {
    const size_t textLength = doc_.TextLength();
    start = std::min(start, textLength);
    const size_t end = std::min(textLength, start + length);
    endMark_ = doc_.LineBreakFormat(doc_.LineCount() - 1);
    if (start >= end) return;
    pushing_ = true;
    QTextCursor c(QPlainTextEdit::document());
    c.beginEditBlock();
    // Stretches of one format, breaks included, each set with one call.
    size_t segStart = start;
    TCharFormat segFormat = doc_.FormatAt(start);
    auto flush = [&](size_t segEnd) {
        c.setPosition(WidgetPos(segStart));
        c.setPosition(WidgetPos(segEnd), QTextCursor::KeepAnchor);
        c.setCharFormat(ToTextCharFormat(segFormat, shown_));
    };
    auto add = [&](size_t at, size_t len, const TCharFormat& f) {
        if (len == 0) return;
        if (!(f == segFormat)) {
            if (at > segStart) flush(at);
            segStart = at;
            segFormat = f;
        }
    };
    for (size_t line = doc_.LineFromChar(start); line < doc_.LineCount(); ++line) {
        const size_t ls = doc_.LineIndex(line);
        if (ls >= end) break;
        size_t pos = ls;
        for (const auto& run : doc_.LineRuns(line)) {
            const size_t s = std::max(pos, start), e = std::min(pos + run.Length, end);
            if (s < e) add(s, e - s, run.Format);
            pos += run.Length;
        }
        if (line + 1 < doc_.LineCount() && pos >= start && pos < end)
            add(pos, 1, doc_.LineBreakFormat(line));
    }
    flush(end);
    c.endEditBlock();
    pushing_ = false;
}

QTextCharFormat TRichEdit::BreakFormatOfBlock(const QTextBlock& block) const {
    const QTextBlock next = block.next();
    return next.isValid() ? next.charFormat() : ToTextCharFormat(endMark_, shown_);
}

void TRichEdit::OnCursorPositionChanged() {
    // Text typed into an empty line takes the format of that line's own break, not of the
    // break before it.
    QTextCursor c = textCursor();
    if (!c.hasSelection() && c.block().length() == 1) {
        const QTextCharFormat f = BreakFormatOfBlock(c.block());
        if (f != c.charFormat()) setCurrentCharFormat(f);
    }
    emit SelectionChange();
}

void TRichEdit::LoadFromFile(const QString& path) {
    LoadDocument(workspace::LoadWorkspaceFile(path.toStdString()));
}

void TRichEdit::SaveRtf(const QString& path) {
    workspace::SaveWorkspaceRtf(Document(), path.toStdString());
}

void TRichEdit::SavePlainText(const QString& path) {
    workspace::SaveWorkspacePlainText(Document(), path.toStdString());
}

workspace::TSelection TRichEdit::Selection() const {
    // Positions are mapped through the document's lines, which must be those of the widget.
    if (stale_ && doc_.IsUtf8()) const_cast<TRichEdit*>(this)->RebuildDocument();
    const QTextCursor c = textCursor();
    const size_t start = DocIndex(c.selectionStart());
    return {start, DocIndex(c.selectionEnd()) - start};
}

void TRichEdit::SetSelection(size_t start, size_t length) {
    if (stale_ && doc_.IsUtf8()) RebuildDocument();
    const size_t textLength =
        doc_.IsUtf8() ? doc_.TextLength()
                      : static_cast<size_t>(QPlainTextEdit::document()->characterCount() - 1);
    start = std::min(start, textLength);
    length = std::min(length, textLength - start);
    QTextCursor c(QPlainTextEdit::document());
    c.setPosition(WidgetPos(start));
    c.setPosition(WidgetPos(start + length), QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
}

void TRichEdit::SetSelectionColor(TColor color) {
    const workspace::TSelection sel = Selection();
    SetColor(sel.Start, sel.Length, color);
}

void TRichEdit::SetColor(size_t start, size_t length, TColor color) {
    Document();
    doc_.SetColor(start, length, color);
    PushFormatsToWidget(start, length);
    OnCursorPositionChanged();
}

void TRichEdit::SuspendRedraw() {
    if (redrawLocks_++ == 0) setUpdatesEnabled(false);
}

void TRichEdit::ResumeRedraw() {
    if (redrawLocks_ == 0) return;
    if (--redrawLocks_ == 0) {
        setUpdatesEnabled(true);
        viewport()->update();
    }
}

bool TRichEdit::ClipboardHasText() const {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    return mime && mime->hasText() && !mime->text().isEmpty();
}

bool TRichEdit::Modified() const {
    return QPlainTextEdit::document()->isModified();
}

void TRichEdit::SetModified(bool modified) {
    QPlainTextEdit::document()->setModified(modified);
}

void TRichEdit::keyPressEvent(QKeyEvent* event) {
    // A line break inside a line has no place in a workspace: Shift+Enter ends the line too.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(),
                        static_cast<quint16>(event->count())); // Qt reads int, takes quint16
        QPlainTextEdit::keyPressEvent(&plain);
        return;
    }
    // Characters without bytes are shown as what will be saved.
    const QString text = event->text();
    if (!text.isEmpty() && !isReadOnly() && text.at(0).isPrint()) {
        const QString saved = ShownText(TextBytes(text));
        if (saved != text) {
            insertPlainText(saved);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

namespace {
const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlt = QStringLiteral("application/rtf");
} // namespace

QMimeData* TRichEdit::createMimeDataFromSelection() const {
    // A plain QMimeData: the widget's own kind lists a fixed set of formats.
    auto* mime = new QMimeData;
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    mime->setText(text);
    // Reading the document may first bring it up to date with the widget.
    const workspace::TWorkspaceDocument& doc = const_cast<TRichEdit*>(this)->Document();
    const workspace::TSelection sel = Selection();
    const std::string rtf = workspace::WriteRtf(workspace::CopyRange(doc, sel.Start, sel.Length));
    mime->setData(kRtfMime, QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size())));
    return mime;
}

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText() || source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlt);
}

void TRichEdit::InsertDocument(const workspace::TWorkspaceDocument& piece) {
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    InsertLines(c, piece);
    c.endEditBlock();
    setTextCursor(c);
    ensureCursorVisible();
}

void TRichEdit::insertFromMimeData(const QMimeData* source) {
    for (const QString& mime : {kRtfMime, kRtfMimeAlt}) {
        if (!source->hasFormat(mime)) continue;
        const QByteArray bytes = source->data(mime);
        const std::string_view rtf(bytes.constData(), static_cast<size_t>(bytes.size()));
        if (!workspace::LooksLikeRtf(rtf)) continue;
        InsertDocument(workspace::ReadRtf(rtf));
        return;
    }
    if (!source->hasText()) return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    insertPlainText(ShownText(TextBytes(text)));
    ensureCursorVisible();
}

} // namespace quennet::gui

namespace quennet::gui {

void TRichEdit::ApplyShownPalette() {
    const viewrules::ViewPalette* chosen =
        &viewrules::PaletteFor(ToRgb(palette().color(QPalette::Window)));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ToQColor(chosen->MergeBackground));
    pal.setColor(QPalette::Text, ToQColor(chosen->MergeUnchanged));
    if (pal != palette()) setPalette(pal);
    if (chosen == shown_) return;
    // Red, blue and black change on screen only; the document keeps what was stored.
    const workspace::TWorkspaceDocument& doc = Document();
    shown_ = chosen;
    const bool wasModified = Modified();
    PushFormatsToWidget(0, doc.TextLength());
    SetModified(wasModified);
    if (signGutter_) signGutter_->update();
}

void TRichEdit::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) ApplyShownPalette();
}

void TRichEdit::SetSignGutterVisible(bool visible) {
    if (visible && !signGutter_) {
        signGutter_ = new TSignGutter(this);
        connect(this, &QPlainTextEdit::updateRequest, signGutter_, [this](const QRect& r, int dy) {
            if (dy != 0)
                signGutter_->scroll(0, dy);
            else
                signGutter_->update(0, r.y(), signGutter_->width(), r.height());
        });
    }
    if (signGutter_) signGutter_->setVisible(visible);
    setViewportMargins(visible ? SignGutterWidth() : 0, 0, 0, 0);
    QResizeEvent resize(size(), size());
    resizeEvent(&resize);
}

int TRichEdit::SignGutterWidth() const {
    return fontMetrics().horizontalAdvance(QLatin1Char('+')) + 8;
}

void TRichEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (!signGutter_) return;
    const QRect r = contentsRect();
    signGutter_->setGeometry(QRect(r.left(), r.top(), SignGutterWidth(), r.height()));
}

void TRichEdit::PaintSignGutter(QPaintEvent* event) {
    QPainter g(signGutter_);
    g.fillRect(event->rect(), ToQColor(shown_->Gutter));
    const workspace::TWorkspaceDocument& doc = Document();
    QFont bold = font();
    bold.setBold(true);
    g.setFont(bold);
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > event->rect().bottom()) break;
        const auto line = static_cast<size_t>(block.blockNumber());
        if (!block.isVisible() || line >= doc.LineCount()) continue;
        const char sign = viewrules::MergeLineSign(doc.LineColor(line));
        if (sign == ' ') continue;
        g.setPen(ToQColor(sign == '-' ? shown_->MergeRemoved : shown_->MergeInserted));
        g.drawText(QRectF(0, box.top(), signGutter_->width(), box.height()), Qt::AlignCenter,
                   QString(QLatin1Char(sign)));
    }
}

int TRichEdit::FirstVisibleLine() const {
    return firstVisibleBlock().blockNumber();
}

void TRichEdit::RevealLines(size_t first, size_t last) {
    const int lineHeight = std::max(1, fontMetrics().lineSpacing());
    const int rows = viewport()->height() / lineHeight;
    constexpr int kContextLines = 3;
    const int top = viewrules::RevealTop(static_cast<int32_t>(first), static_cast<int32_t>(last),
                                         FirstVisibleLine(), rows, kContextLines);
    verticalScrollBar()->setValue(top);
}

} // namespace quennet::gui
