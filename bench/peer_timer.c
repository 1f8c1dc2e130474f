/* Times tree-sitter's Pascal parser over a list of files (the paths after the round count, or
   one path per line on stdin), all loaded into memory first; prints MB/s. Built by
   build_peer.sh, not by CMake. Given one file and one round it is also the whole-process peer. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <tree_sitter/api.h>

const TSLanguage* tree_sitter_pascal(void);

int main(int argc, char** argv) {
    int rounds = argc > 1 ? atoi(argv[1]) : 1;
    char line[4096];
    size_t n = 0, cap = 1024, total = 0;
    char** texts = malloc(cap * sizeof *texts);
    size_t* lens = malloc(cap * sizeof *lens);
    int next = 2;
    for (;;) {
        if (argc > 2) {
            if (next >= argc) break;
            snprintf(line, sizeof line, "%s", argv[next++]);
        } else {
            if (!fgets(line, sizeof line, stdin)) break;
            line[strcspn(line, "\n")] = 0;
        }
        FILE* f = fopen(line, "rb");
        if (!f) continue;
        fseek(f, 0, SEEK_END);
        long len = ftell(f);
        fseek(f, 0, SEEK_SET);
        if (n == cap) {
            cap *= 2;
            texts = realloc(texts, cap * sizeof *texts);
            lens = realloc(lens, cap * sizeof *lens);
        }
        texts[n] = malloc(len + 1);
        lens[n] = fread(texts[n], 1, len, f);
        total += lens[n];
        fclose(f);
        n++;
    }
    double best = 1e30;
    size_t errors = 0;
    for (int r = 0; r < (rounds < 1 ? 1 : rounds); r++) {
        struct timespec a, b;
        errors = 0;
        clock_gettime(CLOCK_MONOTONIC, &a);
        TSParser* p = ts_parser_new();
        ts_parser_set_language(p, tree_sitter_pascal());
        for (size_t i = 0; i < n; i++) {
            TSTree* t = ts_parser_parse_string(p, NULL, texts[i], (uint32_t)lens[i]);
            if (ts_node_has_error(ts_tree_root_node(t))) errors++;
            ts_tree_delete(t);
        }
        ts_parser_delete(p);
        clock_gettime(CLOCK_MONOTONIC, &b);
        double s = (b.tv_sec - a.tv_sec) + (b.tv_nsec - a.tv_nsec) / 1e9;
        if (s < best) best = s;
    }
    printf("tree-sitter-pascal: %.3f s, %.1f MB/s over %zu files (%zu with error nodes)\n", best,
           total / 1e6 / best, n, errors);
    return 0;
}
