// Sources in every encoding they come in, and every byte of them, through compare, save,
// workspace and merged outputs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_runner.h"
#include "io/source_file.h"
#include "io/source_save.h"
#include "io/text_encoding.h"
#include "io/view_encoding.h"
#include "temp_folder.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/rtf_reader.h"
#include "workspace/rtf_writer.h"

using namespace quennet;
using quennet::testing::ReadWholeFile;
using quennet::testing::RunCli;
using quennet::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

using io::TextEncoding;

std::string Utf16(std::u16string_view units, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : units) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

const char kUnitUtf8[] =
    "unit U; // caf\xC3\xA9 \xF0\x9F\x98\x80\ninterface\nimplementation\nend.\n";

} // namespace

TEST(TextEncoding, DecodesAndWritesBackUnchanged) {
    const struct {
        const char* name;
        std::string bytes;
        std::string text;
        TextEncoding encoding;
    } cases[] = {
        {"utf-16le", Utf16(u"a\u00e9\r\n\U0001F600", false), "a\xC3\xA9\r\n\xF0\x9F\x98\x80",
         TextEncoding::Utf16Le},
        {"utf-16be", Utf16(u"x\u20ac", true), "x\xE2\x82\xAC", TextEncoding::Utf16Be},
        {"lone surrogate", Utf16(u"\xD800z", false), "\xED\xA0\x80z", TextEncoding::Utf16Le},
        {"nul in utf-16", Utf16(std::u16string(u"a\0b", 3), false), std::string("a\0b", 3),
         TextEncoding::Utf16Le},
        {"utf-8 mark", "\xEF\xBB\xBFunit", "unit", TextEncoding::Utf8Bom},
        {"windows-1252", "caf\xE9 \x80\x93", "caf\xE9 \x80\x93", TextEncoding::Bytes},
        {"empty", "", "", TextEncoding::Bytes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const io::DecodedText d = io::DecodeSourceBytes(c.bytes, "f.pas");
        EXPECT_EQ(d.Text, c.text);
        EXPECT_EQ(d.Encoding, c.encoding);
        // Bytes handed over decode as bytes copied do.
        const io::DecodedText taken = io::DecodeSourceBytes(std::string(c.bytes), "f.pas");
        EXPECT_EQ(taken.Text, c.text);
        EXPECT_EQ(taken.Encoding, c.encoding);
        EXPECT_EQ(io::EncodeSourceText(d.Text, d.Encoding), c.bytes);
        // A view saved unedited gives the file back.
        EXPECT_EQ(io::AssembleSourceText(io::SplitLines(d.Text),
                                         io::DetectTextFormat(d.Text, d.Encoding)),
                  c.bytes);
    }
}

// Every byte of an 8-bit file survives the view: shown as its Windows-1252 character (the
// unassigned five as C1 controls), read back as the same byte, and marks stay on it.
TEST(TextEncoding, Windows1252ViewKeepsEveryByte) {
    using io::ViewCharset;
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string shown = io::ToViewText(all, ViewCharset::Windows1252);
    EXPECT_TRUE(io::IsValidUtf8(shown));
    EXPECT_EQ(io::FromViewText(shown, ViewCharset::Windows1252), all);
    for (size_t i = 0; i <= all.size(); ++i)
        ASSERT_EQ(io::ViewOffset(shown, i, ViewCharset::Windows1252),
                  io::ToViewText(all.substr(0, i), ViewCharset::Windows1252).size())
            << i;
    const std::pair<char, const char*> chars[] = {
        {'\x80', "\xE2\x82\xAC"}, {'\x93', "\xE2\x80\x9C"}, {'\x94', "\xE2\x80\x9D"},
        {'\x81', "\xC2\x81"},     {'\x9D', "\xC2\x9D"},     {'\xE9', "\xC3\xA9"},
    };
    for (const auto& [byte, utf8] : chars)
        EXPECT_EQ(io::ToViewText(std::string(1, byte), ViewCharset::Windows1252), utf8);

    // Text decoded from UTF-16 or marked UTF-8 is shown as it is, whatever it holds.
    EXPECT_EQ(io::ViewCharsetOf({"\xED\xA0\x80"}, TextEncoding::Utf16Le), ViewCharset::Utf8);
    EXPECT_EQ(io::ViewCharsetOf({"caf\xE9"}, TextEncoding::Utf8Bom), ViewCharset::Utf8);
    EXPECT_EQ(io::ViewCharsetOf({"caf\xE9"}, TextEncoding::Bytes), ViewCharset::Windows1252);
    EXPECT_EQ(io::ViewCharsetOf({"caf\xC3\xA9"}, TextEncoding::Bytes), ViewCharset::Utf8);
}

// A character typed into an 8-bit text that the code page has no byte for is kept for the
// compare but stops a save, which names it; everything Windows-1252 holds saves.
TEST(TextEncoding, CharactersWithoutAByteStopTheSave) {
    using io::ViewCharset;
    const std::string typed = "s := '\xE2\x82\xAC \xE6\x97\xA5x';"; // euro, U+65E5
    EXPECT_EQ(io::FromViewText(typed, ViewCharset::Windows1252), "s := '\x80 \xE6\x97\xA5x';");
    EXPECT_EQ(io::ToViewText("s := '\x80 \xE6\x97\xA5x';", ViewCharset::Windows1252), typed);
    // After the three bytes kept for U+65E5, "x" is one character on.
    EXPECT_EQ(io::ViewOffset(typed, 11, ViewCharset::Windows1252), typed.find('x'));

    const std::vector<std::string> lines = {"unit U;", typed};
    const auto bad = io::FirstUnencodable(lines, ViewCharset::Windows1252);
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->Line, 1u);
    EXPECT_EQ(bad->Character, "\xE6\x97\xA5");
    EXPECT_FALSE(io::FirstUnencodable(lines, ViewCharset::Utf8));
    EXPECT_FALSE(io::FirstUnencodable({"\xE2\x82\xAC\xC3\xA9"}, ViewCharset::Windows1252));
    try {
        io::RequireEncodable(lines, ViewCharset::Windows1252, "u.pas");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot save \"u.pas\": line 2 holds \"\xE6\x97\xA5\" "
                                         "(U+65E5), which its encoding, Windows-1252, has no "
                                         "byte for");
    }
}

