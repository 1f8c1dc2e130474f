// The declaration model of one Pascal file: names, line ranges and token checksums only.
// Filled by the parser through the building operations, sorted once, then read-only.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/ascii.h"
#include "model/dialect.h"

namespace quennet::model {

// A path a declaration names, kept once per process: a large file has hundreds of thousands
// of declarations, nearly all with no path or the same few include files.
class FileName {
public:
    FileName() = default;
    FileName(std::string_view path);
    FileName(const std::string& path) : FileName(std::string_view(path)) {}
    FileName(const char* path) : FileName(std::string_view(path)) {}

    bool empty() const { return path_ == nullptr; }
    operator std::string_view() const {
        return path_ ? std::string_view(*path_) : std::string_view();
    }
    // Equal paths share one copy.
    friend bool operator==(const FileName& a, const FileName& b) { return a.path_ == b.path_; }

private:
    const std::string* path_ = nullptr;
};

// A name or text of a declaration: a view of the model's own storage (TPasSrc::Keep) or of a
// literal. Tens of thousands of them in a large file would otherwise cost a heap block each.
class DeclText {
public:
    constexpr DeclText() = default;
    // For text that outlives every model, such as a literal.
    constexpr DeclText(const char* lasting) : DeclText(std::string_view(lasting)) {}
    static constexpr DeclText Lasting(std::string_view text) { return DeclText(text); }

    constexpr operator std::string_view() const { return {data_, size_}; }
    // A copy, for callers that build strings of names.
    operator std::string() const { return std::string(data_, size_); }
    std::string str() const { return std::string(data_, size_); }
    constexpr const char* data() const { return data_; }
    constexpr size_t size() const { return size_; }
    constexpr bool empty() const { return size_ == 0; }
    constexpr char back() const { return data_[size_ - 1]; }
    constexpr char operator[](size_t i) const { return data_[i]; }
    constexpr std::string_view view() const { return {data_, size_}; }
    constexpr std::string_view substr(size_t from, size_t n = std::string_view::npos) const {
        return view().substr(from, n);
    }
    constexpr size_t find(std::string_view s, size_t from = 0) const {
        return view().find(s, from);
    }
    constexpr size_t find(char c, size_t from = 0) const { return view().find(c, from); }
    constexpr size_t rfind(char c, size_t from = std::string_view::npos) const {
        return view().rfind(c, from);
    }
    constexpr bool starts_with(std::string_view s) const { return view().starts_with(s); }
    constexpr bool ends_with(std::string_view s) const { return view().ends_with(s); }
    constexpr bool ends_with(char c) const { return view().ends_with(c); }
    constexpr const char* begin() const { return data_; }
    constexpr const char* end() const { return data_ + size_; }
    friend constexpr bool operator==(DeclText a, std::string_view b) {
        return std::string_view(a) == b;
    }

private:
    constexpr explicit DeclText(std::string_view text)
        : data_(text.data()), size_(static_cast<uint32_t>(text.size())) {}
    friend class TextStore;

    const char* data_ = "";
    uint32_t size_ = 0;
};

inline std::string operator+(std::string a, DeclText b) {
    return a.append(b.data(), b.size());
}
inline std::string operator+(const char* a, DeclText b) {
    return std::string(a) + b;
}
inline std::string operator+(DeclText a, std::string_view b) {
    return std::string(a).append(b);
}
inline std::string operator+(DeclText a, const char* b) {
    return std::string(a).append(b);
}
inline std::string operator+(DeclText a, char b) {
    return std::string(a) + b;
}
inline std::string operator+(char a, DeclText b) {
    return std::string(1, a) + b;
}

template <class Out> auto operator<<(Out& out, DeclText t) -> decltype(out << std::string_view(t)) {
    return out << std::string_view(t);
}

// Append-only storage of the texts of one model, in chunks, so that a kept text never moves.
class TextStore {
public:
    DeclText Keep(std::string_view text);
    // Room for size bytes, to be filled by the caller, then Commit(used) with used <= size.
    char* Reserve(size_t size);
    DeclText Commit(size_t used);

private:
    std::vector<std::unique_ptr<char[]>> chunks_;
    char* free_ = nullptr; // in the last chunk of ordinary size
    size_t left_ = 0;
    size_t last_ = 0;     // that chunk's size
    char* own_ = nullptr; // a reserved block of its own, until committed
};

class TidName {
public:
    TidName(DeclText name, uint32_t checksum, int32_t firstLine, int32_t lastLine)
        : Name(name), Checksum(checksum), FirstLine(firstLine), LastLine(lastLine) {}
    virtual ~TidName() = default;
    TidName(const TidName&) = delete;
    TidName& operator=(const TidName&) = delete;

