// The targets: what each compiler defines by itself for one platform.
#include "model/target.h"

#include <algorithm>
#include <cctype>

namespace quennet::model {

namespace {

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Target> MakeTargets() {
    const std::vector<std::string> delphi12 = {"VER360",   "DCC",        "CONDITIONALEXPRESSIONS",
                                               "UNICODE",  "NATIVECODE", "ASSEMBLER",
                                               "MSWINDOWS"};
    const std::vector<std::pair<std::string, double>> delphi12Values = {
        {"COMPILERVERSION", 36}, {"RTLVERSION", 36}, {"SIZEOF(CHAR)", 2}};
    const std::vector<std::string> fpc = {"FPC",
                                          "VER3",
                                          "VER3_2",
                                          "VER3_2_2",
                                          "CPUX86_64",
                                          "CPUAMD64",
                                          "CPU64",
                                          "ENDIAN_LITTLE",
                                          "FPC_LITTLE_ENDIAN",
                                          "FPC_HAS_TYPE_DOUBLE",
                                          "FPC_HAS_TYPE_SINGLE"};
    const std::vector<std::pair<std::string, double>> fpcValues = {{"FPC_FULLVERSION", 30202},
                                                                   {"FPC_VERSION", 3},
                                                                   {"FPC_RELEASE", 2},
                                                                   {"FPC_PATCH", 2},
                                                                   {"SIZEOF(CHAR)", 1}};
    const auto sized = [](std::vector<std::pair<std::string, double>> values, double pointer) {
        values.emplace_back("SIZEOF(POINTER)", pointer);
        values.emplace_back("SIZEOF(NATIVEINT)", pointer);
        return values;
    };
    return {
        {"delphi5-win32",
         {"VER130", "WIN32", "CPU386"},
         {{"SIZEOF(POINTER)", 4}, {"SIZEOF(CHAR)", 1}}},
        {"delphi12-win32",
         Join(delphi12, {"WIN32", "CPU386", "CPUX86", "CPU32BITS", "UNDERSCOREIMPORTNAME"}),
         sized(delphi12Values, 4)},
        {"delphi12-win64", Join(delphi12, {"WIN64", "CPUX64", "CPU64BITS"}),
         sized(delphi12Values, 8)},
        {"fpc-linux-x86_64", Join(fpc, {"UNIX", "LINUX", "FPC_HAS_TYPE_EXTENDED"}),
         sized(fpcValues, 8)},
        {"fpc-win64", Join(fpc, {"WINDOWS", "MSWINDOWS", "WIN64"}), sized(fpcValues, 8)},
    };
}

} // namespace

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = MakeTargets();
    return targets;
}

const Target* FindTarget(std::string_view name) {
    for (const auto& t : Targets())
        if (t.Name.size() == name.size() &&
            std::equal(name.begin(), name.end(), t.Name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == b;
            }))
            return &t;
    return nullptr;
}

const Target& DefaultTarget(Dialect dialect) {
    const auto& t = Targets();
    return dialect == Dialect::Fpc ? t[3] : dialect == Dialect::Delphi ? t[1] : t[0];
}

std::string TargetNames() {
    std::string names;
    for (const auto& t : Targets())
        names += (names.empty() ? "" : ", ") + t.Name;
    return names;
}

} // namespace quennet::model
