// Line keys and the line matcher: key rules, search order and tie-breaking, and the fast
// matcher against the literal one on random, edited and repeated-line inputs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/crc32.h"
#include "diff/line_matcher.h"
#include "diff/line_matcher_literal.h"
#include "io/source_file.h"

using namespace quennet::base;
using namespace quennet::diff;

namespace {

std::vector<TLineRecord> Records(const std::vector<std::string>& lines, int32_t firstLine = 0) {
    std::vector<TLineRecord> out;
    for (size_t i = 0; i < lines.size(); ++i)
        out.push_back({LineKey(lines[i]), firstLine + static_cast<int32_t>(i), false});
    return out;
}

// "C3 O1 N2" style, for readable expectations.
std::string Show(const std::vector<TMapEntry>& map) {
    std::string s;
    for (const auto& e : map) {
        if (!s.empty()) s += ' ';
        s += e.Kind == Common ? 'C' : e.Kind == OldOnly ? 'O' : 'N';
        s += std::to_string(e.Line);
    }
    return s;
}

std::string Match(const std::vector<std::string>& oldText,
                  const std::vector<std::string>& newText) {
    auto a = Records(oldText);
    auto b = Records(newText);
    std::vector<TMapEntry> map;
    MatchLines(a, b, map);
    return Show(map);
}

} // namespace

TEST(LineKeyTest, BlankLinesAllHaveTheEmptyKey) {
    EXPECT_EQ(LineKey(""), 0xFFFFFFFFu);
    EXPECT_EQ(LineKey("   \t  "), 0xFFFFFFFFu);
    EXPECT_EQ(LineKey(std::string("\0\x01\x1f ", 4)), 0xFFFFFFFFu);
}

TEST(LineKeyTest, IsCrcOfUpperCasedTextWithoutFinalInversion) {
    // The standard CRC-32 of "A" is 0xD3D99E8B; without the final inversion it is its complement.
    EXPECT_EQ(LineKey("a"), 0x2C266174u);
    EXPECT_EQ(LineKey("A"), 0x2C266174u);
}

TEST(LineKeyTest, BlanksAndCaseCountOnlyInsideLiteralsAndBraceComments) {
    struct Case {
        const char *a, *b;
        bool same;
    };
    const Case cases[] = {
        {"  Result := A + B;  ", "result:=a+b;", true},
        {"\tif X then\t Exit;", "IF X THEN EXIT;", true},
        {"a\x01b", "ab", false}, // control characters count inside the line...
        {"\x01"
         "ab\x1f",
         "ab", true}, // ...but are trimmed at both ends
        {"S := 'a b';", "S := 'a  b';", false},
        {"x; { a b }", "x; { a  b }", false},
        {"S := 'it''s  so';", "S := 'it''s so';", false}, // '' leaves and re-enters
        {"S := 'a' ;", "S:='a';", true},
        {"{c} x  y", "{c}xy", true},
        {"S := 'abc';", "s := 'ABC';", true}, // case folds inside literals too
        {"x; (* a b *)", "x;(*ab*)", true},   // other comment forms are not special
        {"x; // a b", "x;//ab", true},
        {"S := 'a b", "S := 'ab", false},  // an unclosed literal keeps its blanks...
        {"S := 'ab   ", "S := 'ab", true}, // ...up to the trimmed end
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineKey(c.a) == LineKey(c.b), c.same) << c.a << " / " << c.b;
}

namespace {

// The key rule spelled out: trim bytes up to 32 at both ends, drop blanks outside literals and
// brace comments, fold letters, CRC the rest.
uint32_t ReferenceKey(std::string_view line) {
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= 32)
        line.remove_prefix(1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32)
        line.remove_suffix(1);
    if (line.empty()) return 0xFFFFFFFFu;
    std::string folded;
    char close = 0;
    for (char c : line) {
        if (!close && (c == ' ' || c == '\t')) continue;
        if (close && c == close)
            close = 0;
        else if (!close && (c == '\'' || c == '{'))
            close = c == '{' ? '}' : '\'';
        folded += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return UpdateCrc32(folded, 0xFFFFFFFFu);
}

} // namespace

