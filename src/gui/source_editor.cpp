// The source editor control: bytes in, bytes out; Pascal colouring, bookmarks, decorations.
#include "source_editor.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <stdexcept>

#include "io/source_file.h"
#include "io/text_encoding.h"
#include "io/view_encoding.h"
#include "pascal_lexer.h"
#include "state_images.h"
#include "view_colors.h"

namespace quennet::gui {

namespace {

constexpr int kTabWidth = 3;
constexpr unsigned kGutterMargin = 1;
constexpr unsigned kLineNumberMargin = 0;
// A style of its own for filler rows, above every style the Pascal lexer uses.
constexpr int kFillerStyle = 100;
// Filler rows are drawn in their style only as far as their text reaches.
constexpr int kFillerWidth = 400;

// A digit key with Ctrl, whether or not Shift turned it into a symbol (US layout) first.
int DigitOfKey(const QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
    switch (key) {
    case Qt::Key_ParenRight: return 0;
    case Qt::Key_Exclam: return 1;
    case Qt::Key_At: return 2;
    case Qt::Key_NumberSign: return 3;
    case Qt::Key_Dollar: return 4;
    case Qt::Key_Percent: return 5;
    case Qt::Key_AsciiCircum: return 6;
    case Qt::Key_Ampersand: return 7;
    case Qt::Key_Asterisk: return 8;
    case Qt::Key_ParenLeft: return 9;
    default: break;
    }
    // Other layouts shift the digit row to other symbols: fall back to the X11 key codes of
    // that row (10 is "1", ..., 18 is "9", 19 is "0").
    const quint32 native = event->nativeVirtualKey();
    if (native >= '0' && native <= '9') return static_cast<int>(native - '0');
    const quint32 scanCode = event->nativeScanCode();
    if (scanCode >= 10 && scanCode <= 19) return static_cast<int>((scanCode - 9) % 10);
    return -1;
}

} // namespace

QFont DefaultEditorFont() {
    auto sized = [](QFont font) {
        font.setPointSize(10);
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        return font;
    };
    if (QFontDatabase::hasFamily(QStringLiteral("Courier New")))
        return sized(QFont(QStringLiteral("Courier New")));
    // The system's fixed font may resolve to a family the font database does not know as
    // fixed-pitch; the columns of a source view need one that is.
    const QFont system = sized(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    if (QFontInfo(system).fixedPitch()) return system;
    if (QFontDatabase::isFixedPitch(QStringLiteral("DejaVu Sans Mono")))
        return sized(QFont(QStringLiteral("DejaVu Sans Mono")));
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family))
            return sized(QFont(family));
    return system;
}

SourceEditor::SourceEditor(int gutterWidth, QWidget* parent)
    : QsciScintilla(parent), font_(DefaultEditorFont()), gutterWidth_(gutterWidth) {
    bookmarkHandles_.fill(-1);
    lexer_ = new PascalLexer(this);

    // Bytes that are not UTF-8 are converted for display, so the view is always UTF-8.
    setUtf8(true);
    setEolMode(EolUnix);
    setTabWidth(kTabWidth);
    setIndentationsUseTabs(true);
    setEdgeMode(EdgeNone);
    setWrapMode(WrapNone);
    setCaretLineVisible(false);
    setFolding(NoFoldStyle);
    setAutoIndent(false);
    setBraceMatching(NoBraceMatch);
    // The selected declaration or difference block may stand near the end of the text and
    // still be scrolled to the top.
    SendScintilla(SCI_SETENDATLASTLINE, 0UL);
    // The horizontal scroll range follows the longest line shown so far.
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1UL);

    setMarginWidth(0, 0);
    setMarginWidth(2, 0);
    setMarginType(kGutterMargin, SymbolMargin);
    setMarginWidth(kGutterMargin, gutterWidth);
    setMarginSensitivity(kGutterMargin, false);
    setMarginMarkerMask(kGutterMargin, (1 << (kNewOnlyMarker + 1)) - 1);

    markerDefine(Background, kBackgroundMarker);
    setMarkerBackgroundColor(ToQColor(backgroundColor_), kBackgroundMarker);
    for (int marker :
         {kRemovedLinesMarker, kAddedLinesMarker, kChangedLinesMarker, kChangedInsideMarker})
        markerDefine(Background, marker);
    markerDefine(Background, kInactiveMarker);
    indicatorDefine(FullBoxIndicator, kCharMarkIndicator);
    SendScintilla(SCI_INDICSETUNDER, static_cast<unsigned long>(kCharMarkIndicator), 1L);
    SendScintilla(SCI_INDICSETOUTLINEALPHA, static_cast<unsigned long>(kCharMarkIndicator), 255L);

    applyAppearance();

    connect(this, &QsciScintilla::cursorPositionChanged, this, [this] { emit statusChanged(); });
    connect(this, &QsciScintilla::modificationChanged, this, [this] { emit statusChanged(); });
    connect(this, &QsciScintilla::textChanged, this, [this] { oneEmptyLine_ = false; });
    // A dragged scroll bar tells at once; scrolling by keys or caret moves is told when the
    // editor updates its display.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit scrolled(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit scrolled(); });
    // A pointer resting on left-out code says why it was left out.
    SendScintilla(SCI_SETMOUSEDWELLTIME, 500UL);
    connect(this, &QsciScintillaBase::SCN_DWELLSTART, this, [this](int, int x, int y) {
        const long pos = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(x),
                                       static_cast<long>(y));
        const QString tip = inactiveTip(
            static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos))));
        if (!tip.isEmpty()) QToolTip::showText(viewport()->mapToGlobal(QPoint(x, y)), tip, this);
    });
    connect(this, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (SC_UPDATE_V_SCROLL | SC_UPDATE_H_SCROLL)) emit scrolled();
    });
}

