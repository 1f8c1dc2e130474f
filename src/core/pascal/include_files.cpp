// Include files are spliced as text, not read by the scanner on the fly: trials move back and
// forth over the text, and one buffer keeps every position and token valid. Directives inside
// comments and strings are left alone; {$I %NAME%} becomes a string literal; those in excluded
// regions are spliced too (the parse skips them there), and their notes wait until the parse
// actually reads the directive.
#include "pascal/include_files.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "base/ascii.h"
#include "base/pascal_text.h"
#include "base/read_text_release.h"
#include "io/platform.h"
#include "io/source_file.h"
#include "pascal/dproj_reader.h"

namespace quennet::pascal {

namespace fs = std::filesystem;

namespace {

// True when some "{$I name" or "{$INCLUDE name" might be an include directive; most files have
// none (only {$IFDEF} and the like) and are then parsed without a copy.
bool MayInclude(std::string_view text) {
    for (size_t at = text.find("{$"); at != std::string_view::npos; at = text.find("{$", at + 2)) {
        size_t w = at + 2;
        while (w < text.size() && base::IsIdentChar(text[w]))
            ++w;
        const std::string_view word = text.substr(at + 2, w - at - 2);
        if ((base::SameIgnoringCase(word, "I") || base::SameIgnoringCase(word, "INCLUDE")) &&
            w < text.size() && static_cast<unsigned char>(text[w]) <= 32)
            return true;
    }
    return false;
}

// Line breaks in piece: CR, and LF but after CR; before is the character ahead of it. The
// library's search goes line by line where a loop would go byte by byte.
int32_t CountBreaks(std::string_view piece, char before) {
    if (piece.empty()) return 0;
    int32_t n = 0;
    const char* const begin = piece.data();
    const char* const end = begin + piece.size();
    for (const char* p = begin;
         (p = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)))); ++p)
        ++n;
    for (const char* p = begin;
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))); ++p)
        if ((p == begin ? before : p[-1]) != '\r') ++n;
    return n;
}

// The characters that may start a string, comment or directive.
constexpr std::array<bool, 256> kOpeners = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'\'', '/', '(', '{'})
        t[c] = true;
    return t;
}();

// An include directive's argument: blanks trimmed, quotes removed.
std::string_view IncludeArgument(std::string_view arg) {
    while (!arg.empty() && static_cast<unsigned char>(arg.front()) <= 32)
        arg.remove_prefix(1);
    while (!arg.empty() && static_cast<unsigned char>(arg.back()) <= 32)
        arg.remove_suffix(1);
    if (arg.size() >= 2 && (arg.front() == '\'' || arg.front() == '"') && arg.back() == arg.front())
        arg = arg.substr(1, arg.size() - 2);
    return arg;
}

// The file name of an include directive's argument, Windows separators turned round.
std::string IncludeName(std::string_view arg) {
    std::string name(IncludeArgument(arg));
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// "\dir\x.inc": the root of the current drive on Windows, no drive named.
bool DriveLess(std::string_view arg) {
    arg = IncludeArgument(arg);
    return arg.size() > 1 && arg[0] == '\\' && arg[1] != '\\';
}

// The folder and the name with "/" between, on every system, so that names in outputs are
// spelled alike.
std::string JoinPath(const fs::path& dir, const std::string& name) {
    std::string path = io::Utf8Path(dir);
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
    return path + name;
}

bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// The file of that name in that folder whose name differs only in letter case, or "".
std::string FindIgnoringCase(const fs::path& dir, const std::string& name) {
    const fs::path given = io::FsPath(name);
    const fs::path folder = given.has_parent_path() ? dir / given.parent_path() : dir;
    const std::string leaf = io::Utf8Path(given.filename());
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string found = io::Utf8Path(it->path().filename());
        if (base::SameIgnoringCase(found, leaf) && IsFile(it->path()))
            return JoinPath(dir, given.has_parent_path()
                                     ? io::Utf8Path(given.parent_path() / it->path().filename())
                                     : found);
    }
    return {};
}