// Token checksums: every byte value in every place of a four-byte step, and the tails.
TEST(LineKeyTest, UpperCrcFoldsOnlyAToZ) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (size_t length = 0; length <= 9; ++length)
        for (size_t at = 0; at + length <= all.size(); ++at) {
            const std::string_view bytes(all.data() + at, length);
            std::string folded(bytes);
            for (char& c : folded)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
            ASSERT_EQ(UpperCrc32(bytes, 0xFFFFFFFFu), UpdateCrc32(folded, 0xFFFFFFFFu))
                << at << ' ' << length;
        }
}

TEST(LineKeyTest, RecordsOfATextFollowTheRuleOnEveryLine) {
    // Long lines cross the folding buffer; long blank runs inside a literal outgrow it.
    const std::string literalBlanks = "s := '" + std::string(300, ' ') + "x';";
    const std::string trailingInLiteral = "s := 'x" + std::string(700, '\x01');
    std::vector<std::string> texts{"",
                                   "a",
                                   "a\n",
                                   "\n\n",
                                   "a\r\nb\rc\n\r",
                                   "\r\r\n x",
                                   literalBlanks,
                                   trailingInLiteral + "\r\n" + literalBlanks};
    std::mt19937 rng(77);
    const char alphabet[] = {'a', 'Z', ' ', '\t', '\'', '{', '}', '\x01', ';', '\r', '\n'};
    for (int round = 0; round < 300; ++round) {
        std::string text(rng() % 1500, ' ');
        for (auto& c : text)
            c = alphabet[rng() % (rng() % 4 == 0 ? sizeof alphabet : sizeof alphabet - 2)];
        texts.push_back(text);
    }
    for (const auto& text : texts) {
        std::vector<uint32_t> expected;
        quennet::io::ForEachLine(text, [&](std::string_view l) {
            expected.push_back(ReferenceKey(l));
            EXPECT_EQ(LineKey(l), expected.back());
        });
        const auto records = LineRecordsOf(text);
        ASSERT_EQ(records.size(), expected.size()) << testing::PrintToString(text);
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].Key, expected[i]) << testing::PrintToString(text);
            EXPECT_EQ(records[i].Line, static_cast<int32_t>(i));
        }
        EXPECT_EQ(LineKey(text), ReferenceKey(text)); // line ends as plain control bytes
    }
}

// Each row names the search rule it pins; the literal matcher must agree with every row.
TEST(MatchLinesTest, SearchOrderAndTies) {
    using Lines = std::vector<std::string>;
    const struct {
        const char* rule;
        Lines oldText, newText;
        const char* map;
    } cases[] = {
        {"both empty", {}, {}, ""},
        {"old empty", {}, {"a", "b"}, "N0 N1"},
        {"new empty", {"a", "b"}, {}, "O0 O1"},
        {"rotated lines keep the longest run", {"a", "b", "c"}, {"b", "c", "a"}, "O0 C0 C1 N2"},
        {"old lines of a gap precede its new lines",
         {"a", "x1", "x2", "b"},
         {"a", "y1", "b"},
         "C0 O1 O2 N1 C2"},
        // "x y" lies on a diagonal through the first old line, "p q" on one through the first
        // new line; both are two long and the first searched wins.
        {"a tie goes to the diagonal through the first old line",
         {"x", "y", "p", "q"},
         {"p", "q", "x", "y"},
         "N0 N1 C2 C3 O2 O3"},
        // "a b" is on the fourth diagonal of the first direction, "c d" on the third of the
        // second: all diagonals of the first direction come first.
        {"a tie wins even further along the first direction",
         {"a", "b", "c", "d"},
         {"c", "d", "x", "a", "b"},
         "N0 N1 N2 C3 C4 O2 O3"},
        {"the first run along one diagonal wins",
         {"a", "b", "c", "a", "b"},
         {"a", "b"},
         "C0 C1 O2 O3 O4"},
        {"the first run along one diagonal wins, later start",
         {"c", "a", "b", "a", "b"},
         {"a", "b"},
         "O0 C0 C1 O3 O4"},
        {"a longer run on a later diagonal beats an earlier short one",
         {"a", "p", "q", "r"},
         {"p", "q", "r", "x", "a"},
         "O0 C0 C1 C2 N3 N4"},
        {"blank lines match whatever their blanks", {"a", "", "b"}, {"A", " \t ", "b"}, "C0 C1 C2"},
        {"blanks inside literals count", {"s := 'a b';"}, {"s := 'a  b';"}, "O0 N0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Match(c.oldText, c.newText), c.map) << c.rule;
        EXPECT_EQ(Show(MatchLinesLiteral(Records(c.oldText), Records(c.newText))), c.map)
            << "literal: " << c.rule;
    }
}

TEST(MatchLinesTest, MapAndFlagsFollowTheLinesOfPartialArrays) {
    // The arrays cover lines 5..7 and 40..42 of their texts; stale flags and an old map are
    // replaced.
    auto a = Records({"a", "x", "c"}, 5);
    auto b = Records({"a", "y", "c"}, 40);
    for (auto& r : a)
        r.Unmatched = true;
    std::vector<TMapEntry> map{{Common, 7}};
    MatchLines(a, b, map);
    EXPECT_EQ(Show(map), "C40 O6 N41 C42");
    const bool expected[] = {false, true, false};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(a[i].Unmatched, expected[i]) << i;
        EXPECT_EQ(b[i].Unmatched, expected[i]) << i;
    }
}

