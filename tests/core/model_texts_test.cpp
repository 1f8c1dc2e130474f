// The model keeps names and collapsed texts in storage of its own: every kept text must stay
// where it was while more are kept, whatever their sizes.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/source_model.h"

using namespace quennet;

TEST(ModelTexts, KeptTextsStayPutWhileMoreAreKept) {
    model::TextStore store;
    std::vector<std::pair<std::string, model::DeclText>> kept;
    // Small and large texts in turn, past several chunks and blocks of their own.
    for (int i = 0; i < 3000; ++i) {
        const size_t size =
            i % 97 == 0 ? 40000 + static_cast<size_t>(i) : static_cast<size_t>(i % 61);
        std::string text(size, static_cast<char>('a' + i % 26));
        if (!text.empty()) text[0] = static_cast<char>('0' + i % 10);
        kept.emplace_back(text, store.Keep(text));
    }
    for (const auto& [text, decl] : kept)
        ASSERT_EQ(std::string_view(decl), text);
}

TEST(ModelTexts, CollapsedTextsAndOverloadNamesLiveInTheModel) {
    model::TPasSrc src;
    src.SeparateOverloads = true;
    {
        // The parser's buffers are gone by the time the model is read.
        std::string name = "Run", heading = "procedure  Run(\r\n  A:   Integer);";
        src.AddProc(name, heading, 1, 1, 1);
        name = "Run", heading = "procedure Run(const S: string);";
        src.AddProc(name, heading, 2, 2, 2);
        std::string type = "array  [0..1]\tof   Byte";
        src.AddVars({"V", "W"}, type, 3, 0, 3, 3);
        name.assign(name.size(), 'x');
        heading.assign(heading.size(), 'x');
        type.assign(type.size(), 'x');
    }
    src.FinishBuilding();
    ASSERT_EQ(src.Procs.size(), 2u);
    EXPECT_EQ(std::string_view(src.Procs[0]->Name), "Run(const string)");
    EXPECT_EQ(std::string_view(src.Procs[1]->Name), "Run(Integer)");
    EXPECT_EQ(std::string_view(src.Procs[1]->Text), "procedure Run( A: Integer);");
    ASSERT_EQ(src.Vars.size(), 2u);
    EXPECT_EQ(std::string_view(src.Vars[0]->TypeText), "array [0..1] of Byte");
    EXPECT_EQ(std::string_view(src.Vars[1]->TypeText), "array [0..1] of Byte");
}

// Blank runs (bytes 1 to 32) become one blank between other bytes and none at the ends,
// whether the text is collapsed in the model (measured first when long) or as a string.
TEST(ModelTexts, BlankRunsCollapseAtEveryOffset) {
    auto reference = [](std::string_view text) {
        std::string out;
        bool pending = false;
        for (const char c : text) {
            if (c >= 1 && c <= 32) {
                pending = !out.empty();
                continue;
            }
            if (pending) out += ' ';
            pending = false;
            out += c;
        }
        return out;
    };
    const std::string pieces[] = {"procedure",
                                  " ",
                                  "\r\n  ",
                                  "\t",
                                  std::string(1, '\0'),
                                  "TVeryLongTypeNameOf_32_Bytes_xyz",
                                  "\xC3\xA9",
                                  "(a: Integer;",
                                  std::string(40, ' ')};
    std::string text;
    for (size_t i = 0; i < 400; ++i) {
        // The last text runs past the buffer of CollapseBlanks.
        text += i == 399 ? std::string(16384, 'x') : pieces[(i * 7 + i / 9) % std::size(pieces)];
        SCOPED_TRACE(i);
        const std::string expected = reference(text);
        ASSERT_EQ(model::CollapseBlanks(text), expected);
        model::TPasSrc src;
        src.AddType("T", text, 0, 1, 1);
        ASSERT_EQ(std::string_view(src.Types.back()->Text), expected);
    }
}

// A comment anywhere in an overload's heading, before or past its first sixteen bytes, is read
// from the heading as written: collapsed, a line comment would swallow the rest.
TEST(ModelTexts, OverloadListsAreReadPastCommentsAnywhereInTheHeading) {
    const std::string comments[] = {"// count\r\n", "{ count }", "(* count *)"};
    for (const std::string& comment : comments) {
        for (const std::string& lead :
             {std::string("procedure Run("), std::string("procedure Run(  ")}) {
            model::TPasSrc src;
            src.SeparateOverloads = true;
            src.AddProc("Run", lead + "A: Integer; " + comment + " B: string);", 1, 1, 1);
            src.AddProc("Run", "procedure Run;", 2, 2, 2);
            src.FinishBuilding();
            ASSERT_EQ(src.Procs.size(), 2u);
            EXPECT_EQ(std::string_view(src.Procs[0]->Name), "Run()") << comment;
            EXPECT_EQ(std::string_view(src.Procs[1]->Name), "Run(Integer, string)") << comment;
        }
    }
}
