// What the three-way merge window shows, decided without widgets: rows that keep the versions
// level, where result lines came from, conflicts named by declaration, the undo steps and the
// encodings the result can be saved in.
#include <gtest/gtest.h>

#include <stdexcept>

#include "io/source_file.h"
#include "merge3/merge3_output.h"
#include "merge3/three_way.h"
#include "viewrules/merge3_colors.h"
#include "viewrules/merge3_history.h"
#include "viewrules/merge3_layout.h"
#include "viewrules/merge3_names.h"

using namespace quennet::merge3;
using namespace quennet::viewrules;
using quennet::viewrules::FillerBlock;
namespace io = quennet::io;

namespace {

std::vector<std::string> L(std::initializer_list<const char*> lines) {
    return {lines.begin(), lines.end()};
}

// Every line of a version on its own row, in order, and the rows with the fillers add up to
// the same height in each version.
void ExpectLevel(const Merge3Layout& layout, const Merge3Lines& v) {
    for (int k = 0; k < 3; ++k) {
        int32_t fillers = 0;
        for (const FillerBlock& f : layout.Fillers[k])
            fillers += f.Count;
        EXPECT_EQ(layout.Rows, static_cast<int32_t>(v[k].size()) + fillers) << "pane " << k;
        for (size_t i = 1; i < layout.RowOf[k].size(); ++i)
            EXPECT_LT(layout.RowOf[k][i - 1], layout.RowOf[k][i]);
    }
}

} // namespace