    DeclText Name;
    uint32_t Checksum;
    int32_t FirstLine; // 1-based; -1 when none
    int32_t LastLine;
    // For a declaration from an include file: the line of the parsed file whose directive
    // brought it in, so views of that file can point there; -1 otherwise.
    int32_t IncludedAt = -1;
    // The include file the declaration starts in, its lines then that file's; empty for the
    // parsed file itself.
    FileName File;
};

// " [name]" naming the include file(s) a pair of declarations (either may be null) comes
// from, by file name only; both names when they differ. Empty when neither comes from one.
std::string IncludeTag(const TidName* oldDecl, const TidName* newDecl);

template <class T> using DeclList = std::vector<std::unique_ptr<T>>;

// Case-insensitive over a to z only; other bytes by code; a proper prefix sorts first.
int CompareNames(std::string_view a, std::string_view b);

// Name lookup for the building operations of one list: without it, merging by name is
// quadratic in the number of declarations of a list. Names are unique in a list, so a lookup
// gives the same entry as a scan. A short list is scanned; a long one gets open addressing over
// the items themselves (a node per name cost about as much again as the declarations).
template <class T> class NameIndex {
public:
    explicit NameIndex(const std::vector<std::unique_ptr<T>>& list) : list_(list) {}

    T* Find(std::string_view name) const {
        // Names of another length differ: most are told apart without comparing them.
        if (slots_.empty()) {
            for (const auto& item : list_)
                if (item->Name.size() == name.size() && CompareNames(item->Name, name) == 0)
                    return item.get();
            return nullptr;
        }
        for (size_t i = HashName(name) & Mask();; i = (i + 1) & Mask()) {
            T* item = slots_[i];
            if (!item || (item->Name.size() == name.size() && CompareNames(item->Name, name) == 0))
                return item;
        }
    }
    // Called once item is in the list, and again after its name changed (Remove first). The
    // key is the item's own name, which must not change while it is in the index.
    void Add(T* item) {
        if (slots_.empty()) {
            if (list_.size() > kScanned) Rebuild(list_.size());
            return;
        }
        if ((count_ + 1) * 4 > slots_.size() * 3) {
            Rebuild(list_.size());
            return;
        }
        Place(item);
        ++count_;
    }
    void Remove(const T* item) {
        if (slots_.empty()) return;
        size_t i = HashName(item->Name) & Mask();
        while (slots_[i] && slots_[i] != item)
            i = (i + 1) & Mask();
        if (!slots_[i]) return;
        // Shifts back the entries after the gap that would no longer be found past it.
        for (size_t j = (i + 1) & Mask(); slots_[j]; j = (j + 1) & Mask()) {
            const size_t home = HashName(slots_[j]->Name) & Mask();
            if (((j - home) & Mask()) >= ((j - i) & Mask())) {
                slots_[i] = slots_[j];
                i = j;
            }
        }
        slots_[i] = nullptr;
        --count_;
    }
    void Clear() {
        slots_ = {};
        count_ = 0;
    }

private:
    static constexpr size_t kScanned = 8;

    // Eight bytes a step, letter case folded; the high bits are folded down, as only the low
    // ones pick a slot.
    static size_t HashName(std::string_view s) {
        uint64_t h = 14695981039346656037ull;
        size_t i = 0;
        for (; i + 8 <= s.size(); i += 8) {
            uint64_t w;
            std::memcpy(&w, s.data() + i, 8);
            h = (h ^ base::UpperAscii8(w)) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 32;
        }
        for (; i < s.size(); ++i)
            h = (h ^ static_cast<unsigned char>(base::AsciiUpper(s[i]))) * 1099511628211ull;
        h *= 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }
    size_t Mask() const { return slots_.size() - 1; }
    void Place(T* item) {
        size_t i = HashName(item->Name) & Mask();
        while (slots_[i])
            i = (i + 1) & Mask();
        slots_[i] = item;
    }
    // A table for the list as it is, with room for about as many again.
    void Rebuild(size_t atLeast) {
        size_t size = 16;
        while (size < atLeast * 2)
            size *= 2;
        slots_.assign(size, nullptr);
        for (const auto& item : list_)
            Place(item.get());
        count_ = list_.size();
    }

    const std::vector<std::unique_ptr<T>>& list_;
    std::vector<T*> slots_; // empty while the list is short; a power of two, under 3/4 full
    size_t count_ = 0;
};

class TidType : public TidName {
public:
    using TidName::TidName;
    DeclText Text;
};

// A class member's section. Default: before any visibility word, which a class that streams
// (a form's, a TPersistent's) publishes.
enum class MemberVisibility : uint8_t { Default, Private, Protected, Public, Published, Automated };
// "strict private" reads as private; an unknown word as public.
MemberVisibility VisibilityOfWord(std::string_view word);

class TidField : public TidName {
public:
    using TidName::TidName;
    DeclText TypeText;
    MemberVisibility Visibility = MemberVisibility::Default;
};

class TidProp : public TidName {
public:
    using TidName::TidName;
    DeclText Text;
};

// A routine's body, from the first line of its implementation heading to its "end".
class TidImplementation : public TidName {
public:
    using TidName::TidName;
    // The implementation heading's tokens (modern readings; 0 in the classic one, where a
    // heading differing from the declaration's is not a change).
    uint32_t HeadingChecksum = 0;
};

class TidProc : public TidName {
public:
    using TidName::TidName;
    DeclText Text;
    std::unique_ptr<TidImplementation> Implementation; // the body, or null
    // The parameter list as shown after an overloaded name ("const Integer, string"); set only
    // where overloads are told apart. The text is the model's, which keeps each list once.
    // Most names are declared once, so a heading without comments has its list worked out
    // from Text when it is first needed (ParamsPending): the collapsed text gives the same.
    std::string_view Params;
    bool ParamsPending = false;
    // Declared in a unit's interface section: other units see it.
    bool InInterface = false;
};

// The bodies of two routines, both present, differ: in their tokens, or (modern readings) in
// an implementation heading whose declaration stayed the same. A heading that follows its
// changed declaration is that declaration's change.
inline bool BodiesDiffer(const TidProc& o, const TidProc& n) {
    const TidImplementation& a = *o.Implementation;
    const TidImplementation& b = *n.Implementation;
    return a.Checksum != b.Checksum ||
           (o.Checksum == n.Checksum && a.HeadingChecksum != b.HeadingChecksum);
}

// p.Params, worked out into scratch while it is pending.
std::string_view ParamsOf(const TidProc& p, std::string& scratch);

// Constants, resource strings and variables. Checksum is the type part's.
class TidVar : public TidName {
public:
    using TidName::TidName;
    DeclText TypeText;
    uint32_t ValueChecksum = 0;
};

// A unit named by a uses or contains clause (modern readings only). Checksum is that of the
// "in 'file'" part, 0 without one.
class TidUnitRef : public TidName {
public:
    using TidName::TidName;
    DeclText InText;
};

class TidClass : public TidName {
public:
    using TidName::TidName;
    DeclText Kind;
    DeclText Ancestors;
    DeclList<TidField> Fields;
    DeclList<TidProp> Props;
    DeclList<TidProc> Methods;

