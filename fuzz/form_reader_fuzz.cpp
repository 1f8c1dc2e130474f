// Fuzz target: the text and binary form readers. Any bytes read to a model or a note; a form
// read whole comes back as the same model from the text and the binary this project writes,
// and compares equal to itself.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form_compare.h"
#include "forms/form_reader.h"
#include "forms/form_writer.h"
#include "fuzz_support.h"

namespace quennet::fuzz {

inline bool SameForm(const forms::FormObject& a, const forms::FormObject& b) {
    if (a.Name != b.Name || a.Class != b.Class || a.Kind != b.Kind || a.Index != b.Index ||
        a.Properties.size() != b.Properties.size() || a.Children.size() != b.Children.size())
        return false;
    for (size_t i = 0; i < a.Properties.size(); ++i)
        if (a.Properties[i].Name != b.Properties[i].Name ||
            !(a.Properties[i].Value == b.Properties[i].Value))
            return false;
    for (size_t i = 0; i < a.Children.size(); ++i)
        if (!SameForm(a.Children[i], b.Children[i])) return false;
    return true;
}

// Names longer than a short string, floats that are no finite numbers and currency past its
// four decimals are beyond what the binary form holds: such forms leave the round trip out.
inline bool Writable(const forms::FormValue& v);
inline bool Writable(const std::vector<forms::FormProperty>& properties) {
    for (const auto& p : properties)
        if (p.Name.size() > 255 || !Writable(p.Value)) return false;
    return true;
}
inline bool Writable(const forms::FormValue& v) {
    switch (v.Kind) {
    case forms::ValueKind::Float:
        return std::isfinite(v.Float) && std::fabs(v.Float) < 1e11 &&
               (v.FloatType != forms::FloatKind::Currency ||
                std::round(v.Float * 10000) / 10000.0 == v.Float);
    case forms::ValueKind::Identifier: return v.Text.size() < 256;
    case forms::ValueKind::Set:
        for (const auto& e : v.Set())
            if (e.size() > 255 || e.empty()) return false;
        return true;
    case forms::ValueKind::List:
        for (const auto& e : v.List())
            if (!Writable(e)) return false;
        return true;
    case forms::ValueKind::Collection:
        for (const auto& item : v.Items())
            if (!Writable(item.Properties)) return false;
        return true;
    default: return true;
    }
}
inline bool Writable(const forms::FormObject& o) {
    if (o.Name.size() > 255 || o.Class.size() > 255 || !Writable(o.Properties)) return false;
    for (const auto& c : o.Children)
        if (!Writable(c)) return false;
    return true;
}

inline int FormReaderFuzzOne(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    forms::FormFile f;
    try {
        f = forms::ReadForm(bytes, "f");
    } catch (const std::runtime_error&) {
        return 0; // not text: NUL bytes without a mark
    }
    for (const auto& n : f.Notes)
        Require(n.Line >= 1 && n.Column >= 1);
    const forms::FormComparison self = forms::CompareForms(f, f);
    Require(self.Changes == 0 && self.NoiseChanges == 0 && self.Objects.empty());
    if (!f.Notes.empty() || !f.HasRoot || f.Binary || !Writable(f.Root)) return 0;
    const forms::FormFile text = forms::ReadForm(forms::FormToText(f.Root), "t");
    Require(text.Notes.empty() && SameForm(f.Root, text.Root));
    const forms::FormFile binary = forms::ReadForm(forms::FormToBinary(f.Root), "b");
    Require(binary.Notes.empty() && SameForm(f.Root, binary.Root));
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::FormReaderFuzzOne(data, size);
}
#endif
