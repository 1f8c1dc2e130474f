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
    // What Free Pascal 3.2.2 defines by itself for x86_64 ("fpc -va" lists it), with the
    // FPC_HAS_FEATURE_* symbols its system unit brings and the names that have a value, which
    // count as defined too.
    const std::vector<std::string> fpc = {"FPC",
                                          "VER3",
                                          "VER3_2",
                                          "VER3_2_2",
                                          "FPC_FULLVERSION",
                                          "FPC_VERSION",
                                          "FPC_RELEASE",
                                          "FPC_PATCH",
                                          "FPC_STACKALIGNMENT",
                                          "CONSOLE",
                                          "CPUX86_64",
                                          "CPUAMD64",
                                          "CPUX64",
                                          "CPU64",
                                          "CPUINT64",
                                          "CPUATHLON64",
                                          "CPUX86_HAS_CMOV",
                                          "CPUX86_HAS_SSE2",
                                          "CPUX86_HAS_SSEUNIT",
                                          "FPUSSE64",
                                          "ENDIAN_LITTLE",
                                          "FPC_LITTLE_ENDIAN",
                                          "FPC_ABI_DEFAULT",
                                          "FPC_HAS_TYPE_DOUBLE",
                                          "FPC_HAS_TYPE_SINGLE",
                                          "FPC_DYNARRAYCOPY_FIXED",
                                          "FPC_VARIANTCOPY_FIXED",
                                          "FPC_STATICRIPFIXED",
                                          "FPC_SETBASE_USED",
                                          "FPC_RTTI_PACKSET1",
                                          "FPC_HAS_CEXTENDED",
                                          "FPC_HAS_CONSTREF",
                                          "FPC_HAS_CPSTRING",
                                          "FPC_HAS_UNICODESTRING",
                                          "FPC_HAS_MEMBAR",
                                          "FPC_HAS_OPERATOR_ENUMERATOR",
                                          "FPC_HAS_RESSTRINITS",
                                          "FPC_HAS_RIP_RELATIVE",
                                          "FPC_HAS_INDIRECT_ENTRY_INFORMATION",
                                          "FPC_HAS_INTERNAL_ABS_INT64",
                                          "FPC_HAS_INTERNAL_ABS_LONG",
                                          "FPC_HAS_INTERNAL_BSF",
                                          "FPC_HAS_INTERNAL_BSR",
                                          "FPC_HAS_INTERNAL_ROX",
                                          "FPC_HAS_INTERNAL_SAR",
                                          "FPC_HAS_WINLIKERESOURCES",
                                          "FPC_LINK_STATIC",
                                          "INTERNAL_BACKTRACE",
                                          "REGCALL",
                                          "STR_CONCAT_PROCS",
                                          "FPC_HAS_FEATURE_SUPPORT",
                                          "FPC_HAS_FEATURE_ANSISTRINGS",
                                          "FPC_HAS_FEATURE_CLASSES",
                                          "FPC_HAS_FEATURE_COMMANDARGS",
                                          "FPC_HAS_FEATURE_CONSOLEIO",
                                          "FPC_HAS_FEATURE_DYNARRAYS",
                                          "FPC_HAS_FEATURE_DYNLIBS",
                                          "FPC_HAS_FEATURE_EXCEPTIONS",
                                          "FPC_HAS_FEATURE_EXITCODE",
                                          "FPC_HAS_FEATURE_FILEIO",
                                          "FPC_HAS_FEATURE_HEAP",
                                          "FPC_HAS_FEATURE_INITFINAL",
                                          "FPC_HAS_FEATURE_OBJECTIVEC1",
                                          "FPC_HAS_FEATURE_OBJECTS",
                                          "FPC_HAS_FEATURE_PROCESSES",
                                          "FPC_HAS_FEATURE_RANDOM",
                                          "FPC_HAS_FEATURE_RESOURCES",
                                          "FPC_HAS_FEATURE_RTTI",
                                          "FPC_HAS_FEATURE_SOFTFPU",
                                          "FPC_HAS_FEATURE_STACKCHECK",
                                          "FPC_HAS_FEATURE_TEXTIO",
                                          "FPC_HAS_FEATURE_THREADING",
                                          "FPC_HAS_FEATURE_UNICODESTRINGS",
                                          "FPC_HAS_FEATURE_VARIANTS",
                                          "FPC_HAS_FEATURE_WIDESTRINGS"};
    const std::vector<std::pair<std::string, double>> fpcValues = {
        {"FPC_FULLVERSION", 30202}, {"FPC_VERSION", 3},         {"FPC_RELEASE", 2},
        {"FPC_PATCH", 2},           {"FPC_STACKALIGNMENT", 16}, {"SIZEOF(CHAR)", 1}};
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
            {"SINGLE", 4},   {"INT64", 8},    {"UINT64", 8},   {"QWORD", 8},    {"DOUBLE", 8},
            {"COMP", 8},     {"CURRENCY", 8}};
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
        {"fpc-linux-x86_64",
         Join(fpc, {"UNIX", "LINUX", "HASUNIX", "FPC_HAS_TYPE_EXTENDED",
                    "FPC_WIDESTRING_EQUAL_UNICODESTRING"}),
         sized(fpcValues, 8, 10)},
        {"fpc-win64",
         Join(fpc, {"WINDOWS", "MSWINDOWS", "WIN64", "FPC_COMP_IS_INT64", "FPC_CURRENCY_IS_INT64",
                    "FPC_HAS_INDIRECT_VAR_ACCESS", "FPC_NO_GENERIC_STACK_CHECK",
                    "FPC_USE_TLS_DIRECTORY", "FPC_USE_WIN64_SEH", "FPC_WINLIKEWIDESTRING"}),
         sized(fpcValues, 8, 8)},
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
