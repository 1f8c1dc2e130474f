// Comparing forms: each kind of difference, designer noise, and the report that lists them.
#include <gtest/gtest.h>

#include "forms/form_compare.h"
#include "forms/form_reader.h"
#include "forms/form_report.h"

using namespace quennet::forms;

namespace {

const char kBase[] = "object Form1: TForm1\n"
                     "  Caption = 'Main'\n"
                     "  PixelsPerInch = 96\n"
                     "  object Panel1: TPanel\n"
                     "    Width = 100\n"
                     "    object Button1: TButton\n"
                     "      Caption = 'OK'\n"
                     "    end\n"
                     "    object Button2: TButton\n"
                     "    end\n"
                     "  end\n"
                     "  object Panel2: TPanel\n"
                     "  end\n"
                     "end\n";

std::string Report(const std::string& oldText, const std::string& newText,
                   NoiseMode mode = NoiseMode::Show) {
    const FormFile a = ReadForm(oldText, "old.dfm"), b = ReadForm(newText, "new.dfm");
    EXPECT_TRUE(a.Notes.empty() && b.Notes.empty());
    return FormReportBody(CompareForms(a, b), mode);
}

std::string Edit(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

} // namespace

TEST(FormCompare, EachKindOfDifference) {
    const struct {
        const char* what;
        std::string newText;
        const char* report;
    } cases[] = {
        {"same text, other layout and case",
         Edit(Edit(kBase, "'Main'", "'Ma' + \n 'in'"), "Width = 100", "width = $64"), ""},
        {"property changed", Edit(kBase, "'OK'", "'Cancel'"),
         ">>> Objects\n* Form1.Panel1.Button1\n  * Caption\n    - 'OK'\n    + 'Cancel'\n"},
        {"property added and removed", Edit(kBase, "    Width = 100\n", "    Height = 5\n"),
         ">>> Objects\n* Form1.Panel1\n  + Height = 5\n  - Width = 100\n"},
        {"object added",
         Edit(kBase, "  object Panel2: TPanel\n  end\n",
              "  object Panel2: TPanel\n    object Edit1: TEdit\n"
              "      object Inner: TLabel\n      end\n    end\n  end\n"),
         ">>> Objects\n+ Form1.Panel2.Edit1: TEdit\n"},
        {"object removed", Edit(kBase, "    object Button2: TButton\n    end\n", ""),
         ">>> Objects\n- Form1.Panel1.Button2: TButton\n"},
        {"class changed", Edit(kBase, "Panel2: TPanel", "Panel2: TGroupBox"),
         ">>> Objects\n* Form1.Panel2\n  class TPanel -> TGroupBox\n"},
        {"moved to another parent",
         Edit(Edit(kBase, "    object Button2: TButton\n    end\n", ""),
              "  object Panel2: TPanel\n",
              "  object Panel2: TPanel\n    object Button2: TButton\n    end\n"),
         ">>> Objects\n* Form1.Panel2.Button2\n  moved from Form1.Panel1\n"},
        {"reordered among siblings",
         Edit(Edit(kBase, "    object Button2: TButton\n    end\n", ""), "    object Button1",
              "    object Button2: TButton\n    end\n    object Button1"),
         ">>> Objects\n* Form1.Panel1.Button1\n  moved among its siblings\n"},
        {"noise only", Edit(kBase, "PixelsPerInch = 96", "PixelsPerInch = 120"),
         ">>> Designer noise: 1 change\n* Form1\n  * PixelsPerInch\n    - 96\n    + 120\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Report(kBase, c.newText), c.report);
    }
}

TEST(FormCompare, NoiseModes) {
    const std::string edited =
        Edit(Edit(kBase, "PixelsPerInch = 96", "PixelsPerInch = 120"), "'OK'", "'Yes'");
    const FormFile a = ReadForm(kBase, "a.dfm"), b = ReadForm(edited, "b.dfm");
    const FormComparison c = CompareForms(a, b);
    EXPECT_EQ(c.Changes, 1u);
    EXPECT_EQ(c.NoiseChanges, 1u);
    EXPECT_EQ(FormReportBody(c, NoiseMode::Hide),
              ">>> Objects\n* Form1.Panel1.Button1\n  * Caption\n    - 'OK'\n    + 'Yes'\n"
              ">>> Designer noise: 1 change hidden\n");
    EXPECT_EQ(FormReportBody(c, NoiseMode::Ignore).find("noise"), std::string::npos);

    const FormFile noiseOnly = ReadForm(Edit(kBase, "96", "144"), "n.dfm");
    const FormComparison n = CompareForms(a, noiseOnly);
    EXPECT_FALSE(FormsEquivalent(n, NoiseMode::Show));
    EXPECT_FALSE(FormsEquivalent(n, NoiseMode::Hide));
    EXPECT_TRUE(FormsEquivalent(n, NoiseMode::Ignore));
}

TEST(FormCompare, NoiseRules) {
    const NoiseRules rules = DefaultNoiseRules();
    using Place = NoiseRules::Place;
    const struct {
        const char* name;
        Place where;
        bool noise;
    } cases[] = {{"ExplicitWidth", Place::Other, true},
                 {"explicitleft", Place::Other, true},
                 {"DesignSize", Place::Other, true},
                 {"LCLVersion", Place::Root, true},
                 {"TextHeight", Place::Other, true},
                 {"DesignTimePPI", Place::Root, true},
                 {"Left", Place::Other, false},
                 {"Left", Place::DataModuleChild, true},
                 {"Top", Place::DataModuleChild, true},
                 {"Width", Place::DataModuleChild, false},
                 {"Top", Place::Root, true},
                 {"Height", Place::Root, false},
                 {"Explicit", Place::Other, true},
                 {"Caption", Place::Other, false},
                 {"DefaultItemHeight", Place::Other, true},
                 {"EditLabel.Width", Place::Other, true},
                 {"EditLabel.Caption", Place::Other, false},
                 {"Left", Place::ToolButton, true},
                 {"Width", Place::ToolButton, false},
                 {"Height", Place::FrameComponent, true},
                 {"Top", Place::FrameComponent, true},
                 {"Caption", Place::FrameComponent, false}};
    for (const auto& c : cases)
        EXPECT_EQ(rules.IsNoise(c.name, c.where), c.noise) << c.name;

    const char dm[] = "object DM: TDataModule1\n  Left = 5\n"
                      "  object Q: TQuery\n    Left = 10\n  end\nend\n";
    const FormComparison c =
        CompareForms(ReadForm(dm, "a.dfm"), ReadForm(Edit(Edit(dm, "5", "6"), "10", "20"), "b"));
    EXPECT_EQ(c.Changes, 0u);
    EXPECT_EQ(c.NoiseChanges, 2u);

    // A tool button's place and the size of a component an embedded frame brings are the
    // designer's; a frame's own place and a component added to the frame are edits.
    const char bar[] = "object F: TForm1\n"
                       "  object Bar: TToolBar\n    object B: TToolButton\n      Left = 1\n"
                       "      Width = 2\n    end\n  end\n"
                       "  inline Fr: TFrame1\n    Left = 3\n"
                       "    inherited E: TEdit\n      Height = 4\n    end\n"
                       "    object X: TEdit\n      Height = 5\n    end\n  end\nend\n";
    std::string edited = bar;
    for (const char* n : {"1", "2", "3", "4", "5"})
        edited = Edit(edited, std::string("= ") + n, "= 9");
    const FormComparison f = CompareForms(ReadForm(bar, "a.lfm"), ReadForm(edited, "b.lfm"));
    EXPECT_EQ(f.Changes, 3u); // B.Width, Fr.Left, X.Height
    EXPECT_EQ(f.NoiseChanges, 2u);
}

TEST(FormCompare, ItemsAndListValues) {
    const char base[] = "object A: TA\n"
                        "  Lines.Strings = (\n    'one'\n    'two'\n    'three')\n"
                        "  Columns = <\n    item\n      Width = 1\n    end\n"
                        "    item\n      Width = 2\n    end>\n"
                        "end\n";
    std::string edited = Edit(base, "    'two'\n", "    'new'\n    'two'\n");
    edited = Edit(edited, "Width = 2", "Width = 3");
    const FormFile a = ReadForm(base, "a"), b = ReadForm(edited, "b");
    EXPECT_EQ(FormReportBody(CompareForms(a, b), NoiseMode::Show),
              ">>> Objects\n* A\n"
              "  * Lines.Strings\n    + [1] = 'new'\n"
              "  * Columns\n    * item 1\n      * Width\n        - 2\n        + 3\n");
    // The tree gives each node's lines: the item's and its property's on both sides.
    EXPECT_EQ(FormTreeText(CompareForms(a, b), NoiseMode::Show), "A\t4\t1-13\t1-14\n"
                                                                 "  Lines.Strings\t4\t2-5\t2-6\n"
                                                                 "    [1]\t3\t-\t4-4\n"
                                                                 "  Columns\t4\t6-12\t7-13\n"
                                                                 "    item 1\t4\t10-12\t11-13\n"
                                                                 "      Width\t4\t11-11\t12-12\n");
}