SourceEditor::~SourceEditor() = default;

void SourceEditor::applyAppearance() {
    viewPalette_ = &viewrules::PaletteFor(ToRgb(palette().color(QPalette::Window)));
    const viewrules::ViewPalette& p = *viewPalette_;
    lexer_->applyFont(font_);
    lexer_->applyPalette(p);
    setLexer(lexer_);
    setTabWidth(kTabWidth);
    setMarginWidth(kGutterMargin, gutterWidth_);
    setMarginsBackgroundColor(ToQColor(p.Gutter));
    setMarginsForegroundColor(ToQColor(p.GutterText));
    setMarginsFont(font_);
    setCaretForegroundColor(ToQColor(p.Text));
    setSelectionBackgroundColor(palette().color(QPalette::Highlight));
    setSelectionForegroundColor(palette().color(QPalette::HighlightedText));
    const auto style = static_cast<unsigned long>(kFillerStyle);
    SendScintilla(SCI_STYLESETBACK, style, ToQColor(p.FillerRows));
    SendScintilla(SCI_STYLESETFORE, style, ToQColor(p.FillerRows));
    SendScintilla(SCI_STYLESETFONT, style, font_.family().toUtf8().constData());
    SendScintilla(SCI_STYLESETSIZE, style, static_cast<long>(font_.pointSize()));
    applyTints();
    updateLineNumberWidth();
    defineMarkers();
}

void SourceEditor::applyTints() {
    const viewrules::ViewPalette& p = *viewPalette_;
    setMarkerBackgroundColor(ToQColor(p.RemovedLines), kRemovedLinesMarker);
    setMarkerBackgroundColor(ToQColor(p.AddedLines), kAddedLinesMarker);
    setMarkerBackgroundColor(ToQColor(p.ChangedLines), kChangedLinesMarker);
    setMarkerBackgroundColor(ToQColor(p.ChangedInside), kChangedInsideMarker);
    setMarkerBackgroundColor(ToQColor(p.InactiveShade), kInactiveMarker);
    setIndicatorForegroundColor(ToQColor(side_ == render::ViewSide::Old ? p.OldChars : p.NewChars),
                                kCharMarkIndicator);
}

int SourceEditor::lineHeight() const {
    const int h = static_cast<int>(SendScintilla(SCI_TEXTHEIGHT, 0UL));
    return h > 0 ? h : QFontMetrics(font_).height();
}