    NameIndex<TidField> FieldIndex{Fields};
    NameIndex<TidProp> PropIndex{Props};
    NameIndex<TidProc> MethodIndex{Methods};
};

// Where the parser stopped following the structure. Not part of the model's semantics:
// the comparison never reads it; front ends use it to warn that text went unread.
struct ParseStatus {
    bool Complete = true; // no syntax error reported and the final "." was consumed
    bool ReachedFinalDot = false;
    int32_t ErrorCount = 0;
    int32_t FirstErrorLine = -1; // 1-based line of the first reported syntax error
    int32_t StopLine = -1;       // 1-based line of the lookahead when the parse ended
    int64_t StopPosition = -1;   // byte offset of that lookahead token
    uint64_t RestHash = 0;       // order-sensitive hash of the tokens from the stop to the end
    uint64_t RestTokens = 0;     // number of those tokens
    // Readings the user should know of, such as an {$IF} that named an identifier without a
    // value (modern dialects only).
    std::vector<std::string> Notes;
};

// Lines of the file that conditional compilation left out (1-based), with the directive that
// began leaving them out as written and, for an {$ELSE} or {$ELSEIF}, the directive that opened
// its construct.
struct InactiveLines {
    int32_t FirstLine = 0;
    int32_t LastLine = 0;
    std::string Directive;
    std::string Opener;
    bool operator==(const InactiveLines&) const = default;
};

class TPasSrc : public TidName {
public:
    TPasSrc();