// An editor control holds UTF-8 text as characters, one unit each (two beyond U+FFFF); a
// byte that starts no character is a unit of its own, and every byte comes back.
TEST(TextEncoding, Utf8TextAsEditorUnitsKeepsEveryByte) {
    using io::ViewCharset;
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string units;
    };
    const Case cases[] = {
        {"ascii", "a := 1;", u"a := 1;"},
        {"2 bytes", "caf\xC3\xA9!", u"caf\u00E9!"},
        {"3 bytes", "\xE2\x82\xAC!", u"\u20AC!"},
        {"4 bytes", "x\xF0\x9F\x98\x80y", u"x\U0001F600y"},
        {"lone byte", "caf\xE9!", u"caf\xDCE9!"},
        {"cut short", "\xE2\x82!", u"\xDCE2\xDC82!"},
        {"overlong", "\xC0\xAF", u"\xDCC0\xDCAF"},
        {"surrogate", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
        {"byte after a pair", "\xF0\x9F\x98\x80\x80", u"\U0001F600\xDC80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string units = io::ToUtf16(c.bytes, ViewCharset::Utf8);
        EXPECT_TRUE(units == c.units);
        EXPECT_EQ(io::FromUtf16(units, ViewCharset::Utf8), c.bytes);
        EXPECT_EQ(io::ByteLength(units, ViewCharset::Utf8), c.bytes.size());
        // Every unit offset outside a pair is a character start, both ways.
        for (size_t u = 0; u <= units.size(); ++u) {
            if (u > 0 && units[u - 1] >= 0xD800 && units[u - 1] <= 0xDBFF) continue;
            const std::u16string_view before = std::u16string_view(units).substr(0, u);
            const size_t b = io::ByteLength(before, ViewCharset::Utf8);
            EXPECT_EQ(io::Utf16Offset(units, b, ViewCharset::Utf8), u);
            EXPECT_EQ(io::FromUtf16(before, ViewCharset::Utf8), c.bytes.substr(0, b));
        }
    }
    // Inside a character: its start.
    EXPECT_EQ(io::Utf16Offset(u"caf\u00E9!", 4, ViewCharset::Utf8), 3u);
    EXPECT_EQ(io::Utf16Offset(u"x\U0001F600y", 3, ViewCharset::Utf8), 1u);
    EXPECT_EQ(io::Utf16Offset(u"x\U0001F600y", 5, ViewCharset::Utf8), 3u);

    // Windows-1252: one unit per byte; what the code page cannot hold is one "?".
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::u16string shown = io::ToUtf16(all, ViewCharset::Windows1252);
    ASSERT_EQ(shown.size(), 256u);
    EXPECT_EQ(shown[0x80], u'\u20AC');
    EXPECT_EQ(io::FromUtf16(shown, ViewCharset::Windows1252), all);
    EXPECT_EQ(io::FromUtf16(u"\u0142\U0001F600\xDCE9", ViewCharset::Windows1252), "???");
    // Either way a paragraph separator is a line break; a surrogate alone has no bytes.
    EXPECT_EQ(io::FromUtf16(u"a\u2029b\u2028", ViewCharset::Windows1252), "a\nb\n");
    EXPECT_EQ(io::FromUtf16(u"a\u2029\xD800", ViewCharset::Utf8), "a\n?");
}

TEST(TextEncoding, RefusesWhatIsNotText) {
    const std::string nulNearStart = std::string("unit U;\0", 8);
    try {
        io::DecodeSourceBytes(nulNearStart, "bin.pas");
        ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("\"bin.pas\" is not a text file"), std::string::npos);
    }
    // Past the first 8 KB a NUL is a byte of a line like any other.
    const std::string late = std::string(9000, 'x') + '\0' + "y\n";
    EXPECT_EQ(io::DecodeSourceBytes(late, "late.pas").Text, late);
    EXPECT_EQ(io::DecodeSourceBytes(std::string(late), "late.pas").Text, late);
    EXPECT_THROW(io::DecodeSourceBytes(std::string(nulNearStart), "bin.pas"), std::runtime_error);

    TempFolder f;
    f.Write("bin.pas", nulNearStart);
    f.Write("u.pas", "unit U;\n");
    const auto r = RunCli({"bin.pas", "u.pas"}, f.path.string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("not a text file"), std::string::npos) << r.err;
}

