// Pascal colouring of the source views: QScintilla's Pascal lexer with the Delphi reserved
// words as its only keyword list and fixed colours per token kind.
#pragma once

#include <Qsci/qscilexerpascal.h>

#include <QColor>
#include <QFont>

#include "viewrules/palette.h"

namespace quennet::gui {

class PascalLexer : public QsciLexerPascal {
    Q_OBJECT
public:
    explicit PascalLexer(QObject* parent = nullptr);

    const char* keywords(int set) const override;

    // One fixed-pitch family and size for every style; bold where the colouring asks for it.
    void applyFont(const QFont& font);

    // Every style's colours from the theme's palette.
    void applyPalette(const viewrules::ViewPalette& palette);

    static bool isBoldStyle(int style);
};

} // namespace quennet::gui
