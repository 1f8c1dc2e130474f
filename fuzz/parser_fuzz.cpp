// Fuzz target: the scanner, the parser and the model on any bytes. The first byte picks the
// dialect and whether the text keeps its own line ends (LF, lone CR, mixed) or has its lines
// joined with CR LF as files are loaded; the rest is the text. The parse must end, the model
// must be sorted with unique names and sane lines, and swapping the letter case of the whole
// text must change no checksum and no line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "io/source_file.h"
#include "model/source_model.h"
#include "pascal/parse.h"

namespace quennet::fuzz {

template <class T> void CheckList(const model::DeclList<T>& list, int32_t maxLine) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (i > 0) Require(model::CompareNames(*list[i - 1], *list[i]) < 0);
        Require(list[i]->FirstLine >= -1 && list[i]->FirstLine <= maxLine);
        Require(list[i]->LastLine >= -1 && list[i]->LastLine <= maxLine);
    }
}

inline void Collect(const model::TidName& d, std::vector<int64_t>& out) {
    out.insert(out.end(), {d.Checksum, d.FirstLine, d.LastLine});
}

inline std::vector<int64_t> Shape(const model::TPasSrc& m) {
    std::vector<int64_t> s;
    Collect(m, s);
    Collect(*m.Initialization, s);
    Collect(*m.Finalization, s);
    for (const auto& t : m.Types)
        Collect(*t, s);
    for (const auto& c : m.Classes) {
        Collect(*c, s);
        for (const auto& f : c->Fields)
            Collect(*f, s);
        for (const auto& p : c->Props)
            Collect(*p, s);
        for (const auto& p : c->Methods) {
            Collect(*p, s);
            if (p->Implementation) Collect(*p->Implementation, s);
        }
    }
    for (const auto& p : m.Procs) {
        Collect(*p, s);
        if (p->Implementation) Collect(*p->Implementation, s);
    }
    for (const auto& v : m.Consts) {
        Collect(*v, s);
        s.push_back(v->ValueChecksum);
    }
    for (const auto& v : m.Vars) {
        Collect(*v, s);
        s.push_back(v->ValueChecksum);
    }
    s.insert(s.end(), {m.Status.Complete, m.Status.StopLine, m.Status.ErrorCount,
                       static_cast<int64_t>(m.Status.RestHash)});
    return s;
}

inline int ParserFuzzOne(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const model::Dialect kDialects[] = {model::Dialect::Classic, model::Dialect::Delphi,
                                               model::Dialect::Fpc, model::Dialect::Auto};
    const model::ParseOptions options{kDialects[data[0] % 4], "fuzz.pas", {}};
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::vector<std::string> symbols = {"VER130", "WIN32", "CPU386"};
    const std::vector<std::string> lines = io::SplitLines(bytes);
    const std::string text = (data[0] & 4) != 0 ? bytes : io::JoinLinesCrLf(lines);
    const int32_t maxLine = static_cast<int32_t>(lines.size()) + 1;

    auto m = std::make_unique<model::TPasSrc>();
    pascal::Parse(*m, text, &symbols, options);
    CheckList(m->Types, maxLine);
    CheckList(m->Classes, maxLine);
    CheckList(m->Procs, maxLine);
    CheckList(m->Consts, maxLine);
    CheckList(m->Vars, maxLine);
    for (const auto& c : m->Classes) {
        CheckList(c->Fields, maxLine);
        CheckList(c->Props, maxLine);
        CheckList(c->Methods, maxLine);
    }

    std::string swapped = text;
    for (char& c : swapped) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    auto s = std::make_unique<model::TPasSrc>();
    pascal::Parse(*s, swapped, &symbols, options);
    Require(Shape(*m) == Shape(*s));
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::ParserFuzzOne(data, size);
}
#endif
