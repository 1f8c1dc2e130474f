// A project file is MSBuild XML; only what decides the default build's search paths is read:
// the root's PropertyGroups with their conditions, and the properties in them. Anything it cannot
// make out counts as not holding, so an odd file costs folders, never a wrong one.
#include "pascal/dproj_reader.h"

#include <map>

#include "base/ascii.h"

namespace quennet::pascal {

namespace {

struct Element {
    std::string Name;
    bool HasCondition = false;
    std::string Condition;
    std::string Text;
    std::vector<Element> Children;
};

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// The five named entities and character references below 128; others are kept as written.
std::string Decode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const size_t semi = s[i] == '&' ? s.find(';', i) : std::string_view::npos;
        if (semi == std::string_view::npos || semi - i > 8) {
            out += s[i];
            continue;
        }
        const std::string name = base::LowerAscii(s.substr(i + 1, semi - i - 1));
        char c = 0;
        if (name == "lt")
            c = '<';
        else if (name == "gt")
            c = '>';
        else if (name == "amp")
            c = '&';
        else if (name == "apos")
            c = '\'';
        else if (name == "quot")
            c = '"';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            long v = 0;
            for (size_t k = hex ? 2 : 1; k < name.size() && v < 128; ++k) {
                const char d = name[k];
                const int digit = d >= '0' && d <= '9'          ? d - '0'
                                  : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                                                                : -1;
                v = digit < 0 ? 128 : v * (hex ? 16 : 10) + digit;
            }
            if (v > 0 && v < 128) c = static_cast<char>(v);
        }
        if (c == 0) {
            out += s[i];
            continue;
        }
        out += c;
        i = semi;
    }
    return out;
}

// Lenient: a missing end tag ends the element where the text ends, and any end tag closes the
// element open, as project files written by tools are well formed anyway.
class XmlReader {
public:
    explicit XmlReader(std::string_view text) : s_(text) {}

    Element Root() {
        Element root;
        while (pos_ < s_.size()) {
            const size_t lt = s_.find('<', pos_);
            if (lt == std::string_view::npos) break;
            pos_ = lt;
            if (SkipMarkup()) continue;
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') break;
            ReadElement(root, 0);
            break;
        }
        return root;
    }

private:
    // Comments, processing instructions and declarations; true when one was passed.
    bool SkipMarkup() {
        const std::string_view rest = s_.substr(pos_);
        std::string_view end;
        if (rest.substr(0, 4) == "<!--")
            end = "-->";
        else if (rest.substr(0, 2) == "<?")
            end = "?>";
        else if (rest.substr(0, 2) == "<!" && rest.substr(0, 9) != "<![CDATA[")
            end = ">";
        else
            return false;
        const size_t at = s_.find(end, pos_ + 2);
        pos_ = at == std::string_view::npos ? s_.size() : at + end.size();
        return true;
    }

    // At "<name": reads the element and what it holds into e.
    void ReadElement(Element& e, int depth) {
        ++pos_;
        const size_t nameStart = pos_;
        while (pos_ < s_.size() && !IsBlank(s_[pos_]) && s_[pos_] != '>' && s_[pos_] != '/')
            ++pos_;
        e.Name = std::string(s_.substr(nameStart, pos_ - nameStart));
        // Attributes: name = "value" or 'value'.
        while (pos_ < s_.size() && s_[pos_] != '>' && s_[pos_] != '/') {
            if (IsBlank(s_[pos_])) {
                ++pos_;
                continue;
            }
            const size_t attrStart = pos_;
            while (pos_ < s_.size() && s_[pos_] != '=' && !IsBlank(s_[pos_]) && s_[pos_] != '>')
                ++pos_;
            const std::string_view attr = s_.substr(attrStart, pos_ - attrStart);
            while (pos_ < s_.size() && (IsBlank(s_[pos_]) || s_[pos_] == '='))
                ++pos_;
            if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) continue;
            const size_t close = s_.find(s_[pos_], pos_ + 1);
            if (close == std::string_view::npos) {
                pos_ = s_.size();
                return;
            }
            if (base::SameIgnoringCase(attr, "Condition")) {
                e.HasCondition = true;
                e.Condition = Decode(s_.substr(pos_ + 1, close - pos_ - 1));
            }
            pos_ = close + 1;
        }
        if (pos_ < s_.size() && s_[pos_] == '/') {
            const size_t gt = s_.find('>', pos_);
            pos_ = gt == std::string_view::npos ? s_.size() : gt + 1;
            return;
        }
        ++pos_; // '>'
        while (pos_ < s_.size()) {
            const size_t lt = s_.find('<', pos_);
            const size_t textEnd = lt == std::string_view::npos ? s_.size() : lt;
            e.Text += Decode(s_.substr(pos_, textEnd - pos_));
            pos_ = textEnd;
            if (pos_ >= s_.size()) return;
            if (s_.substr(pos_, 9) == "<![CDATA[") {
                const size_t end = s_.find("]]>", pos_ + 9);
                const size_t stop = end == std::string_view::npos ? s_.size() : end;
                e.Text += s_.substr(pos_ + 9, stop - pos_ - 9);
                pos_ = end == std::string_view::npos ? s_.size() : end + 3;
            } else if (SkipMarkup()) {
            } else if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
                const size_t gt = s_.find('>', pos_);
                pos_ = gt == std::string_view::npos ? s_.size() : gt + 1;
                return;
            } else if (depth >= kMaxDepth) {
                pos_ = s_.size(); // no project nests this deep: give up on the rest
            } else {
                e.Children.emplace_back();
                ReadElement(e.Children.back(), depth + 1);
            }
        }
    }

    static constexpr int kMaxDepth = 32;
    std::string_view s_;
    size_t pos_ = 0;
};

