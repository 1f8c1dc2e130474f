// What other units see of a unit and how it changed between two versions: each change is
// breaking (callers may stop compiling or behave differently), additive, or internal.
#pragma once

#include <string>
#include <vector>

#include "model/source_model.h"

namespace quennet::diff {

class DeclPairing;

enum class ChangeClass { Breaking, Additive, Internal };

struct ApiChange {
    ChangeClass cls = ChangeClass::Internal;
    std::string what; // "removed", "changed heading", "changed type", "narrower visibility", ...
    std::string kind; // "routine", "method", "class", ...
    std::string name; // qualified
};

struct ApiReport {
    std::vector<ApiChange> changes; // breaking and additive, in model order
    int breaking = 0;
    int additive = 0;
    int internal = 0; // counted, not listed
};

// Member visibility, narrowest first.
enum class Visibility { Private, Protected, Public, Published };

// One parsed version: its model and its lines as loaded (the model keeps no visibility or
// section, so both are read back from the lines).
struct UnitText {
    const model::TPasSrc* src;
    const std::vector<std::string>* lines;
};

// includeProtected: protected members count as seen (by descendants in other units). With a
// pairing, a renamed or moved declaration is one change ("renamed X -> Y", "moved to C").
ApiReport CompareApi(const UnitText& oldUnit, const UnitText& newUnit, bool includeProtected,
                     const diff::DeclPairing* pairing = nullptr);

// The 1-based line of the "implementation" keyword that ends the interface section; 0 for a
// text without one (a program or a library: nothing of it is seen from outside).
int32_t InterfaceEndLine(const std::vector<std::string>& lines);

// The visibility in force at line `line` (1-based) of a class, record or interface that starts
// at classFirstLine: the last visibility word before the line, else public.
Visibility VisibilityAt(const std::vector<std::string>& lines, int32_t classFirstLine,
                        int32_t line);

// "breaking", "additive", "internal".
const char* ChangeClassName(ChangeClass cls);

// "API: 2 breaking, 1 additive, 3 internal"
std::string ApiSummary(const ApiReport& report);

// "breaking: method TFoo.Draw: removed"
std::string ApiChangeLine(const ApiChange& change);

} // namespace quennet::diff
