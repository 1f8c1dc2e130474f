#include "merge3/layout_compare.h"

#include <string_view>

#include "io/source_file.h"
#include "pascal/scanner.h"

namespace quennet::merge3 {

namespace {

// Tokens as written, each after the comments before it with their blanks left out: blanks
// inside strings and comments still count.
std::vector<std::string> Pieces(const std::vector<std::string>& lines) {
    std::string text = io::JoinLinesCrLf(lines);
    pascal::TOp4Scanner scanner;
    scanner.InitSource(text.data(), static_cast<int32_t>(text.size()));
    std::vector<std::string> pieces;
    size_t from = 0;
    auto add = [&](size_t begin, size_t end) {
        std::string piece;
        for (size_t i = from; i < begin; ++i)
            if (static_cast<unsigned char>(text[i]) > ' ') piece += text[i];
        piece += '\x01';
        piece.append(text, begin, end - begin);
        pieces.push_back(std::move(piece));
        from = end;
    };
    while (scanner.Get() != pascal::tEndOfText) {
        const auto& t = scanner.State().CurToken;
        size_t begin = static_cast<size_t>(t.Pos);
        size_t end = std::min(text.size(), begin + static_cast<size_t>(t.Len));
        if (begin < from || end < begin) return {"\x02"}; // cannot happen; never equal
        add(begin, end);
    }
    add(text.size(), text.size());
    return pieces;
}

} // namespace

bool SameButLayout(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return a == b || Pieces(a) == Pieces(b);
}

} // namespace quennet::merge3
