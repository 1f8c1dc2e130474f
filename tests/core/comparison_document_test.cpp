// The main window's comparison state and its worker, without widgets.
#include "viewrules/comparison_document.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "temp_folder.h"

namespace {

using quennet::diff::ComparisonResult;
using quennet::render::LineRange;
using quennet::render::RangeFit;
using quennet::viewrules::ComparisonDocument;
using quennet::viewrules::ComparisonJob;

const char kOld[] = "unit U;\r\ninterface\r\nprocedure A;\r\nimplementation\r\n"
                    "procedure A;\r\nbegin\r\nend;\r\nend.\r\n";
const char kNew[] = "unit U;\r\ninterface\r\nprocedure A;\r\nprocedure B;\r\nimplementation\r\n"
                    "procedure A;\r\nbegin\r\nend;\r\nprocedure B;\r\nbegin\r\nend;\r\nend.\r\n";

quennet::model::Reading Classic() {
    quennet::model::ReadingChoice choice;
    choice.dialect = quennet::model::Dialect::Classic;
    return quennet::model::ReadingOf(choice);
}

ComparisonResult Compare(const char* oldText, const char* newText) {
    ComparisonJob job(oldText, "old.pas", newText, "new.pas", Classic());
    return job.Take();
}

TEST(ComparisonJob, GivesTheComparisonTheCommandLineMakes) {
    const ComparisonResult onWorker = Compare(kOld, kNew);
    const ComparisonResult direct = quennet::diff::CompareSources(
        {kOld, "old.pas"}, {kNew, "new.pas"}, Classic().symbols, Classic().options);
    ASSERT_NE(onWorker.diff, nullptr);
    EXPECT_FALSE(onWorker.equivalent);
    EXPECT_EQ(onWorker.diff->Root.Count(), direct.diff->Root.Count());
    EXPECT_EQ(onWorker.oldName, "old.pas");
    EXPECT_TRUE(Compare(kOld, kOld).equivalent);
}

TEST(ComparisonJob, ACancelledJobGivesNoResult) {
    ComparisonJob job(kOld, "old.pas", kNew, "new.pas", Classic());
    job.Cancel();
    const ComparisonResult result = job.Take();
    EXPECT_TRUE(job.Done());
    EXPECT_EQ(result.diff, nullptr);
    EXPECT_EQ(result.oldSource, nullptr);
}

TEST(ComparisonJob, TheWorkersErrorReachesTheCaller) {
    quennet::model::Reading reading = Classic();
    reading.options.target = "no-such-target";
    ComparisonJob job(kOld, "old.pas", kNew, "new.pas", reading);
    EXPECT_THROW(job.Take(), std::exception);
}

struct DocumentTest : ::testing::Test {
    void AdoptComparison(int32_t oldLines, int32_t newLines) {
        ComparisonResult r = Compare(kOld, kNew);
        doc.Adopt(std::move(r.oldSource), std::move(r.newSource), std::move(r.diff), oldLines,
                  newLines);
    }
    ComparisonDocument doc;
};

TEST_F(DocumentTest, SelectionMatchesTheSelectedLinesForTheDiffView) {
    using quennet::base::TLineRecord;
    const std::vector<TLineRecord> oldLines = {{1, 4, false}, {2, 5, false}};
    const std::vector<TLineRecord> newLines = {{1, 7, false}, {3, 8, false}, {2, 9, false}};
    doc.Select({4, 5}, {7, 9}, oldLines, newLines);
    EXPECT_EQ(doc.Range(true).First, 4);
    EXPECT_EQ(doc.Range(false).Last, 9);
    ASSERT_EQ(doc.DiffMap().size(), 3u); // two common lines, one added
    EXPECT_EQ(doc.DiffMap()[1].Kind, quennet::diff::NewOnly);
    EXPECT_EQ(doc.DiffMap()[1].Line, 8);

    // Loading a file on one side ends that side's selection only.
    doc.Loaded(true, "other.pas", {});
    EXPECT_FALSE(doc.Range(true).IsSet());
    EXPECT_TRUE(doc.Range(false).IsSet());
    EXPECT_EQ(doc.FileName(true), "other.pas");

    doc.Select({}, {}, {}, {});
    EXPECT_TRUE(doc.DiffMap().empty());
}

TEST_F(DocumentTest, ARangeIsJudgedAgainstTheLinesCompared) {
    AdoptComparison(8, 12);
    // The view lost lines since the compare: an edit explains it.
    EXPECT_EQ(doc.Fit(true, {6, 9}, 7), RangeFit::TextChanged);
    // The view holds what was compared: the range itself is wrong.
    EXPECT_EQ(doc.Fit(false, {10, 13}, 12), RangeFit::BeyondComparedText);
    EXPECT_EQ(doc.Fit(false, {10, 11}, 12), RangeFit::Fits);
}

TEST_F(DocumentTest, ANewFileDropsTheComparisonAndKeepsTheModels) {
    AdoptComparison(8, 12);
    ASSERT_NE(doc.Comparison(), nullptr);
    doc.DropComparison();
    EXPECT_EQ(doc.Comparison(), nullptr);
    EXPECT_NE(doc.Source(true), nullptr);
    doc.Free();
    EXPECT_EQ(doc.Source(false), nullptr);
}

TEST_F(DocumentTest, AFileRewrittenOnDiskCountsAsChanged) {
    quennet::testing::TempFolder folder;
    const std::string path = folder.Write("u.pas", kOld);
    doc.Loaded(false, path, quennet::io::StampOf(path));
    EXPECT_FALSE(doc.ChangedOnDisk(false));
    EXPECT_FALSE(doc.ChangedOnDisk(true)); // no file on that side
    folder.Write("u.pas", kNew);
    EXPECT_TRUE(doc.ChangedOnDisk(false));
    doc.Restamp(false, quennet::io::StampOf(path));
    EXPECT_FALSE(doc.ChangedOnDisk(false));
}

} // namespace

