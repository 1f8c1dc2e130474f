// A unit against its form: --check-form, and the warnings of a comparison whose units both
// have a form beside them.
#include <iostream>
#include <memory>

#include "commands.h"
#include "diff/compare_sources.h"
#include "exit_codes.h"
#include "forms/form_check.h"
#include "forms/form_reader.h"
#include "io/source_file.h"
#include "io/text_encoding.h"

namespace quennet::cli {

namespace {

// The stop of a unit's reading goes to stderr: what comes after it is not in the class.
void TellParse(const std::string& file, const model::ParseStatus& st) {
    for (const auto& note : st.Notes)
        std::cerr << file << ": " << note << "\n";
    if (!st.Complete)
        std::cerr << file << ":" << (st.FirstErrorLine > 0 ? st.FirstErrorLine : st.StopLine)
                  << ": the structure is not followed from here on\n";
}

} // namespace

int RunCheckFormCommand(const CliOptions& opt) {
    const std::string& unitPath = opt.files[0];
    std::string bytes = io::ReadSourceFile(unitPath).Text;
    if (forms::IsForm(unitPath, bytes))
        throw std::runtime_error(unitPath + ": this is a form; the unit comes first");
    const std::string text = io::TakeAsCrLfText(std::move(bytes));
    std::string formPath = opt.files.size() > 1 ? opt.files[1] : std::string();
    if (formPath.empty()) {
        formPath = forms::FormBesideUnit(unitPath, text);
        if (formPath.empty())
            throw std::runtime_error(unitPath + ": no form (.dfm, .lfm, .fmx, .xfm) beside it");
    }
    const forms::FormFile form = forms::ReadFormFile(formPath);
    for (const auto& n : form.Notes)
        std::cerr << "quennet-diff: " << n.Text() << "\n";
    const auto unit = diff::ParseSource({text, unitPath}, opt.symbols, ReadingOf(opt));
    TellParse(unitPath, unit->Status);
    const auto findings = forms::CheckUnitAndForm(*unit, unitPath, form, formPath);
    for (const forms::FormFinding& f : findings)
        std::cout << f.Text() << "\n";
    return findings.empty() ? kExitEquivalent : kExitDifferent;
}

void WarnNewFormFindings(const CliOptions& opt, const model::TPasSrc* oldUnit,
                         const model::TPasSrc* newUnit) {
    if (opt.files[0] == "-" || opt.files[1] == "-") return;
    const std::string oldForm = forms::FormOfUnitFile(opt.files[0]);
    const std::string newForm = oldForm.empty() ? oldForm : forms::FormOfUnitFile(opt.files[1]);
    if (newForm.empty()) return;
    // The texts are gone once compared: a side without its model is read again.
    std::unique_ptr<model::TPasSrc> parsed[2];
    const model::TPasSrc* units[2] = {oldUnit, newUnit};
    try {
        for (size_t k = 0; k < 2; ++k)
            if (!units[k]) {
                const std::string text = io::TakeAsCrLfText(io::ReadSourceFile(opt.files[k]).Text);
                parsed[k] = diff::ParseSource({text, opt.files[k]}, opt.symbols, ReadingOf(opt));
                units[k] = parsed[k].get();
            }
    } catch (const std::exception&) {
        return; // a file that cannot be read again (a pipe): the comparison stands alone
    }
    for (const forms::FormFinding& f :
         forms::NewPairFindings(*units[0], opt.Label(0), oldForm, *units[1], opt.Label(1), newForm))
        std::cerr << "warning: " << f.Text() << "\n";
}

} // namespace quennet::cli
