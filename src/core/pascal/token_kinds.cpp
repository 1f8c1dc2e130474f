// The keyword table by length and first letter, built once from the token list.
#include "pascal/token_kinds.h"

#include <cstdlib>

namespace quennet::pascal {

const KeywordBuckets& KeywordBucketTable() {
    static const KeywordBuckets table = [] {
        KeywordBuckets b{};
        int count = 0;
        for (int k = 0; k <= kMaxTerminal; ++k) {
            std::string_view s = kTokenSpelling[k];
            if (s.empty() || s[0] < 'A' || s[0] > 'Z') continue;
            auto& slot = b.Kinds[s.size()][s[0] - 'A'];
            size_t n = 0;
            while (slot[n] != tEndOfText)
                ++n;
            if (n + 1 >= KeywordBuckets::kPerBucket) std::abort(); // keep a 0 at the end
            slot[n] = static_cast<Tok>(k);
            ++count;
        }
        if (count != 91) std::abort(); // the keyword list and the token numbering disagree
        return b;
    }();
    return table;
}

} // namespace quennet::pascal
