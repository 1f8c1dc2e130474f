// Replays the saved inputs of the three-way merge fuzz target (fuzz/corpus/merge3/) and the
// golden merge inputs through the target's checks.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/source_file.h"

#define QUENNET_FUZZ_REPLAY
#include "../../fuzz/merge3_fuzz.cpp"

namespace fs = std::filesystem;

TEST(Merge3FuzzReplay, CorpusAndGoldenInputs) {
    const fs::path root = fs::path(QUENNET_CASES_DIR).parent_path().parent_path();
    size_t count = 0;
    auto replay = [&](const fs::path& file) {
        SCOPED_TRACE(file.string());
        const std::string bytes = quennet::io::ReadFileBytes(file.string());
        quennet::fuzz::Merge3FuzzOne(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++count;
    };
    for (const auto& e : fs::directory_iterator(root / "fuzz" / "corpus" / "merge3"))
        if (e.is_regular_file()) replay(e.path());
    for (const auto& e : fs::directory_iterator(QUENNET_CASES_DIR))
        if (e.path().filename().string().rfind("merge3-", 0) == 0)
            for (const char* side : {"base.pas", "local.pas", "remote.pas"})
                replay(e.path() / side);
    EXPECT_GE(count, 40u);
}
