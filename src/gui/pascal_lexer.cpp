// Pascal colouring of the source views.
#include "pascal_lexer.h"

#include "view_colors.h"

namespace quennet::gui {

namespace {

// Delphi's reserved words, lower case and sorted: the lexer folds case before looking a word up.
// Directives such as "read", "virtual" or "on" are ordinary identifiers in the views.
constexpr const char* kReservedWords =
    "and array as asm begin case class const constructor destructor dispinterface div do "
    "downto else end except exports file finalization finally for function goto if "
    "implementation in inherited initialization inline interface is label library mod nil "
    "not object of or out packed procedure program property raise record repeat "
    "resourcestring set shl shr string then threadvar to try type unit until uses var while "
    "with xor";

constexpr int kLastStyle = QsciLexerPascal::Asm;

} // namespace

PascalLexer::PascalLexer(QObject* parent) : QsciLexerPascal(parent) {
    // Context-dependent highlighting would colour some words only in some places; reserved
    // words are reserved everywhere.
    setSmartHighlighting(false);
    applyPalette(viewrules::LightPalette());
}

const char* PascalLexer::keywords(int set) const {
    if (set == 1) return kReservedWords;
    return nullptr;
}

bool PascalLexer::isBoldStyle(int style) {
    switch (style) {
    case Comment:
    case CommentParenthesis:
    case CommentLine:
    case Keyword: return true;
    default: return false;
    }
}

void PascalLexer::applyFont(const QFont& font) {
    QFont plain = font;
    plain.setBold(false);
    plain.setItalic(false);
    QFont bold = plain;
    bold.setBold(true);
    setDefaultFont(plain);
    for (int style = 0; style <= kLastStyle; ++style)
        setFont(isBoldStyle(style) ? bold : plain, style);
}

void PascalLexer::applyPalette(const viewrules::ViewPalette& palette) {
    const QColor paper = ToQColor(palette.Background);
    setDefaultColor(ToQColor(palette.Text));
    setDefaultPaper(paper);
    for (int style = 0; style <= kLastStyle; ++style) {
        setPaper(paper, style);
        uint32_t color = palette.Text;
        switch (style) {
        case Comment:
        case CommentParenthesis:
        case CommentLine: color = palette.Comment; break;
        case SingleQuotedString:
        case UnclosedString:
        case Character: color = palette.String; break;
        case PreProcessor:
        case PreProcessorParenthesis: color = palette.Directive; break;
        case Keyword: color = palette.Keyword; break;
        default: break;
        }
        setColor(ToQColor(color), style);
    }
}

} // namespace quennet::gui
