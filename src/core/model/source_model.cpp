// Building operations of the source model and its name helpers.
#include "model/source_model.h"

#include "base/ascii.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>
#include <span>
#include <unordered_set>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quennet::model {

namespace {
// Parts a conversion operator's result from its parameters in a signature.
constexpr char kResultMark = '\x1f';

// Bytes of other alphabets (UTF-8, code pages) join words too.
bool IsWordByte(unsigned char c) {
    return base::IsIdentChar(static_cast<char>(c)) || c >= 0x80;
}

// Blanks count only where they part two words: "array of string", "TList<Integer>".
std::string TightBlanks(std::string_view text) {
    const std::string collapsed = CollapseBlanks(text);
    std::string out;
    for (size_t i = 0; i < collapsed.size(); ++i) {
        const char c = collapsed[i];
        if (c == ' ' && !(IsWordByte(static_cast<unsigned char>(out.back())) &&
                          IsWordByte(static_cast<unsigned char>(collapsed[i + 1]))))
            continue;
        out.push_back(c);
    }
    return out;
}

// Where the comment that starts at i ends (its last byte), or npos when none starts there.
size_t CommentEnd(std::string_view h, size_t i) {
    const bool two = i + 1 < h.size();
    size_t end;
    if (h[i] == '{')
        end = h.find('}', i);
    else if (h[i] == '(' && two && h[i + 1] == '*')
        end = h.find("*)", i + 2) == std::string_view::npos ? h.size() : h.find("*)", i + 2) + 1;
    else if (h[i] == '/' && two && h[i + 1] == '/')
        end = h.find('\n', i);
    else
        return std::string_view::npos;
    return end == std::string_view::npos ? h.size() - 1 : end;
}

// The text inside a heading's first parameter list, comments blanked out; nothing when the
// heading has none. Attribute brackets before the list are passed over.
std::optional<std::string> ParameterText(std::string_view h) {
    std::string out;
    int depth = 0;
    bool inList = false;
    for (size_t i = 0; i < h.size(); ++i) {
        const char c = h[i];
        if (const size_t end = CommentEnd(h, i); end != std::string_view::npos) {
            if (inList) out.push_back(' ');
            i = end;
            continue;
        }
        if (c == '\'') {
            size_t close = h.find('\'', i + 1);
            if (close == std::string_view::npos) close = h.size() - 1;
            if (inList) out.append(h.substr(i, close - i + 1));
            i = close;
            continue;
        }
        if (!inList) {
            if (c == '[') ++depth;
            if (c == ']') --depth;
            if (depth > 0) continue;
            // The name of "operator :=" is no result type.
            if (c == ':' && i + 1 < h.size() && h[i + 1] == '=') {
                ++i;
                continue;
            }
            if (c == ';' || c == ':') return std::nullopt;
            if (c == '(') inList = true;
            continue;
        }
        if (c == '(' || c == '[') ++depth;
        if (c == ')' || c == ']') {
            if (depth == 0) return out;
            --depth;
        }
        out.push_back(c);
    }
    return inList ? std::optional(out) : std::nullopt;
}

// Calls part(piece, last) for each piece between the separators sep where no bracket is open,
// until it returns false. Returns the number of pieces given.
template <class F> size_t ForEachTop(std::string_view text, char sep, F&& part) {
    int depth = 0;
    size_t start = 0, count = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'') inString = !inString;
        if (inString) continue;
        if (c == '(' || c == '[' || c == '<') ++depth;
        if (c == ')' || c == ']' || c == '>') --depth;
        if (c == sep && depth <= 0) {
            ++count;
            if (!part(text.substr(start, i - start), false)) return count;
            start = i + 1;
        }
    }
    part(text.substr(start), true);
    return count + 1;
}

// The piece before the first separator sep where no bracket is open; whether more follow.
std::string_view FirstTop(std::string_view text, char sep, bool* more = nullptr) {
    std::string_view first;
    ForEachTop(text, sep, [&](std::string_view piece, bool last) {
        first = piece;
        if (more) *more = !last;
        return false;
    });
    return first;
}

} // namespace

