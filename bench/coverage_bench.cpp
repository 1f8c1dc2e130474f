// How much of real code the parser follows: per folder, the files, the share followed fully (no
// syntax error and the final "." reached, the rule behind the stop notes) and the routines found.
//
//   coverage_bench [--dialect NAME] [--target NAME] [--stops N] FOLDER...
//   coverage_bench --check FOLDER...
//
// The symbols are the target's (by default the dialect's own target, as quennet-diff reads).
// --stops lists the first N files that are not followed, with the line of the first error and
// its text, so the constructs that still stop files can be counted.
// --check tests that files the classic reading follows fully, and that hold no
// conditional-expression or include directive, give the identical model in the delphi reading;
// it prints each file that does not and exits 1 if there is one.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "model/dialect.h"
#include "model/source_model.h"

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

// Directives that the modern readings evaluate differently from the classic one.
bool HasExpressionOrInclude(const std::string& text) {
    auto upper = [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); };
    for (size_t at = text.find("{$"); at != std::string::npos; at = text.find("{$", at + 2)) {
        std::string word;
        for (size_t i = at + 2;
             i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])); ++i)
            word += upper(text[i]);
        if (word == "IF" || word == "ELSEIF" || word == "IFEND" || word == "IFC" ||
            word == "ELSEC" || word == "I" || word == "INCLUDE")
            return true;
    }
    return false;
}

struct Tally {
    size_t files = 0, followed = 0, routines = 0, bodies = 0;
};

void Count(const model::TPasSrc& m, Tally& t) {
    auto one = [&](const model::TidProc& p) {
        ++t.routines;
        if (p.Implementation) ++t.bodies;
    };
    for (const auto& p : m.Procs)
        one(*p);
    for (const auto& c : m.Classes)
        for (const auto& p : c->Methods)
            one(*p);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> roots;
    model::Dialect dialect = model::Dialect::Auto;
    bool check = false;
    int stops = 0;
    std::string target;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--dialect" && i + 1 < argc) {
            auto d = model::DialectFromName(argv[++i]);
            if (!d) {
                std::fprintf(stderr, "unknown dialect %s\n", argv[i]);
                return 2;
            }
            dialect = *d;
        } else if (a == "--target" && i + 1 < argc) {
            target = argv[++i];
        } else if (a == "--stops" && i + 1 < argc) {
            stops = std::atoi(argv[++i]);
        } else if (a == "--check") {
            check = true;
        } else {
            roots.push_back(a);
        }
    }
    if (roots.empty()) {
        std::fprintf(stderr,
                     "usage: coverage_bench [--dialect NAME] [--target NAME] [--stops N] [--check] "
                     "FOLDER...\n");
        return 2;
    }
    const std::vector<std::string> symbols = {"VER130", "WIN32", "CPU386"};
    int status = 0;
    for (const auto& root : roots) {
        Tally tally;
        size_t compared = 0, differing = 0;
        for (const auto& file : FindFiles(root)) {
            std::string text;
            try {
                text = io::JoinLinesCrLf(io::LoadSourceLines(file));
            } catch (const std::exception&) {
                continue;
            }
            ++tally.files;
            if (check) {
                model::TPasSrc classic;
                classic.Parse(text, &symbols, {model::Dialect::Classic, file, {}});
                if (!classic.Status.Complete || HasExpressionOrInclude(text)) continue;
                model::TPasSrc modern;
                modern.Parse(text, &symbols, {model::Dialect::Delphi, file, {}});
                ++compared;
                const std::string a = Dump(classic), b = Dump(modern);
                if (a != b) {
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
            model::TPasSrc m;
            const model::Dialect d = model::ResolveDialect(dialect, file, text);
            const std::vector<std::string> none;
            model::ParseOptions reading(d, file);
            reading.target = target;
            reading.targetSymbols = true;
            m.Parse(text, &none, reading);
            Count(m, tally);
            if (m.Status.Complete) {
                ++tally.followed;
            } else if (stops > 0) {
                --stops;
                const int line =
                    m.Status.FirstErrorLine > 0 ? m.Status.FirstErrorLine : m.Status.StopLine;
                const auto lines = io::SplitLines(text);
                const std::string at =
                    line > 0 && static_cast<size_t>(line) <= lines.size() ? lines[line - 1] : "";
                std::printf("stop: %s:%d: %s\n", file.c_str(), line, at.c_str());
            }
        }
        if (check) {
            std::printf(
                "%s: %zu files, %zu followed by classic without such directives, %zu differ\n",
                root.c_str(), tally.files, compared, differing);
            if (differing) status = 1;
        } else {
            std::printf("%s: %zu files, followed fully %zu (%.1f%%), routines %zu, bodies %zu\n",
                        root.c_str(), tally.files, tally.followed,
                        tally.files ? 100.0 * static_cast<double>(tally.followed) /
                                          static_cast<double>(tally.files)
                                    : 0.0,
                        tally.routines, tally.bodies);
        }
    }
    return status;
}