namespace {

std::vector<TLineRecord> RandomRecords(std::mt19937& rng, int maxLen, uint32_t alphabet) {
    std::uniform_int_distribution<int> lenDist(0, maxLen);
    std::uniform_int_distribution<uint32_t> keyDist(0, alphabet - 1);
    std::uniform_int_distribution<int> stepDist(1, 3);
    std::vector<TLineRecord> r(lenDist(rng));
    int32_t line = stepDist(rng) - 1;
    for (auto& rec : r) {
        rec.Key = keyDist(rng);
        rec.Line = line;
        rec.Unmatched = (keyDist(rng) & 1) != 0; // stale flags must be overwritten
        line += stepDist(rng);
    }
    return r;
}

// The map interleaves every line once, in order, pairs only equal keys, and the flags say which
// lines were left unmatched.
void ExpectMapCoversBothArrays(const std::vector<TLineRecord>& a, const std::vector<TLineRecord>& b,
                               const std::vector<TMapEntry>& map) {
    size_t i = 0, j = 0;
    for (const auto& e : map) {
        const bool old = e.Kind != NewOnly, neu = e.Kind != OldOnly;
        ASSERT_TRUE(!old || i < a.size());
        ASSERT_TRUE(!neu || j < b.size());
        if (old) {
            EXPECT_EQ(a[i].Unmatched, e.Kind == OldOnly);
        }
        if (neu) {
            EXPECT_EQ(b[j].Unmatched, e.Kind == NewOnly);
        }
        if (old && neu) {
            EXPECT_EQ(a[i].Key, b[j].Key);
        }
        EXPECT_EQ(e.Line, neu ? b[j].Line : a[i].Line);
        i += old ? 1 : 0;
        j += neu ? 1 : 0;
    }
    EXPECT_EQ(i, a.size());
    EXPECT_EQ(j, b.size());
}

} // namespace

TEST(MatchLinesTest, SmallRandomInputsGiveTheLiteralMap) {
    std::mt19937 rng(4711);
    for (int round = 0; round < 3000; ++round) {
        uint32_t alphabet = 1 + round % 6;
        int maxLen = round < 2500 ? 16 : 120;
        auto a = RandomRecords(rng, maxLen, alphabet);
        auto b = RandomRecords(rng, maxLen, alphabet);
        const auto expected = MatchLinesLiteral(a, b);
        std::vector<TMapEntry> map;
        MatchLines(a, b, map);
        ASSERT_EQ(Show(map), Show(expected)) << "round " << round;
        ExpectMapCoversBothArrays(a, b, map);
        if (HasFailure()) FAIL() << "round " << round;
    }
}

