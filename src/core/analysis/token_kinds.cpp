// Keyword lookup: a small open-addressing table built once from the token list.
#include "analysis/token_kinds.h"

#include <array>
#include <cstdlib>

namespace quennet::analysis {
namespace {

constexpr size_t kSlots = 512;

struct KeywordTable {
    std::array<Tok, kSlots> kind{};
    KeywordTable() {
        int count = 0;
        for (int k = 0; k <= kMaxTerminal; ++k) {
            std::string_view s = kTokenSpelling[k];
            if (s.empty() || s[0] < 'A' || s[0] > 'Z') continue;
            size_t h = Hash(s);
            while (kind[h] != tEndOfText)
                h = (h + 1) % kSlots;
            kind[h] = static_cast<Tok>(k);
            ++count;
        }
        if (count != 91) std::abort();
    }
    static size_t Hash(std::string_view s) {
        size_t h = s.size() * 31u;
        for (unsigned char c : s)
            h = h * 37u + c;
        return h % kSlots;
    }
};

const KeywordTable& Table() {
    static const KeywordTable table;
    return table;
}

} // namespace

const KeywordBuckets& KeywordBucketTable() {
    static const KeywordBuckets table = [] {
        KeywordBuckets b{};
        for (int k = 0; k <= kMaxTerminal; ++k) {
            std::string_view s = kTokenSpelling[k];
            if (s.empty() || s[0] < 'A' || s[0] > 'Z') continue;
            auto& slot = b.Kinds[s.size()][s[0] - 'A'];
            size_t n = 0;
            while (slot[n] != tEndOfText)
                ++n;
            slot[n] = static_cast<Tok>(k);
        }
        return b;
    }();
    return table;
}

Tok KeywordKind(std::string_view upperWord) {
    if (upperWord.size() < 2 || upperWord.size() > 14) return tEndOfText;
    const KeywordTable& t = Table();
    size_t h = KeywordTable::Hash(upperWord);
    while (t.kind[h] != tEndOfText) {
        if (kTokenSpelling[t.kind[h]] == upperWord) return t.kind[h];
        h = (h + 1) % kSlots;
    }
    return tEndOfText;
}

} // namespace quennet::analysis
