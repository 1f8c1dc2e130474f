// The --help texts, one per mode.
#include <string>

#include "options.h"
#include "output_format.h"

namespace quennet::cli {

namespace {

const char kDiffUsageHead[] =
    "Usage: quennet-diff [OPTION]... OLD NEW\n"
    "Compare two Delphi source files by their declarations. Either file may be '-' for the\n"
    "standard input.\n"
    "\n"
    "Output (one of):\n";

// The formats' lines come between these, from their own files.
const char kDiffUsageTail[] =
    "\n"
    "  -L, --label NAME          name OLD (first time) or NEW (second time) as NAME\n"
    "      --color[=WHEN]        colour the report: removed red, added green, changed\n"
    "                            yellow; WHEN is never (default), always or auto (plain\n"
    "                            --color: on a terminal unless NO_COLOR is set)\n"
    "\n"
    "Compiler symbols (the target's unless told otherwise):\n"
    "  -D, --define SYM          define SYM; may be repeated\n"
    "      --no-default-defines  start from no symbols\n"
    "      --target NAME         delphi5-win32, delphi12-win32, delphi12-win64,\n"
    "                            fpc-linux-x86_64 or fpc-win64 (default: delphi5-win32\n"
    "                            for classic, delphi12-win32 for delphi, fpc-linux-x86_64\n"
    "                            for fpc)\n"
    "\n"
    "Reading:\n"
    "      --dialect NAME        classic (the Delphi 5 grammar exactly), delphi, fpc, or\n"
    "                            auto: fpc for .pp and .lpr files and files with {$MODE},\n"
    "                            delphi otherwise (the default)\n"
    "  -I, --include-dir DIR     look for {$I} files here after the including file's\n"
    "                            folder; may be repeated\n"
    "      --no-includes         read {$I} directives as comments, not their files\n"
    "      --renames             show a renamed or moved declaration as one (the\n"
    "                            default except in the classic dialect)\n"
    "      --no-renames          a renamed declaration is one removed and one added\n"
    "\n"
    "Terminal display and API view:\n"
    "      --display STYLE       report, inline or side-by-side (default: inline on a\n"
    "                            terminal, report otherwise)\n"
    "      --width N             columns (default: COLUMNS, the terminal, or 80)\n"
    "      --api[=protected]     only what other units see: breaking, additive, internal\n"
    "      --fail-on=breaking    exit 1 on breaking changes only, else 0\n"
    "\n"
    "Merge outputs (besides the output above):\n"
    "      --workspace FILE.rtf  write the merge workspace of OLD and NEW\n"
    "      --merged FILE         write the merged source ({$IFDEF NEW_VER} blocks)\n"
    "      --eol crlf|lf         line ends of the merged source (default: NEW's)\n"
    "\n"
    "Form files (.dfm, .lfm, .fmx, .xfm, or a file that reads as one) are compared by\n"
    "objects and properties, as a report, --tree, --json or --brief:\n"
    "      --form-noise MODE     designer noise (Explicit*, PixelsPerInch, TextHeight, ...):\n"
    "                            show (listed last, the default), hide (only counted) or\n"
    "                            ignore (noise alone is no difference)\n"
    "\n"
    "  -h, --help                show this help and exit\n"
    "  -v, --version             show the version and exit\n"
    "\n"
    "Called by git as an external diff (PATH OLD-FILE OLD-HASH OLD-MODE NEW-FILE NEW-HASH\n"
    "NEW-MODE), the report is labelled with PATH and the exit status is 0 unless there was\n"
    "trouble.\n"
    "\n"
    "Exit status: 0 if the files are equivalent, 1 if they differ, 2 if there was trouble.\n"
    "Other modes, each with its own --help: quennet-diff --model FILE, --dirs OLDDIR NEWDIR,\n"
    "--from-workspace WS, --merge BASE LOCAL REMOTE, -r OLDDIR NEWDIR, --form-text FORM,\n"
    "--check-form UNIT [FORM].\n";

const char kModelUsage[] =
    "Usage: quennet-diff --model [OPTION]... FILE\n"
    "Print the parsed declaration model of one Delphi source file as JSON ('-' reads the\n"
    "standard input).\n"
    "\n"
    "  -D, --define SYM          define SYM; may be repeated\n"
    "      --no-default-defines  start from no symbols (default: the target's)\n"
    "      --target NAME         the compiler target, as for a pair\n"
    "      --dialect NAME        classic, delphi, fpc or auto (the default)\n"
    "  -I, --include-dir DIR     look for {$I} files here too; may be repeated\n"
    "      --no-includes         read {$I} directives as comments, not their files\n"
    "  -h, --help                show this help and exit\n"
    "\n"
    "Exit status: 0 when the model was printed, 2 if there was trouble.\n";

const char kFromWorkspaceUsage[] =
    "Usage: quennet-diff --from-workspace WS [--new OUT] [--old OUT] [--merged OUT]\n"
    "                    [--workspace OUT] [--comment TEXT]\n"
    "Write the sources of a merge workspace (red lines: old only, blue: new only).\n"
    "\n"
    "      --new OUT        the new version: red lines left out\n"
    "      --old OUT        the old version: blue lines left out\n"
    "      --merged OUT     both versions, chosen by {$IFDEF NEW_VER}\n"
    "      --comment TEXT   write the left-out lines behind \"//\" + TEXT instead\n"
    "      --eol crlf|lf    line ends of the sources written (default: crlf)\n"
    "      --workspace OUT  save the workspace again: RTF for a name ending in .rtf,\n"
    "                       plain text otherwise (\".pas\" added to a name without one)\n"
    "  -h, --help           show this help and exit\n"
    "\n"
    "Exit status: 0 when every file was written, 2 if there was trouble.\n";

const char kDirsUsage[] =
    "Usage: quennet-diff --dirs [--mask MASK] OLDDIR NEWDIR\n"
    "List the files of two folders, each marked by its namesake in the other folder:\n"
    "  identical   same size and same CRC-32 of the content\n"
    "  different   the namesake's size or content differs (or it cannot be read)\n"
    "  only here   no file of that name in the other folder\n"
    "  unreadable  this file or its namesake cannot be read (the reason goes to stderr)\n"
    "  fifo, socket, device, dangling link: such an entry is listed, never read\n"
    "\n"
    "      --mask MASK   file patterns separated by ';' (default \"*.pas;*.dpr\")\n"
    "  -h, --help        show this help and exit\n"
    "\n"
    "Names are compared as the file system compares them (case-sensitive on Linux).\n"
    "Names with blanks, backslashes or control characters are written with C-style escapes.\n"
    "Exit status: 0 if every file is identical and present on both sides, 1 otherwise,\n"
    "2 if there was trouble.\n";

const char kMergeUsage[] =
    "Usage: quennet-diff --merge BASE LOCAL REMOTE [-o OUTPUT] [OPTION]...\n"
    "Merge the changes from BASE to LOCAL and from BASE to REMOTE, declaration by\n"
    "declaration, and write the result to OUTPUT (standard output without -o).\n"
    "\n"
    "  -o, --output FILE         write the result to FILE (LOCAL itself is allowed)\n"
    "  -L, --label NAME          names for the conflict markers, given up to three times\n"
    "                            in the order BASE, LOCAL, REMOTE\n"
    "      --dialect NAME        classic, delphi, fpc or auto (the default)\n"
    "  -D, --define SYM          define SYM; may be repeated\n"
    "      --no-default-defines  start from no symbols\n"
    "      --target NAME, -I DIR as for a pair\n"
    "      --renames, --no-renames  follow renamed and moved declarations (default:\n"
    "                            except in the classic dialect)\n"
    "\n"
    "Conflicts are written as <<<<<<< LOCAL, ||||||| BASE, =======, >>>>>>> REMOTE.\n"
    "Exit status: 0 if the merge is clean, 1 with conflicts, 2 if there was trouble.\n";

const char kFormTextUsage[] =
    "Usage: quennet-diff --form-text FILE\n"
    "Print the text form of a form file, text or binary (TPF0), as the IDE writes it:\n"
    "usable as git's textconv for form files.\n"
    "\n"
    "A text form that does not read whole is printed as it is (the fault goes to stderr).\n"
    "Exit status: 0, or 2 for a binary form that does not read whole (what was read is\n"
    "printed) and for files that cannot be read.\n";

const char kCheckFormUsage[] =
    "Usage: quennet-diff --check-form [OPTION]... UNIT [FORM]\n"
    "Check a unit against its form. FORM defaults to the form beside UNIT: the same base\n"
    "name with .dfm, .lfm, .fmx or .xfm, letter case aside (the one the unit's {$R *.ext}\n"
    "names first where there are several). For the class of the form's root object:\n"
    "  - components without a field of their name in the class's published part (the part\n"
    "    before any visibility word counts as published), or whose field has another type;\n"
    "  - published fields of a class type (T...) without a component of their name;\n"
    "  - events (OnClick = Button1Click) that name no method of the class.\n"
    "One line per finding, \"FILE(LINE): message\", sorted: the form's line for components\n"
    "and events, the unit's for fields.\n"
    "\n"
    "Only what the unit declares is seen: fields and methods of ancestors declared in the\n"
    "same unit count, those of ancestors in other units cannot be seen, so an event naming\n"
    "such an inherited method is reported. Components an ancestor's form brings (inherited)\n"
    "or that belong to an embedded frame (inside inline) need no field in this class.\n"
    "\n"
    "  -D SYM, --no-default-defines, --dialect NAME, --target NAME, -I DIR,\n"
    "  --no-includes              read UNIT as a comparison does\n"
    "\n"
    "Exit status: 0 if nothing was found, 1 with findings, 2 if there was trouble (UNIT or\n"
    "FORM unreadable, no form beside UNIT, the form's class not declared in UNIT).\n";

const char kTreeUsage[] =
    "Usage: quennet-diff -r [OPTION]... OLDDIR NEWDIR\n"
    "Compare every Pascal unit of two folder trees by its declarations.\n"
    "\n"
    "      --mask MASK           file patterns separated by ';' (default \"*.pas;*.dpr\")\n"
    "      --display STYLE       report, inline or side-by-side (default: inline on a\n"
    "                            terminal, report otherwise)\n"
    "      --width N             columns of the display (default: COLUMNS or the terminal)\n"
    "      --color[=WHEN]        never (default), always or auto\n"
    "      --api[=protected]     only what other units see, classified as breaking,\n"
    "                            additive or internal\n"
    "      --fail-on=breaking    exit 1 on breaking changes only, else 0\n"
    "      --json                one JSON document\n"
    "      --threads N           comparisons at once (default: one per core)\n"
    "  -D SYM, --no-default-defines, --dialect NAME, --target NAME, -I DIR   as for a pair\n"
    "      --renames, --no-renames                                       as for a pair\n"
    "\n"
    "Exit status: 0 if the trees are equivalent, 1 if they differ, 2 if there was trouble.\n";

} // namespace

const char* UsageText(Command command) {
    switch (command) {
    case Command::Model: return kModelUsage;
    case Command::FromWorkspace: return kFromWorkspaceUsage;
    case Command::Dirs: return kDirsUsage;
    case Command::Merge: return kMergeUsage;
    case Command::Tree: return kTreeUsage;
    case Command::FormText: return kFormTextUsage;
    case Command::CheckForm: return kCheckFormUsage;
    case Command::Diff: break;
    }
    static const std::string diffUsage = kDiffUsageHead + OutputFormatsHelp() + kDiffUsageTail;
    return diffUsage.c_str();
}

} // namespace quennet::cli