// The same unit as UTF-8, UTF-8 with a mark and UTF-16 compares as equivalent; the merged
// source keeps the new file's mark, encoding and line ends unless --eol says otherwise.
TEST(TextEncoding, CompareAndMergedOutputsKeepTheEncoding) {
    TempFolder f;
    f.Write("plain.pas", kUnitUtf8);
    f.Write("bom.pas", std::string("\xEF\xBB\xBF") + kUnitUtf8);
    f.Write("le.pas", io::EncodeSourceText(kUnitUtf8, TextEncoding::Utf16Le));
    for (const char* other : {"bom.pas", "le.pas"}) {
        const auto r = RunCli({"plain.pas", other}, f.path.string());
        EXPECT_EQ(r.exitCode, 0) << other << r.out << r.err;
    }

    std::string changed = kUnitUtf8;
    changed.replace(changed.find("interface"), 9, "interface\nconst A = 1;");
    f.Write("new-bom.pas", "\xEF\xBB\xBF" + changed);
    auto r = RunCli({"plain.pas", "new-bom.pas", "--merged", "m.pas"}, f.path.string());
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::string merged = f.Read("m.pas");
    EXPECT_TRUE(merged.starts_with("\xEF\xBB\xBF// Quennet Pro ")) << merged;
    EXPECT_EQ(merged.find('\r'), std::string::npos);
    EXPECT_NE(merged.find("{$IFDEF NEW_VER}\nconst A = 1;\n{$ENDIF}\n"), std::string::npos);
    EXPECT_NE(merged.find("caf\xC3\xA9 \xF0\x9F\x98\x80\n"), std::string::npos);

    r = RunCli({"plain.pas", "new-bom.pas", "--merged", "crlf.pas", "--eol", "crlf"},
               f.path.string());
    EXPECT_EQ(f.Read("crlf.pas"),
              io::AssembleSourceText(io::SplitLines(merged.substr(3)),
                                     {"\r\n", true, {}, TextEncoding::Utf8Bom}));

    f.Write("new-le.pas", io::EncodeSourceText(changed, TextEncoding::Utf16Le));
    r = RunCli({"plain.pas", "new-le.pas", "--merged", "m16.pas"}, f.path.string());
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const io::DecodedText m16 = io::DecodeSourceBytes(f.Read("m16.pas"), "m16.pas");
    EXPECT_EQ(m16.Encoding, TextEncoding::Utf16Le);
    EXPECT_EQ(m16.Text, merged.substr(3));

    EXPECT_EQ(
        RunCli({"plain.pas", "bom.pas", "--merged", "x", "--eol", "cr"}, f.path.string()).exitCode,
        2);
}

