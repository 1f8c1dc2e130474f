// Building operations of the source model and its name helpers.
#include "model/source_model.h"

#include <algorithm>

namespace quennet::model {

namespace {
inline unsigned char UpperAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}
} // namespace

std::string CollapseBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pendingBlank = false;
    for (unsigned char c : text) {
        if (c >= 1 && c <= 32) {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank) out.push_back(' ');
        pendingBlank = false;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

int CompareNames(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = UpperAscii(static_cast<unsigned char>(a[i]));
        unsigned char y = UpperAscii(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

template <class T> void SortByName(DeclList<T>& list) {
    std::sort(list.begin(), list.end(),
              [](const std::unique_ptr<T>& x, const std::unique_ptr<T>& y) {
                  return CompareNames(*x, *y) < 0;
              });
}

template void SortByName(DeclList<TidType>&);
template void SortByName(DeclList<TidClass>&);
template void SortByName(DeclList<TidProc>&);
template void SortByName(DeclList<TidVar>&);
template void SortByName(DeclList<TidField>&);
template void SortByName(DeclList<TidProp>&);

TPasSrc::TPasSrc()
    : TidName("", 0, 0, 0), Initialization(std::make_unique<TidName>("", 0, -1, -1)),
      Finalization(std::make_unique<TidName>("", 0, -1, -1)) {}

void TPasSrc::SortLists() {
    SortByName(Types);
    SortByName(Classes);
    SortByName(Procs);
    SortByName(Consts);
    SortByName(Vars);
    for (auto& c : Classes) {
        SortByName(c->Fields);
        SortByName(c->Props);
        SortByName(c->Methods);
    }
}

void TPasSrc::AddType(std::string_view name, std::string_view text, uint32_t checksum,
                      int32_t firstLine, int32_t lastLine) {
    auto t = std::make_unique<TidType>(std::string(name), checksum, firstLine, lastLine);
    t->Text = CollapseBlanks(text);
    AddOrMerge(Types, typeIndex_, std::move(t));
}

TidClass* TPasSrc::AddClass(std::string_view kind, std::string_view name, int32_t firstLine,
                            std::string_view ancestors) {
    TidClass* entry = classIndex_.Find(name);
    if (!entry)
        entry = AddOrMerge(Classes, classIndex_,
                           std::make_unique<TidClass>(std::string(name), 0, firstLine, 0));
    entry->FirstLine = firstLine;
    entry->Kind = std::string(kind);
    entry->Ancestors = std::string(ancestors);
    return entry;
}

void TPasSrc::AddFields(TidClass* cls, const std::vector<std::string>& names,
                        std::string_view typeText, uint32_t checksum, int32_t firstLine,
                        int32_t lastLine, std::string_view /*visibility*/) {
    if (!cls) return;
    std::string collapsed = CollapseBlanks(typeText);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        auto f = std::make_unique<TidField>(*it, checksum, firstLine, lastLine);
        f->TypeText = collapsed;
        AddOrMerge(cls->Fields, cls->FieldIndex, std::move(f));
    }
}

void TPasSrc::AddMethod(TidClass* cls, std::string_view /*visibility*/, std::string_view name,
                        std::string_view text, int32_t firstLine, int32_t lastLine,
                        uint32_t checksum) {
    if (!cls) return;
    auto m = std::make_unique<TidProc>(std::string(name), checksum, firstLine, lastLine);
    m->Text = CollapseBlanks(text);
    AddOrMerge(cls->Methods, cls->MethodIndex, std::move(m));
}

void TPasSrc::AddProperty(TidClass* cls, std::string_view /*visibility*/, std::string_view name,
                          std::string_view text, int32_t firstLine, int32_t lastLine,
                          uint32_t checksum) {
    if (!cls) return;
    auto p = std::make_unique<TidProp>(std::string(name), checksum, firstLine, lastLine);
    p->Text = CollapseBlanks(text);
    AddOrMerge(cls->Props, cls->PropIndex, std::move(p));
}

void TPasSrc::AddProc(std::string_view name, std::string_view text, uint32_t checksum,
                      int32_t firstLine, int32_t lastLine) {
    auto p = std::make_unique<TidProc>(std::string(name), checksum, firstLine, lastLine);
    p->Text = CollapseBlanks(text);
    AddOrMerge(Procs, procIndex_, std::move(p));
}

void TPasSrc::AddProcImpl(std::string_view name, bool qualified, std::string_view text,
                          uint32_t headingChecksum, uint32_t bodyChecksum, int32_t firstLine,
                          int32_t headingLastLine, int32_t bodyLastLine, bool classAtLastDot) {
    DeclList<TidProc>* list = &Procs;
    NameIndex<TidProc>* index = &procIndex_;
    std::string_view routineName = name;
    if (qualified) {
        // Nested classes carry dotted names (TOuter.TInner.DoIt) in the modern readings.
        size_t dot = classAtLastDot ? name.rfind('.') : name.find('.');
        TidClass* cls = classIndex_.Find(name.substr(0, dot));
        if (!cls) return;
        list = &cls->Methods;
        index = &cls->MethodIndex;
        routineName = name.substr(dot + 1);
    }
    TidProc* proc = index->Find(routineName);
    if (!proc) {
        auto p = std::make_unique<TidProc>(std::string(routineName), headingChecksum, firstLine,
                                           headingLastLine);
        p->Text = CollapseBlanks(text);
        proc = AddOrMerge(*list, *index, std::move(p));
    }
    proc->Implementation =
        std::make_unique<TidName>("implementation", bodyChecksum, firstLine, bodyLastLine);
}

void TPasSrc::AddConst(std::string_view name, std::string_view typeText, uint32_t typeChecksum,
                       uint32_t valueChecksum, int32_t firstLine, int32_t lastLine) {
    auto c = std::make_unique<TidVar>(std::string(name), typeChecksum, firstLine, lastLine);
    c->TypeText = CollapseBlanks(typeText);
    c->ValueChecksum = valueChecksum;
    AddOrMerge(Consts, constIndex_, std::move(c));
}

void TPasSrc::AddVars(const std::vector<std::string>& names, std::string_view typeText,
                      uint32_t typeChecksum, uint32_t valueChecksum, int32_t firstLine,
                      int32_t lastLine) {
    std::string collapsed = CollapseBlanks(typeText);
    for (const auto& n : names) {
        auto v = std::make_unique<TidVar>(n, typeChecksum, firstLine, lastLine);
        v->TypeText = collapsed;
        v->ValueChecksum = valueChecksum;
        AddOrMerge(Vars, varIndex_, std::move(v));
    }
}

} // namespace quennet::model
