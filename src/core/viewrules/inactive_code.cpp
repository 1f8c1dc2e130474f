// Tips for left-out code.
#include "viewrules/inactive_code.h"

#include "base/ascii.h"

namespace quennet::viewrules {

namespace {

// The directive's word, upper-cased, and the text after it without the closing brace.
void Split(const std::string& directive, std::string& word, std::string& rest) {
    size_t i = directive.rfind("{$", 0) == 0 ? 2 : 0;
    size_t end = directive.size();
    if (end > i && directive[end - 1] == '}') --end;
    const size_t start = i;
    while (i < end && base::IsAsciiLetter(directive[i]))
        ++i;
    word = base::UpperAscii(directive.substr(start, i - start));
    while (i < end && directive[i] == ' ')
        ++i;
    rest = directive.substr(i, end - i);
    while (!rest.empty() && rest.back() == ' ')
        rest.pop_back();
}

// What made the branch after `directive` hold (holds) or fail.
std::string Reason(const std::string& directive, bool holds) {
    std::string word, rest;
    Split(directive, word, rest);
    if (word == "IFDEF" || word == "IFNDEF") {
        const bool defined = (word == "IFDEF") == holds;
        return rest + (defined ? " is defined" : " is not defined");
    }
    if (word == "IFOPT") return "the option " + rest + (holds ? " is set" : " is not set");
    return directive + (holds ? " holds" : " does not hold");
}

} // namespace

std::string InactiveTip(const model::InactiveLines& lines) {
    if (lines.Opener.empty())
        return "Not compiled: " + Reason(lines.Directive, false) + " (" + lines.Directive + ")";
    std::string word, rest;
    Split(lines.Directive, word, rest);
    const std::string branch = word == "ELSE" || word == "ELSEC" ? "the branch above was taken"
                                                                 : "an earlier branch was taken";
    return "Not compiled: " + branch + ", " + Reason(lines.Opener, true) + " (" + lines.Directive +
           " of " + lines.Opener + ")";
}

std::vector<InactiveSpan> InactiveSpans(const model::TPasSrc& source) {
    std::vector<InactiveSpan> spans;
    spans.reserve(source.Inactive.size());
    for (const model::InactiveLines& l : source.Inactive)
        spans.push_back({l.FirstLine - 1, l.LastLine - 1, InactiveTip(l)});
    return spans;
}

} // namespace quennet::viewrules