// Property names fold case, as MSBuild's do.
using Properties = std::map<std::string, std::string>;

std::string Lookup(const Properties& props, std::string_view name) {
    const auto it = props.find(base::LowerAscii(name));
    return it == props.end() ? std::string() : it->second;
}

// $(Name) replaced by its value so far (none: empty, as MSBuild); with `only`, the other names
// are left as written. Property functions ($(X.Replace(...)), $([...])) are always left.
std::string Expand(std::string_view value, const Properties& props,
                   const std::vector<std::string_view>* only = nullptr) {
    std::string out;
    size_t i = 0;
    while (i < value.size()) {
        const size_t at = value.find("$(", i);
        if (at == std::string_view::npos) break;
        const size_t close = value.find(')', at + 2);
        if (close == std::string_view::npos) break;
        const std::string_view name = value.substr(at + 2, close - at - 2);
        bool plain = !name.empty();
        for (char c : name)
            plain = plain && base::IsIdentChar(c);
        bool wanted = plain;
        if (plain && only) {
            wanted = false;
            for (std::string_view o : *only)
                wanted = wanted || base::SameIgnoringCase(o, name);
        }
        out.append(value.substr(i, at - i));
        if (wanted)
            out += Lookup(props, name);
        else
            out.append(value.substr(at, close + 1 - at));
        i = close + 1;
    }
    out.append(value.substr(i));
    return out;
}

// The condition forms project files use: 'a'=='b', 'a'!='b', and, or, !, parentheses, true and
// false. Anything else (Exists(), numbers compared) makes the whole condition unknown.
class ConditionReader {
public:
    ConditionReader(std::string_view text, const Properties& props) : s_(text), props_(props) {}

    bool Holds() {
        const bool value = Or();
        Skip();
        return !unknown_ && pos_ == s_.size() && value;
    }

private:
    void Skip() {
        while (pos_ < s_.size() && IsBlank(s_[pos_]))
            ++pos_;
    }
    bool Take(std::string_view what) {
        Skip();
        if (s_.substr(pos_, what.size()) != what) return false;
        pos_ += what.size();
        return true;
    }
    bool TakeWord(std::string_view word) {
        Skip();
        const size_t end = pos_ + word.size();
        if (end > s_.size() || !base::SameIgnoringCase(s_.substr(pos_, word.size()), word) ||
            (end < s_.size() && base::IsIdentChar(s_[end])))
            return false;
        pos_ = end;
        return true;
    }
    bool Or() {
        bool value = And();
        while (!unknown_ && TakeWord("or"))
            value = And() || value;
        return value;
    }
    bool And() {
        bool value = Primary();
        while (!unknown_ && TakeWord("and"))
            value = Primary() && value;
        return value;
    }
    bool Primary() {
        if (unknown_) return false;
        if (Take("(")) {
            const bool value = Or();
            if (!Take(")")) unknown_ = true;
            return value;
        }
        if (Take("!")) return !Primary();
        const std::string left = Operand();
        if (Take("==")) return base::SameIgnoringCase(left, Operand());
        if (Take("!=")) return !base::SameIgnoringCase(left, Operand());
        if (base::SameIgnoringCase(left, "true")) return true;
        if (!base::SameIgnoringCase(left, "false")) unknown_ = true;
        return false;
    }
    std::string Operand() {
        Skip();
        if (pos_ < s_.size() && s_[pos_] == '\'') {
            const size_t close = s_.find('\'', pos_ + 1);
            if (close == std::string_view::npos) {
                unknown_ = true;
                return {};
            }
            const std::string_view body = s_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            return Expand(body, props_);
        }
        const size_t start = pos_;
        while (pos_ < s_.size() && (base::IsIdentChar(s_[pos_]) || s_[pos_] == '.'))
            ++pos_;
        if (pos_ == start || (pos_ < s_.size() && s_[pos_] == '(')) unknown_ = true;
        return std::string(s_.substr(start, pos_ - start));
    }

    std::string_view s_;
    const Properties& props_;
    size_t pos_ = 0;
    bool unknown_ = false;
};

bool Holds(const Element& e, const Properties& props) {
    return !e.HasCondition || ConditionReader(e.Condition, props).Holds();
}

} // namespace

std::vector<std::string> DprojSearchPaths(std::string_view text) {
    static const std::vector<std::string_view> kLists{"DCC_IncludePath", "DCC_UnitSearchPath"};
    const Element root = XmlReader(text).Root();
    Properties props;
    for (const Element& group : root.Children) {
        if (!base::SameIgnoringCase(group.Name, "PropertyGroup") || !Holds(group, props)) continue;
        for (const Element& p : group.Children) {
            if (!Holds(p, props)) continue;
            bool isList = false;
            for (std::string_view l : kLists)
                isList = isList || base::SameIgnoringCase(l, p.Name);
            props[base::LowerAscii(p.Name)] =
                isList ? Expand(p.Text, props, &kLists) : Expand(p.Text, props);
        }
    }
    std::vector<std::string> entries;
    for (std::string_view list : kLists) {
        const std::string value = Lookup(props, list);
        size_t start = 0;
        while (start <= value.size()) {
            size_t end = value.find(';', start);
            if (end == std::string::npos) end = value.size();
            std::string_view entry = std::string_view(value).substr(start, end - start);
            start = end + 1;
            while (!entry.empty() && IsBlank(entry.front()))
                entry.remove_prefix(1);
            while (!entry.empty() && IsBlank(entry.back()))
                entry.remove_suffix(1);
            if (!entry.empty()) entries.emplace_back(entry);
        }
    }
    return entries;
}

} // namespace quennet::pascal