// Gutter marks are images as wide as the gutter, so each stands at its own x and a bookmark
// digit and a state image on the same line do not overlap.
void SourceEditor::defineMarkers() {
    const int height = lineHeight();
    QFont digitFont = font_;
    digitFont.setBold(true);
    for (int number = 0; number < kBookmarkCount; ++number) {
        QImage image(gutterWidth_, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setFont(digitFont);
        painter.setPen(ToQColor(viewPalette_->BookmarkDigit));
        painter.drawText(QRect(2, 0, gutterWidth_ - 2, height), Qt::AlignLeft | Qt::AlignTop,
                         QString::number(number));
        painter.end();
        markerDefine(image, number);
    }
    const int x = stateImageX_ >= 0 ? stateImageX_
                                    : QFontMetrics(font_).horizontalAdvance(QLatin1Char('0')) + 2;
    const TImageList stateImages = MakeStateImages(*viewPalette_);
    for (int index = 0; index < 2; ++index) {
        QImage image(gutterWidth_, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.drawPixmap(x, 0, stateImages[static_cast<size_t>(index)]);
        painter.end();
        markerDefine(image, kOldOnlyMarker + index);
    }
}

void SourceEditor::setStateImageX(int x) {
    stateImageX_ = x;
    defineMarkers();
}

void SourceEditor::changeEvent(QEvent* event) {
    QsciScintilla::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) applyAppearance();
}

void SourceEditor::setLines(const std::vector<std::string>& lines, io::TextEncoding encoding) {
    charset_ = io::ViewCharsetOf(lines, encoding);
    std::string text;
    size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 1;
    text.reserve(total);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        if (charset_ == io::ViewCharset::Utf8)
            text += lines[i];
        else
            text += io::ToViewText(lines[i], charset_);
    }
    const bool wasReadOnly = isReadOnly();
    SendScintilla(SCI_SETREADONLY, 0UL);
    clearDecorations();
    clearCharMarks();
    setFillers({});
    markerDeleteAll();
    if (!spans_.empty()) {
        spans_.clear();
        emit differencesChanged();
    }
    bookmarkHandles_.fill(-1);
    inactive_.clear();
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    // APPENDTEXT takes a length, so NUL bytes in a line survive.
    if (!text.empty())
        SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(text.size()), text.data());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0UL);
    SendScintilla(SCI_SETXOFFSET, 0UL);
    setFirstVisibleLine(0);
    if (wasReadOnly) SendScintilla(SCI_SETREADONLY, 1UL);
    oneEmptyLine_ = lines.size() == 1 && lines[0].empty();
    updateLineNumberWidth();
    forcedModified_ = false;
    emit textReplaced();
    emit statusChanged();
}

int SourceEditor::lineCount() const {
    if (SendScintilla(SCI_GETLENGTH) == 0) return oneEmptyLine_ ? 1 : 0;
    return static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
}

std::string SourceEditor::lineBytes(int line) const {
    const int count = lineCount();
    if (line < 0 || line >= count)
        throw std::out_of_range("Line " + std::to_string(line + 1) +
                                " is beyond the end of the text (" + std::to_string(count) +
                                " lines)");
    return io::FromViewText(viewLine(line), charset_);
}

std::string SourceEditor::viewLine(int line) const {
    const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    if (end <= start) return {};
    std::string bytes(static_cast<size_t>(end - start) + 1, '\0'); // room for Scintilla's NUL
    SendScintilla(SCI_GETTEXTRANGE, start, end, bytes.data());
    bytes.resize(static_cast<size_t>(end - start));
    return bytes;
}

std::vector<std::string> SourceEditor::lines() const {
    std::vector<std::string> result = viewLines();
    if (charset_ != io::ViewCharset::Utf8)
        for (std::string& line : result)
            line = io::FromViewText(line, charset_);
    return result;
}

void SourceEditor::requireEncodable(const std::string& fileName) const {
    if (charset_ != io::ViewCharset::Utf8) io::RequireEncodable(viewLines(), charset_, fileName);
}

std::string SourceEditor::fileBytes(const std::string& fileName) const {
    requireEncodable(fileName);
    return io::AssembleSourceText(lines(), textFormat_);
}

// A byte of a line as the model counts it, as a position in the view's UTF-8.
long SourceEditor::viewPosition(int line, int byteIndex) const {
    const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    if (charset_ == io::ViewCharset::Utf8 || byteIndex <= 0) return start + byteIndex;
    return start + static_cast<long>(
                       io::ViewOffset(viewLine(line), static_cast<size_t>(byteIndex), charset_));
}

std::vector<std::string> SourceEditor::viewLines() const {
    const int count = lineCount();
    std::vector<std::string> result;
    result.reserve(static_cast<size_t>(count));
    if (count == 0) return result;
    const long length = SendScintilla(SCI_GETLENGTH);
    std::string all(static_cast<size_t>(length) + 1, '\0');
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), all.data());
    for (int line = 0; line < count; ++line) {
        const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        result.emplace_back(all.data() + start, static_cast<size_t>(end - start));
    }
    return result;
}

