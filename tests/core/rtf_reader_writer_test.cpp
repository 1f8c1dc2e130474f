// Reading RTF from us and from word processors, writing it back, and hostile input.
#include <gtest/gtest.h>

#include <algorithm>

#include "workspace/merge_workspace.h"
#include "workspace/rtf_reader.h"
#include "workspace/rtf_writer.h"

using namespace quennet::workspace;

namespace {

// Lines, colours of first characters, and every run and break format must agree.
void ExpectSameDocument(const TWorkspaceDocument& a, const TWorkspaceDocument& b) {
    ASSERT_EQ(a.LineCount(), b.LineCount());
    for (size_t i = 0; i < a.LineCount(); ++i) {
        EXPECT_EQ(a.LineText(i), b.LineText(i)) << "line " << i;
        EXPECT_EQ(a.LineRuns(i), b.LineRuns(i)) << "line " << i;
        EXPECT_EQ(a.LineBreakFormat(i), b.LineBreakFormat(i)) << "line " << i;
    }
}

} // namespace

TEST(RtfReader, BuiltWorkspaceRoundTrip) {
    // An empty first line and empty lines next to changes keep their kinds too.
    const std::vector<std::string> oldLines = {
        "",     "unit U;",   "", "procedure A; { x\\y }", "begin", "  s := 'a{b}';",
        "end;", "\xe9t\xe9", ""};
    const std::vector<std::string> newLines = {"unit U;",        "",     "procedure B;", "begin",
                                               "\ts := 'a{b}';", "end;", "end."};
    const auto ws = BuildMergeWorkspace(oldLines, newLines);
    ASSERT_TRUE(ws);
    const auto doc = ReadRtf(ws->Rtf);
    ASSERT_EQ(doc.TextLineCount(), ws->MergeMap.size());
    for (size_t i = 0; i < ws->MergeMap.size(); ++i) {
        const auto& e = ws->MergeMap[i];
        const auto& src = e.Kind == quennet::diff::OldOnly ? oldLines : newLines;
        EXPECT_EQ(doc.LineText(i), src[static_cast<size_t>(e.Line)]) << i;
        // Empty lines too: each keeps the colour it was written with.
        const TColor expected = e.Kind == quennet::diff::OldOnly   ? kRed
                                : e.Kind == quennet::diff::NewOnly ? kBlue
                                                                   : kBlack;
        EXPECT_EQ(doc.LineColor(i), expected) << i;
    }
    // Reserved words are bold in every colour.
    ASSERT_EQ(doc.LineText(1), "unit U;");
    EXPECT_TRUE(doc.LineRuns(1).front().Format.Bold);
    EXPECT_EQ(doc.LineRuns(1).front().Length, 4u);

    const auto again = ReadRtf(WriteRtf(doc));
    ExpectSameDocument(doc, again);
    for (size_t i = 0; i < doc.LineCount(); ++i)
        EXPECT_EQ(doc.LineColor(i), again.LineColor(i));
    EXPECT_EQ(WriteRtf(again), WriteRtf(doc));
}

TEST(RtfReader, EmptyLinesOfABuiltWorkspace) {
    // The only entry, the first entry and the last entry empty.
    auto only = ReadRtf(BuildMergeWorkspace({""}, {})->Rtf);
    EXPECT_EQ(only.TextLineCount(), 1u);
    EXPECT_EQ(only.LineColor(0), kRed);
    auto ends = ReadRtf(BuildMergeWorkspace({"", "a", ""}, {"a", "b", ""})->Rtf);
    ASSERT_EQ(ends.TextLineCount(), 4u); // red "", black a, blue b, black ""
    EXPECT_EQ(ends.LineColor(0), kRed);
    EXPECT_EQ(ends.LineColor(1), kBlack);
    EXPECT_EQ(ends.LineColor(2), kBlue);
    EXPECT_EQ(ends.LineColor(3), kBlack);
}

