// quennet-diff --model FILE: the parsed, sorted declaration model as JSON.
#include <iostream>

#include "base/read_text_release.h"
#include "commands.h"
#include "diff/compare_sources.h"
#include "exit_codes.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "model/source_model.h"
#include "render/model_json.h"

namespace quennet::cli {

using namespace quennet::model;

int RunModelCommand(const CliOptions& opt) {
    const std::string& file = opt.files[0];
    io::FileIdentity identity;
    std::string text = io::TakeAsCrLfText(io::ReadSourceFile(file, &identity).Text);
    // Only the parse reads the text: its memory goes back as the parse passes it.
    base::ReadTextRelease release(text, io::ReaderOfUnchanged(file, identity));
    model::ParseOptions reading = ReadingOf(opt);
    reading.release = &release;
    // The model of a large unit takes longer to free than to write, and the process ends after
    // it: it is left to the process, held from a static so that leak checks see it.
    static const model::TPasSrc* kept = nullptr;
    kept = diff::ParseSource({text, file}, opt.symbols, reading).release();
    const model::TPasSrc* model = kept;
    render::WriteModel(std::cout, *model);
    FlushStandardOutput();
    const ParseStatus& st = model->Status;
    for (const auto& note : st.Notes)
        std::cerr << file << ": " << note << "\n";
    if (!st.Complete) {
        std::cerr << file << ":" << (st.FirstErrorLine > 0 ? st.FirstErrorLine : st.StopLine)
                  << ": the structure is not followed from here on";
        if (!st.ReachedFinalDot)
            std::cerr << "; the parse stopped at line " << st.StopLine << " with " << st.RestTokens
                      << " tokens unread";
        std::cerr << "\n";
    }
    return kExitEquivalent;
}

} // namespace quennet::cli
