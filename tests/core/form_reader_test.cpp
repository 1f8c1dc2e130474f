// Reading form files: every value kind of the text form, string decoding, encodings, faults
// with their place, and the binary form against the text form it was written from.
#include <gtest/gtest.h>

#include <filesystem>

#include "forms/binary_values.h"
#include "forms/form_reader.h"
#include "forms/form_writer.h"
#include "io/text_encoding.h"

namespace fs = std::filesystem;
using namespace quennet::forms;

namespace {

FormFile Read(std::string_view text) {
    return ReadForm(text, "t.dfm");
}

// The value of the one property of "object A: TA  P = <value>  end".
FormValue ValueOf(const std::string& value) {
    const FormFile f = Read("object A: TA\r\n  P = " + value + "\r\nend\r\n");
    EXPECT_TRUE(f.Notes.empty()) << value << ": " << (f.Notes.empty() ? "" : f.Notes[0].Text());
    if (f.Root.Properties.size() != 1) return {};
    return f.Root.Properties[0].Value;
}

void ExpectSameModel(const FormObject& a, const FormObject& b) {
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Class, b.Class);
    EXPECT_EQ(a.Kind, b.Kind);
    EXPECT_EQ(a.Index, b.Index);
    ASSERT_EQ(a.Properties.size(), b.Properties.size()) << a.Name;
    for (size_t i = 0; i < a.Properties.size(); ++i) {
        EXPECT_EQ(a.Properties[i].Name, b.Properties[i].Name);
        EXPECT_TRUE(a.Properties[i].Value == b.Properties[i].Value) << a.Properties[i].Name;
    }
    ASSERT_EQ(a.Children.size(), b.Children.size()) << a.Name;
    for (size_t i = 0; i < a.Children.size(); ++i)
        ExpectSameModel(a.Children[i], b.Children[i]);
}

const char kRichForm[] = "inherited Form1: TForm1\r\n"
                         "  Left = -10\r\n"
                         "  Color = $00FF8000\r\n"
                         "  Big = 5000000000\r\n"
                         "  Scale = 1.25\r\n"
                         "  Ratio = 0.5s\r\n"
                         "  Price = 12.5c\r\n"
                         "  When = 45000.25d\r\n"
                         "  Caption = 'It''s '#$263A' '#55357#56832\r\n"
                         "  Hint = \r\n"
                         "    'a long hint that goes on and on, well past the sixty-four cha' +\r\n"
                         "    'racters of a line'\r\n"
                         "  Font.Style = [fsBold, fsItalic]\r\n"
                         "  Anchors = []\r\n"
                         "  Visible = True\r\n"
                         "  PopupMenu = nil\r\n"
                         "  Lines.Strings = (\r\n"
                         "    'one'\r\n"
                         "    ''\r\n"
                         "    7)\r\n"
                         "  Empty = ()\r\n"
                         "  Columns = <\r\n"
                         "    item\r\n"
                         "      Width = 40\r\n"
                         "    end\r\n"
                         "    item[3]\r\n"
                         "      Caption = 'x'\r\n"
                         "    end>\r\n"
                         "  NoItems = <>\r\n"
                         "  Glyph.Data = {\r\n"
                         "    0A0b\r\n"
                         "    FF}\r\n"
                         "  object Panel1: TPanel[2]\r\n"
                         "    inline Frame1: TFrame1\r\n"
                         "      Action = DataModule1.Action1\r\n"
                         "    end\r\n"
                         "    object TMenuItem\r\n"
                         "    end\r\n"
                         "  end\r\n"
                         "end\r\n";

} // namespace