TEST(RtfReader, WriterKeepsEveryByteAndFormat) {
    TWorkspaceDocument d;
    std::string all;
    for (int c = 1; c < 256; ++c)
        if (c != '\r' && c != '\n') all += static_cast<char>(c);
    all += '\0';
    d.AppendLine(all,
                 {{10, {kRed, true}}, {5, {}}, {all.size() - 15, {TColor::Rgb(1, 2, 3), false}}},
                 {kBlue, true});
    d.AppendLine("", {}, {TColor::Rgb(9, 9, 9), false});
    d.AppendLine("9 x", {{1, {kBlack, false}}, {2, {kBlack, true}}}, {kRed, false});
    const std::string rtf = WriteRtf(d);
    ExpectSameDocument(d, ReadRtf(rtf));
}

TEST(RtfReader, WordProcessorRtf) {
    // The shape of what LibreOffice and Word write: tables to skip, \* destinations,
    // \uN with fallbacks, style resets.
    const std::string rtf =
        "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
        "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f4\\fswiss Liberation "
        "Sans{\\*\\falt Arial};}}\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
        "\\red12\\green34\\blue56;}\n"
        "{\\stylesheet{\\s0\\snext0 Normal text;}{\\s1 Heading {\\b bold};}}\n"
        "{\\*\\generator LibreOffice/7.4$Linux_X86_64}{\\info{\\creatim\\yr2026}{\\title T}}\n"
        "{\\*\\pgdsctbl{\\pgdsc0\\pgdscuse451 Default Page Style;}}\n"
        "\\pard\\plain \\s0\\ql{\\cf1\\rtlch \\ltrch\\loch begin}\n"
        "\\par \\pard\\plain \\s0{\\cf2\\b\\loch old }{\\cf2\\b0\\loch line\\tab x}\n"
        "\\par \\pard\\plain {\\cf3 new \\u8364\\'80 \\uc2\\u8212\\'97\\'97 \\uc0\\u233 e\\u-4064 "
        "!}\n"
        "\\par {\\cf4 other}{\\*\\bkmkstart b}{\\pict\\pngblip 89504e47{\\x}}{\\field{\\*\\fldinst "
        "HYPERLINK}{\\fldrslt link}}\n"
        "\\par {\\cf9 nine}\\line {\\plain plain}\\~\\{\\}\\\\\\emdash\n"
        "\\par }trailing text";
    const auto d = ReadRtf(rtf);
    ASSERT_EQ(d.LineCount(), 7u); // \line breaks a line too; the last \par leaves an empty one
    EXPECT_EQ(d.TextLineCount(), 6u);
    EXPECT_EQ(d.LineText(0), "begin");
    EXPECT_EQ(d.LineColor(0), kBlack);
    EXPECT_EQ(d.LineText(1), "old line\tx");
    EXPECT_EQ(d.LineColor(1), kRed);
    EXPECT_TRUE(d.FormatAt(d.LineIndex(1)).Bold);
    EXPECT_FALSE(d.FormatAt(d.LineIndex(1) + 4).Bold);
    EXPECT_EQ(d.LineText(2), "new \x80 \x97 \xe9"
                             "e?!"); // U+F020 has no byte
    EXPECT_EQ(d.LineColor(2), kBlue);
    EXPECT_EQ(d.LineText(3), "otherlink");
    EXPECT_EQ(d.LineColor(3), TColor::Rgb(12, 34, 56));
    EXPECT_EQ(d.LineText(4), "nine");
    EXPECT_TRUE(d.LineColor(4).IsAutomatic()); // an index past the table
    EXPECT_EQ(d.LineText(5), "plain\xa0{}\\\x97");
    EXPECT_TRUE(d.LineColor(5).IsAutomatic());
}

