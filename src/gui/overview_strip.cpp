// Overview strip: bands from core, painted in the editor's palette.
#include "overview_strip.h"

#include "source_editor.h"
#include "view_colors.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

namespace quennet::gui {

namespace {

constexpr int kStripWidth = 12;
constexpr int kContextLines = 3;

} // namespace

TOverviewStrip::TOverviewStrip(SourceEditor* editor, QWidget* parent)
    : QWidget(parent), editor_(editor) {
    setFixedWidth(kStripWidth);
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("Differences in the whole text; click to go there"));
    connect(editor_, &SourceEditor::differencesChanged, this, [this] { update(); });
    connect(editor_, &SourceEditor::scrolled, this, [this] { update(); });
    connect(editor_, &SourceEditor::linesChanged, this, [this] { update(); });
    connect(this, &TOverviewStrip::lineClicked, editor_, [this](int line) {
        editor_->scrollToLine(std::max(0, line - kContextLines), 0);
        editor_->setCursorPosition(line, 0);
    });
}

QSize TOverviewStrip::sizeHint() const {
    return {kStripWidth, 100};
}

int TOverviewStrip::lineAt(int y) const {
    return viewrules::OverviewTarget(editor_->differenceSpans(), y, height(), editor_->lineCount());
}

void TOverviewStrip::paintEvent(QPaintEvent*) {
    const viewrules::ViewPalette& p = editor_->viewPalette();
    QPainter g(this);
    g.fillRect(rect(), ToQColor(p.StripBackground));
    const int lines = editor_->lineCount();
    for (const viewrules::OverviewMark& m :
         viewrules::OverviewMarks(editor_->differenceSpans(), lines, height())) {
        const uint32_t color = m.Kind == viewrules::MarkKind::Removed ? p.GlyphRemoved
                               : m.Kind == viewrules::MarkKind::Added ? p.GlyphAdded
                                                                      : p.GlyphChanged;
        g.fillRect(QRect(2, m.Y, width() - 4, m.Height), ToQColor(color));
    }
    if (lines <= 0) return;
    // The part of the text in view, as a frame.
    const int first = editor_->firstVisibleTextLine();
    const int64_t top = int64_t{first} * height() / lines;
    const int64_t bottom = int64_t{first + editor_->visibleRows()} * height() / lines;
    g.setPen(ToQColor(p.GutterText));
    g.setBrush(Qt::NoBrush);
    g.drawRect(QRect(0, static_cast<int>(top), width() - 1,
                     std::max(2, static_cast<int>(bottom - top) - 1)));
}

void TOverviewStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || editor_->lineCount() == 0) return;
    emit lineClicked(lineAt(event->position().toPoint().y()));
}

QWidget* WithOverviewStrip(SourceEditor* editor, TOverviewStrip** strip) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(editor, 1);
    auto* made = new TOverviewStrip(editor, box);
    layout->addWidget(made);
    if (strip) *strip = made;
    return box;
}

} // namespace quennet::gui
