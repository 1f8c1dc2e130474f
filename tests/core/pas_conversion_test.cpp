// The highlighter's token boundaries, attribute table, property context and stream use.
#include <gtest/gtest.h>

#include "workspace/pas_conversion.h"

using namespace quennet::workspace;

namespace {

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
    "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "\\deflang1033\\pard\\plain\\f2\\fs20 \r\n";
constexpr std::string_view kTail = "\r\n\\par }\r\n";

// The body of the conversion of a raw source (no extra line end), header and tail removed.
std::string Body(std::string_view source, TPasConversion& conv) {
    conv.Write(source);
    conv.Rewind();
    conv.ConvertToRtf();
    std::string out(conv.Data());
    EXPECT_EQ(out.substr(0, kHeader.size()), kHeader);
    EXPECT_EQ(out.substr(out.size() - kTail.size()), kTail);
    return out.substr(kHeader.size(), out.size() - kHeader.size() - kTail.size());
}

std::string Body(std::string_view source) {
    TPasConversion conv;
    conv.SetDefaultAttributes();
    return Body(source, conv);
}

// Every kind but the line end marked, so token boundaries show in the output.
std::string Marked(std::string_view source) {
    TPasConversion conv;
    for (int k = 0; k < kTokenKindCount; ++k)
        conv.SetAttributes(k, fsItalic);
    conv.SetAttributes(tkReservedWord, fsBold);
    return Body(source, conv);
}

} // namespace

TEST(PasConversion, AttributeTable) {
    TPasConversion conv;
    conv.SetAttributes(tkComment, fsBold | fsItalic | fsUnderline);
    EXPECT_EQ(conv.Attributes(tkComment).Prefix, "{\\b \\i \\u ");
    EXPECT_EQ(conv.Attributes(tkComment).Suffix, "}");
    conv.SetAttributes(tkString, fsUnderline | fsItalic);
    EXPECT_EQ(conv.Attributes(tkString).Prefix, "{\\i \\u ");
    conv.SetAttributes(tkLineEnd, fsBold);
    EXPECT_EQ(conv.Attributes(tkLineEnd).Prefix, "");
    EXPECT_EQ(conv.Attributes(tkLineEnd).Suffix, "\\par ");

    conv.SetDefaultAttributes();
    EXPECT_EQ(conv.Attributes(tkComment).Prefix, "");
    EXPECT_EQ(conv.Attributes(tkComment).Suffix, "");
    EXPECT_EQ(conv.Attributes(tkReservedWord).Prefix, "{\\b ");
    EXPECT_EQ(conv.Attributes(tkReservedWord).Suffix, "}");
    EXPECT_EQ(conv.Attributes(tkLineEnd).Prefix, "");
    EXPECT_EQ(conv.Attributes(tkLineEnd).Suffix, "\\par ");
}

// Property words are directives only inside a property, which a visibility word ends.
TEST(PasConversion, DirectiveWordsFollowThePropertyContext) {
    TPasConversion conv;
    EXPECT_TRUE(conv.IsDirectiveWord("READ"));
    EXPECT_FALSE(conv.IsDirectiveWord("BEGIN"));
    EXPECT_FALSE(conv.IsDirectiveWord("PROPERTY"));
    EXPECT_TRUE(conv.InProperty());
    for (auto w :
         {"READ", "WRITE", "INDEX", "STORED", "NODEFAULT", "READONLY", "WRITEONLY", "AUTOMATED"})
        EXPECT_FALSE(conv.IsDirectiveWord(w)) << w;
    for (auto w : {"NAME", "RESIDENT", "STRINGRESOURCE"})
        EXPECT_TRUE(conv.IsDirectiveWord(w)) << w;
    EXPECT_TRUE(conv.InProperty());
    EXPECT_FALSE(conv.IsDirectiveWord("PUBLISHED"));
    EXPECT_FALSE(conv.InProperty());
    EXPECT_TRUE(conv.IsDirectiveWord("STORED"));
}