// A project file's text; one that cannot be read adds no folder.
std::optional<std::string> ReadQuietly(const fs::path& file) {
    try {
        return io::ReadFileBytes(io::Utf8Path(file));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The folders of one project file's search paths, relative to the project's folder: Delphi's
// DCC_IncludePath and DCC_UnitSearchPath of the default build, Lazarus's IncludeFiles and
// OtherUnitFiles values; entries with build macros ($(Platform)) are left out.
void AddProjectPaths(const fs::path& project, std::vector<fs::path>& out) {
    const std::optional<std::string> read = ReadQuietly(project);
    if (!read) return;
    const std::string& text = *read;
    const auto add = [&](std::string entry) {
        std::replace(entry.begin(), entry.end(), '\\', '/');
        while (!entry.empty() && static_cast<unsigned char>(entry.back()) <= 32)
            entry.pop_back();
        if (entry.empty() || entry.find("$(") != std::string::npos) return;
        const fs::path dir =
            fs::path(entry).is_absolute() ? fs::path(entry) : project.parent_path() / entry;
        if (std::find(out.begin(), out.end(), dir) == out.end()) out.push_back(dir);
    };
    if (base::LowerAscii(project.extension().string()) == ".dproj") {
        for (std::string& entry : DprojSearchPaths(text))
            add(std::move(entry));
        return;
    }
    const std::string lower = base::LowerAscii(text);
    for (const char* element : {"<includefiles value=\"", "<otherunitfiles value=\""})
        for (size_t at = lower.find(element); at != std::string::npos;
             at = lower.find(element, at + 1)) {
            const size_t from = at + std::string_view(element).size();
            const size_t to = lower.find('"', from);
            if (to == std::string::npos) continue;
            const std::string_view list = std::string_view(text).substr(from, to - from);
            for (size_t start = 0; start <= list.size();) {
                size_t end = list.find(';', start);
                if (end == std::string_view::npos) end = list.size();
                add(std::string(list.substr(start, end - start)));
                start = end + 1;
            }
        }
}

// The include folders an fpmake.pp gives its package: the literal of each IncludePath.Add(...),
// relative to its folder; paths with build macros ($(OS)) are left out.
void AddFpmakePaths(const fs::path& fpmake, std::vector<fs::path>& out) {
    const std::optional<std::string> read = ReadQuietly(fpmake);
    if (!read) return;
    const std::string& text = *read;
    const std::string lower = base::LowerAscii(text);
    constexpr std::string_view kCall = "includepath.add(";
    for (size_t at = lower.find(kCall); at != std::string::npos; at = lower.find(kCall, at + 1)) {
        size_t from = at + kCall.size();
        while (from < text.size() && static_cast<unsigned char>(text[from]) <= 32)
            ++from;
        if (from >= text.size() || text[from] != '\'') continue;
        const size_t to = text.find('\'', from + 1);
        if (to == std::string::npos) continue;
        std::string entry = text.substr(from + 1, to - from - 1);
        std::replace(entry.begin(), entry.end(), '\\', '/');
        if (entry.empty() || entry.find("$(") != std::string::npos) continue;
        const fs::path dir = fpmake.parent_path() / entry;
        if (std::find(out.begin(), out.end(), dir) == out.end()) out.push_back(dir);
    }
}

// The folders of the units a program or package names with their paths (Delphi's
// "Unit in '..\Source\Unit.pas'"), relative to its folder. Where no project file gives the search
// paths, these are the folders the project's own units live in. Only a string right after the
// word "in" in code is a path.
void AddUnitFolders(const fs::path& program, std::vector<fs::path>& out) {
    const std::optional<std::string> read = ReadQuietly(program);
    if (!read) return;
    const std::string_view text = *read;
    base::LexState state = base::LexState::Code;
    bool afterIn = false; // the last word of code was "in", and nothing but blanks since
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find('\n', from);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(from, end - from);
        from = end + 1;
        state = base::ForEachPiece(line, state, [&](base::PieceKind kind, size_t b, size_t e) {
            if (kind == base::PieceKind::String) {
                // Its quotes left out; a string open at the end of the line has no closing one.
                const size_t closing = e - b >= 2 && line[e - 1] == '\'' ? 1 : 0;
                std::string unit(line.substr(b + 1, e - b - 1 - closing));
                std::replace(unit.begin(), unit.end(), '\\', '/');
                if (afterIn && !unit.empty() && unit.find("$(") == std::string::npos) {
                    const fs::path path = io::FsPath(unit);
                    const fs::path dir = (path.is_absolute() ? path : program.parent_path() / path)
                                             .parent_path()
                                             .lexically_normal();
                    if (std::find(out.begin(), out.end(), dir) == out.end()) out.push_back(dir);
                }
                afterIn = false;
            } else if (kind == base::PieceKind::Code) {
                for (size_t i = b; i < e;) {
                    if (!base::IsIdentChar(line[i])) {
                        if (static_cast<unsigned char>(line[i]) > 32) afterIn = false;
                        ++i;
                        continue;
                    }
                    const size_t word = i;
                    while (i < e && base::IsIdentChar(line[i]))
                        ++i;
                    afterIn = base::SameIgnoringCase(line.substr(word, i - word), "in");
                }
            }
        });
    }
}

} // namespace

