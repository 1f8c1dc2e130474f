// The merge window's use of the form merge.
#include "viewrules/form_merge_view.h"

#include <stdexcept>

#include "forms/form_merge.h"
#include "forms/form_reader.h"
#include "forms/form_writer.h"
#include "io/source_file.h"

namespace quennet::viewrules {

bool IsFormMerge(const std::string (&paths)[3]) {
    for (const std::string& p : paths)
        if (forms::IsFormFileName(p) || forms::LooksLikeForm(io::ReadRegularFileHead(p, 512)))
            return true;
    return false;
}

merge3::Merge3Version ReadFormMergeVersion(const std::string& path, std::string label,
                                           bool& binary) {
    binary = forms::IsBinaryForm(io::ReadRegularFileHead(path, 512));
    if (!binary) return merge3::ReadMerge3Version(path, std::move(label));
    const forms::FormFile f = forms::ReadFormFile(path);
    if (!f.HasRoot || !f.Notes.empty())
        throw std::runtime_error(path + ": the binary form cannot be read whole: not merged");
    merge3::Merge3Version v;
    v.input.bytes = forms::FormToText(f.Root, "\r\n");
    v.input.fileName = path;
    v.input.label = std::move(label);
    return v;
}

merge3::ThreeWayResult MergeFormVersions(const merge3::Merge3Version (&versions)[3],
                                         const forms::NoiseRules& rules) {
    const std::string labels[3] = {versions[0].input.label, versions[1].input.label,
                                   versions[2].input.label};
    const std::vector<std::string> names = {versions[0].input.fileName, versions[1].input.fileName,
                                            versions[2].input.fileName};
    forms::FormMergeResult merged =
        forms::MergeForms(versions[0].input.bytes, versions[1].input.bytes, versions[2].input.bytes,
                          labels, names, rules);
    merge3::ThreeWayResult result;
    result.text = std::move(merged.Bytes);
    result.conflicts = merged.Conflicts;
    result.notes = std::move(merged.Notes);
    return result;
}

std::string BinaryFormOf(const std::string& text, const std::string& fileName) {
    const forms::FormFile f = forms::ReadTextForm(text, io::TextEncoding::Bytes, fileName);
    if (!f.HasRoot || !f.Notes.empty() || f.TrailingLine)
        throw std::runtime_error(fileName + ": the result does not read as a form" +
                                 (f.Notes.empty() ? "" : " (" + f.Notes[0].Text() + ")") +
                                 "; it is kept binary, so it is not saved");
    return forms::FormToBinary(f.Root);
}

} // namespace quennet::viewrules