TEST(PasConversion, TokenBoundaries) {
    // A doubled quote makes two string tokens; codes, hex and real numbers are one token each.
    EXPECT_EQ(Marked("'it''s'"), "{\\i 'it'}{\\i 's'}");
    EXPECT_EQ(Marked("#13#10"), "{\\i #13#10}");
    EXPECT_EQ(Marked("$FFa0"), "{\\i $FFa0}");
    EXPECT_EQ(Marked("1.5E+3"), "{\\i 1.5E}{\\i +}{\\i 3}");
    EXPECT_EQ(Marked("12.5e3"), "{\\i 12.5e3}");
    EXPECT_EQ(Marked("a:=b"), "{\\i a}{\\i :=}{\\i b}");
    EXPECT_EQ(Marked("x_1 \t y"), "{\\i x_1}{\\i  \t }{\\i y}");
    // Symbols end before "(*" and "//", which start comments.
    EXPECT_EQ(Marked(":=(*c*);"), "{\\i :=}{\\i (*c*)}{\\i ;}");
    EXPECT_EQ(Marked("a;//x"), "{\\i a}{\\i ;}{\\i //x}");
    EXPECT_EQ(Marked("(*)"), "{\\i (*)}");
    EXPECT_EQ(Marked("(**)x"), "{\\i (**)}{\\i x}");
    EXPECT_EQ(Marked("|\x80"), "{\\i |}{\\i \x80}");
    EXPECT_EQ(Marked("begin"), "{\\b begin}");
}

TEST(PasConversion, CommentsSplitAtLineEnds) {
    EXPECT_EQ(Marked("{a\r\nb\r\nc}d"), "{\\i \\{a}\r\n\\par {\\i b}\r\n\\par {\\i c\\}}{\\i d}");
    // An empty piece is not written.
    EXPECT_EQ(Marked("(*\r\n\r\n*)"), "{\\i (*}\r\n\\par \r\n\\par {\\i *)}");
    // Never closed: runs to the end, still split.
    EXPECT_EQ(Marked("{a\r\nb"), "{\\i \\{a}\r\n\\par {\\i b}");
    // A line comment stops at the line end.
    EXPECT_EQ(Marked("// x\r\ny"), "{\\i // x}\r\n\\par {\\i y}");
}

TEST(PasConversion, LineEnds) {
    EXPECT_EQ(Body("a\r\n\r\nb"), "a\r\n\\par \r\n\\par b");
    // A CR always takes the next character with it.
    EXPECT_EQ(Body("a\rXb"), "a\r\n\\par b");
    EXPECT_EQ(Body("a\r"), "a\r\n\\par ");
    // A lone LF is a plain character.
    EXPECT_EQ(Body("a\nb"), "a\nb");
}

TEST(PasConversion, PropertyContextAcrossLines) {
    EXPECT_EQ(
        Body("property P\r\nread F;\r\nprocedure Read;\r\nRead;"),
        "{\\b property} P\r\n\\par {\\b read} F;\r\n\\par {\\b procedure} Read;\r\n\\par Read;");
    EXPECT_EQ(Body("PROPERTY p: t READ f WRITE g; end; read"),
              "{\\b PROPERTY} p: t {\\b READ} f {\\b WRITE} g; {\\b end}; read");
}

TEST(PasConversion, InvalidString) {
    const std::string_view sources[] = {"x := 'abc\r\n", "'", "'abc", "'a\nb'",
                                        std::string_view("'a\0b'", 5)};
    for (std::string_view src : sources) {
        TPasConversion conv;
        conv.SetDefaultAttributes();
        conv.Write(src);
        conv.Rewind();
        try {
            conv.ConvertToRtf();
            ADD_FAILURE() << "no failure for " << src;
        } catch (const EConversionError& e) {
            EXPECT_STREQ(e.what(), "Invalid string");
        }
    }
}

TEST(PasConversion, NulEndsTheScan) {
    EXPECT_EQ(Body(std::string_view("a b\0c\r\nd", 9)), "a b");
    EXPECT_EQ(Body(std::string_view("{x\0}y", 5)), "\\{x");
}

TEST(PasConversion, StreamUse) {
    TPasConversion conv;
    conv.SetDefaultAttributes();
    conv.AppendSourceText("skipped");
    const size_t start = conv.Position();
    conv.AppendSourceText("begin");
    EXPECT_EQ(conv.Data(), "skipped\r\nbegin\r\n");
    conv.Seek(start);
    conv.ConvertToRtf();
    EXPECT_EQ(conv.Position(), 0u);
    EXPECT_EQ(conv.Data(), std::string(kHeader) + "{\\b begin}\r\n\\par \r\n\\par }\r\n");

    // Writing at a position overwrites and extends.
    TPasConversion s;
    s.Write("abcdef");
    s.Seek(2);
    s.Write("XY");
    EXPECT_EQ(s.Data(), "abXYef");
    s.Seek(5);
    s.Write("123");
    EXPECT_EQ(s.Data(), "abXYe123");

    EXPECT_EQ(TPasConversion::EscapeRtf("a\\b{c}d"), "a\\\\b\\{c\\}d");
}

TEST(PasConversion, EmptySource) {
    TPasConversion conv;
    conv.SetDefaultAttributes();
    conv.ConvertToRtf();
    EXPECT_EQ(conv.Data(), std::string(kHeader) + "\r\n\\par }\r\n");
}