bool IncludeExpansion::Expand(std::string_view text, const std::string& fileName,
                              const std::vector<std::string>& includeDirs, bool nestedComments,
                              base::ReadTextRelease* release) {
    // Without a folder to look in nothing can be found: the text is parsed as it is.
    if ((fileName.empty() || fileName == "-") && includeDirs.empty()) return false;
    if (!MayInclude(text)) return false;
    includeDirs_ = includeDirs;
    nested_ = nestedComments;
    files_ = {fileName};
    std::error_code ec;
    ids_ = {fileName.empty() || fileName == "-"
                ? std::string()
                : io::Utf8Path(fs::weakly_canonical(io::FsPath(fileName), ec))};
    text_.reserve(text.size() + text.size() / 2);
    rootRest_ = text.size();
    StartSegment(0, 1);
    std::vector<int32_t> chain{0};
    ExpandFile(text, 0, chain, release);
    return true;
}

void IncludeExpansion::Append(std::string_view piece) {
    Append(piece, CountBreaks(piece, text_.empty() ? '\0' : text_.back()));
}

void IncludeExpansion::Append(std::string_view piece, int32_t breaks) {
    line_ += breaks;
    text_.append(piece);
}

void IncludeExpansion::StartSegment(int32_t file, int32_t fileLine) {
    if (!segments_.empty() && segments_.back().FirstLine == line_) segments_.pop_back();
    segments_.push_back({line_, file, fileLine});
}

std::string IncludeExpansion::Resolve(const std::string& name, int32_t including) const {
    std::vector<fs::path> dirs;
    const fs::path asGiven = io::FsPath(name);
    if (asGiven.is_absolute()) {
        dirs.emplace_back();
    } else {
        for (int32_t f : {including, 0}) {
            const std::string& owner = files_[static_cast<size_t>(f)];
            if (owner.empty() || owner == "-") continue;
            fs::path dir = io::FsPath(owner).parent_path();
            dirs.push_back(dir.empty() ? fs::path(".") : dir);
        }
        for (const auto& d : includeDirs_)
            dirs.push_back(io::FsPath(d));
    }
    const std::string lower = base::LowerAscii(name);
    std::vector<std::string> names{name};
    if (lower != name) names.push_back(lower);
    if (!asGiven.has_extension())
        for (const char* ext : {".inc", ".pas", ".pp"})
            names.push_back(name + ext);
    for (const auto& dir : dirs)
        for (const auto& n : names)
            if (std::string p = JoinPath(dir, n); IsFile(io::FsPath(p))) return p;
    if (!asGiven.is_absolute())
        for (const auto& dir : BuildDirs())
            for (const auto& n : names)
                if (std::string p = JoinPath(dir, n); IsFile(io::FsPath(p))) return p;
    // Windows opens "DUnitX.Inc" as "DUnitX.inc": the same folders once more, letter case aside.
    for (const auto& dir : dirs)
        for (const auto& n : names)
            if (std::string p = FindIgnoringCase(dir, n); !p.empty()) return p;
    return {};
}

