// How much of real code the parser follows, by the verdict the command line gives a user: each
// file read and parsed as quennet-diff reads it with no options (the dialect by the file, its
// target's symbols). Per folder: the files followed fully (no stop and no note), those read to the
// end with notes (an include file not found, an {$IF} name without a value), those stopped, those
// not readable as text; and the routine headings found in the model against a plain count of
// them in the text.
//
//   coverage_bench [--dialect NAME] [--target NAME] [--stops N] [--headings N] FOLDER...
//   coverage_bench --check FOLDER...
//
// --stops lists the first N files not followed fully, with the line of the stop or the first
// note. --headings lists the N files read to the end whose heading counts differ most.
// --check tests that files the classic reading follows fully, and that hold no
// conditional-expression or include directive, give the identical model in the delphi reading
// unless they overload a name (the delphi reading keeps overloads apart), or the same model
// with more lines for a program or library (the delphi reading records their declarations); it
// prints each file that does not and exits 1 if there is one.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "diff/compare_sources.h"
#include "diff/comparison_outcome.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "model/dialect.h"
#include "model/source_model.h"
#include "pascal/parse.h"
#include "pascal/scanner.h"

namespace fs = std::filesystem;
using namespace quennet;

namespace {

bool IsSource(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return ext == ".pas" || ext == ".pp" || ext == ".dpr" || ext == ".lpr" || ext == ".dpk";
}

std::vector<std::string> FindFiles(const std::string& root) {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && IsSource(it->path())) files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// The whole model as text, so that two readings can be compared line by line.
// Entries of overloaded names show their parameter lists: "Name(...)".
bool HasOverloads(const model::TPasSrc& m) {
    auto any = [](const model::DeclList<model::TidProc>& list) {
        return std::any_of(list.begin(), list.end(),
                           [](const auto& p) { return p->Name.back() == ')'; });
    };
    return any(m.Procs) || std::any_of(m.Classes.begin(), m.Classes.end(),
                                       [&](const auto& c) { return any(c->Methods); });
}

std::string Dump(const model::TPasSrc& m) {
    std::ostringstream o;
    auto lines = [&](const model::TidName& d) {
        o << ' ' << d.Name << ' ' << d.Checksum << ' ' << d.FirstLine << '-' << d.LastLine;
    };
    auto proc = [&](const model::TidProc& p) {
        lines(p);
        o << " \"" << p.Text << '"';
        if (p.Implementation) lines(*p.Implementation);
        o << '\n';
    };
    o << "module " << m.Name << ' ' << m.Checksum << '\n';
    for (const auto& t : m.Types) {
        o << "type";
        lines(*t);
        o << " \"" << t->Text << "\"\n";
    }
    for (const auto& c : m.Classes) {
        o << "class " << c->Kind << " (" << c->Ancestors << ")";
        lines(*c);
        o << '\n';
        for (const auto& f : c->Fields) {
            o << "  field";
            lines(*f);
            o << " \"" << f->TypeText << "\"\n";
        }
        for (const auto& p : c->Methods) {
            o << "  method";
            proc(*p);
        }
        for (const auto& p : c->Props) {
            o << "  prop";
            lines(*p);
            o << " \"" << p->Text << "\"\n";
        }
    }
    for (const auto& p : m.Procs) {
        o << "proc";
        proc(*p);
    }
    for (const auto* list : {&m.Consts, &m.Vars})
        for (const auto& v : *list) {
            o << (list == &m.Consts ? "const" : "var");
            lines(*v);
            o << ' ' << v->ValueChecksum << " \"" << v->TypeText << "\"\n";
        }
    o << "init";
    lines(*m.Initialization);
    o << "\nfinal";
    lines(*m.Finalization);
    o << '\n';
    return o.str();
}

// A program (its heading is optional) or library: not a unit or package. Only the modern
// readings record its own declarations.
bool IsProgramOrLibrary(const std::string& text) {
    pascal::TOp4Scanner scanner;
    scanner.InitSource(text.data(), static_cast<int32_t>(text.size()));
    const int32_t first = scanner.Get();
    return first != pascal::tUnit && first != pascal::tPackage;
}

// Every line of `less` in `more`, in the same order.
bool LinesWithin(const std::string& less, const std::string& more) {
    std::istringstream a(less), b(more);
    std::string la, lb;
    while (std::getline(a, la)) {
        do {
            if (!std::getline(b, lb)) return false;
        } while (lb != la);
    }
    return true;
}

// Directives that the modern readings evaluate differently from the classic one.
bool HasExpressionOrInclude(const std::string& text) {
    auto upper = [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); };
    for (size_t at = text.find("{$"); at != std::string::npos; at = text.find("{$", at + 2)) {
        std::string word;
        for (size_t i = at + 2;
             i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])); ++i)
            word += upper(text[i]);
        if (word == "IF" || word == "ELSEIF" || word == "IFEND" || word == "IFC" ||
            word == "ELSEC" || word == "ELIFC" || word == "I" || word == "INCLUDE")
            return true;
    }
    return false;
}