TEST(FormReader, ValueKinds) {
    const struct {
        const char* text;
        ValueKind kind;
        const char* shown; // ValueText
    } cases[] = {
        {"42", ValueKind::Integer, "42"},
        {"-7", ValueKind::Integer, "-7"},
        {"$FF", ValueKind::Integer, "255"},
        {"$FFFFFFFF", ValueKind::Integer, "4294967295"},
        {"1.5", ValueKind::Float, "1.5"},
        {"-2.5E3", ValueKind::Float, "-2500.0"},
        {"1.5s", ValueKind::Float, "1.5s"},
        {"3c", ValueKind::Float, "3.0c"},
        {"alClient", ValueKind::Identifier, "alClient"},
        {"True", ValueKind::Identifier, "True"},
        {"nil", ValueKind::Identifier, "nil"},
        {"Owner.Action1", ValueKind::Identifier, "Owner.Action1"},
        {"[]", ValueKind::Set, "[]"},
        {"[akLeft, akTop]", ValueKind::Set, "[akLeft, akTop]"},
        {"'abc'", ValueKind::String, "'abc'"},
        {"''", ValueKind::String, "''"},
        {"#65'b'#67", ValueKind::String, "'AbC'"},
        {"(1 2)", ValueKind::List, "("},
        {"<>", ValueKind::Collection, "<"},
        {"{00ff}", ValueKind::Binary, "{"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const FormValue v = ValueOf(c.text);
        EXPECT_EQ(v.Kind, c.kind);
        EXPECT_EQ(ValueText(v), c.shown);
    }
}

// The same text however it is wrapped or escaped is one value.
TEST(FormReader, StringsDecodeToTheSameText) {
    const std::string plain = ValueOf("'Hello, world'").Text;
    EXPECT_EQ(plain, "Hello, world");
    for (const char* other : {"'Hello, ' + 'world'", "'Hello, ' +\r\n    'world'",
                              "#72'ello, world'", "'Hello'#44' world'", "'Hello'#$2C' world'"})
        EXPECT_EQ(ValueOf(other).Text, plain) << other;
    EXPECT_EQ(ValueOf("'a''b'").Text, "a'b");
    EXPECT_EQ(ValueOf("#$263A").Text, "\xE2\x98\xBA");
    // A surrogate pair of #nnn codes is one character; a lone one is kept as it is.
    EXPECT_EQ(ValueOf("#55357#56832").Text, "\xF0\x9F\x98\x80");
    EXPECT_EQ(ValueOf("#55357'x'").Text, "\xED\xA0\xBD"
                                         "x");
}

// Whatever bytes a string holds, the model keeps the text the writers give back: a stray byte
// of a UTF-8 file as its Windows-1252 character, an overlong form likewise, and the halves
// of a surrogate pair as one character however they were written.
TEST(FormReader, StringsHoldTextTheWritersGiveBack) {
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"\xEF\xBB\xBFobject A: TA\n  P = 'a\xB2"
         "b'\nend\n",
         "a\xC2\xB2"
         "b"},
        {"\xEF\xBB\xBFobject A: TA\n  P = '\xC0\x80'\nend\n", "\xC3\x80\xE2\x82\xAC"},
        {"object A: TA\n  P = #55357''#56832\nend\n", "\xF0\x9F\x98\x80"},
        {"object A: TA\n  P = '\xED\xA0\xBD\xED\xB8\x80'\nend\n", "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        const FormFile f = Read(c.bytes);
        ASSERT_TRUE(f.Notes.empty() && f.Root.Properties.size() == 1) << c.bytes;
        EXPECT_EQ(f.Root.Properties[0].Value.Text, c.text) << c.bytes;
        for (const std::string& again : {FormToText(f.Root), FormToBinary(f.Root)}) {
            const FormFile back = Read(again);
            ASSERT_EQ(back.Root.Properties.size(), 1u) << again;
            EXPECT_EQ(back.Root.Properties[0].Value.Text, c.text) << again;
        }
    }
}

TEST(FormReader, EncodingsAndLineEnds) {
    const std::string utf8 = "object A: TA\n  P = '\xC3\xA9t\xC3\xA9'\nend\n";
    const std::string cp1252 = "object A: TA\r  P = '\xE9t\xE9'\rend\r";
    const std::string bom = "\xEF\xBB\xBF" + utf8;
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("object A: TA\r\n  P = '\xE9t\xE9'\r\nend\r\n")) {
        const auto code = static_cast<unsigned char>(c);
        utf16 += static_cast<char>(code == 0xE9 ? 0xE9 : code);
        utf16 += '\0';
    }
    for (const std::string& bytes : {utf8, cp1252, bom, utf16}) {
        const FormFile f = Read(bytes);
        ASSERT_TRUE(f.Notes.empty()) << f.Notes[0].Text();
        ASSERT_EQ(f.Root.Properties.size(), 1u);
        EXPECT_EQ(f.Root.Properties[0].Value.Text, "\xC3\xA9t\xC3\xA9");
        EXPECT_EQ(f.Root.LastLine, 3);
        EXPECT_EQ(f.Lines.size(), 3u);
    }
}