// As the build finds a file: the search paths of the project files (.dproj, .lpi, .lpk,
// fpmake.pp) beside the compared file or in a folder above it, the folders of the units that the
// programs and packages there name, then the folders above the file up to the repository's root
// (eight at most). Worked out once, when an include file is first missed.
const std::vector<fs::path>& IncludeExpansion::BuildDirs() const {
    if (buildDirsKnown_) return buildDirs_;
    buildDirsKnown_ = true;
    const std::string& own = files_.front();
    if (own.empty() || own == "-") return buildDirs_;
    std::error_code ec;
    // Normal form: "a/../b" climbs from b, not through a.
    const fs::path start = fs::absolute(fs::path(own), ec).lexically_normal().parent_path();
    if (ec) return buildDirs_;
    fs::path dir = start;
    std::vector<fs::path> above, unitFolders;
    // A bound on the walk: no build keeps its project deeper than this above a unit.
    for (int level = 0; level < 8 && !dir.empty(); ++level) {
        if (level > 0) above.push_back(dir);
        std::vector<fs::path> projects, programs;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string ext = base::LowerAscii(it->path().extension().string());
            if (((ext == ".dproj" || ext == ".lpi" || ext == ".lpk") ||
                 base::LowerAscii(it->path().filename().string()) == "fpmake.pp") &&
                IsFile(it->path()))
                projects.push_back(it->path());
            else if ((ext == ".dpr" || ext == ".dpk" || ext == ".lpr") && IsFile(it->path()))
                programs.push_back(it->path());
        }
        // Folder order is the system's; sorted, the search and its note are the same everywhere.
        std::sort(projects.begin(), projects.end());
        for (const fs::path& p : projects) {
            if (base::LowerAscii(p.extension().string()) == ".pp")
                AddFpmakePaths(p, buildDirs_);
            else
                AddProjectPaths(p, buildDirs_);
            projectFiles_.push_back(io::Utf8Path(p.lexically_relative(start)));
        }
        std::sort(programs.begin(), programs.end());
        for (const fs::path& p : programs) {
            AddUnitFolders(p, unitFolders);
            programFiles_.push_back(io::Utf8Path(p.lexically_relative(start)));
        }
        ec.clear();
        if (fs::exists(dir / ".git", ec)) { // the repository's root
            reachedRoot_ = true;
            break;
        }
        const fs::path parent = dir.parent_path();
        if (parent == dir) break;
        dir = parent;
    }
    foldersAbove_ = static_cast<int32_t>(above.size());
    buildDirs_.insert(buildDirs_.end(), unitFolders.begin(), unitFolders.end());
    buildDirs_.insert(buildDirs_.end(), above.begin(), above.end());
    return buildDirs_;
}

