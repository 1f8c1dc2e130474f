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
    // SizeOf of the types whose size is fixed on these platforms; Integer only where no
    // compiler mode changes it.
    const auto sized = [](std::vector<std::pair<std::string, double>> values, double pointer,
                          double extended) {
        for (const char* t : {"POINTER", "NATIVEINT", "NATIVEUINT", "PCHAR", "PTRINT", "PTRUINT",
                              "SIZEINT", "SIZEUINT"})
            values.emplace_back(std::string("SIZEOF(") + t + ")", pointer);
        static const std::pair<const char*, double> fixed[] = {
            {"BYTE", 1},     {"SHORTINT", 1}, {"BOOLEAN", 1},  {"ANSICHAR", 1}, {"WORD", 2},
            {"SMALLINT", 2}, {"WIDECHAR", 2}, {"LONGWORD", 4}, {"LONGINT", 4},  {"CARDINAL", 4},
            {"SINGLE", 4},   {"INT64", 8},    {"UINT64", 8},   {"QWORD", 8},    {"DOUBLE", 8}};
        for (const auto& [t, size] : fixed)
            values.emplace_back(std::string("SIZEOF(") + t + ")", size);
        values.emplace_back("SIZEOF(EXTENDED)", extended);
        return values;
    };
    const auto delphiSized = [&](double pointer, double extended) {
        auto values = sized(delphi12Values, pointer, extended);
        values.emplace_back("SIZEOF(INTEGER)", 4);
        return values;
    };
    return {
        {"delphi5-win32",
         {"VER130", "WIN32", "CPU386"},
         {{"SIZEOF(POINTER)", 4}, {"SIZEOF(CHAR)", 1}}},
        {"delphi12-win32",
         Join(delphi12, {"WIN32", "CPU386", "CPUX86", "CPU32BITS", "UNDERSCOREIMPORTNAME"}),
         delphiSized(4, 10)},
        {"delphi12-win64", Join(delphi12, {"WIN64", "CPUX64", "CPU64BITS"}), delphiSized(8, 8)},
        {"fpc-linux-x86_64", Join(fpc, {"UNIX", "LINUX", "FPC_HAS_TYPE_EXTENDED"}),
         sized(fpcValues, 8, 10)},
        {"fpc-win64", Join(fpc, {"WINDOWS", "MSWINDOWS", "WIN64"}), sized(fpcValues, 8, 8)},
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
