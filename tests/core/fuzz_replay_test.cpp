// Replays the saved inputs of the fuzz targets (fuzz/corpus/<target>/) as ordinary tests, so an
// input that once broke a target stays fixed on every compiler. The parser's have their own.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/source_file.h"

#define QUENNET_FUZZ_REPLAY
#include "../../fuzz/comparison_fuzz.cpp"
#include "../../fuzz/folder_read_fuzz.cpp"
#include "../../fuzz/line_matcher_fuzz.cpp"
#include "../../fuzz/pas_conversion_fuzz.cpp"
#include "../../fuzz/rtf_reader_fuzz.cpp"
#include "../../fuzz/text_format_fuzz.cpp"
#include "../../fuzz/workspace_fuzz.cpp"

namespace fs = std::filesystem;

namespace {

size_t Replay(const std::string& target, int (*one)(const uint8_t*, size_t)) {
    const fs::path dir =
        fs::path(QUENNET_CASES_DIR).parent_path().parent_path() / "fuzz" / "corpus" / target;
    size_t count = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (!e.is_regular_file()) continue;
        SCOPED_TRACE(e.path().string());
        const std::string bytes = quennet::io::ReadFileBytes(e.path().string());
        one(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
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
    } targets[] = {{"comparison", ComparisonFuzzOne},    {"folder_read", FolderReadFuzzOne},
                   {"line_matcher", LineMatcherFuzzOne}, {"pas_conversion", PasConversionFuzzOne},
                   {"rtf_reader", RtfReaderFuzzOne},     {"text_format", TextFormatFuzzOne},
                   {"workspace", WorkspaceFuzzOne}};
    for (const auto& t : targets)
        EXPECT_GE(Replay(t.target, t.one), 2u) << t.target;
}