TEST(FormReader, StructureAndLines) {
    const FormFile f = Read(kRichForm);
    ASSERT_TRUE(f.Notes.empty()) << f.Notes[0].Text();
    EXPECT_EQ(f.Root.Kind, ObjectKind::Inherited);
    EXPECT_EQ(f.Root.Properties.size(), 18u);
    const FormProperty& hint = f.Root.Properties[8];
    EXPECT_EQ(hint.Name, "Hint");
    EXPECT_EQ(hint.FirstLine, 10);
    EXPECT_EQ(hint.LastLine, 12);
    const FormValue& columns = f.Root.Properties[15].Value;
    ASSERT_EQ(columns.Items().size(), 2u);
    EXPECT_FALSE(columns.Items()[0].Order);
    EXPECT_EQ(columns.Items()[1].Order, 3);
    EXPECT_EQ(columns.Items()[1].FirstLine, 26);
    EXPECT_EQ(f.Root.Properties[17].Value.Text, "\x0A\x0B\xFF");
    ASSERT_EQ(f.Root.Children.size(), 1u);
    const FormObject& panel = f.Root.Children[0];
    EXPECT_EQ(panel.Index, 2);
    EXPECT_EQ(panel.FirstLine, 33);
    EXPECT_EQ(panel.LastLine, 39);
    ASSERT_EQ(panel.Children.size(), 2u);
    EXPECT_EQ(panel.Children[0].Kind, ObjectKind::Inline);
    EXPECT_EQ(panel.Children[1].Name, "");
    EXPECT_EQ(PathStep(panel.Children[1]), "TMenuItem");
}

// The parts of sets, lists and collections are held apart: a copy owns its own, and a model
// outlives the text of the form it was read from.
TEST(FormReader, CopiedValuesOwnTheirParts) {
    FormObject root;
    {
        const FormFile f = Read(kRichForm);
        root = f.Root;
    }
    const FormValue& columns = root.Properties[15].Value;
    FormValue copy = columns;
    ASSERT_TRUE(copy == columns);
    copy.EditItems()[1].Order = 4;
    EXPECT_EQ(columns.Items()[1].Order, 3);
    EXPECT_FALSE(copy == columns);
    FormValue list = ValueOf("(1 2)");
    FormValue moved = std::move(list);
    list = moved;
    list.EditList().pop_back();
    EXPECT_EQ(moved.List().size(), 2u);
    EXPECT_EQ(list.List().size(), 1u);
    EXPECT_EQ(FormToText(root), FormToText(Read(kRichForm).Root));
}