// The result type of a conversion operator (":=", Implicit, Explicit), which tells its
// overloads apart where the parameters do not; empty for any other heading.
static std::string ConversionResult(std::string_view h) {
    size_t i = 0;
    auto word = [&h, &i] {
        while (i < h.size() && static_cast<unsigned char>(h[i]) <= ' ')
            ++i;
        const size_t from = i;
        while (i < h.size() && base::IsIdentChar(h[i]))
            ++i;
        return h.substr(from, i - from);
    };
    std::string_view w = word();
    if (CompareNames(w, "class") == 0) w = word();
    if (CompareNames(w, "operator") != 0) return {};
    w = word();
    if (w.empty()) {
        if (h.substr(i, 2) != ":=") return {};
    } else if (CompareNames(w, "implicit") != 0 && CompareNames(w, "explicit") != 0) {
        return {};
    }
    const size_t open = h.find('(', i);
    if (open == std::string_view::npos) return {};
    int depth = 0;
    size_t close = open;
    for (; close < h.size(); ++close) {
        if (h[close] == '(') ++depth;
        if (h[close] == ')' && --depth == 0) break;
    }
    const size_t colon = h.find(':', close);
    if (colon == std::string_view::npos) return {};
    const size_t end = h.find(';', colon);
    return TightBlanks(h.substr(colon + 1, end == std::string_view::npos ? end : end - colon - 1));
}

std::optional<std::string> ParameterSignature(std::string_view heading) {
    const std::optional<std::string> list = ParameterText(heading);
    if (!list) return std::nullopt;
    std::string out;
    ForEachTop(*list, ';', [&out](std::string_view group, bool) {
        bool typed = false;
        const std::string_view nameText = FirstTop(group, ':', &typed);
        std::string names = CollapseBlanks(nameText);
        if (!names.empty() && names[0] == '[')
            names = CollapseBlanks(names.substr(names.find(']') + 1));
        if (names.empty()) return true;
        std::string_view modifier;
        if (const size_t blank = names.find(' '); blank != std::string::npos) {
            static const char* const kModifiers[] = {"const", "var", "out", "constref"};
            const std::string_view word = std::string_view(names).substr(0, blank);
            for (const char* m : kModifiers)
                if (CompareNames(word, m) == 0) modifier = m;
            if (!modifier.empty()) names.erase(0, blank + 1);
        }
        std::string entry(modifier);
        if (typed) {
            const std::string type = TightBlanks(FirstTop(group.substr(nameText.size() + 1), '='));
            if (!entry.empty() && !type.empty()) entry += ' ';
            entry += type;
        }
        const size_t count = ForEachTop(names, ',', [](std::string_view, bool) { return true; });
        for (size_t n = 0; n < count; ++n) {
            if (!out.empty()) out += ", ";
            out += entry;
        }
        return true;
    });
    if (const std::string result = ConversionResult(heading); !result.empty())
        out.append(1, kResultMark).append(result);
    return out;
}

namespace {
// Collapses text into out and returns the length; with Write false it only measures. Through a
// pointer, not push_back per byte, which costs more than the parse of the text. Roomy: out has
// room for text.size() bytes, so a run is stored sixteen bytes whatever its length.
template <bool Write, bool Roomy> size_t Collapse(char* out, std::string_view text) {
    size_t length = 0;
    bool pendingBlank = false;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
#if defined(__SSE2__)
        // Runs without blanks go sixteen bytes at a time.
        if (end - p >= 16) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            // 1 to 32 shifted to start at -128: one signed comparison finds the blanks.
            const auto blanks = static_cast<uint32_t>(_mm_movemask_epi8(
                _mm_cmplt_epi8(_mm_add_epi8(b, _mm_set1_epi8(0x7F)), _mm_set1_epi8(-128 + 32))));
            const int n = blanks != 0 ? std::countr_zero(blanks) : 16;
            if (n > 0) {
                if (pendingBlank && Write) out[length] = ' ';
                length += pendingBlank ? 1 : 0;
                pendingBlank = false;
                if (Write && Roomy)
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + length), b);
                else if (Write)
                    std::memcpy(out + length, p, static_cast<size_t>(n));
                length += static_cast<size_t>(n);
                p += n;
                continue;
            }
        }
#endif
        const auto c = static_cast<unsigned char>(*p++);
        if (c >= 1 && c <= 32) {
            pendingBlank = length != 0;
            continue;
        }
        if (pendingBlank && Write) out[length] = ' ';
        length += pendingBlank ? 1 : 0;
        pendingBlank = false;
        if (Write) out[length] = static_cast<char>(c);
        ++length;
    }
    return length;
}

size_t CollapsedSize(std::string_view text) {
    return Collapse<false, false>(nullptr, text);
}