TEST(Merge3Layout, KeepsEqualLinesLevelAndTintsEachSidesChanges) {
    struct Case {
        const char* what;
        Merge3Lines v;
        std::array<std::vector<FillerBlock>, 3> fillers;
        std::array<std::vector<Merge3Span>, 3> spans;
    } cases[] = {
        {"local inserts at the top",
         {L({"a", "b"}), L({"x", "y", "a", "b"}), L({"a", "b"})},
         {{{{-1, 2}}, {}, {{-1, 2}}}},
         {{{}, {{0, 1, Merge3Change::Local}}, {}}}},
        {"remote changes one line",
         {L({"a", "b", "c"}), L({"a", "b", "c"}), L({"a", "B", "B2", "c"})},
         {{{{1, 1}}, {{1, 1}}, {}}},
         {{{{1, 1, Merge3Change::Remote}}, {}, {{1, 2, Merge3Change::Remote}}}}},
        {"both change a line differently",
         {L({"a", "b", "c"}), L({"a", "L", "c"}), L({"a", "R1", "R2", "R3", "c"})},
         {{{{1, 2}}, {{1, 2}}, {}}},
         {{{{1, 1, Merge3Change::Conflict}},
           {{1, 1, Merge3Change::Conflict}},
           {{1, 3, Merge3Change::Conflict}}}}},
        {"both make the same change",
         {L({"a", "b"}), L({"a", "z"}), L({"a", "z"})},
         {},
         {{{{1, 1, Merge3Change::Both}},
           {{1, 1, Merge3Change::Both}},
           {{1, 1, Merge3Change::Both}}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Merge3Layout layout = LayOutMerge3(c.v);
        EXPECT_EQ(c.fillers, layout.Fillers);
        EXPECT_EQ(c.spans, layout.Spans);
        ExpectLevel(layout, c.v);
    }
}

TEST(Merge3Layout, FollowingRowMakesUpForFillersAboveTheFirstLine) {
    const Merge3Layout layout = LayOutMerge3({L({"a", "b"}), L({"x", "y", "a", "b"}), L({"a"})});
    ASSERT_EQ(2, TopFillerRows(layout, kBasePane));
    EXPECT_EQ(0, TopFillerRows(layout, kLocalPane));
    EXPECT_EQ(3, FollowingRow(layout, kBasePane, 1, kLocalPane));
    EXPECT_EQ(1, FollowingRow(layout, kLocalPane, 3, kBasePane));
    EXPECT_EQ(0, FollowingRow(layout, kLocalPane, 1, kBasePane));
}

TEST(Merge3Result, EachLineColouredByWhereItCameFrom) {
    const Merge3Lines v = {L({"a", "b", "c", "d", "e"}), L({"a", "B", "c", "d", "e", "both"}),
                           L({"a", "b", "c", "D", "e", "both"})};
    const Merge3Layout layout = LayOutMerge3(v);
    const std::vector<std::string> result =
        L({"a", "B", "c", "D", "typed", "e", "both", "<<<<<<< L", "x", "=======", ">>>>>>> R"});
    TMerge3Session session(io::JoinLinesCrLf(result));
    const Merge3ResultMap map = MapMerge3Result(v, layout, result, session.Conflicts());
    using O = Merge3Origin;
    const std::vector<O> want = {O::Common,   O::Local,    O::Common,  O::Remote,
                                 O::Edited,   O::Common,   O::Both,    O::Conflict,
                                 O::Conflict, O::Conflict, O::Conflict};
    EXPECT_EQ(want, map.Origin);
    // Rows follow the versions and never go back; a typed line stands with the line above.
    EXPECT_EQ(layout.RowOf[kLocalPane][1], map.Row[1]);
    EXPECT_EQ(map.Row[3], map.Row[4]);
    EXPECT_TRUE(std::is_sorted(map.Row.begin(), map.Row.end()));
    EXPECT_EQ(3, ResultLineAtRow(map, map.Row[3]));
    EXPECT_EQ(0, ConflictLineIn(map, session.Conflicts()[0], kLocalPane) - 6);
    const auto& tints = quennet::viewrules::Merge3TintsFor(false);
    EXPECT_EQ(0u, TintOf(tints, O::Common));
    EXPECT_NE(TintOf(tints, O::Local), TintOf(tints, O::Remote));
}

TEST(Merge3Result, StepsBetweenConflicts) {
    TMerge3Session s("a\n<<<<<<< L\nx\n=======\ny\n>>>>>>> R\nb\n<<<<<<< L\n=======\nz\n>>>>>>> "
                     "R\nc\n");
    ASSERT_EQ(2u, s.Conflicts().size());
    struct Case {
        int32_t current, caret;
        bool forward;
        int32_t want;
    } cases[] = {
        {0, 0, true, 1},    {1, 0, true, -1},   {1, 0, false, 0},   {0, 9, false, -1},
        {-1, 0, true, 0},   {-1, 6, true, 1},   {-1, 3, true, 0},   {-1, 6, false, 0},
        {-1, 11, false, 1}, {-1, 12, true, -1}, {-1, 0, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, StepConflict(s.Conflicts(), c.current, c.caret, c.forward))
            << c.current << " " << c.caret << " " << c.forward;
}

TEST(Merge3Names, ConflictsNamedByTheirDeclaration) {
    auto unit = [](const char* uses, const char* body, const char* field) {
        return std::string("unit U;\r\n\r\ninterface\r\n\r\nuses\r\n  ") + uses +
               ";\r\n\r\ntype\r\n  TFoo = class\r\n    " + field +
               ": Integer;\r\n    procedure Bar;\r\n  end;\r\n\r\nimplementation\r\n\r\n"
               "procedure TFoo.Bar;\r\nbegin\r\n  " +
               body + ";\r\nend;\r\n\r\nend.\r\n";
    };
    const ThreeWayInput base{unit("SysUtils, Classes", "B0", "FA"), "base.pas", "BASE"};
    const ThreeWayInput local{unit("SysUtils, Types", "B1", "FB"), "local.pas", "LOCAL"};
    const ThreeWayInput remote{unit("SysUtils, Types, Math", "B2", "FC"), "remote.pas", "REMOTE"};
    const ThreeWayResult merged = MergeThreeWay(base, local, remote);
    TMerge3Session session(merged.text);
    Merge3Lines v;
    std::array<std::vector<NamedSpan>, 3> outlines;
    const ThreeWayInput* in[3] = {&base, &local, &remote};
    for (int k = 0; k < 3; ++k) {
        v[k] = io::SplitLines(in[k]->bytes);
        outlines[k] = OutlineDeclarations(v[k], in[k]->fileName);
    }
    const std::vector<std::string> result = io::SplitLines(session.Text());
    const Merge3ResultMap map = MapMerge3Result(v, LayOutMerge3(v), result, session.Conflicts());
    EXPECT_EQ((std::vector<std::string>{"uses", "TFoo.FB", "TFoo.Bar (body)"}),
              NameConflicts(session.Conflicts(), map, outlines));

    const auto& outline = outlines[kLocalPane];
    EXPECT_EQ("TFoo", DeclarationAt(outline, 8, 11));
    EXPECT_EQ("uses, TFoo", DeclarationAt(outline, 4, 9));
    EXPECT_EQ("", DeclarationAt(outline, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"Lines 1-3"}),
              NameConflicts(TMerge3Session("<<<<<<< L\n=======\n>>>>>>> R\n").Conflicts(),
                            Merge3ResultMap{}, {}));
}

TEST(Merge3Names, CountsWhatTheStructureSolved) {
    struct Case {
        int32_t lines, structural, left;
        int32_t byLines, solved;
    } cases[] = {{3, 1, 1, 3, 2}, {4, 0, 0, 4, 4}, {1, 2, 1, 2, 0}, {0, 0, 0, 0, 0}};
    for (const Case& c : cases) {
        const Merge3Counts counts = CountMerge3(c.lines, c.structural, c.left);
        EXPECT_EQ(c.byLines, counts.ByLines);
        EXPECT_EQ(c.solved, counts.Solved);
        EXPECT_EQ(c.left, counts.Left);
    }
}

TEST(Merge3History, ChoicesAndEditsUndoAndRedo) {
    TMerge3History h("t0");
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.Changed());
    h.Choose("t1");
    h.Edit("t1a", 4);
    h.Edit("t1ab", 4); // the same line: one step
    h.Edit("t1abc", 5);
    EXPECT_EQ("t1ab", h.Undo());
    EXPECT_EQ("t1", h.Undo());
    EXPECT_EQ("t0", h.Undo());
    EXPECT_FALSE(h.Changed());
    EXPECT_EQ("t0", h.Undo());
    EXPECT_EQ("t1", h.Redo());
    EXPECT_TRUE(h.Changed());
    h.MarkSaved();
    h.Edit("t2", 1); // drops what could be redone
    EXPECT_FALSE(h.CanRedo());
    h.MarkSaved();
    h.Edit("t2x", 1); // the same line, but the saved step is never rewritten
    EXPECT_EQ("t2", h.Undo());
    EXPECT_FALSE(h.Changed());
    EXPECT_EQ("t1", h.Undo());
    h.Choose("t1"); // no change, no step
    EXPECT_TRUE(h.CanRedo());
}

TEST(Merge3History, KeepsABoundedNumberOfSteps) {
    TMerge3History h("start");
    for (size_t i = 0; i < TMerge3History::kLimit + 10; ++i)
        h.Choose(std::to_string(i));
    size_t undone = 0;
    while (h.CanUndo()) {
        h.Undo();
        ++undone;
    }
    EXPECT_EQ(TMerge3History::kLimit - 1, undone);
    EXPECT_TRUE(h.Changed()); // the opened text is gone
}

TEST(Merge3History, FirstDifferentLine) {
    EXPECT_EQ(-1, FirstDifferentLine("a\r\nb\r\n", "a\r\nb\r\n"));
    EXPECT_EQ(1, FirstDifferentLine("a\r\nb\r\n", "a\r\nc\r\n"));
    EXPECT_EQ(2, FirstDifferentLine("a\rb\nc", "a\rb\nd"));
}

TEST(Merge3Output, EncodingsAndLineEnds) {
    using quennet::io::TextEncoding;
    using quennet::io::ViewCharset;
    const auto& list = OutputEncodings();
    const OutputEncoding& cp1252 =
        list[OutputEncodingOf(TextEncoding::Bytes, ViewCharset::Windows1252)];
    const OutputEncoding& utf8 = list[OutputEncodingOf(TextEncoding::Bytes, ViewCharset::Utf8)];
    const OutputEncoding& bom =
        list[OutputEncodingOf(TextEncoding::Utf8Bom, ViewCharset::Windows1252)];
    const OutputEncoding& le = list[OutputEncodingOf(TextEncoding::Utf16Le, ViewCharset::Utf8)];
    EXPECT_EQ(std::string("UTF-8 with BOM"), bom.Name);
    struct Case {
        std::string text;
        ViewCharset from;
        const OutputEncoding* to;
        LineEnds ends;
        std::string want;
    } cases[] = {
        {"a\xE9\r\nb", ViewCharset::Windows1252, &utf8, LineEnds::Lf, "a\xC3\xA9\nb"},
        {"a\xC3\xA9\nb\n", ViewCharset::Utf8, &cp1252, LineEnds::CrLf, "a\xE9\r\nb\r\n"},
        {"\xEF\xBB\xBFx\r\n", ViewCharset::Utf8, &bom, LineEnds::CrLf, "\xEF\xBB\xBFx\r\n"},
        {"x\n", ViewCharset::Windows1252, &le, LineEnds::Lf, std::string("\xFF\xFEx\0\n\0", 6)},
        {"a\r\nb\nc\rd", ViewCharset::Utf8, &utf8, LineEnds::CrLf, "a\r\nb\r\nc\r\nd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, EncodeMergeOutput(c.text, c.from, *c.to, c.ends, "out.pas")) << c.text;
    try {
        EncodeMergeOutput("ok\n\xE2\x86\x92\n", ViewCharset::Utf8, cp1252, LineEnds::Lf, "out.pas");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("out.pas"));
        EXPECT_NE(std::string::npos, std::string(e.what()).find("2"));
    }
    EXPECT_EQ(LineEnds::Lf, LineEndsOf("a\nb\nc\r\n"));
    EXPECT_EQ(LineEnds::CrLf, LineEndsOf("a"));
}
