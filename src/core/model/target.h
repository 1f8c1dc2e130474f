// Compiler targets: the symbols a compiler defines and the constants its {$IF} expressions can
// ask for, by target name.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/dialect.h"

namespace quennet::model {

struct Target {
    std::string Name;
    std::vector<std::string> Symbols;
    // Upper-case names; SizeOf(T) is named "SIZEOF(T)".
    std::vector<std::pair<std::string, double>> Values;
};

const std::vector<Target>& Targets();
// Letter case ignored; null for an unknown name.
const Target* FindTarget(std::string_view name);
// classic: delphi5-win32; delphi: delphi12-win32; fpc: fpc-linux-x86_64. Never Auto.
const Target& DefaultTarget(Dialect dialect);
// The names, comma-separated, for messages.
std::string TargetNames();

} // namespace quennet::model
