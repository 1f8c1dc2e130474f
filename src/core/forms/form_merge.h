// The three-way merge of form files, object by object and property by property. The result is
// written from the sides' own lines (LOCAL's where both have them), so the file keeps its
// encoding, line ends, indentation and string style; a conflict surrounds one property's
// lines, never a part of a value. Binary forms merge to a binary form.
#pragma once

#include <string>
#include <vector>

#include "forms/form_compare.h"

namespace quennet::forms {

struct FormMergeResult {
    std::string Bytes;
    int Conflicts = 0;
    std::vector<std::string> Notes; // for stderr: noise resolved, faults, fallbacks
};

// labels: BASE, LOCAL, REMOTE for the conflict markers; names: the files, for notes. Forms
// that do not read whole are merged as lines.
FormMergeResult MergeForms(const std::string& base, const std::string& local,
                           const std::string& remote, const std::string (&labels)[3],
                           const std::vector<std::string>& names,
                           const NoiseRules& noise = DefaultNoiseRules());

} // namespace quennet::forms