// The places Resolve looked in, in its order, for the note of a file not found.
std::string IncludeExpansion::WhereLooked(const std::string& name, int32_t including) const {
    if (io::FsPath(name).is_absolute()) return "at that path";
    std::vector<std::string> places;
    const std::string& own = files_.front();
    const bool ownKnown = !own.empty() && own != "-";
    if (including != 0) places.emplace_back("beside the including file");
    if (ownKnown) places.emplace_back(including != 0 ? "beside the unit" : "beside the file");
    if (!includeDirs_.empty()) places.emplace_back("in the include folders");
    BuildDirs();
    // A folder of examples may hold dozens of files: the first few name the rest.
    const auto listed = [](const std::vector<std::string>& files, const char* others) {
        constexpr size_t kNamed = 3;
        const size_t named = files.size() > kNamed + 1 ? kNamed : files.size();
        std::string list;
        for (size_t k = 0; k < named; ++k)
            list += (k == 0 ? "" : k + 1 == files.size() ? " and " : ", ") + files[k];
        if (named < files.size())
            list += " and " + std::to_string(files.size() - named) + " other " + others;
        return list;
    };
    if (!projectFiles_.empty())
        places.push_back("in the search paths of " + listed(projectFiles_, "project files"));
    if (!programFiles_.empty())
        places.push_back("in the folders of the units that " + listed(programFiles_, "programs") +
                         (programFiles_.size() == 1 ? " names" : " name"));
    if (foldersAbove_ > 0)
        places.push_back(reachedRoot_
                             ? "in the folders above it up to the repository's root"
                             : "in the " + std::to_string(foldersAbove_) + " folders above it");
    std::string text;
    for (size_t k = 0; k < places.size(); ++k)
        text += (k == 0 ? "" : k + 1 < places.size() ? ", " : k > 1 ? ", or " : " or ") + places[k];
    return text.empty() ? "without a folder to look in" : text;
}