    DeclList<TidType> Types;
    DeclList<TidClass> Classes;
    DeclList<TidProc> Procs;
    DeclList<TidVar> Consts;
    DeclList<TidVar> Vars;
    std::unique_ptr<TidName> Initialization;
    std::unique_ptr<TidName> Finalization;
    // A program's or library's begin...end, recorded by the modern readings only.
    std::unique_ptr<TidName> MainBlock;
    DeclList<TidUnitRef> Uses;
    ParseStatus Status;
    // In line order; lines of include files are not among them.
    std::vector<InactiveLines> Inactive;
    // The modern readings keep overloads apart: a routine's identity is its name and its
    // parameter list. Set before the building operations are called.
    bool SeparateOverloads = false;
    // Set by the parser while it reads the interface section; AddProc records it.
    bool ReadingInterface = false;

    // A copy of text in the model's storage, which lasts as long as the model.
    DeclText Keep(std::string_view text) { return texts_.Keep(text); }

    void SortLists();
    // Sorts and lets go of what only the building operations need (the name indexes): the
    // model is read-only from then on.
    void FinishBuilding();

    // Building operations, called by the parser outside trials.
    void AddType(std::string_view name, std::string_view text, uint32_t checksum, int32_t firstLine,
                 int32_t lastLine);
    TidClass* AddClass(std::string_view kind, std::string_view name, int32_t firstLine,
                       std::string_view ancestors);
    void AddFields(TidClass* cls, const std::vector<std::string>& names, std::string_view typeText,
                   uint32_t checksum, int32_t firstLine, int32_t lastLine,
                   std::string_view visibility);
    void AddMethod(TidClass* cls, std::string_view visibility, std::string_view name,
                   std::string_view text, int32_t firstLine, int32_t lastLine, uint32_t checksum);
    void AddProperty(TidClass* cls, std::string_view visibility, std::string_view name,
                     std::string_view text, int32_t firstLine, int32_t lastLine, uint32_t checksum);
    void AddProc(std::string_view name, std::string_view text, uint32_t checksum, int32_t firstLine,
                 int32_t lastLine);
    void AddProcImpl(std::string_view name, bool qualified, std::string_view text,
                     uint32_t headingChecksum, uint32_t bodyChecksum, int32_t firstLine,
                     int32_t headingLastLine, int32_t bodyLastLine, bool classAtLastDot = false);
    void AddConst(std::string_view name, std::string_view typeText, uint32_t typeChecksum,
                  uint32_t valueChecksum, int32_t firstLine, int32_t lastLine);
    void AddVars(const std::vector<std::string>& names, std::string_view typeText,
                 uint32_t typeChecksum, uint32_t valueChecksum, int32_t firstLine,
                 int32_t lastLine);
    void AddUses(std::string_view name, std::string_view inText, uint32_t inChecksum, int32_t line);

private:
    TidProc* AddRoutine(DeclList<TidProc>& list, NameIndex<TidProc>& index,
                        std::unique_ptr<TidProc> routine);
    TidProc* RoutineForBody(DeclList<TidProc>& list, const NameIndex<TidProc>& index,
                            std::string_view name, std::string_view heading);
    std::vector<TidProc*>* OverloadsOf(const DeclList<TidProc>& list, std::string_view name);
    std::string_view Signature(std::string_view heading);
    DeclText KeepCollapsed(std::string_view text);
    void SetParams(TidProc& routine, std::string_view heading);
    void ResolveParams(TidProc& routine);

