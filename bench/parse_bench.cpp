// Parsing throughput over a corpus: every .pas/.pp file under the given folders (default: the
// fpc-source tree when installed, else the bundled examples repeated), loaded into memory first.
// Prints MB/s and tokens/s of TPasSrc::Parse; with --peer CMD it also times another parser
// program on the same file list in the same run. Include files are not followed: the times are
// those of the parser itself, comparable with builds that had no include files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "model/source_model.h"
#include "pascal/parse.h"
#include "pascal/parser.h"

namespace fs = std::filesystem;
using namespace quennet;

namespace {

std::vector<std::string> FindFiles(const std::vector<std::string>& roots) {
    std::vector<std::string> files;
    for (const auto& root : roots) {
        std::error_code ec;
        if (fs::is_regular_file(root, ec)) {
            files.push_back(root);
            continue;
        }
        for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (!it->is_regular_file(ec)) continue;
            auto ext = it->path().extension().string();
            if (ext == ".pas" || ext == ".pp") files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Counts the tokens of one text with the bare scanner (no grammar).
uint64_t CountTokens(const std::string& text) {
    pascal::TOp4Scanner s;
    s.InitSource(text.data(), static_cast<int32_t>(text.size()));
    uint64_t n = 0;
    while (s.Get() != pascal::tEndOfText)
        ++n;
    return n;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> roots;
    int rounds = 3;
    std::string listOut;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--list" && i + 1 < argc)
            listOut = argv[++i];
        else
            roots.push_back(a);
    }
    if (roots.empty()) {
        if (fs::exists("/usr/share/fpcsrc"))
            roots.push_back("/usr/share/fpcsrc");
        else
            roots.push_back(QUENNET_BENCH_EXAMPLES);
    }
    std::vector<std::string> files = FindFiles(roots);
    std::vector<std::string> texts;
    uint64_t bytes = 0;
    for (const auto& f : files) {
        try {
            texts.push_back(io::JoinLinesCrLf(io::LoadSourceLines(f)));
            bytes += texts.back().size();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "skipped: %s\n", e.what());
        }
    }
    // A tiny corpus is repeated so that timings mean something; the peer reads the same list.
    const int repeat = texts.size() < 50 && bytes < 4'000'000 ? 200 : 1;
    if (repeat > 1) {
        std::vector<std::string> more;
        for (int r = 0; r < repeat; ++r)
            more.insert(more.end(), texts.begin(), texts.end());
        bytes *= repeat;
        texts.swap(more);
    }
    if (!listOut.empty()) {
        FILE* lf = std::fopen(listOut.c_str(), "w");
        if (lf) {
            for (const auto& f : files)
                std::fprintf(lf, "%s\n", f.c_str());
            std::fclose(lf);
        }
    }
    uint64_t tokens = 0;
    for (const auto& t : texts)
        tokens += CountTokens(t);
    const std::vector<std::string> symbols = {"VER130", "WIN32", "CPU386"};
    // The classic and the delphi reading, rounds interleaved so that load on the machine falls
    // on both alike.
    const model::Dialect dialects[2] = {model::Dialect::Classic, model::Dialect::Delphi};
    auto reading = [](model::Dialect d) {
        model::ParseOptions r(d);
        r.followIncludes = false;
        return r;
    };
    double bestOf[2] = {1e30, 1e30};
    size_t completeOf[2] = {0, 0};
    for (int r = 0; r < rounds; ++r) {
        for (int d = 0; d < 2; ++d) {
            completeOf[d] = 0;
            auto t0 = std::chrono::steady_clock::now();
            for (const auto& t : texts) {
                model::TPasSrc m;
                pascal::Parse(m, t, &symbols, reading(dialects[d]));
                completeOf[d] += m.Status.Complete ? 1 : 0;
            }
            double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            bestOf[d] = std::min(bestOf[d], s);
        }
    }
    const double best = bestOf[0];
    const size_t complete = completeOf[0];
    // The same work for both: only the files that the classic reading follows to the end (it
    // reads less of the others, so the whole-corpus times compare unequal amounts of text).
    std::vector<const std::string*> followed;
    for (const auto& t : texts) {
        model::TPasSrc m;
        pascal::Parse(m, t, &symbols, {model::Dialect::Classic, {}, {}});
        if (m.Status.Complete) followed.push_back(&t);
    }
    double bestFollowed[2] = {1e30, 1e30};
    for (int r = 0; r < rounds; ++r) {
        for (int d = 0; d < 2; ++d) {
            auto t0 = std::chrono::steady_clock::now();
            for (const std::string* t : followed) {
                model::TPasSrc m;
                pascal::Parse(m, *t, &symbols, reading(dialects[d]));
            }
            bestFollowed[d] = std::min(
                bestFollowed[d],
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        }
    }
    // The slowest files, to spot inputs where trials blow up.
    std::vector<std::pair<double, size_t>> perFile;
    for (size_t i = 0; i < texts.size() && i < files.size(); ++i) {
        auto t0 = std::chrono::steady_clock::now();
        model::TPasSrc m;
        pascal::Parse(m, texts[i], &symbols);
        perFile.emplace_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), i);
    }
    std::sort(perFile.rbegin(), perFile.rend());
    for (size_t k = 0; k < perFile.size() && k < 5; ++k)
        std::printf("slow: %.3f s %s (%.0f KB)\n", perFile[k].first,
                    files[perFile[k].second].c_str(),
                    static_cast<double>(texts[perFile[k].second].size()) / 1e3);
    std::printf("files %zu, %.1f MB, %llu tokens, parsed completely %zu\n", texts.size(),
                static_cast<double>(bytes) / 1e6, static_cast<unsigned long long>(tokens),
                complete);
    std::printf("quennet parse: %.3f s, %.1f MB/s, %.2f Mtokens/s (best of %d)\n", best,
                static_cast<double>(bytes) / 1e6 / best, static_cast<double>(tokens) / 1e6 / best,
                rounds);
    std::printf("quennet parse, delphi reading: %.3f s, %.1f MB/s, parsed completely %zu, "
                "time %.3f x classic\n",
                bestOf[1], static_cast<double>(bytes) / 1e6 / bestOf[1], completeOf[1],
                bestOf[1] / best);
    std::printf("files the classic reading follows fully (%zu): classic %.3f s, delphi %.3f s, "
                "time %.3f x classic\n",
                followed.size(), bestFollowed[0], bestFollowed[1],
                bestFollowed[1] / bestFollowed[0]);
    // The speed peer, on the same files in the same run, when bench/build_peer.sh has built it.
    if (fs::exists(QUENNET_BENCH_PEER) && texts.size() == files.size() * repeat) {
        std::string list = (fs::temp_directory_path() / "quennet-bench-files.txt").string();
        if (FILE* lf = std::fopen(list.c_str(), "w")) {
            for (int r = 0; r < repeat; ++r)
                for (const auto& f : files)
                    std::fprintf(lf, "%s\n", f.c_str());
            std::fclose(lf);
            std::string cmd = std::string(QUENNET_BENCH_PEER) + " " + std::to_string(rounds) +
                              " < '" + list + "'";
            std::fflush(stdout);
            double peer = -1;
            if (FILE* pipe = ::popen(cmd.c_str(), "r")) {
                char line[512];
                while (std::fgets(line, sizeof line, pipe)) {
                    std::fputs(line, stdout);
                    std::sscanf(line, "tree-sitter-pascal: %lf s", &peer);
                }
                if (::pclose(pipe) != 0) peer = -1;
            }
            if (peer > 0)
                std::printf("speed against tree-sitter-pascal: classic %.2fx, delphi %.2fx "
                            "(its time / ours)\n",
                            peer / best, peer / bestOf[1]);
            else
                std::fprintf(stderr, "peer failed\n");
        }
    } else {
        std::printf("(no peer: run bench/build_peer.sh to time tree-sitter-pascal as well)\n");
    }
    return 0;
}