// The window warns as the command line does: only of what the new unit and form get wrong
// together and the old pair did not, and only where both units have a form beside them.
TEST(ComparisonDocument, WarnsOfNewInconsistenciesWithTheFormsBeside) {
    const std::string unit = "unit Unit1;\ninterface\ntype\n  TForm1 = class(TForm)\n"
                             "    Button1: TButton;\n    procedure Button1Click(Sender: TObject);\n"
                             "  end;\nimplementation\n{$R *.dfm}\n"
                             "procedure TForm1.Button1Click(Sender: TObject);\nbegin\nend;\nend.\n";
    const std::string form = "object Form1: TForm1\n  object Button1: TButton\n"
                             "    OnClick = Button1Click\n  end\nend\n";
    std::string renamed = unit;
    for (size_t at; (at = renamed.find("Button1Click")) != std::string::npos;)
        renamed.replace(at, 12, "ButtonClick");
    quennet::testing::TempFolder folder;
    const std::string oldUnit = folder.Write("old/Unit1.pas", unit);
    const std::string newUnit = folder.Write("new/Unit1.pas", renamed);
    const auto warnings = [&] {
        ComparisonResult r = quennet::diff::CompareSources({unit, oldUnit}, {renamed, newUnit},
                                                           Classic().symbols, Classic().options);
        ComparisonDocument doc;
        doc.Loaded(true, oldUnit, {});
        doc.Loaded(false, newUnit, {});
        doc.Adopt(std::move(r.oldSource), std::move(r.newSource), std::move(r.diff));
        std::string out;
        for (const auto& f : quennet::viewrules::NewFormWarnings(doc))
            out += f.Text() + "\n";
        return out;
    };
    EXPECT_EQ(warnings(), "");
    folder.Write("old/Unit1.dfm", form);
    EXPECT_EQ(warnings(), "");
    const std::string newForm = folder.Write("new/Unit1.dfm", form);
    EXPECT_EQ(warnings(), newForm + "(3): event Button1.OnClick names Button1Click, which is no "
                                    "method of TForm1\n");
}