struct Tally {
    size_t files = 0, followed = 0, noted = 0, stopped = 0, unreadable = 0;
    size_t routines = 0, bodies = 0, headings = 0, textHeadings = 0;
};

// Routine headings in the model: a declaration and a body apart count two, a body alone one.
size_t CountRoutines(const model::TPasSrc& m, Tally& t) {
    size_t headings = 0;
    auto one = [&](const model::TidProc& p) {
        ++t.routines;
        if (p.Implementation) ++t.bodies;
        const bool apart = !p.Implementation || p.Implementation->FirstLine != p.FirstLine ||
                           p.Implementation->File != p.File;
        headings += (apart ? 1 : 0) + (p.Implementation ? 1 : 0);
    };
    for (const auto& p : m.Procs)
        one(*p);
    for (const auto& c : m.Classes)
        for (const auto& p : c->Methods)
            one(*p);
    return headings;
}

// Routine headings by a plain scan of the text, outside comments and strings: a routine word
// followed by a name (procedural types and anonymous methods have none), and "class
// operator". Both branches of a conditional count, and so do nested routines, which the model
// leaves in their body; include files are not read.
size_t CountTextHeadings(const std::string& text) {
    auto upper = [](std::string w) {
        for (char& c : w)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return w;
    };
    std::vector<std::string> words; // identifiers, and "" for any other token
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '{') {
            const size_t e = text.find('}', i);
            i = e == std::string::npos ? text.size() : e + 1;
        } else if (c == '(' && i + 1 < text.size() && text[i + 1] == '*') {
            const size_t e = text.find("*)", i + 2);
            i = e == std::string::npos ? text.size() : e + 2;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            const size_t e = text.find('\n', i);
            i = e == std::string::npos ? text.size() : e;
        } else if (c == '\'') {
            const size_t e = text.find_first_of("'\n", i + 1);
            i = e == std::string::npos ? text.size() : e + 1;
            words.emplace_back();
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t e = i;
            while (e < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[e])) || text[e] == '_'))
                ++e;
            words.push_back(upper(text.substr(i, e - i)));
            i = e;
        } else {
            if (static_cast<unsigned char>(c) > ' ') words.emplace_back();
            ++i;
        }
    }
    size_t n = 0;
    for (size_t k = 0; k + 1 < words.size(); ++k) {
        const std::string& w = words[k];
        const std::string& next = words[k + 1];
        if ((w == "PROCEDURE" || w == "FUNCTION" || w == "CONSTRUCTOR" || w == "DESTRUCTOR") &&
            !next.empty() && next != "OF" && next != "BEGIN" && next != "VAR" && next != "CONST")
            ++n;
        else if (w == "OPERATOR" && k > 0 && words[k - 1] == "CLASS")
            ++n;
    }
    return n;
}