std::string SourceEditor::textCrLf() const {
    return io::JoinLinesCrLf(lines());
}

void SourceEditor::loadFile(const QString& path) {
    const io::DecodedText source = io::ReadSourceFile(QFile::encodeName(path).toStdString());
    setLines(io::SplitLines(source.Text), source.Encoding);
    textFormat_ = io::DetectTextFormat(source.Text, source.Encoding);
}

void SourceEditor::scrollToLine(int firstLine, int column) {
    const long row = SendScintilla(SCI_VISIBLEFROMDOCLINE,
                                   static_cast<unsigned long>(firstLine < 0 ? 0 : firstLine));
    setFirstVisibleLine(static_cast<int>(row));
    const long charWidth = SendScintilla(SCI_TEXTWIDTH, 0UL, "0");
    SendScintilla(SCI_SETXOFFSET, static_cast<unsigned long>(column < 0 ? 0 : column * charWidth));
    emit scrolled();
}

int SourceEditor::firstVisibleTextLine() const {
    return static_cast<int>(
        SendScintilla(SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(firstVisibleLine())));
}

int SourceEditor::visibleRows() const {
    return static_cast<int>(SendScintilla(SCI_LINESONSCREEN));
}

int SourceEditor::caretLine() const {
    const long pos = SendScintilla(SCI_GETCURRENTPOS);
    return static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)));
}

// The column as the user sees it: characters, with tabs expanded.
int SourceEditor::caretColumn() const {
    const long pos = SendScintilla(SCI_GETCURRENTPOS);
    return static_cast<int>(SendScintilla(SCI_GETCOLUMN, static_cast<unsigned long>(pos)));
}

bool SourceEditor::isModified() const {
    return forcedModified_ || QsciScintilla::isModified();
}

void SourceEditor::setModified(bool modified) {
    const bool before = isModified();
    forcedModified_ = modified;
    if (!modified) SendScintilla(SCI_SETSAVEPOINT);
    if (before != isModified()) emit statusChanged();
}

void SourceEditor::setReadOnly(bool readOnly) {
    QsciScintilla::setReadOnly(readOnly);
}

void SourceEditor::setEditorFont(const QFont& font) {
    font_ = font;
    applyAppearance();
}

void SourceEditor::setBookmark(int number, int line) {
    if (number < 0 || number >= kBookmarkCount) return;
    if (bookmarkHandles_[number] >= 0) markerDeleteHandle(bookmarkHandles_[number]);
    bookmarkHandles_[number] = -1;
    if (line >= 0 && line < static_cast<int>(SendScintilla(SCI_GETLINECOUNT)))
        bookmarkHandles_[number] = markerAdd(line, number);
}

int SourceEditor::bookmarkLine(int number) const {
    if (number < 0 || number >= kBookmarkCount || bookmarkHandles_[number] < 0) return -1;
    return static_cast<int>(SendScintilla(SCI_MARKERLINEFROMHANDLE,
                                          static_cast<unsigned long>(bookmarkHandles_[number])));
}

void SourceEditor::toggleBookmark(int number) {
    const int line = caretLine();
    setBookmark(number, bookmarkLine(number) == line ? -1 : line);
}

void SourceEditor::gotoBookmark(int number) {
    const int line = bookmarkLine(number);
    if (line < 0) return;
    setCursorPosition(line, 0);
    ensureLineVisible(line);
}

void SourceEditor::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                            Qt::AltModifier | Qt::MetaModifier);
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        const int digit = DigitOfKey(event);
        if (digit >= 0) {
            if (mods & Qt::ShiftModifier)
                toggleBookmark(digit);
            else
                gotoBookmark(digit);
            event->accept();
            return;
        }
    }
    QsciScintilla::keyPressEvent(event);
}

int SourceEditor::foregroundIndicator(uint32_t rgb) {
    for (size_t i = 0; i < indicatorColors_.size(); ++i)
        if (indicatorColors_[i] == rgb) return kFirstForegroundIndicator + static_cast<int>(i);
    if (indicatorColors_.size() >= static_cast<size_t>(kForegroundIndicatorCount))
        throw std::logic_error("too many foreground colours in one source view");
    const int indicator = kFirstForegroundIndicator + static_cast<int>(indicatorColors_.size());
    indicatorDefine(TextColorIndicator, indicator);
    setIndicatorForegroundColor(ToQColor(rgb), indicator);
    indicatorColors_.push_back(rgb);
    return indicator;
}