// Bytes beyond ASCII and control bytes are RTF escapes in every workspace; reading one back
// gives the bytes that went in, and the new and old outputs are those versions exactly.
TEST(TextEncoding, WorkspaceRtfCarriesEveryByte) {
    const struct {
        const char* name;
        std::vector<std::string> oldLines, newLines;
        const char* expectedInRtf;
    } cases[] = {
        {"windows-1252", {"s := 'caf\xE9';", "x;"}, {"s := 'caf\xE9 \x80';", "x;"}, "\\'e9 \\'80"},
        {"utf-8",
         {"// caf\xC3\xA9"},
         {"// caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
         "\\u233?"
         " \\u8364? \\u-10179?\\u-8704?"},
        {"nul and controls", {"a", "b"}, {"a", std::string("b\0c\x01", 4)}, "b\\'00c\\'01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto ws = workspace::BuildMergeWorkspace(c.oldLines, c.newLines);
        ASSERT_TRUE(ws);
        EXPECT_NE(ws->Rtf.find(c.expectedInRtf), std::string::npos) << ws->Rtf;
        for (char ch : ws->Rtf) {
            const auto u = static_cast<unsigned char>(ch);
            EXPECT_TRUE(u < 0x80 && (u >= 0x20 || ch == '\r' || ch == '\n')) << int(u);
        }
        const workspace::TWorkspaceDocument doc = workspace::ReadRtf(ws->Rtf);
        EXPECT_EQ(workspace::NewVersionLines(doc, ""), c.newLines);
        EXPECT_EQ(workspace::OldVersionLines(doc, ""), c.oldLines);
        // Saved by the editor and read again: the same document.
        const workspace::TWorkspaceDocument again = workspace::ReadRtf(workspace::WriteRtf(doc));
        EXPECT_EQ(workspace::NewVersionLines(again, ""), c.newLines);
        EXPECT_EQ(workspace::OldVersionLines(again, ""), c.oldLines);
        EXPECT_EQ(again.IsUtf8(), doc.IsUtf8());
        EXPECT_EQ(doc.IsUtf8(), std::string_view(c.name) == "utf-8");
    }
    // A UTF-8 workspace keeps its mark, and a byte that is no UTF-8, through a save.
    workspace::TWorkspaceDocument marked;
    marked.SetUtf8(true);
    marked.AppendLine("caf\xC3\xA9 \xE9", workspace::TCharFormat{});
    const workspace::TWorkspaceDocument back = workspace::ReadRtf(workspace::WriteRtf(marked));
    EXPECT_TRUE(back.IsUtf8());
    EXPECT_EQ(back.LineText(0), marked.LineText(0));
}

// Workspaces written before held raw 8-bit bytes: they still read as they did.
TEST(TextEncoding, EarlierWorkspacesReadAsBefore) {
    const std::string raw = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
                            "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n"
                            "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;"
                            "\\red0\\green0\\blue255;}\r\n\\deflang1033\\pard\\plain\\f2\\fs20 \r\n"
                            "\\cf1 caf\xE9\r\n\\cf2 \\par \xC3\xA9\r\n\r\n\\par }\r\n\r\n";
    const auto doc = workspace::ReadRtf(raw);
    EXPECT_EQ(workspace::OldVersionLines(doc, ""),
              (std::vector<std::string>{"caf\xE9", "\xC3\xA9"}));
}