double Share(size_t part, size_t whole) {
    return whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> roots;
    std::optional<model::Dialect> dialect;
    bool check = false;
    int stops = 0, headingList = 0;
    std::string target;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--dialect" && i + 1 < argc) {
            dialect = model::DialectFromName(argv[++i]);
            if (!dialect) {
                std::fprintf(stderr, "unknown dialect %s\n", argv[i]);
                return 2;
            }
        } else if (a == "--target" && i + 1 < argc) {
            target = argv[++i];
        } else if (a == "--stops" && i + 1 < argc) {
            stops = std::atoi(argv[++i]);
        } else if (a == "--headings" && i + 1 < argc) {
            headingList = std::atoi(argv[++i]);
        } else if (a == "--check") {
            check = true;
        } else {
            roots.push_back(a);
        }
    }
    if (roots.empty()) {
        std::fprintf(stderr, "usage: coverage_bench [--dialect NAME] [--target NAME] [--stops N] "
                             "[--headings N] [--check] FOLDER...\n");
        return 2;
    }
    const std::vector<std::string> symbols = {"VER130", "WIN32", "CPU386"};
    const std::vector<std::string> none;
    model::ParseOptions reading = model::DefaultReading();
    if (dialect) reading.dialect = *dialect;
    reading.target = target;
    int status = 0;
    for (const auto& root : roots) {
        Tally tally;
        size_t compared = 0, differing = 0, overloading = 0, programsWithMore = 0;
        // Files by how far the model's heading count falls from the text's.
        std::vector<std::pair<long, std::string>> headingGaps;
        for (const auto& file : FindFiles(root)) {
            ++tally.files;
            std::string text;
            try {
                text = io::TakeAsCrLfText(io::ReadSourceFile(file).Text);
            } catch (const std::exception& e) {
                // quennet-diff refuses it: not followed.
                ++tally.unreadable;
                if (!check && stops > 0) {
                    --stops;
                    std::printf("unreadable: %s\n", e.what());
                }
                continue;
            }
            if (check) {
                model::TPasSrc classic;
                pascal::Parse(classic, text, &symbols, {model::Dialect::Classic, file, {}});
                if (!classic.Status.Complete || HasExpressionOrInclude(text)) continue;
                model::TPasSrc modern;
                pascal::Parse(modern, text, &symbols, {model::Dialect::Delphi, file, {}});
                if (HasOverloads(modern)) {
                    ++overloading;
                    continue;
                }
                ++compared;
                const std::string a = Dump(classic), b = Dump(modern);
                if (a != b && IsProgramOrLibrary(text) && LinesWithin(a, b)) {
                    ++programsWithMore;
                } else if (a != b) {
                    ++differing;
                    // The first line that differs, from both readings.
                    std::istringstream ia(a), ib(b);
                    std::string la, lb;
                    while (std::getline(ia, la) && std::getline(ib, lb) && la == lb) {
                    }
                    std::printf("differs: %s\n  classic: %s\n  delphi:  %s\n", file.c_str(),
                                la.c_str(), lb.c_str());
                }
                continue;
            }
            const auto m = diff::ParseSource({text, file}, none, reading);
            const size_t found = CountRoutines(*m, tally);
            const size_t scanned = CountTextHeadings(text);
            tally.headings += found;
            tally.textHeadings += scanned;
            // A stopped file misses routines for a known reason; a followed one should not.
            if (headingList > 0 && found != scanned && m->Status.Complete)
                headingGaps.emplace_back(static_cast<long>(scanned) - static_cast<long>(found),
                                         file);
            const diff::ReadVerdict verdict = diff::ReadVerdictOf(m->Status);
            if (verdict == diff::ReadVerdict::Followed) {
                ++tally.followed;
                continue;
            }
            ++(verdict == diff::ReadVerdict::Stopped ? tally.stopped : tally.noted);
            if (stops > 0) {
                --stops;
                if (verdict == diff::ReadVerdict::WithNotes) {
                    std::printf("note: %s: %s\n", file.c_str(), m->Status.Notes.front().c_str());
                    continue;
                }
                const int line = diff::ParseStopLine(m->Status);
                const auto lines = io::SplitLines(text);
                const std::string at =
                    line > 0 && static_cast<size_t>(line) <= lines.size() ? lines[line - 1] : "";
                std::printf("stop: %s:%d: %s\n", file.c_str(), line, at.c_str());
            }
        }
        if (check) {
            std::printf("%s: %zu files, %zu followed by classic without such directives or "
                        "overloads, %zu differ (and %zu programs or libraries whose delphi "
                        "model adds their declarations); %zu with overloads left out\n",
                        root.c_str(), tally.files, compared, differing, programsWithMore,
                        overloading);
            if (differing) status = 1;
            continue;
        }
        std::sort(headingGaps.begin(), headingGaps.end(), [](const auto& a, const auto& b) {
            return std::abs(a.first) > std::abs(b.first);
        });
        for (size_t k = 0; k < headingGaps.size() && k < static_cast<size_t>(headingList); ++k)
            std::printf("headings: %+ld in the text beyond the model: %s\n", headingGaps[k].first,
                        headingGaps[k].second.c_str());
        const size_t toTheEnd = tally.followed + tally.noted;
        std::printf("%s: %zu files, followed fully %zu (%.1f%%), to the end with notes %zu "
                    "(structure followed %.1f%%), stopped %zu, unreadable %zu; routines %zu, "
                    "bodies %zu; routine headings in the models %zu, in the text %zu\n",
                    root.c_str(), tally.files, tally.followed, Share(tally.followed, tally.files),
                    tally.noted, Share(toTheEnd, tally.files), tally.stopped, tally.unreadable,
                    tally.routines, tally.bodies, tally.headings, tally.textHeadings);
    }
    return status;
}