void SourceEditor::clearDecorations() {
    markerDeleteAll(kOldOnlyMarker);
    markerDeleteAll(kNewOnlyMarker);
    markerDeleteAll(kBackgroundMarker);
    const long length = SendScintilla(SCI_GETLENGTH);
    for (size_t i = 0; i < indicatorColors_.size(); ++i) {
        SendScintilla(SCI_SETINDICATORCURRENT,
                      static_cast<unsigned long>(kFirstForegroundIndicator + static_cast<int>(i)));
        SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, length);
    }
}

void SourceEditor::setDecorations(int firstLine,
                                  const std::vector<render::LineDecoration>& decorations) {
    clearDecorations();
    const int count = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    for (size_t i = 0; i < decorations.size(); ++i) {
        const int line = firstLine + static_cast<int>(i);
        if (line < 0) continue;
        if (line >= count) break;
        const render::LineDecoration& d = decorations[i];
        if (d.Background) {
            if (*d.Background != backgroundColor_) {
                backgroundColor_ = *d.Background;
                setMarkerBackgroundColor(ToQColor(backgroundColor_), kBackgroundMarker);
            }
            markerAdd(line, kBackgroundMarker);
        }
        if (d.Foreground) {
            const long start =
                SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
            const long end =
                SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
            SendScintilla(SCI_SETINDICATORCURRENT,
                          static_cast<unsigned long>(foregroundIndicator(*d.Foreground)));
            if (end > start)
                SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start),
                              end - start);
        }
        if (d.GutterImage == render::kOldOnlyImage) markerAdd(line, kOldOnlyMarker);
        if (d.GutterImage == render::kNewOnlyImage) markerAdd(line, kNewOnlyMarker);
    }
}

int64_t SourceEditor::foregroundAt(int line, int byteIndex) const {
    const long pos = viewPosition(line, byteIndex);
    for (size_t i = 0; i < indicatorColors_.size(); ++i) {
        const auto indicator =
            static_cast<unsigned long>(kFirstForegroundIndicator + static_cast<int>(i));
        if (SendScintilla(SCI_INDICATORVALUEAT, indicator, pos) != 0) return indicatorColors_[i];
    }
    return -1;
}

void SourceEditor::setDifferenceSpans(std::vector<viewrules::LineSpan> spans) {
    for (int marker : {kRemovedLinesMarker, kAddedLinesMarker, kChangedLinesMarker})
        markerDeleteAll(marker);
    spans_ = std::move(spans);
    const int count = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    for (const viewrules::LineSpan& span : spans_) {
        const int marker = span.Kind == viewrules::MarkKind::Removed ? kRemovedLinesMarker
                           : span.Kind == viewrules::MarkKind::Added ? kAddedLinesMarker
                                                                     : kChangedLinesMarker;
        for (int line = std::max(span.First, 0); line <= span.Last && line < count; ++line)
            markerAdd(line, marker);
    }
    emit differencesChanged();
}

void SourceEditor::setChangedInside(const std::vector<int32_t>& lines) {
    markerDeleteAll(kChangedInsideMarker);
    const int count = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    for (int32_t line : lines)
        if (line >= 0 && line < count) markerAdd(line, kChangedInsideMarker);
}

void SourceEditor::setInactive(std::vector<viewrules::InactiveSpan> spans) {
    markerDeleteAll(kInactiveMarker);
    inactive_ = std::move(spans);
    const int count = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    for (const viewrules::InactiveSpan& s : inactive_)
        for (int line = std::max(s.First, 0); line <= s.Last && line < count; ++line)
            markerAdd(line, kInactiveMarker);
}

QString SourceEditor::inactiveTip(int line) const {
    for (const viewrules::InactiveSpan& s : inactive_)
        if (line >= s.First && line <= s.Last) return QString::fromStdString(s.Tip);
    return {};
}

