// --json: the difference tree as JSON; with -r, the whole-tree summary (tree_command.cpp).
#include <iostream>

#include "output_format.h"
#include "render/tree_json.h"

namespace quennet::cli {

namespace {

void WriteJson(const diff::ComparisonResult& result, const CliOptions& opt) {
    render::WriteComparisonJson(std::cout, result, opt.Label(0), opt.Label(1), result.equivalent);
}

const RegisterOutputFormat kJson({Output::Json,
                                  "json",
                                  0,
                                  {Command::Diff, Command::Tree},
                                  &WriteJson,
                                  "the difference tree as JSON"});

} // namespace

} // namespace quennet::cli
