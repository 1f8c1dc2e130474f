// Pascal colouring of the source views: QScintilla's Pascal lexer with the Delphi reserved
// words as its only keyword list and fixed colours per token kind.
#pragma once

#include <Qsci/qscilexerpascal.h>

#include <QColor>
#include <QFont>

namespace quennet::gui {

class PascalLexer : public QsciLexerPascal {
    Q_OBJECT
public:
    explicit PascalLexer(QObject* parent = nullptr);

    const char* keywords(int set) const override;

    // One fixed-pitch family and size for every style; bold where the colouring asks for it.
    void applyFont(const QFont& font);

    // The plain-text and background colours of the window (they follow the palette).
    void applyPalette(const QColor& text, const QColor& paper);

    static QColor commentColor() { return QColor(0, 0, 128); }
    static QColor stringColor() { return QColor(128, 0, 128); }
    static QColor directiveColor() { return QColor(0, 128, 0); }
    static bool isBoldStyle(int style);
};

} // namespace quennet::gui
