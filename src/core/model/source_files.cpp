// File kinds by extension.
#include "model/source_files.h"

namespace quennet::model {

namespace {

std::string Patterns(const std::vector<std::string>& extensions) {
    std::string out;
    for (const std::string& e : extensions)
        out += (out.empty() ? "*" : ";*") + e;
    return out;
}

} // namespace

const std::vector<std::string>& PascalExtensions() {
    static const std::vector<std::string> list = {".pas", ".pp",  ".inc", ".dpr",
                                                  ".lpr", ".dpk", ".lpk"};
    return list;
}

const std::vector<std::string>& FormExtensions() {
    static const std::vector<std::string> list = {".dfm", ".lfm", ".fmx"};
    return list;
}

std::vector<FileFilter> OpenDialogFilters() {
    std::vector<std::string> both = PascalExtensions();
    both.insert(both.end(), FormExtensions().begin(), FormExtensions().end());
    return {{"Pascal and form files", Patterns(both)},
            {"Pascal sources", Patterns(PascalExtensions())},
            {"Form files", Patterns(FormExtensions())},
            {"Delphi backup", "*.~pa;*.~dp"},
            {"All files", "*.*"}};
}

} // namespace quennet::model
