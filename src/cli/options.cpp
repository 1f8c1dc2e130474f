#include "options.h"

#include <getopt.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "commands.h"
#include "model/reading_settings.h"
#include "model/target.h"
#include "output_format.h"

namespace quennet::cli {

namespace {

enum Modes : unsigned {
    kDiff = 1,
    kModel = 2,
    kFromWorkspace = 4,
    kDirs = 8,
    kMerge = 16,
    kTree = 32,
    kFormText = 64,
    kCheckForm = 128,
    kAll = 255
};

enum Id : int {
    kHelp = 'h',
    kVersion = 'v',
    kDefine = 'D',
    kLabel = 'L',
    kOutput = 'o',
    kRecursive = 'r',
    kNoDefaultDefines = 256,
    kColor,
    kWorkspace,
    kMerged,
    kModelMode,
    kFromWorkspaceMode,
    kDirsMode,
    kNew,
    kOld,
    kComment,
    kMask,
    kDialect,
    kMergeMode,
    kDisplay,
    kWidth,
    kApi,
    kFailOn,
    kThreads,
    kEol,
    kTarget,
    kNoIncludes,
    kFormTextMode,
    kFormNoise,
    kRenames,
    kNoRenames,
    kCheckFormMode,
    kIncludeDir = 'I',
    kFormatOptions = 1024, // and above: the output formats' options
};

// The modes that read units: they take the options of the reading.
constexpr unsigned kReading = kDiff | kModel | kMerge | kTree | kCheckForm;

struct OptionInfo {
    option longOption;
    unsigned modes;
};

const OptionInfo kOptions[] = {
    {{"help", no_argument, nullptr, kHelp}, kAll},
    {{"version", no_argument, nullptr, kVersion}, kAll},
    {{"define", required_argument, nullptr, kDefine}, kReading},
    {{"no-default-defines", no_argument, nullptr, kNoDefaultDefines}, kReading},
    {{"dialect", required_argument, nullptr, kDialect}, kReading},
    {{"target", required_argument, nullptr, kTarget}, kReading},
    {{"include-dir", required_argument, nullptr, kIncludeDir}, kReading},
    {{"no-includes", no_argument, nullptr, kNoIncludes}, kReading},
    {{"renames", no_argument, nullptr, kRenames}, kDiff | kMerge | kTree},
    {{"no-renames", no_argument, nullptr, kNoRenames}, kDiff | kMerge | kTree},
    {{"label", required_argument, nullptr, kLabel}, kDiff | kMerge},
    {{"color", optional_argument, nullptr, kColor}, kDiff | kTree},
    {{"workspace", required_argument, nullptr, kWorkspace}, kDiff | kFromWorkspace},
    {{"merged", required_argument, nullptr, kMerged}, kDiff | kFromWorkspace},
    // The mode options take their file as an operand, so "--model --help" asks for help.
    {{"model", optional_argument, nullptr, kModelMode}, kModel},
    {{"from-workspace", optional_argument, nullptr, kFromWorkspaceMode}, kFromWorkspace},
    {{"dirs", no_argument, nullptr, kDirsMode}, kDirs},
    {{"merge", no_argument, nullptr, kMergeMode}, kMerge},
    {{"output", required_argument, nullptr, kOutput}, kMerge},
    {{"new", required_argument, nullptr, kNew}, kFromWorkspace},
    {{"old", required_argument, nullptr, kOld}, kFromWorkspace},
    {{"comment", required_argument, nullptr, kComment}, kFromWorkspace},
    {{"eol", required_argument, nullptr, kEol}, kDiff | kFromWorkspace},
    {{"mask", required_argument, nullptr, kMask}, kDirs | kTree},
    {{"recursive", no_argument, nullptr, kRecursive}, kTree},
    {{"display", required_argument, nullptr, kDisplay}, kDiff | kTree},
    {{"width", required_argument, nullptr, kWidth}, kDiff | kTree},
    {{"api", optional_argument, nullptr, kApi}, kDiff | kTree},
    {{"fail-on", required_argument, nullptr, kFailOn}, kDiff | kTree},
    {{"threads", required_argument, nullptr, kThreads}, kTree},
    {{"form-text", optional_argument, nullptr, kFormTextMode}, kFormText},
    {{"form-noise", required_argument, nullptr, kFormNoise}, kDiff},
    {{"check-form", optional_argument, nullptr, kCheckFormMode}, kCheckForm},
};

const std::pair<int, Command> kCommands[] = {
    {kModelMode, Command::Model},        {kFromWorkspaceMode, Command::FromWorkspace},
    {kDirsMode, Command::Dirs},          {kMergeMode, Command::Merge},
    {kRecursive, Command::Tree},         {kFormTextMode, Command::FormText},
    {kCheckFormMode, Command::CheckForm}};

template <class T, size_t N> T ValueOf(const std::pair<int, T> (&table)[N], int id) {
    for (const auto& [key, value] : table)
        if (key == id) return value;
    return table[0].second;
}

unsigned PositiveNumber(const char* option, const char* value) {
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    if (!*value || *end || n < 1 || n > 100000)
        throw UsageError(std::string("option '") + option + "' needs a positive number, not '" +
                         value + "'");
    return static_cast<unsigned>(n);
}

unsigned ModeBit(Command c);

// The getopt value of an output format's option: its short letter, else one past the others.
int FormatOptionId(const OutputFormat& f) {
    return f.shortOption ? f.shortOption : kFormatOptions + static_cast<int>(f.id);
}

// The fixed options, then each output format's (output_*.cpp).
const std::vector<OptionInfo>& AllOptions() {
    static const std::vector<OptionInfo> all = [] {
        std::vector<OptionInfo> options(std::begin(kOptions), std::end(kOptions));
        for (const OutputFormat& f : OutputFormats()) {
            if (!f.option) continue;
            unsigned modes = 0;
            for (Command c : f.commands)
                modes |= ModeBit(c);
            options.push_back({{f.option, no_argument, nullptr, FormatOptionId(f)}, modes});
        }
        return options;
    }();
    return all;
}

const OutputFormat* FormatOfOption(int id) {
    for (const OutputFormat& f : OutputFormats())
        if (f.option && FormatOptionId(f) == id) return &f;
    return nullptr;
}

const OptionInfo* Find(int id) {
    for (const auto& o : AllOptions())
        if (o.longOption.val == id) return &o;
    return nullptr;
}

std::string Spelling(int id) {
    const OptionInfo* o = Find(id);
    return o ? std::string("--") + o->longOption.name : std::string();
}

unsigned ModeBit(Command c) {
    switch (c) {
    case Command::Diff: return kDiff;
    case Command::Model: return kModel;
    case Command::FromWorkspace: return kFromWorkspace;
    case Command::Dirs: return kDirs;
    case Command::Merge: return kMerge;
    case Command::Tree: return kTree;
    case Command::FormText: return kFormText;
    case Command::CheckForm: return kCheckForm;
    }
    return kDiff;
}

// What git passes an external diff: path old-file old-hex old-mode new-file new-hex new-mode,
// and for a rename also new-path and a note. A missing side is /dev/null with "." for hash and
// mode.
bool IsHash(const std::string& s) {
    return s == "." ||
           (s.size() >= 7 && s.size() <= 64 && std::all_of(s.begin(), s.end(), [](char c) {
                return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
            }));
}

bool IsMode(const std::string& s) {
    return s == "." || (s.size() == 6 && std::all_of(s.begin(), s.end(),
                                                     [](char c) { return c >= '0' && c <= '7'; }));
}

bool LooksLikeGitCall(const std::vector<std::string>& f) {
    return (f.size() == 7 || f.size() == 9) && IsHash(f[2]) && IsMode(f[3]) && IsHash(f[5]) &&
           IsMode(f[6]);
}

void TakeGitCall(CliOptions& opt) {
    const std::vector<std::string> f = opt.files;
    opt.gitExternal = true;
    opt.files = {f[1], f[4]};
    if (opt.labels.empty()) opt.labels = {f[0], f.size() == 9 ? f[7] : f[0]};
}

void CheckOperands(CliOptions& opt) {
    auto& f = opt.files;
    switch (opt.command) {
    case Command::Diff:
        if (LooksLikeGitCall(f)) TakeGitCall(opt);
        if (f.size() != 2)
            throw UsageError(f.size() < 2 ? "two file names are needed: OLD NEW"
                                          : "too many file names; expected OLD NEW");
        if (f[0] == "-" && f[1] == "-")
            throw UsageError("only one side can be the standard input '-'");
        if (opt.labels.size() > 2) throw UsageError("option '--label' is given more than twice");
        break;
    case Command::Model:
        if (f.size() != 1)
            throw UsageError(f.empty() ? "option '--model' needs a file name"
                                       : "option '--model' takes one file");
        break;
    case Command::FromWorkspace:
        if (f.size() != 1)
            throw UsageError(f.empty() ? "option '--from-workspace' needs a file name"
                                       : "option '--from-workspace' takes one file");
        if (opt.newOut.empty() && opt.oldOut.empty() && opt.mergedPath.empty() &&
            opt.workspacePath.empty())
            throw UsageError(
                "nothing to write: give --new, --old, --merged or --workspace with a file name");
        break;
    case Command::Dirs:
        if (f.size() != 2) throw UsageError("--dirs needs two folders, OLDDIR and NEWDIR");
        break;
    case Command::Tree:
        if (f.size() != 2) throw UsageError("-r needs two folders, OLDDIR and NEWDIR");
        break;
    case Command::FormText:
        if (f.size() != 1)
            throw UsageError(f.empty() ? "option '--form-text' needs a file name"
                                       : "option '--form-text' takes one file");
        break;
    case Command::CheckForm:
        if (f.empty() || f.size() > 2)
            throw UsageError(f.empty() ? "option '--check-form' needs a unit's file name"
                                       : "option '--check-form' takes a unit and its form");
        if (f[0] == "-") throw UsageError("option '--check-form' needs the unit as a file");
        break;
    case Command::Merge:
        if (f.size() != 3) throw UsageError("--merge needs three file names: BASE LOCAL REMOTE");
        if (opt.labels.size() > 3) throw UsageError("at most three labels: BASE, LOCAL, REMOTE");
        break;
    }
}

} // namespace

CliOptions ParseCommandLine(int argc, char** argv) {
    std::vector<option> longOptions;
    std::string shortOptions = ":hvro:D:L:I:";
    for (const auto& o : AllOptions())
        longOptions.push_back(o.longOption);
    for (const OutputFormat& f : OutputFormats())
        if (f.shortOption) shortOptions += f.shortOption;
    longOptions.push_back({nullptr, 0, nullptr, 0});

    CliOptions opt;
    bool defaults = true;
    std::vector<std::string> extraSymbols;
    std::vector<int> given;
    int modeOption = 0;
    int outputOption = 0;

    auto setOnce = [&](std::string& field, int id, const char* value) {
        if (std::count(given.begin(), given.end(), id) > 1)
            throw UsageError("option '" + Spelling(id) + "' is given twice");
        if (!*value) throw UsageError("option '" + Spelling(id) + "' needs a file name");
        field = value;
    };
    auto setExclusive = [](int& slot, int id) {
        if (slot && slot != id)
            throw UsageError("options '" + Spelling(slot) + "' and '" + Spelling(id) +
                             "' exclude each other");
        slot = id;
    };

    // '+' would stop at the first operand; permuting keeps "OLD NEW --tree" working. ':' first
    // reports a missing value apart from an unknown option.
    ::optind = 0;
    ::opterr = 0;
    int id;
    while ((id = ::getopt_long(argc, argv, shortOptions.c_str(), longOptions.data(), nullptr)) !=
           -1) {
        if (id == '?' || id == ':') {
            std::string name = argv[::optind - 1];
            if (const auto eq = name.find('='); eq != std::string::npos) name.resize(eq);
            if (id == ':') throw UsageError("option '" + name + "' needs a value");
            if (::optopt && Find(::optopt) && name.rfind("--", 0) == 0)
                throw UsageError("option '" + name + "' takes no value");
            if (::optopt) name = std::string("-") + static_cast<char>(::optopt);
            const auto matches =
                std::count_if(AllOptions().begin(), AllOptions().end(), [&](const OptionInfo& o) {
                    return name.size() > 2 &&
                           std::string("--").append(o.longOption.name).rfind(name, 0) == 0;
                });
            throw UsageError((matches > 1 ? "ambiguous option '" : "unknown option '") + name +
                             "'");
        }
        given.push_back(id);
        const char* value = ::optarg ? ::optarg : "";
        switch (id) {
        case kHelp: opt.help = true; break;
        case kVersion: opt.version = true; break;
        case kDefine:
            if (!*value) throw UsageError("option '-D' needs a symbol");
            extraSymbols.emplace_back(value);
            break;
        case kNoDefaultDefines: defaults = false; break;
        case kLabel: opt.labels.emplace_back(value); break;
        case kColor:
            if (!::optarg || std::strcmp(value, "auto") == 0)
                opt.color = ColorWhen::Auto;
            else if (std::strcmp(value, "always") == 0)
                opt.color = ColorWhen::Always;
            else if (std::strcmp(value, "never") == 0)
                opt.color = ColorWhen::Never;
            else
                throw UsageError("option '--color' takes auto, always or never, not '" +
                                 std::string(value) + "'");
            break;
        case kWorkspace: setOnce(opt.workspacePath, id, value); break;
        case kMerged: setOnce(opt.mergedPath, id, value); break;
        case kNew: setOnce(opt.newOut, id, value); break;
        case kOld: setOnce(opt.oldOut, id, value); break;
        case kComment:
            if (opt.comment) throw UsageError("option '--comment' is given twice");
            opt.comment = true;
            opt.commentText = value;
            break;
        case kEol:
            if (std::strcmp(value, "crlf") == 0)
                opt.eol = "\r\n";
            else if (std::strcmp(value, "lf") == 0)
                opt.eol = "\n";
            else
                throw UsageError("option '--eol' takes crlf or lf, not '" + std::string(value) +
                                 "'");
            break;
        case kMask: opt.mask = value; break;
        case kOutput: setOnce(opt.outputPath, id, value); break;
        case kDialect:
            if (auto named = model::DialectFromName(value))
                opt.dialect = *named;
            else
                throw UsageError("unknown dialect '" + std::string(value) +
                                 "'; expected classic, delphi, fpc or auto");
            break;
        case kTarget:
            if (!model::FindTarget(value))
                throw UsageError("unknown target '" + std::string(value) + "'; expected " +
                                 model::TargetNames());
            opt.target = value;
            break;
        case kIncludeDir:
            if (!*value) throw UsageError("option '-I' needs a folder");
            opt.includeDirs.emplace_back(value);
            break;
        case kNoIncludes: opt.followIncludes = false; break;
        case kRenames: opt.renames = model::ParseOptions::Renames::On; break;
        case kNoRenames: opt.renames = model::ParseOptions::Renames::Off; break;
        case kDisplay:
            if (std::strcmp(value, "report") != 0 && std::strcmp(value, "inline") != 0 &&
                std::strcmp(value, "side-by-side") != 0)
                throw UsageError("option '--display' takes report, inline or side-by-side, not '" +
                                 std::string(value) + "'");
            opt.display = value;
            break;
        case kWidth: opt.width = static_cast<int>(PositiveNumber("--width", value)); break;
        case kApi:
            if (!::optarg)
                opt.api = "public";
            else if (std::strcmp(value, "protected") == 0)
                opt.api = "protected";
            else
                throw UsageError("option '--api' takes no value or 'protected', not '" +
                                 std::string(value) + "'");
            break;
        case kFailOn:
            if (std::strcmp(value, "breaking") != 0)
                throw UsageError("option '--fail-on' takes 'breaking', not '" + std::string(value) +
                                 "'");
            opt.failOnBreaking = true;
            if (opt.api.empty()) opt.api = "public";
            break;
        case kFormNoise:
            if (std::strcmp(value, "show") != 0 && std::strcmp(value, "hide") != 0 &&
                std::strcmp(value, "ignore") != 0)
                throw UsageError("option '--form-noise' takes show, hide or ignore, not '" +
                                 std::string(value) + "'");
            opt.formNoise = value;
            break;
        case kThreads: opt.threads = PositiveNumber("--threads", value); break;
        default:
            if (const OutputFormat* f = FormatOfOption(id)) {
                setExclusive(outputOption, id);
                opt.output = f->id;
            }
            break;
        case kModelMode:
        case kFromWorkspaceMode:
        case kDirsMode:
        case kMergeMode:
        case kRecursive:
        case kFormTextMode:
        case kCheckFormMode:
            setExclusive(modeOption, id);
            opt.command = ValueOf(kCommands, id);
            if (::optarg) opt.files.emplace_back(value);
            break;
        }
    }
    for (int i = ::optind; i < argc; ++i)
        opt.files.emplace_back(argv[i]);

    const unsigned mode = ModeBit(opt.command);
    for (int g : given)
        if (!(Find(g)->modes & mode))
            throw UsageError("option '" + Spelling(g) + "' does not apply" +
                             (modeOption ? " with '" + Spelling(modeOption) + "'"
                                         : std::string(" to a comparison of two files")));

    // The defaults are the target's, chosen per file once its dialect is known.
    opt.defaultDefines = defaults;
    opt.symbols = std::move(extraSymbols);

    if (opt.help || opt.version) return opt;
    CheckOperands(opt);
    return opt;
}

model::ParseOptions ReadingOf(const CliOptions& opt) {
    model::ParseOptions reading =
        model::ReadingOf({opt.dialect, opt.target, opt.defaultDefines, opt.symbols, opt.includeDirs,
                          opt.followIncludes})
            .options;
    reading.renames = opt.renames;
    return reading;
}

} // namespace quennet::cli
