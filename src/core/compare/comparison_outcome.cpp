// Stop notes and the equivalence claim.
#include "compare/comparison_outcome.h"

namespace quennet::compare {

int32_t ParseStopLine(const model::ParseStatus& status) {
    if (status.Complete) return -1;
    int32_t line = status.FirstErrorLine > 0 ? status.FirstErrorLine : status.StopLine;
    return line > 0 ? line : -1;
}

std::string ParseStopNote(const std::string& fileName, const model::ParseStatus& status) {
    if (status.Complete) return {};
    std::string where = fileName;
    if (int32_t line = ParseStopLine(status); line > 0) where += "(" + std::to_string(line) + ")";
    return "! " + where +
           ": the structure is not followed from here on; declarations after this point may be "
           "missing from the comparison";
}

// After a syntax error the model may miss or misplace declarations even where every token was
// read, so the whole-file checksums must agree too.
bool ClaimsEquivalence(const model::TSourceDiff& diff, const model::TPasSrc& oldSrc,
                       const model::TPasSrc& newSrc) {
    if (diff.Root.Count() != 0) return false;
    const model::ParseStatus& o = oldSrc.Status;
    const model::ParseStatus& n = newSrc.Status;
    if (o.Complete && n.Complete) return true;
    if (o.Complete || n.Complete) return false;
    return oldSrc.Checksum == newSrc.Checksum && o.RestHash == n.RestHash &&
           o.RestTokens == n.RestTokens;
}

} // namespace quennet::compare