TEST(RtfReader, PlainTextAndDetection) {
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1 x}"));
    EXPECT_FALSE(LooksLikeRtf(" {\\rtf1 x}"));
    const auto d = ReadWorkspace("a\r\nb\rc\n");
    ASSERT_EQ(d.LineCount(), 4u);
    EXPECT_EQ(d.TextLineCount(), 3u);
    EXPECT_EQ(d.LineText(1), "b");
    EXPECT_TRUE(d.LineColor(0).IsAutomatic());
    EXPECT_EQ(ReadWorkspace("x").TextLineCount(), 1u);
    EXPECT_EQ(ReadWorkspace("").TextLineCount(), 0u);
    EXPECT_EQ(ReadWorkspace("{\\rtf1 a\\par b}").LineText(1), "b");
    // Plain text is UTF-8 when it is valid with a byte beyond ASCII; a line end cuts a character.
    EXPECT_TRUE(ReadWorkspace("a\r\ncaf\xC3\xA9\n").IsUtf8());
    for (const std::string_view other : {"caf\xE9\n", "ascii\n", "\xC3\n\xA9"})
        EXPECT_FALSE(ReadWorkspace(other).IsUtf8()) << other;
    // Outside a built workspace an empty line's break has the colour in effect at its \par.
    const auto other = ReadRtf("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}a\\par\\cf1\\par b}");
    EXPECT_EQ(other.LineColor(1), kRed);
}

TEST(RtfReader, HostileInput) {
    // Deep nesting: capped, no recursion; groups past the cap are counted.
    std::string deep = "{\\rtf1 ";
    deep += std::string(200000, '{') + "\\cf1 x" + std::string(200000, '}') + "y}";
    const auto d = ReadRtf(deep);
    EXPECT_EQ(d.LineText(0), "xy");

    const std::string_view odd[] = {
        "{\\rtf1",
        "{\\rtf1 \\",
        "{\\rtf1 \\'",
        "{\\rtf1 \\'4",
        "{\\rtf1 \\'zz}",
        "{\\rtf1 \\u",
        "{\\rtf1 \\u-99999999999999999999 x}",
        "{\\rtf1 \\cf99999999999999999999 x}",
        "{\\rtf1 \\bin99999999999 x}",
        "{\\rtf1 \\uc-5\\u65 ab}",
        "{\\rtf1 }}}}}",
        "{\\rtf1 {\\colortbl;;;\\red300\\green-1;}\\cf3 a}",
        "{\\rtf1 \\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz1 a}",
    };
    for (auto s : odd) {
        const auto doc = ReadRtf(s);
        EXPECT_TRUE(doc.IsConsistent()) << s;
    }
    EXPECT_EQ(ReadRtf("{\\rtf1 \\uc3\\u65 ab}c").LineText(0), "A");
    EXPECT_EQ(ReadRtf("{\\rtf1 \\uc1\\u65 ab}").LineText(0), "Ab");
    EXPECT_EQ(ReadRtf("{\\rtf1 {\\colortbl;\\red300\\green0\\blue0;}\\cf1 a}").LineColor(0), kRed);
}

TEST(RtfReader, DamagedDocumentsAreReadAsFarAsTheyGoWithAWarning) {
    const std::string body = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 one\\par two";
    const struct {
        std::string bytes;
        std::string text; // the lines read, joined by "|"
        std::vector<TReadWarning> warnings;
    } cases[] = {
        {body + std::string("}\r\n\0", 4), "one|two", {}},
        {body,
         "one|two",
         {{body.size(), "the workspace ends before its last group closes (1 open); the text up "
                        "to there is read"}}},
        {body + "{\\b three",
         "one|twothree",
         {{body.size() + 9, "the workspace ends before its last group closes (2 open); the text "
                            "up to there is read"}}},
        {"{\\rtf1 one}} two\\par",
         "one",
         {{11, "text after the end of the workspace is not read"}}},
        {"{\\rtf1 one}\r\n  junk",
         "one",
         {{15, "text after the end of the workspace is not read"}}},
    };
    for (const auto& c : cases) {
        std::vector<TReadWarning> warnings;
        const TWorkspaceDocument doc = ReadRtf(c.bytes, &warnings);
        std::string text(doc.Text());
        std::replace(text.begin(), text.end(), '\n', '|');
        EXPECT_EQ(text, c.text) << c.bytes;
        EXPECT_EQ(warnings, c.warnings) << c.bytes;
    }
}