void IncludeExpansion::ExpandFile(std::string_view text, int32_t file, std::vector<int32_t>& chain,
                                  base::ReadTextRelease* release) {
    size_t copied = 0;
    int32_t fileLine = 1;
    const auto copyTo = [&](size_t end) {
        const std::string_view piece = text.substr(copied, end - copied);
        const char before = copied == 0 ? '\0' : text[copied - 1];
        const int32_t breaks = CountBreaks(piece, before);
        fileLine += breaks;
        // After a splice another character may stand before the piece than in its file.
        const std::string_view first = piece.substr(0, 1);
        Append(piece, breaks - CountBreaks(first, before) +
                          CountBreaks(first, text_.empty() ? '\0' : text_.back()));
        copied = end;
        if (file == 0) rootRest_ = text.size() - copied;
        // The character before the next piece is still read; all before it is copied.
        if (release && copied > 0) release->Passed(text.data() + copied - 1);
    };
    const auto lineEnd = [&](size_t i) {
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            ++i;
        return i;
    };
    // Copied in steps, so that the text can be given back behind the copy.
    constexpr size_t kCopyStep = size_t{256} << 10;
    size_t i = 0;
    while (i < text.size()) {
        if (i - copied >= kCopyStep && release) copyTo(i);
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '\'') {
            const size_t e = text.find_first_of("'\r\n", i + 1);
            i = e == std::string_view::npos ? text.size() : e + 1;
        } else if (c == '/' && next == '/') {
            i = lineEnd(i);
        } else if (c == '(' && next == '*') {
            const size_t e = text.find("*)", i + 2);
            i = e == std::string_view::npos ? text.size() : e + 2;
        } else if (c == '{' && next == '$') {
            const size_t close = text.find('}', i);
            const size_t end = close == std::string_view::npos ? text.size() : close + 1;
            size_t w = i + 2;
            while (w < text.size() && base::IsIdentChar(text[w]))
                ++w;
            const std::string_view word = text.substr(i + 2, w - i - 2);
            const bool include =
                (base::SameIgnoringCase(word, "I") || base::SameIgnoringCase(word, "INCLUDE")) &&
                w < end && static_cast<unsigned char>(text[w]) <= 32;
            const std::string name =
                include ? IncludeName(text.substr(
                              w, (close == std::string_view::npos ? text.size() : close) - w))
                        : std::string();
            if (include && !name.empty() && name[0] == '%') {
                // {$I %DATE%} stands for a string the compiler fills in: one literal here, on
                // the directive's line, so expressions around it read on.
                copyTo(end);
                std::string literal = "'";
                for (char ch : name)
                    if (ch != '\'' && static_cast<unsigned char>(ch) >= 32) literal += ch;
                Append(literal + "'");
            } else if (include && !name.empty()) {
                const size_t start = i;
                copyTo(end);
                const int32_t at = static_cast<int32_t>(text_.size() - (end - start));
                const int32_t directiveLine = fileLine;
                const std::string where =
                    "{$I " + name + "} (" +
                    (file == 0 ? std::string() : files_[static_cast<size_t>(file)] + ", ") +
                    "line " + std::to_string(directiveLine) + "): ";
                const std::string_view arg =
                    text.substr(w, (close == std::string_view::npos ? text.size() : close) - w);
                // A drive-less root that holds no such file: the build that reads this found it
                // in its folders, the separator taken as one between folder and name.
                const std::string searched =
                    DriveLess(arg) && !IsFile(io::FsPath(name)) ? name.substr(1) : name;
                const std::string path = Resolve(searched, file);
                std::string id;
                std::string problem;
                std::string bytes;
                if (path.empty()) {
                    problem = "the include file is not found " + WhereLooked(searched, file) +
                              "; its text is not read";
                } else if (chain.size() > static_cast<size_t>(kMaxDepth)) {
                    problem = "include files nest deeper than " + std::to_string(kMaxDepth) +
                              " levels; it is not read";
                } else {
                    std::error_code ec;
                    id = io::Utf8Path(fs::weakly_canonical(io::FsPath(path), ec));
                    for (int32_t f : chain)
                        if (ids_[static_cast<size_t>(f)] == id)
                            problem = "the file includes itself; it is not read again";
                    if (problem.empty()) {
                        try {
                            bytes = io::TakeAsCrLfText(io::ReadFileBytes(path));
                        } catch (const std::exception& e) {
                            problem = e.what();
                        }
                    }
                }
                if (!problem.empty()) {
                    notes_.emplace_back(at, where + problem);
                } else {
                    std::string_view body(bytes);
                    // Room for this file and the rest of the unit at once: growing by doubling
                    // would hold the whole copy twice for a moment, now and again.
                    const size_t need = text_.size() + bytes.size() + rootRest_ + 4;
                    if (text_.capacity() < need) text_.reserve(need + need / 8);
                    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
                    Append("\r\n");
                    const auto index = static_cast<int32_t>(files_.size());
                    files_.push_back(path);
                    ids_.push_back(id);
                    StartSegment(index, 1);
                    chain.push_back(index);
                    // An included file's text is read only here: it goes back as it is copied.
                    base::ReadTextRelease bodyRelease(bytes, base::ReadTextRelease::WithoutLines{});
                    ExpandFile(body, index, chain, &bodyRelease);
                    chain.pop_back();
                    if (text_.back() != '\r' && text_.back() != '\n') Append("\r\n");
                    StartSegment(file, directiveLine);
                }
            }
            i = end;
        } else if (c == '{') {
            int depth = 0;
            for (; i < text.size(); ++i) {
                if (text[i] == '{' && (depth == 0 || nested_)) ++depth;
                if (text[i] == '}' && --depth == 0) break;
            }
            ++i;
        } else {
            ++i;
            while (i < text.size() && !kOpeners[static_cast<unsigned char>(text[i])])
                ++i;
        }
    }
    copyTo(text.size());
}

LineOrigin IncludeExpansion::Origin(int32_t line) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), line,
                               [](int32_t l, const Segment& s) { return l < s.FirstLine; });
    if (it == segments_.begin()) return {0, line};
    --it;
    return {it->File, it->FileLine + line - it->FirstLine};
}

int32_t IncludeExpansion::LastLineIn(int32_t file, int32_t from, int32_t to) const {
    const LineOrigin end = Origin(to);
    if (end.File == file) return end.Line;
    int32_t last = Origin(from).Line;
    for (size_t k = 0; k + 1 < segments_.size() && segments_[k + 1].FirstLine <= to; ++k) {
        const Segment& s = segments_[k];
        if (s.File == file && segments_[k + 1].FirstLine > from)
            last = s.FileLine + segments_[k + 1].FirstLine - 1 - s.FirstLine;
    }
    return last;
}

const std::string* IncludeExpansion::NoteAt(int32_t pos) const {
    for (const auto& [at, note] : notes_)
        if (at == pos) return &note;
    return nullptr;
}

} // namespace quennet::pascal