// Writes text collapsed to out, which has room for its collapsed length, or for its whole length
// when roomy; returns the length.
size_t CollapseInto(char* out, std::string_view text, bool roomy) {
    return roomy ? Collapse<true, true>(out, text) : Collapse<true, false>(out, text);
}

// The first chunk suits a small unit; later ones grow to this.
constexpr size_t kFirstChunk = 2048;
constexpr size_t kLargestChunk = 65536;
} // namespace

std::string CollapseBlanks(std::string_view text) {
    // Into a buffer kept for the next call, then copied, so that the string holds no slack; long
    // texts are measured first instead.
    constexpr size_t kBuffered = 16384;
    thread_local std::string buffer(kBuffered, '\0');
    if (text.size() <= kBuffered)
        return std::string(buffer.data(), CollapseInto(buffer.data(), text, true));
    std::string out(CollapsedSize(text), '\0');
    CollapseInto(out.data(), text, false);
    return out;
}

char* TextStore::Reserve(size_t size) {
    if (size <= left_) return free_;
    const size_t next = last_ == 0 ? kFirstChunk : std::min(kLargestChunk, 2 * last_);
    // A text larger than a chunk's share gets a block of its own and the open chunk stays open.
    if (size > next / 4) {
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        own_ = chunks_.back().get();
        return own_;
    }
    last_ = next;
    chunks_.push_back(std::make_unique_for_overwrite<char[]>(next));
    free_ = chunks_.back().get();
    left_ = next;
    return free_;
}

DeclText TextStore::Commit(size_t used) {
    if (own_) {
        const DeclText kept(std::string_view(own_, used));
        own_ = nullptr;
        return kept;
    }
    const DeclText kept(std::string_view(free_, used));
    free_ += used;
    left_ -= used;
    return kept;
}

DeclText TextStore::Keep(std::string_view text) {
    if (text.empty()) return {};
    char* room = Reserve(text.size());
    std::memcpy(room, text.data(), text.size());
    return Commit(text.size());
}

DeclText TPasSrc::KeepCollapsed(std::string_view text) {
    // A long text is measured first, so that it takes no more room than it needs.
    const size_t room = text.size() > 256 ? CollapsedSize(text) : text.size();
    if (room == 0) return {};
    return texts_.Commit(CollapseInto(texts_.Reserve(room), text, room == text.size()));
}

