// --tree: the difference tree as text; where a parse stopped goes to standard error.
#include <iostream>

#include "output_format.h"
#include "render/diff_tree_format.h"

namespace quennet::cli {

namespace {

void WriteTree(const diff::ComparisonResult& result, const CliOptions&) {
    for (const auto& line : render::FormatDiffTree(result.diff->Root))
        std::cout << line << '\n';
    for (const auto& note : result.stopNotes)
        std::cerr << note.text << '\n';
}

const RegisterOutputFormat kTree({Output::Tree,
                                  "tree",
                                  0,
                                  {Command::Diff},
                                  &WriteTree,
                                  "the difference tree: indent, caption, TAB, state, TAB,\n"
                                  "old lines, TAB, new lines"});

} // namespace

} // namespace quennet::cli
