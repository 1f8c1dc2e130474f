// Replays the saved inputs of the fuzz targets (fuzz/corpus/<target>/) as ordinary tests, so an
// input that once broke a target stays fixed on every compiler. The parser and the three-way
// merge also run the golden inputs through their checks.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/source_file.h"

#define QUENNET_FUZZ_REPLAY
#include "../../fuzz/comparison_fuzz.cpp"
#include "../../fuzz/folder_read_fuzz.cpp"
#include "../../fuzz/form_reader_fuzz.cpp"
#include "../../fuzz/line_matcher_fuzz.cpp"
#include "../../fuzz/merge3_fuzz.cpp"
#include "../../fuzz/parser_fuzz.cpp"
#include "../../fuzz/pas_conversion_fuzz.cpp"
#include "../../fuzz/rtf_reader_fuzz.cpp"
#include "../../fuzz/text_format_fuzz.cpp"
#include "../../fuzz/workspace_fuzz.cpp"

namespace fs = std::filesystem;

namespace {

using FuzzOne = int (*)(const uint8_t*, size_t);

const fs::path kRoot = fs::path(QUENNET_CASES_DIR).parent_path().parent_path();

void ReplayFile(const fs::path& file, FuzzOne one) {
    SCOPED_TRACE(file.string());
    const std::string bytes = quennet::io::ReadFileBytes(file.string());
    one(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

size_t Replay(const std::string& target, FuzzOne one) {
    size_t count = 0;
    for (const auto& e : fs::directory_iterator(kRoot / "fuzz" / "corpus" / target)) {
        if (!e.is_regular_file()) continue;
        ReplayFile(e.path(), one);
        ++count;
    }
    return count;
}

} // namespace

TEST(FuzzReplay, SavedInputsOfEveryTarget) {
    using namespace quennet::fuzz;
    const struct {
        const char* target;
        int (*one)(const uint8_t*, size_t);
    } targets[] = {{"comparison", ComparisonFuzzOne},
                   {"folder_read", FolderReadFuzzOne},
                   {"line_matcher", LineMatcherFuzzOne},
                   {"pas_conversion", PasConversionFuzzOne},
                   {"rtf_reader", RtfReaderFuzzOne},
                   {"text_format", TextFormatFuzzOne},
                   {"workspace", WorkspaceFuzzOne},
                   {"parser", ParserFuzzOne},
                   {"merge3", Merge3FuzzOne},
                   {"form_reader", FormReaderFuzzOne}};
    for (const auto& t : targets)
        EXPECT_GE(Replay(t.target, t.one), 2u) << t.target;
}

TEST(FuzzReplay, GoldenInputsThroughTheParserChecks) {
    size_t count = 0;
    for (const auto& e : fs::directory_iterator(QUENNET_CASES_DIR))
        if (fs::exists(e.path() / "input.pas")) {
            ReplayFile(e.path() / "input.pas", quennet::fuzz::ParserFuzzOne);
            ++count;
        }
    for (const auto& side : {"old", "new"})
        for (const auto& e : fs::directory_iterator(kRoot / "examples" / side)) {
            ReplayFile(e.path(), quennet::fuzz::ParserFuzzOne);
            ++count;
        }
    EXPECT_GE(count, 15u);
}

TEST(FuzzReplay, GoldenInputsThroughTheThreeWayChecks) {
    size_t count = 0;
    for (const auto& e : fs::directory_iterator(QUENNET_CASES_DIR))
        if (e.path().filename().string().rfind("merge3-", 0) == 0)
            for (const char* side : {"base.pas", "local.pas", "remote.pas"}) {
                ReplayFile(e.path() / side, quennet::fuzz::Merge3FuzzOne);
                ++count;
            }
    EXPECT_GE(count, 40u);
}
