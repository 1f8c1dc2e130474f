// Replays the saved inputs of the merge fuzz targets (fuzz/corpus/<target>/) as ordinary tests,
// so an input that once broke the reader or the highlighter stays fixed on every compiler.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/source_file.h"

#define QUENNET_FUZZ_REPLAY
#include "../../fuzz/pas_conversion_fuzz.cpp"
#include "../../fuzz/rtf_reader_fuzz.cpp"

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

TEST(MergeFuzzReplay, RtfReaderCorpus) {
    EXPECT_GE(Replay("rtf_reader", quennet::fuzz::RtfReaderFuzzOne), 5u);
}

TEST(MergeFuzzReplay, PasConversionCorpus) {
    EXPECT_GE(Replay("pas_conversion", quennet::fuzz::PasConversionFuzzOne), 3u);
}
