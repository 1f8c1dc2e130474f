#include "golden_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "cli_runner.h"

namespace quennet::testing {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end + 1 - start));
        start = end + 1;
    }
    return out;
}

// One edit per line: ' ' kept, '-' expected only, '+' actual only.
std::vector<char> EditScript(const std::vector<std::string_view>& a,
                             const std::vector<std::string_view>& b) {
    size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    const size_t n = a.size() - head - tail, m = b.size() - head - tail;
    std::vector<char> script(head, ' ');
    // A longest common subsequence of the middle; past a few million cells the middle is
    // shown as removed, then added, which still names every differing line.
    if (n * m <= 4'000'000) {
        std::vector<uint32_t> lcs((n + 1) * (m + 1), 0);
        auto at = [&](size_t i, size_t j) -> uint32_t& { return lcs[i * (m + 1) + j]; };
        for (size_t i = n; i-- > 0;)
            for (size_t j = m; j-- > 0;)
                at(i, j) = a[head + i] == b[head + j] ? at(i + 1, j + 1) + 1
                                                      : std::max(at(i + 1, j), at(i, j + 1));
        size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[head + i] == b[head + j]) {
                script.push_back(' ');
                ++i, ++j;
            } else if (j == m || (i < n && at(i + 1, j) >= at(i, j + 1))) {
                script.push_back('-');
                ++i;
            } else {
                script.push_back('+');
                ++j;
            }
        }
    } else {
        script.insert(script.end(), n, '-');
        script.insert(script.end(), m, '+');
    }
    script.insert(script.end(), tail, ' ');
    return script;
}

std::string Range(size_t first, size_t count) {
    // diff -u names the line before an empty range.
    return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
}

} // namespace

std::string UnifiedDiff(std::string_view expected, std::string_view actual) {
    if (expected == actual) return {};
    const auto a = Lines(expected), b = Lines(actual);
    const std::vector<char> script = EditScript(a, b);
    constexpr size_t kContext = 3;
    std::string out = "--- expected\n+++ actual\n";
    size_t k = 0, i = 0, j = 0; // position in the script, in a, in b
    while (k < script.size()) {
        if (script[k] == ' ') {
            ++k, ++i, ++j;
            continue;
        }
        // A hunk: context before, then on while the next change lies within twice the context.
        const size_t back = std::min({kContext, i, j});
        size_t last = k;
        for (size_t t = k; t < script.size() && t - last <= 2 * kContext + 1; ++t)
            if (script[t] != ' ') last = t;
        const size_t end = std::min(script.size(), last + 1 + kContext);
        size_t oldCount = 0, newCount = 0;
        std::string body;
        size_t ai = i - back, bj = j - back;
        for (size_t t = k - back; t < end; ++t) {
            std::string_view line;
            if (script[t] == '+') {
                line = b[bj++];
                ++newCount;
            } else {
                line = a[ai++];
                ++oldCount;
                if (script[t] == ' ') ++bj, ++newCount;
            }
            body += script[t];
            body += line;
            if (line.empty() || line.back() != '\n') body += "\n\\ No newline at end of file\n";
        }
        out += "@@ -" + Range(i - back, oldCount) + " +" + Range(j - back, newCount) + " @@\n";
        out += body;
        k = end, i = ai, j = bj;
    }
    return out;
}

std::vector<std::filesystem::path> CaseFolders(std::string_view prefix) {
    std::vector<std::filesystem::path> out;
    for (const auto& e : std::filesystem::directory_iterator(QUENNET_CASES_DIR))
        if (e.is_directory() && e.path().filename().string().starts_with(prefix))
            out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

void ExpectSameText(std::string_view expected, std::string_view actual, const std::string& label) {
    if (expected != actual)
        ADD_FAILURE() << label << " differs:\n" << UnifiedDiff(expected, actual);
}

void ExpectGolden(const std::filesystem::path& expectedPath, const std::string& actual) {
    auto actualPath = expectedPath;
    actualPath += ".actual";
    const char* update = std::getenv("UPDATE_GOLDEN");
    const bool accept = update && std::string_view(update) == "1";
    const std::string expected =
        std::filesystem::exists(expectedPath) ? ReadWholeFile(expectedPath) : std::string();
    if (expected == actual) {
        std::filesystem::remove(actualPath);
        return;
    }
    std::ofstream(accept ? expectedPath : actualPath, std::ios::binary) << actual;
    if (!accept)
        ExpectSameText(expected, actual,
                       expectedPath.string() + " (actual kept in " + actualPath.string() + ")");
}

} // namespace quennet::testing
