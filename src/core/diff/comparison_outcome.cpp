// Stop notes and the equivalence claim.
#include "diff/comparison_outcome.h"

namespace quennet::diff {

int32_t ParseStopLine(const model::ParseStatus& status) {
    if (status.Complete) return -1;
    int32_t line = status.FirstErrorLine > 0 ? status.FirstErrorLine : status.StopLine;
    return line > 0 ? line : -1;
}

std::string ParseStopNote(const std::string& fileName, const model::ParseStatus& status) {
    if (status.Complete) return {};
    std::string where = fileName;
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about "(" + string.
    if (int32_t line = ParseStopLine(status); line > 0) {
        where += '(';
        where += std::to_string(line);
        where += ')';
    }
    return "! " + where +
           ": the structure is not followed from here on; declarations after this point may be "
           "missing from the comparison";
}

// The model records only declarations: a uses clause, a second overload's body or a part the
// parse did not follow changes the token checksums alone, so those must agree too.
bool ClaimsEquivalence(const diff::TSourceDiff& diff, const model::TPasSrc& oldSrc,
                       const model::TPasSrc& newSrc) {
    if (diff.Root.Count() != 0 || oldSrc.Checksum != newSrc.Checksum) return false;
    const model::ParseStatus& o = oldSrc.Status;
    const model::ParseStatus& n = newSrc.Status;
    if (o.Complete && n.Complete) return true;
    if (o.Complete || n.Complete) return false;
    return o.RestHash == n.RestHash && o.RestTokens == n.RestTokens;
}

} // namespace quennet::diff
