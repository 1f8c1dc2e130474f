// Replays the saved inputs of the parser fuzz target (fuzz/corpus/parser/), and the golden
// model inputs, through the target's checks as ordinary tests.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/source_file.h"

#define QUENNET_FUZZ_REPLAY
#include "../../fuzz/parser_fuzz.cpp"

namespace fs = std::filesystem;

TEST(ParserFuzzReplay, CorpusAndGoldenInputs) {
    const fs::path root = fs::path(QUENNET_CASES_DIR).parent_path().parent_path();
    size_t count = 0;
    auto replay = [&](const fs::path& file) {
        SCOPED_TRACE(file.string());
        const std::string bytes = quennet::io::ReadFileBytes(file.string());
        quennet::fuzz::ParserFuzzOne(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++count;
    };
    for (const auto& e : fs::directory_iterator(root / "fuzz" / "corpus" / "parser"))
        if (e.is_regular_file()) replay(e.path());
    for (const auto& e : fs::directory_iterator(QUENNET_CASES_DIR))
        if (fs::exists(e.path() / "input.pas")) replay(e.path() / "input.pas");
    for (const auto& side : {"old", "new"})
        for (const auto& e : fs::directory_iterator(root / "examples" / side))
            replay(e.path());
    EXPECT_GE(count, 15u);
}