int CompareNames(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    // Equal names are the common case (matching two models): identical bytes 8 at a time.
    while (i + 8 <= n && std::memcmp(a.data() + i, b.data() + i, 8) == 0)
        i += 8;
    for (; i < n; ++i) {
        const auto x = static_cast<unsigned char>(base::AsciiUpper(a[i]));
        const auto y = static_cast<unsigned char>(base::AsciiUpper(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

FileName::FileName(std::string_view path) {
    if (path.empty()) return;
    static std::mutex lock;
    static std::unordered_set<std::string> paths;
    const std::lock_guard<std::mutex> hold(lock);
    path_ = &*paths.emplace(path).first;
}

std::string IncludeTag(const TidName* oldDecl, const TidName* newDecl) {
    const auto nameOf = [](const TidName* d) {
        if (!d || d->File.empty()) return std::string_view();
        const std::string_view path = d->File;
        const size_t slash = path.find_last_of("/\\");
        return slash == std::string_view::npos ? path : path.substr(slash + 1);
    };
    const std::string_view o = nameOf(oldDecl);
    const std::string_view n = nameOf(newDecl);
    if (o.empty() && n.empty()) return {};
    std::string tag = " [";
    tag += o.empty() ? n : o;
    if (!o.empty() && !n.empty() && o != n) tag.append(", ").append(n);
    return tag + "]";
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
template void SortByName(DeclList<TidUnitRef>&);

TPasSrc::TPasSrc()
    : TidName("", 0, 0, 0), Initialization(std::make_unique<TidName>("", 0, -1, -1)),
      Finalization(std::make_unique<TidName>("", 0, -1, -1)),
      MainBlock(std::make_unique<TidName>("", 0, -1, -1)) {}

void TPasSrc::SortLists() {
    SortByName(Types);
    SortByName(Classes);
    SortByName(Procs);
    SortByName(Consts);
    SortByName(Vars);
    SortByName(Uses);
    for (auto& c : Classes) {
        SortByName(c->Fields);
        SortByName(c->Props);
        SortByName(c->Methods);
    }
}

void TPasSrc::FinishBuilding() {
    SortLists();
    // The indexes hold about as much again as the declarations of a large file.
    overloads_.clear();
    typeIndex_.Clear();
    classIndex_.Clear();
    procIndex_.Clear();
    constIndex_.Clear();
    varIndex_.Clear();
    usesIndex_.Clear();
    Types.shrink_to_fit();
    Classes.shrink_to_fit();
    Procs.shrink_to_fit();
    Consts.shrink_to_fit();
    Vars.shrink_to_fit();
    Uses.shrink_to_fit();
    for (auto& c : Classes) {
        c->FieldIndex.Clear();
        c->PropIndex.Clear();
        c->MethodIndex.Clear();
        c->Fields.shrink_to_fit();
        c->Props.shrink_to_fit();
        c->Methods.shrink_to_fit();
    }
}

void TPasSrc::AddType(std::string_view name, std::string_view text, uint32_t checksum,
                      int32_t firstLine, int32_t lastLine) {
    auto t = std::make_unique<TidType>(Keep(name), checksum, firstLine, lastLine);
    t->Text = KeepCollapsed(text);
    AddOrMerge(Types, typeIndex_, std::move(t));
}

TidClass* TPasSrc::AddClass(std::string_view kind, std::string_view name, int32_t firstLine,
                            std::string_view ancestors) {
    TidClass* entry = classIndex_.Find(name);
    if (!entry)
        entry = AddOrMerge(Classes, classIndex_,
                           std::make_unique<TidClass>(Keep(name), 0, firstLine, 0));
    entry->FirstLine = firstLine;
    // Most classes are read once; a forward declaration's texts stay unused in the storage.
    entry->Kind = Keep(kind);
    entry->Ancestors = Keep(ancestors);
    return entry;
}

MemberVisibility VisibilityOfWord(std::string_view word) {
    if (word.empty()) return MemberVisibility::Default;
    const size_t blank = word.rfind(' ');
    if (blank != std::string_view::npos) word.remove_prefix(blank + 1);
    for (const auto& [name, v] : {std::pair{"PRIVATE", MemberVisibility::Private},
                                  {"PROTECTED", MemberVisibility::Protected},
                                  {"PUBLISHED", MemberVisibility::Published},
                                  {"AUTOMATED", MemberVisibility::Automated}})
        if (CompareNames(word, name) == 0) return v;
    return MemberVisibility::Public;
}

void TPasSrc::AddFields(TidClass* cls, const std::vector<std::string>& names,
                        std::string_view typeText, uint32_t checksum, int32_t firstLine,
                        int32_t lastLine, std::string_view visibility) {
    if (!cls) return;
    const DeclText collapsed = KeepCollapsed(typeText);
    const MemberVisibility section = VisibilityOfWord(visibility);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        auto f = std::make_unique<TidField>(Keep(*it), checksum, firstLine, lastLine);
        f->TypeText = collapsed;
        f->Visibility = section;
        AddOrMerge(cls->Fields, cls->FieldIndex, std::move(f));
    }
}

void TPasSrc::AddMethod(TidClass* cls, std::string_view /*visibility*/, std::string_view name,
                        std::string_view text, int32_t firstLine, int32_t lastLine,
                        uint32_t checksum) {
    if (!cls) return;
    auto m = std::make_unique<TidProc>(Keep(name), checksum, firstLine, lastLine);
    m->Text = KeepCollapsed(text);
    SetParams(*m, text);
    AddRoutine(cls->Methods, cls->MethodIndex, std::move(m));
}

void TPasSrc::AddProperty(TidClass* cls, std::string_view /*visibility*/, std::string_view name,
                          std::string_view text, int32_t firstLine, int32_t lastLine,
                          uint32_t checksum) {
    if (!cls) return;
    auto p = std::make_unique<TidProp>(Keep(name), checksum, firstLine, lastLine);
    p->Text = KeepCollapsed(text);
    AddOrMerge(cls->Props, cls->PropIndex, std::move(p));
}

void TPasSrc::AddProc(std::string_view name, std::string_view text, uint32_t checksum,
                      int32_t firstLine, int32_t lastLine) {
    auto p = std::make_unique<TidProc>(Keep(name), checksum, firstLine, lastLine);
    p->Text = KeepCollapsed(text);
    SetParams(*p, text);
    p->InInterface = ReadingInterface;
    AddRoutine(Procs, procIndex_, std::move(p));
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
    TidProc* proc = SeparateOverloads ? RoutineForBody(*list, *index, routineName, text)
                                      : index->Find(routineName);
    if (!proc) {
        auto p = std::make_unique<TidProc>(Keep(routineName), headingChecksum, firstLine,
                                           headingLastLine);
        p->Text = KeepCollapsed(text);
        SetParams(*p, text);
        proc = AddRoutine(*list, *index, std::move(p));
    }
    proc->Implementation = std::make_unique<TidImplementation>("implementation", bodyChecksum,
                                                               firstLine, bodyLastLine);
    if (SeparateOverloads) proc->Implementation->HeadingChecksum = headingChecksum;
}

std::vector<TidProc*>* TPasSrc::OverloadsOf(const DeclList<TidProc>& list, std::string_view name) {
    if (overloads_.empty()) return nullptr;
    auto it = overloads_.find({&list, base::UpperAscii(name)});
    return it == overloads_.end() ? nullptr : &it->second;
}

std::string_view TPasSrc::Signature(std::string_view heading) {
    std::optional<std::string> params = ParameterSignature(heading);
    if (!params || params->empty()) return {};
    return *signatures_.insert(std::move(*params)).first;
}

void TPasSrc::SetParams(TidProc& routine, std::string_view heading) {
    if (!SeparateOverloads) return;
    // A line comment would swallow the rest of a collapsed heading; "/" and "(*" may be no
    // comment at all, which only means the list is worked out now.
    size_t i = 0;
#if defined(__SSE2__)
    // Most headings have none of these: sixteen bytes at a time up to the first.
    for (; i + 17 <= heading.size(); i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(heading.data() + i));
        const __m128i next =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(heading.data() + i + 1));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('{')),
                                                      _mm_cmpeq_epi8(b, _mm_set1_epi8('/'))),
                                         _mm_and_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('(')),
                                                       _mm_cmpeq_epi8(next, _mm_set1_epi8('*'))));
        if (const auto bits = static_cast<uint32_t>(_mm_movemask_epi8(hit)); bits != 0) {
            i += static_cast<size_t>(std::countr_zero(bits));
            break;
        }
    }
