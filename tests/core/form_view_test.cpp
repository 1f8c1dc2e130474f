// The window's view of a form pair: tree rows and their lines, noise apart, tinted spans,
// stepping, and which pairs are forms.
#include <filesystem>
#include <gtest/gtest.h>

#include "diff/compare_sources.h"
#include "forms/form_merge.h"
#include "forms/form_report.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "viewrules/form_merge_view.h"
#include "viewrules/form_view.h"

using namespace quennet;
using namespace quennet::viewrules;
using forms::NoiseMode;

namespace {

const char kOld[] = "object Form1: TForm1\n"        // 0
                    "  Caption = 'Main'\n"          // 1
                    "  PixelsPerInch = 96\n"        // 2
                    "  object Panel1: TPanel\n"     // 3
                    "    Width = 100\n"             // 4
                    "    object Button1: TButton\n" // 5
                    "      Caption = 'OK'\n"        // 6
                    "    end\n"                     // 7
                    "  end\n"                       // 8
                    "end\n";

std::string Edit(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

FormView Compare(const std::string& oldText, const std::string& newText,
                 NoiseMode mode = NoiseMode::Show) {
    return CompareFormTexts({oldText, false, "old.dfm"}, {newText, false, "new.dfm"},
                            forms::DefaultNoiseRules(), mode);
}

std::string Range(render::LineRange r) {
    return r.IsSet() ? std::to_string(r.First) + "-" + std::to_string(r.Last) : "-";
}

// One line a row: indentation, caption, old and new lines, "~" when dimmed.
void Rows(const std::vector<FormViewNode>& nodes, int depth, std::string& out) {
    for (const FormViewNode& n : nodes) {
        out += std::string(static_cast<size_t>(depth) * 2, ' ') + n.Caption + " " + Range(n.Old) +
               " " + Range(n.New) + (n.Dimmed ? " ~" : "") + "\n";
        Rows(n.Children, depth + 1, out);
    }
}

std::string Rows(const FormView& v) {
    std::string out;
    Rows(v.Tree, 0, out);
    return out;
}

} // namespace

TEST(FormView, TreeRowsAndTheirLines) {
    const std::string noisy = Edit(Edit(kOld, "'OK'", "'Cancel'"), "= 96", "= 120");
    const struct {
        const char* what;
        std::string newText;
        NoiseMode mode;
        const char* rows;
    } cases[] = {
        {"property changed, old -> new", Edit(kOld, "'OK'", "'Cancel'"), NoiseMode::Show,
         "Form1.Panel1.Button1 5-7 5-7\n  Caption: 'OK' -> 'Cancel' 6-6 6-6\n"},
        {"noise last, dimmed, under its group", noisy, NoiseMode::Show,
         "Form1.Panel1.Button1 5-7 5-7\n  Caption: 'OK' -> 'Cancel' 6-6 6-6\n"
         "Designer noise: 1 change - - ~\n  Form1 0-9 0-9 ~\n    PixelsPerInch: 96 -> 120 2-2 "
         "2-2 ~\n"},
        {"hidden noise is left out", noisy, NoiseMode::Hide,
         "Form1.Panel1.Button1 5-7 5-7\n  Caption: 'OK' -> 'Cancel' 6-6 6-6\n"},
        {"ignored noise is left out", noisy, NoiseMode::Ignore,
         "Form1.Panel1.Button1 5-7 5-7\n  Caption: 'OK' -> 'Cancel' 6-6 6-6\n"},
        {"added and removed properties", Edit(kOld, "    Width = 100\n", "    Height = 5\n"),
         NoiseMode::Show, "Form1.Panel1 3-8 3-8\n  Height = 5 - 4-4\n  Width = 100 4-4 -\n"},
        {"object added with its class",
         Edit(kOld, "    end\n  end\n", "    end\n    object Edit1: TEdit\n    end\n  end\n"),
         NoiseMode::Show, "Form1.Panel1.Edit1: TEdit - 8-9\n"},
        {"class change on the object's own line",
         Edit(kOld, "Button1: TButton", "Button1: TBitBtn"), NoiseMode::Show,
         "Form1.Panel1.Button1 5-7 5-7\n  class TButton -> TBitBtn 5-5 5-5\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rows(Compare(kOld, c.newText, c.mode)), c.rows) << c.what;
}

TEST(FormView, WhatAnEmptyTreeSays) {
    const std::string noiseOnly = Edit(kOld, "= 96", "= 120");
    const std::string relaid = Edit(kOld, "'Main'", "'Ma' +\n    'in'");
    EXPECT_EQ(FormOutcomeMessage(Compare(kOld, relaid)), diff::kEquivalentSentence);
    EXPECT_EQ(FormOutcomeMessage(Compare(kOld, noiseOnly, NoiseMode::Ignore)),
              diff::kEquivalentSentence);
    EXPECT_EQ(FormOutcomeMessage(Compare(kOld, noiseOnly, NoiseMode::Hide)),
              "Only designer noise differs: 1 change hidden.");
    EXPECT_EQ(FormOutcomeMessage(Compare(kOld, noiseOnly, NoiseMode::Show)), "");
}

// Noise is shaded, not tinted, in every mode: its lines still differ as text.
TEST(FormView, NoiseIsShadedNotTinted) {
    const std::string newText =
        Edit(Edit(Edit(kOld, "'OK'", "'Cancel'"), "= 96", "= 120"), "  Caption = 'Main'\n", "");
    for (NoiseMode mode : {NoiseMode::Show, NoiseMode::Hide, NoiseMode::Ignore}) {
        const FormView v = Compare(kOld, newText, mode);
        ASSERT_EQ(v.Spans.New.size(), 1u);
        EXPECT_EQ(v.Spans.New[0], (LineSpan{5, 5, MarkKind::Changed}));
        EXPECT_EQ(v.NoiseOld,
                  (std::vector<InactiveSpan>{{2, 2, "Designer noise: Form1.PixelsPerInch"}}));
        EXPECT_EQ(v.NoiseNew,
                  (std::vector<InactiveSpan>{{1, 1, "Designer noise: Form1.PixelsPerInch"}}));
    }
}

TEST(FormView, StepsOverObjectsAndTheNoiseGroup) {
    const FormView v = Compare(
        kOld, Edit(Edit(Edit(kOld, "'OK'", "'Cancel'"), "= 96", "= 120"), "'Main'", "'Top'"));
    // Form1 > Caption, Button1 > Caption, then noise > Form1 > PixelsPerInch.
    const FormViewNode* first = StepFormNode(v.Tree, nullptr, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Caption, "Caption: 'Main' -> 'Top'");
    const FormViewNode* second = StepFormNode(v.Tree, first, true);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Caption, "Caption: 'OK' -> 'Cancel'");
    const FormViewNode* last = StepFormNode(v.Tree, second, true);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Caption, "PixelsPerInch: 96 -> 120");
    EXPECT_EQ(StepFormNode(v.Tree, last, true), nullptr);
    EXPECT_EQ(StepFormNode(v.Tree, nullptr, false), last);
    EXPECT_EQ(StepFormNode(v.Tree, second, false), first);
    EXPECT_EQ(StepFormNode(v.Tree, first, false), nullptr);
    // From a row that is no change (the object above them) the next change below it.
    EXPECT_EQ(StepFormNode(v.Tree, &v.Tree[1], true), second);
}

TEST(FormView, WhichPairsAreForms) {
    EXPECT_TRUE(IsFormPair("a.dfm", "", "b.dfm", ""));
    EXPECT_TRUE(IsFormPair("a.txt", "object Form1: TForm1\nend\n", "b.txt", ""));
    EXPECT_TRUE(IsFormPair("", "", "NEW.LFM", ""));
    EXPECT_FALSE(IsFormPair("a.pas", "unit a;\n", "b.pas", "unit b;\n"));
}

TEST(FormView, ModeNamesAsStored) {
    for (NoiseMode m : {NoiseMode::Show, NoiseMode::Hide, NoiseMode::Ignore})
        EXPECT_EQ(forms::NoiseModeNamed(forms::NoiseModeName(m)), m);
    EXPECT_EQ(forms::NoiseModeNamed("HIDE?"), NoiseMode::Show);
}

// On real edits every row's lines lie inside the texts.
TEST(FormView, RealPairsStayInsideTheirTexts) {
    const std::filesystem::path pairs = std::filesystem::path(QUENNET_SHARED_DIR) / "forms/pairs";
    if (!std::filesystem::exists(pairs)) GTEST_SKIP() << "no " << pairs;
    int compared = 0;
    for (const auto& dir : std::filesystem::directory_iterator(pairs)) {
        std::string names[2];
        for (const auto& f : std::filesystem::directory_iterator(dir.path())) {
            const std::string stem = f.path().stem().string();
            if (stem == "old" || stem == "new") names[stem == "new"] = f.path().string();
        }
        if (names[0].empty() || names[1].empty()) continue;
        io::DecodedText texts[2];
        for (int k = 0; k < 2; ++k)
            texts[k] = io::ReadSourceFile(names[k]);
        const FormView v = CompareFormTexts(
            {texts[0].Text, texts[0].Encoding != io::TextEncoding::Bytes, names[0]},
            {texts[1].Text, texts[1].Encoding != io::TextEncoding::Bytes, names[1]},
            forms::DefaultNoiseRules(), NoiseMode::Show);
        const int32_t lines[2] = {static_cast<int32_t>(io::SplitLines(texts[0].Text).size()),
                                  static_cast<int32_t>(io::SplitLines(texts[1].Text).size())};
        std::vector<const FormViewNode*> open;
        for (const auto& n : v.Tree)
            open.push_back(&n);
        while (!open.empty()) {
            const FormViewNode& n = *open.back();
            open.pop_back();
            for (const auto& c : n.Children)
                open.push_back(&c);
            for (int k = 0; k < 2; ++k) {
                const render::LineRange r = k ? n.New : n.Old;
                if (!r.IsSet()) continue;
                EXPECT_LE(r.First, r.Last) << names[k] << " " << n.Caption;
                EXPECT_LT(r.Last, lines[k]) << names[k] << " " << n.Caption;
            }
        }
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

TEST(FormView, OutlineNamesObjectsAndPropertiesByPath) {
    const std::vector<NamedSpan> outline = OutlineForm(io::SplitLines(kOld), "x.dfm");
    const std::vector<NamedSpan> expected = {{"Form1", 0, 9},
                                             {"Form1.Caption", 1, 1},
                                             {"Form1.PixelsPerInch", 2, 2},
                                             {"Form1.Panel1", 3, 8},
                                             {"Form1.Panel1.Width", 4, 4},
                                             {"Form1.Panel1.Button1", 5, 7},
                                             {"Form1.Panel1.Button1.Caption", 6, 6}};
    EXPECT_EQ(outline, expected);
    EXPECT_EQ(DeclarationAt(outline, 6, 6), "Form1.Panel1.Button1.Caption");
}

TEST(FormView, BrokenResultIsNotWrittenAsBinary) {
    EXPECT_FALSE(BinaryFormOf(kOld, "out.dfm").empty());
    EXPECT_THROW(BinaryFormOf(Edit(kOld, "    end\n", "<<<<<<< LOCAL\n"), "out.dfm"),
                 std::runtime_error);
}

// The merge window's reading of the versions gives the result the command line writes.
TEST(FormView, WindowMergeOfRealFormsIsTheCommandLines) {
    const std::filesystem::path merges = std::filesystem::path(QUENNET_SHARED_DIR) / "forms/merges";
    if (!std::filesystem::exists(merges)) GTEST_SKIP() << "no " << merges;
    int merged = 0;
    for (const auto& dir : std::filesystem::directory_iterator(merges)) {
        std::string paths[3];
        for (const auto& f : std::filesystem::directory_iterator(dir.path())) {
            const std::string stem = f.path().stem().string();
            const int k = stem == "base" ? 0 : stem == "local" ? 1 : stem == "remote" ? 2 : -1;
            if (k >= 0) paths[k] = f.path().string();
        }
        if (paths[0].empty() || paths[1].empty() || paths[2].empty()) continue;
        ASSERT_TRUE(IsFormMerge(paths));
        const char* labels[] = {"BASE", "LOCAL", "REMOTE"};
        merge3::Merge3Version v[3];
        bool binary = false;
        for (int k = 0; k < 3; ++k)
            v[k] = ReadFormMergeVersion(paths[k], labels[k], binary);
        merge3::AlignMerge3Versions(v);
        const merge3::ThreeWayResult window = MergeFormVersions(v, forms::DefaultNoiseRules());
        const std::string names[3] = {"BASE", "LOCAL", "REMOTE"};
        const forms::FormMergeResult cli =
            forms::MergeForms(io::ReadFileBytes(paths[0]), io::ReadFileBytes(paths[1]),
                              io::ReadFileBytes(paths[2]), names, {paths[0], paths[1], paths[2]});
        EXPECT_EQ(window.text, cli.Bytes) << dir.path();
        EXPECT_EQ(window.conflicts, cli.Conflicts) << dir.path();
        ++merged;
    }
    EXPECT_EQ(merged, 22);
}