TEST(MatchLinesTest, LargeRangesGiveTheLiteralMap) {
    // Large enough that the matcher finds runs through window hashes rather than by scanning
    // every diagonal; few distinct keys make many ties and repeated windows.
    // Every eighth round has mostly unique keys, where a run through a line found once on each
    // side gives the length; copied blocks there make ties of that length.
    std::mt19937 rng(8128);
    for (int round = 0; round < 80; ++round) {
        const uint32_t alphabet =
            round % 8 == 7 ? 1u << 20 : 2 + static_cast<uint32_t>(round % 7) * 7;
        auto a = RandomRecords(rng, 150 + round * 20, alphabet);
        std::vector<TLineRecord> b;
        if (round % 3 == 0) {
            b = RandomRecords(rng, 150 + round * 20, alphabet);
        } else {
            // An edited copy: deletions, insertions and a moved block.
            for (size_t i = 0; i < a.size(); ++i) {
                if (rng() % 17 == 0) continue;
                if (rng() % 19 == 0)
                    b.push_back({static_cast<uint32_t>(rng() % alphabet), 0, false});
                b.push_back(a[i]);
            }
            for (size_t k = 0; k < 25 && k < a.size(); ++k)
                b.push_back(a[a.size() / 3 + k / 2]);
            for (int copy = 0; copy < 2; ++copy)
                for (size_t k = 0; k < 12; ++k)
                    b.push_back(a[a.size() / 2 + k]);
            for (size_t j = 0; j < b.size(); ++j)
                b[j].Line = static_cast<int32_t>(j);
        }
        const auto expected = MatchLinesLiteral(a, b);
        std::vector<TMapEntry> map;
        MatchLines(a, b, map);
        ASSERT_EQ(Show(map), Show(expected)) << "round " << round;
    }
    // All keys equal: the longest run is the whole shorter side, on the first diagonal.
    std::vector<TLineRecord> same(700), longer(900);
    for (size_t i = 0; i < same.size(); ++i)
        same[i] = {7u, static_cast<int32_t>(i), false};
    for (size_t j = 0; j < longer.size(); ++j)
        longer[j] = {7u, static_cast<int32_t>(j), false};
    std::vector<TMapEntry> map;
    MatchLines(same, longer, map);
    EXPECT_EQ(map, MatchLinesLiteral(same, longer));
}

TEST(MatchLinesTest, RepeatedLinesGiveTheLiteralMap) {
    // Runs of one or a few keys taken one after another along a diagonal, and the same with the
    // diagonal broken now and then, on both sides.
    std::mt19937 rng(2026);
    auto keys = [](const std::vector<uint32_t>& k) {
        std::vector<TLineRecord> r;
        for (size_t i = 0; i < k.size(); ++i)
            r.push_back({k[i], static_cast<int32_t>(i), false});
        return r;
    };
    struct Family {
        const char* name;
        std::vector<uint32_t> oldKeys, newKeys;
    };
    std::vector<Family> families;
    const int n = 500;
    std::vector<uint32_t> ends(n, 1), alternating, halfThenOther(n / 2, 1), periodic3, noisy;
    for (int i = 0; i < n / 2; ++i) {
        alternating.push_back(1);
        alternating.push_back(2);
    }
    halfThenOther.push_back(2);
    for (int i = 0; i < n; ++i)
        periodic3.push_back(i % 3 == 0 ? 1 : 2);
    for (int i = 0; i < n; ++i)
        noisy.push_back(rng() % 9 == 0 ? 3 + static_cast<uint32_t>(rng() % 3) : 1 + (i & 1));
    families.push_back({"ends/alternating", ends, alternating});
    families.push_back({"alternating/ends", alternating, ends});
    families.push_back({"ends/half then other", ends, halfThenOther});
    families.push_back({"alternating/period 3", alternating, periodic3});
    families.push_back({"period 3/noisy", periodic3, noisy});
    families.push_back({"noisy/alternating", noisy, alternating});
    for (const auto& f : families) {
        auto a = keys(f.oldKeys), b = keys(f.newKeys);
        std::vector<TMapEntry> map;
        MatchLines(a, b, map);
        EXPECT_EQ(map, MatchLinesLiteral(a, b)) << f.name;
    }
}
