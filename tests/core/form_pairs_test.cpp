// Forms of real projects: the merge gives back a form unchanged and takes one side's edit
// whole, and the comparison reports changes only where lines changed. Skipped where the
// shared data is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "forms/form_compare.h"
#include "forms/form_merge.h"
#include "forms/form_reader.h"
#include "io/source_file.h"
#include "io/text_encoding.h"

namespace fs = std::filesystem;
using namespace quennet::forms;

namespace {

const fs::path kShared =
    fs::path(QUENNET_CASES_DIR).parent_path().parent_path() / ".." / "shared" / "forms";

struct Pair {
    fs::path oldFile, newFile;
};

std::vector<Pair> Pairs() {
    std::vector<Pair> pairs;
    if (!fs::is_directory(kShared / "pairs")) return pairs;
    for (const auto& dir : fs::directory_iterator(kShared / "pairs")) {
        Pair p;
        for (const auto& f : fs::directory_iterator(dir.path())) {
            if (f.path().stem() == "old") p.oldFile = f.path();
            if (f.path().stem() == "new") p.newFile = f.path();
        }
        if (!p.oldFile.empty() && !p.newFile.empty()) pairs.push_back(p);
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const Pair& a, const Pair& b) { return a.oldFile < b.oldFile; });
    return pairs;
}

const std::string kLabels[3] = {"BASE", "LOCAL", "REMOTE"};

} // namespace

// Merging a side's edit against an unchanged other side gives that side's form (properties
// in LOCAL's order aside), and three equal forms give the form's own lines back.
TEST(FormPairs, MergeTakesOneSidedEditsWhole) {
    const auto pairs = Pairs();
    if (pairs.empty()) GTEST_SKIP() << "no form pairs on this machine";
    for (const auto& p : pairs) {
        SCOPED_TRACE(p.newFile.string());
        const std::string a = quennet::io::ReadFileBytes(p.oldFile.string());
        const std::string b = quennet::io::ReadFileBytes(p.newFile.string());
        const FormFile target = ReadForm(b, "new");
        const FormMergeResult same = MergeForms(b, b, b, kLabels, {});
        EXPECT_EQ(same.Conflicts, 0);
        EXPECT_EQ(quennet::io::SplitLines(quennet::io::DecodeSourceBytes(same.Bytes, "m").Text),
                  std::vector<std::string>(target.Lines.begin(), target.Lines.end()));
        for (const auto& merged :
             {MergeForms(a, a, b, kLabels, {}), MergeForms(a, b, a, kLabels, {})}) {
            EXPECT_EQ(merged.Conflicts, 0);
            const FormComparison c = CompareForms(ReadForm(merged.Bytes, "m"), target);
            EXPECT_EQ(c.Changes + c.NoiseChanges, 0u);
        }
    }
}

// The lines of every reported change are that change's: a property's first line names it
// on each side it is on, an item or list value lies within its property's lines. Changed
// lines the line matcher pairs elsewhere (a line moved between objects) are no reason to doubt
// the structure, so the matcher is not the yardstick here.
TEST(FormPairs, ReportedChangesPointAtTheirLines) {
    const auto pairs = Pairs();
    if (pairs.empty()) GTEST_SKIP() << "no form pairs on this machine";
    size_t checked = 0;
    for (const auto& p : pairs) {
        SCOPED_TRACE(p.newFile.string());
        const FormFile a = ReadFormFile(p.oldFile.string());
        const FormFile b = ReadFormFile(p.newFile.string());
        ASSERT_TRUE(a.Notes.empty() && b.Notes.empty());
        auto startsWith = [](const std::vector<std::string_view>& lines, int line,
                             const std::string& name) {
            const std::string_view l = lines[static_cast<size_t>(line - 1)];
            const size_t at = l.find_first_not_of(' ');
            return at != std::string::npos && SameName(l.substr(at, name.size()), name) &&
                   l.compare(at + name.size(), 2, " =") == 0;
        };
        std::function<void(const FormDiffNode&, const FormDiffNode*)> check =
            [&](const FormDiffNode& n, const FormDiffNode* parent) {
                if (n.Kind == FormNodeKind::Property) {
                    if (n.OldFirst) {
                        EXPECT_TRUE(startsWith(a.Lines, n.OldFirst, n.Caption));
                    }
                    if (n.NewFirst) {
                        EXPECT_TRUE(startsWith(b.Lines, n.NewFirst, n.Caption));
                    }
                    EXPECT_TRUE(n.OldFirst || n.NewFirst) << n.Caption;
                    ++checked;
                } else if (n.Kind != FormNodeKind::Object && parent) {
                    if (n.OldFirst) {
                        EXPECT_TRUE(n.OldFirst >= parent->OldFirst && n.OldLast <= parent->OldLast);
                    }
                    if (n.NewFirst) {
                        EXPECT_TRUE(n.NewFirst >= parent->NewFirst && n.NewLast <= parent->NewLast);
                    }
                }
                for (const auto& c : n.Children)
                    check(c, &n);
            };
        for (const auto& n : CompareForms(a, b).Objects)
            check(n, nullptr);
    }
    EXPECT_GT(checked, 399u);
}
