// Merges generated from real units: one side renames a routine everywhere in the file, or
// moves it, the other edits one statement of its body. Every such merge is clean and holds both
// edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../../bench/rename_merge_cases.h"
#include "io/source_file.h"
#include "merge3/three_way.h"

namespace fs = std::filesystem;
using namespace quennet;

TEST(RenameMerge, RealUnitsMergeCleanWithBothEdits) {
    const fs::path corpus = fs::path(QUENNET_SHARED_DIR) / "corpora" / "modern";
    if (!fs::exists(corpus)) GTEST_SKIP() << corpus << " is absent";
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(corpus))
        if (e.is_regular_file() && e.path().extension() == ".pas" && e.file_size() < 30000)
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    int cases = 0, unfollowed = 0;
    // Every seventh unit, for a spread over the projects at a test's cost.
    for (size_t i = 0; i < files.size() && cases < 40; i += 7) {
        const std::string bytes = io::ReadFileBytes(files[i].string());
        for (const auto& c : bench::RenameMergeCases(bytes, 1)) {
            SCOPED_TRACE(files[i].string() + ": " + c.name);
            const auto r =
                merge3::MergeThreeWay({c.base, "u.pas", "BASE"}, {c.local, "u.pas", "LOCAL"},
                                      {c.remote, "u.pas", "REMOTE"});
            EXPECT_EQ(r.conflicts, 0);
            EXPECT_EQ(merge3::PascalTokens(r.text), merge3::PascalTokens(c.expected));
            ++cases;
            merge3::ThreeWayOptions plain;
            plain.reading.renames = model::ParseOptions::Renames::Off;
            unfollowed +=
                merge3::MergeThreeWay({c.base, "u.pas", "BASE"}, {c.local, "u.pas", "LOCAL"},
                                      {c.remote, "u.pas", "REMOTE"}, plain)
                    .conflicts > 0;
        }
    }
    EXPECT_GE(cases, 30);
    // The cases are ones a merge by name alone gets wrong.
    EXPECT_GE(unfollowed * 10, cases * 9);
}

// The same with a routine taken out of the interface and its body moved up: a line merge sees
// the edited lines gone from where they were.
TEST(RenameMerge, RoutinesMovedOutOfTheInterfaceKeepTheOtherSidesEdit) {
    const fs::path corpus = fs::path(QUENNET_SHARED_DIR) / "corpora" / "modern";
    if (!fs::exists(corpus)) GTEST_SKIP() << corpus << " is absent";
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(corpus))
        if (e.is_regular_file() && e.path().extension() == ".pas" && e.file_size() < 30000)
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    int cases = 0;
    for (size_t i = 0; i < files.size() && cases < 30; i += 3) {
        const std::string bytes = io::ReadFileBytes(files[i].string());
        for (const auto& c : bench::SectionMoveMergeCases(bytes, 1)) {
            SCOPED_TRACE(files[i].string() + ": " + c.name);
            const auto r =
                merge3::MergeThreeWay({c.base, "u.pas", "BASE"}, {c.local, "u.pas", "LOCAL"},
                                      {c.remote, "u.pas", "REMOTE"});
            EXPECT_EQ(r.conflicts, 0);
            EXPECT_EQ(merge3::PascalTokens(r.text), merge3::PascalTokens(c.expected));
            ++cases;
        }
    }
    EXPECT_GE(cases, 10);
}