#endif
    for (; i < heading.size(); ++i) {
        const char c = heading[i];
        if (c == '{' || c == '/' || (c == '(' && i + 1 < heading.size() && heading[i + 1] == '*')) {
            routine.Params = Signature(heading);
            return;
        }
    }
    routine.ParamsPending = true;
}

void TPasSrc::ResolveParams(TidProc& routine) {
    if (!routine.ParamsPending) return;
    routine.ParamsPending = false;
    routine.Params = Signature(routine.Text);
}

std::string_view ParamsOf(const TidProc& p, std::string& scratch) {
    if (!p.ParamsPending) return p.Params;
    scratch = ParameterSignature(p.Text).value_or(std::string());
    return scratch;
}

// A second declaration of a name with another parameter list is an overload: from then on
// every entry of that name shows its list, which is what tells them apart.
TidProc* TPasSrc::AddRoutine(DeclList<TidProc>& list, NameIndex<TidProc>& index,
                             std::unique_ptr<TidProc> routine) {
    if (!SeparateOverloads) return AddOrMerge(list, index, std::move(routine));
    std::vector<TidProc*>* same = OverloadsOf(list, routine->Name);
    if (!same) {
        TidProc* single = index.Find(routine->Name);
        if (!single) return AddOrMerge(list, index, std::move(routine));
        ResolveParams(*single);
        ResolveParams(*routine);
        if (CompareNames(single->Params, routine->Params) == 0) return single;
        same = &overloads_[{&list, base::UpperAscii(routine->Name)}];
        same->push_back(single);
    }
    ResolveParams(*routine);
    for (TidProc* e : *same)
        if (CompareNames(e->Params, routine->Params) == 0) return e;
    // An overload's name shows its parameters and, for a conversion, its result.
    const auto show = [this](DeclText& name, std::string_view params) {
        std::string shown(name);
        const size_t result = params.find(kResultMark);
        shown.append("(").append(params.substr(0, result)).append(")");
        if (result != std::string_view::npos) shown.append(": ").append(params.substr(result + 1));
        name = Keep(shown);
    };
    for (TidProc* e : *same) {
        if (e->Name.size() != routine->Name.size()) continue; // shows its parameters already
        index.Remove(e);
        show(e->Name, e->Params);
        index.Add(e);
    }
    show(routine->Name, routine->Params);
    same->push_back(AddOrMerge(list, index, std::move(routine)));
    return same->back();
}