    // Where overloads are kept apart: the routines of a list that share an upper-cased name,
    // for names declared more than once (a name declared once is found by the list's index).
    std::map<std::pair<const void*, std::string>, std::vector<TidProc*>> overloads_;
    // The parameter lists of the routines, each once: a few hundred lists serve a large file.
    std::unordered_set<std::string> signatures_;
    TextStore texts_;
    NameIndex<TidType> typeIndex_{Types};
    NameIndex<TidClass> classIndex_{Classes};
    NameIndex<TidProc> procIndex_{Procs};
    NameIndex<TidVar> constIndex_{Consts};
    NameIndex<TidVar> varIndex_{Vars};
    NameIndex<TidUnitRef> usesIndex_{Uses};
};

// Blanks are codes 1 to 32; runs become one space, ends are trimmed.
std::string CollapseBlanks(std::string_view text);

// The parameter list of a routine heading as it identifies an overload: per parameter its
// modifier and type, comments, names and default values left out, blanks kept only between
// words ("const Integer, array of string"). Nothing when the heading has no list.
std::optional<std::string> ParameterSignature(std::string_view heading);

inline int CompareNames(const TidName& a, const TidName& b) {
    return CompareNames(a.Name, b.Name);
}

// Last to first: with unique names after AddOrMerge the direction only matters for speed.
template <class T> T* FindByName(const DeclList<T>& list, std::string_view name) {
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (CompareNames((*it)->Name, name) == 0) return it->get();
    return nullptr;
}

// Appends item unless an equal name exists; returns the entry that holds the name.
template <class T> T* AddOrMerge(DeclList<T>& list, std::unique_ptr<T> item) {
    if (T* existing = FindByName(list, item->Name)) return existing;
    list.push_back(std::move(item));
    return list.back().get();
}

// The same, with the list's name index kept in step.
template <class T> T* AddOrMerge(DeclList<T>& list, NameIndex<T>& index, std::unique_ptr<T> item) {
    if (T* existing = index.Find(item->Name)) return existing;
    list.push_back(std::move(item));
    index.Add(list.back().get());
    return list.back().get();
}

template <class T> void SortByName(DeclList<T>& list);

// Items of a without an equally named item in b, in a's order (both sorted).
template <class T> std::vector<const T*> ItemsMissing(const DeclList<T>& a, const DeclList<T>& b) {
    std::vector<const T*> out;
    size_t i = 0, j = 0;
    while (i < a.size()) {
        if (j >= b.size()) {
            out.push_back(a[i++].get());
            continue;
        }
        int c = CompareNames(*a[i], *b[j]);
        if (c == 0) {
            ++i;
            ++j;
        } else if (c < 0) {
            out.push_back(a[i++].get());
        } else {
            ++j;
        }
    }
    return out;
}

// Equally named pairs of a and b, in sorted order.
template <class T>
std::vector<std::pair<const T*, const T*>> ItemsInBoth(const DeclList<T>& a, const DeclList<T>& b) {
    std::vector<std::pair<const T*, const T*>> out;
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        int c = CompareNames(*a[i], *b[j]);
        if (c == 0) {
            out.emplace_back(a[i].get(), b[j].get());
            ++i;
            ++j;
        } else if (c < 0) {
            ++i;
        } else {
            ++j;
        }
    }
    return out;
}

// Both lists' items as removed (a only), paired and added (b only), each in sorted order.
template <class T> struct ItemMatch {
    std::vector<const T*> removed;
    std::vector<std::pair<const T*, const T*>> both;
    std::vector<const T*> added;
};

template <class T> ItemMatch<T> MatchItems(const DeclList<T>& a, const DeclList<T>& b) {
    return {ItemsMissing(a, b), ItemsInBoth(a, b), ItemsMissing(b, a)};
}

// Routines pair by name, and a name declared once on one side with the overload of the other
// side that has its parameters, so that adding an overload leaves the existing routine paired.
ItemMatch<TidProc> MatchItems(const DeclList<TidProc>& a, const DeclList<TidProc>& b);

// The caption of a pair of routines: the name that shows its parameter list, if either does.
inline DeclText PairName(const TidProc* o, const TidProc* n) {
    return !o->Name.empty() && o->Name.back() == ')' ? o->Name : n->Name;
}

} // namespace quennet::model