// A fault stops the reading with its place; what came before it stays in the model.
TEST(FormReader, FaultsAreNotesWithTheirPlace) {
    const struct {
        const char* text;
        int line, column;
        size_t properties;
    } cases[] = {
        {"object A: TA\n  P = 'open\nend\n", 2, 12, 0},
        {"object A: TA\n  X = 1\n  P = )\nend\n", 3, 7, 1},
        {"object A: TA\n  P = [a, 1]\nend\n", 2, 11, 0},
        {"object A: TA\n  P = {0A0}\nend\n", 2, 11, 0},
        {"object A: TA\n  P = 1\n", 3, 1, 1},
        {"unit A;\n", 1, 1, 0},
        {"object A: TA\n  P = #\nend\n", 2, 8, 0},
        {"object A: TA\n  P = 'a' +\nend\n", 3, 1, 0},
        {"object A: TA\n  P = 12ab\nend\n", 2, 9, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const FormFile f = Read(c.text);
        ASSERT_EQ(f.Notes.size(), 1u);
        EXPECT_EQ(f.Notes[0].Line, c.line) << f.Notes[0].Text();
        EXPECT_EQ(f.Notes[0].Column, c.column) << f.Notes[0].Text();
        EXPECT_EQ(f.Root.Properties.size(), c.properties);
    }
    // Text after the root's end is no part of the form, as for the IDEs; its line is kept.
    const FormFile trailing = Read("object A: TA\nend\nobject B: TB\nend\n");
    EXPECT_TRUE(trailing.Notes.empty());
    EXPECT_EQ(trailing.TrailingLine, 3);
    EXPECT_EQ(Read("object A: TA\n  P = (\n").Notes[0].Text(),
              "t.dfm:3:1: expected ')' closing the list");
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "object A: TA\n";
    EXPECT_EQ(Read(deep).Notes.size(), 1u);
}

TEST(FormReader, TextWriterReadsBackTheSameModel) {
    const FormFile f = Read(kRichForm);
    const std::string text = FormToText(f.Root);
    const FormFile back = Read(text);
    ASSERT_TRUE(back.Notes.empty()) << back.Notes[0].Text() << "\n" << text;
    ExpectSameModel(f.Root, back.Root);
    // Long strings wrap at 64 characters, as the IDE writes them.
    EXPECT_NE(text.find("  Hint = \r\n    'a long hint that goes on and on, well past the "
                        "sixty-four charac' +\r\n    'ters of a line'\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  Caption = 'It''s '#9786' '#55357#56832\r\n"), std::string::npos);
    EXPECT_NE(text.find("  Glyph.Data = {\r\n    0A0BFF}\r\n"), std::string::npos);
}

TEST(FormReader, BinaryFormReadsAsItsText) {
    const FormFile f = Read(kRichForm);
    const std::string binary = FormToBinary(f.Root);
    EXPECT_TRUE(IsBinaryForm(binary));
    EXPECT_TRUE(IsForm("x.res", binary));
    const FormFile back = ReadForm(binary, "b.dfm");
    ASSERT_TRUE(back.Notes.empty()) << back.Notes[0].Text();
    EXPECT_TRUE(back.Binary);
    ExpectSameModel(f.Root, back.Root);

    // The resource header of a 16-bit resource file before the signature.
    const std::string header =
        std::string("\xFF\x0A\x00TFORM1\x00\x30\x10", 12) + std::string("\x00\x00\x00\x00", 4);
    const FormFile withHeader = ReadForm(header + binary, "r.dfm");
    ASSERT_TRUE(withHeader.Notes.empty()) << withHeader.Notes[0].Text();
    ExpectSameModel(f.Root, withHeader.Root);

    // Every cut of the stream is a note at the end, never a crash.
    for (size_t n = 4; n < binary.size(); ++n) {
        const FormFile cut = ReadBinaryForm(binary.substr(0, n), "c");
        ASSERT_EQ(cut.Notes.size(), 1u) << n;
    }
}

TEST(FormReader, ExtendedFloats) {
    for (const double d : {0.0, 1.0, -1.5, 1e300, 3.14159, 1e-300, 45000.25})
        EXPECT_EQ(ExtendedValue(ExtendedBytes(d)), d);
    // 1.0 as the x87 writes it: exponent 16383, the integer bit set.
    EXPECT_EQ(ExtendedBytes(1.0), std::string("\0\0\0\0\0\0\0\x80\xFF\x3F", 10));
}

TEST(FormReader, FormsAreToldByNameOrContent) {
    EXPECT_TRUE(IsFormFileName("a/b/Main.DFM"));
    EXPECT_TRUE(IsFormFileName("x.lfm"));
    EXPECT_FALSE(IsFormFileName("dir.lfm/unit.pas"));
    EXPECT_TRUE(LooksLikeForm("\xEF\xBB\xBF  object Form1: TForm1\r\n"));
    EXPECT_TRUE(LooksLikeForm("inherited Frame: TFrame\n"));
    EXPECT_FALSE(LooksLikeForm("unit Main;\n"));
    EXPECT_FALSE(LooksLikeForm("object"));
    EXPECT_FALSE(LooksLikeForm("objects are here\n"));
}

// Every form of the real projects reads without a note (where the data is present).
TEST(FormReader, RealFormsReadWithoutNotes) {
    const fs::path root = fs::path(QUENNET_CASES_DIR).parent_path().parent_path();
    std::vector<fs::path> folders = {root / ".." / "shared" / "forms" / "corpus",
                                     "/usr/lib/lazarus"};
    size_t read = 0;
    for (const auto& folder : folders) {
        if (!fs::is_directory(folder)) continue;
        for (const auto& e : fs::recursive_directory_iterator(folder)) {
            if (!e.is_regular_file() || !IsFormFileName(e.path().string())) continue;
            const FormFile f = ReadFormFile(e.path().string());
            // A binary form whose CR bytes were turned into LF by a line-end conversion of the
            // package: a name's length byte 13 became 10.
            if (e.path().filename() == "TV_Add_Remove_U1.dfm") {
                EXPECT_EQ(f.Notes.size(), 1u);
                continue;
            }
            EXPECT_TRUE(f.Notes.empty()) << f.Notes[0].Text();
            EXPECT_TRUE(f.HasRoot) << e.path();
            ++read;
        }
    }
    if (read == 0) GTEST_SKIP() << "no form corpus on this machine";
    std::cout << read << " real forms read\n";
}