// The declaration whose parameters the body repeats; a body without a list belongs to the only
// declaration (or, where several exist, to the first still without a body); null for a body
// that declares an overload of its own.
TidProc* TPasSrc::RoutineForBody(DeclList<TidProc>& list, const NameIndex<TidProc>& index,
                                 std::string_view name, std::string_view heading) {
    TidProc* single = nullptr;
    std::span<TidProc* const> same;
    if (const std::vector<TidProc*>* group = OverloadsOf(list, name)) {
        same = *group;
    } else {
        single = index.Find(name);
        if (single) same = {&single, 1};
    }
    if (same.empty()) return nullptr;
    // The usual case, a name declared once and not yet given a body, needs no signature.
    if (same.size() == 1 && !same.front()->Implementation) return same.front();
    const std::optional<std::string> params = ParameterSignature(heading);
    if (!params) {
        for (TidProc* e : same)
            if (!e->Implementation) return e;
        return same.front();
    }
    for (TidProc* e : same) {
        ResolveParams(*e);
        if (CompareNames(e->Params, *params) == 0) return e;
    }
    // A name declared once keeps its one entry even where the body spells a type otherwise
    // (an alias, another unit's name for it).
    if (same.size() == 1 && !same.front()->Implementation) return same.front();
    return nullptr;
}

void TPasSrc::AddConst(std::string_view name, std::string_view typeText, uint32_t typeChecksum,
                       uint32_t valueChecksum, int32_t firstLine, int32_t lastLine) {
    auto c = std::make_unique<TidVar>(Keep(name), typeChecksum, firstLine, lastLine);
    c->TypeText = KeepCollapsed(typeText);
    c->ValueChecksum = valueChecksum;
    AddOrMerge(Consts, constIndex_, std::move(c));
}

void TPasSrc::AddVars(const std::vector<std::string>& names, std::string_view typeText,
                      uint32_t typeChecksum, uint32_t valueChecksum, int32_t firstLine,
                      int32_t lastLine) {
    const DeclText collapsed = KeepCollapsed(typeText);
    for (const auto& n : names) {
        auto v = std::make_unique<TidVar>(Keep(n), typeChecksum, firstLine, lastLine);
        v->TypeText = collapsed;
        v->ValueChecksum = valueChecksum;
        AddOrMerge(Vars, varIndex_, std::move(v));
    }
}

} // namespace quennet::model

namespace quennet::model {

void TPasSrc::AddUses(std::string_view name, std::string_view inText, uint32_t inChecksum,
                      int32_t line) {
    auto u = std::make_unique<TidUnitRef>(Keep(name), inChecksum, line, line);
    u->InText = KeepCollapsed(inText);
    AddOrMerge(Uses, usesIndex_, std::move(u));
}

} // namespace quennet::model

namespace quennet::model {

namespace {

// Takes from others the overload of single's name that has single's parameters.
const TidProc* TakeOverloadPartner(const TidProc* single, std::vector<const TidProc*>& others) {
    const std::string_view name = single->Name;
    if (name.empty() || name.back() == ')') return nullptr;
    std::string scratch;
    for (auto it = others.begin(); it != others.end(); ++it) {
        const std::string_view other = (*it)->Name;
        if (other.size() > name.size() && other[name.size()] == '(' && other.back() == ')' &&
            CompareNames(other.substr(0, name.size()), name) == 0 &&
            CompareNames((*it)->Params, ParamsOf(*single, scratch)) == 0) {
            const TidProc* partner = *it;
            others.erase(it);
            return partner;
        }
    }
    return nullptr;
}

} // namespace

ItemMatch<TidProc> MatchItems(const DeclList<TidProc>& a, const DeclList<TidProc>& b) {
    ItemMatch<TidProc> m{ItemsMissing(a, b), ItemsInBoth(a, b), ItemsMissing(b, a)};
    const size_t byName = m.both.size();
    for (auto it = m.removed.begin(); it != m.removed.end();) {
        if (const TidProc* n = TakeOverloadPartner(*it, m.added)) {
            m.both.emplace_back(*it, n);
            it = m.removed.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = m.added.begin(); it != m.added.end();) {
        if (const TidProc* o = TakeOverloadPartner(*it, m.removed)) {
            m.both.emplace_back(o, *it);
            it = m.added.erase(it);
        } else {
            ++it;
        }
    }
    if (m.both.size() != byName)
        std::sort(m.both.begin(), m.both.end(), [](const auto& x, const auto& y) {
            return CompareNames(PairName(x.first, x.second), PairName(y.first, y.second)) < 0;
        });
    return m;
}

} // namespace quennet::model