void SourceEditor::setLineTints(const std::vector<uint32_t>& tints) {
    for (size_t i = 0; i < tintColors_.size(); ++i)
        markerDeleteAll(kFirstTintMarker + static_cast<int>(i));
    // Colours are given out again each time, so a change of theme does not use up markers.
    tintColors_.clear();
    const int count = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    for (int line = 0; line < count && line < static_cast<int>(tints.size()); ++line) {
        const uint32_t rgb = tints[static_cast<size_t>(line)];
        if (rgb == 0) continue;
        auto it = std::find(tintColors_.begin(), tintColors_.end(), rgb);
        if (it == tintColors_.end()) {
            if (tintColors_.size() >= static_cast<size_t>(kTintMarkerCount))
                throw std::logic_error("too many line tints in one source view");
            const int marker = kFirstTintMarker + static_cast<int>(tintColors_.size());
            markerDefine(Background, marker);
            setMarkerBackgroundColor(ToQColor(rgb), marker);
            tintColors_.push_back(rgb);
            it = tintColors_.end() - 1;
        }
        markerAdd(line, kFirstTintMarker + static_cast<int>(it - tintColors_.begin()));
    }
}

uint32_t SourceEditor::lineTint(int line) const {
    const unsigned mask = markersAtLine(line);
    for (size_t i = tintColors_.size(); i-- > 0;)
        if (mask & (1u << (kFirstTintMarker + static_cast<int>(i)))) return tintColors_[i];
    return 0;
}

void SourceEditor::setFillers(const std::vector<viewrules::FillerBlock>& fillers) {
    if (fillers_.empty() && fillers.empty()) return;
    SendScintilla(SCI_ANNOTATIONCLEARALL);
    fillers_.clear();
    const int count = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    const std::string row(kFillerWidth, ' ');
    for (const viewrules::FillerBlock& f : fillers) {
        // Nothing can stand above the first line: the other view's scrolling makes up for it.
        if (f.AfterLine < 0 || f.AfterLine >= count || f.Count <= 0) continue;
        fillers_.push_back(f);
        std::string text = row;
        for (int i = 1; i < f.Count; ++i)
            text += '\n' + row;
        const auto line = static_cast<unsigned long>(f.AfterLine);
        SendScintilla(SCI_ANNOTATIONSETTEXT, line, text.c_str());
        SendScintilla(SCI_ANNOTATIONSETSTYLE, line, static_cast<long>(kFillerStyle));
    }
    SendScintilla(
        SCI_ANNOTATIONSETVISIBLE,
        static_cast<unsigned long>(fillers_.empty() ? ANNOTATION_HIDDEN : ANNOTATION_STANDARD));
}

int SourceEditor::fillerRowsAfter(int line) const {
    if (fillers_.empty() || line < 0) return 0;
    return static_cast<int>(
        SendScintilla(SCI_ANNOTATIONGETLINES, static_cast<unsigned long>(line)));
}

void SourceEditor::setSide(render::ViewSide side) {
    side_ = side;
    applyTints();
}

void SourceEditor::clearCharMarks() {
    SendScintilla(SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kCharMarkIndicator));
    SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, SendScintilla(SCI_GETLENGTH));
}

void SourceEditor::addCharMarks(int line, const std::vector<viewrules::ByteRange>& ranges) {
    if (line < 0 || line >= static_cast<int>(SendScintilla(SCI_GETLINECOUNT))) return;
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    SendScintilla(SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kCharMarkIndicator));
    for (const viewrules::ByteRange& r : ranges) {
        const long from = viewPosition(line, r.Start);
        const long to = std::min(end, viewPosition(line, r.Start + r.Length));
        if (to > from)
            SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(from), to - from);
    }
}

bool SourceEditor::hasCharMark(int line, int byteIndex) const {
    const long pos = viewPosition(line, byteIndex);
    return SendScintilla(SCI_INDICATORVALUEAT, static_cast<unsigned long>(kCharMarkIndicator),
                         pos) != 0;
}

void SourceEditor::setLineNumbersVisible(bool visible) {
    lineNumbers_ = visible;
    setMarginType(kLineNumberMargin, NumberMargin);
    updateLineNumberWidth();
}

void SourceEditor::updateLineNumberWidth() {
    if (!lineNumbers_) {
        setMarginWidth(kLineNumberMargin, 0);
        return;
    }
    const QString digits(QString::number(std::max(lineCount(), 1)).size() + 1, QLatin1Char('9'));
    setMarginWidth(kLineNumberMargin, digits);
}

} // namespace quennet::gui
