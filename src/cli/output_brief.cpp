// -q, --brief: one line when the files differ, nothing when they are equivalent.
#include <iostream>

#include "output_format.h"

namespace quennet::cli {

namespace {

void WriteBrief(const diff::ComparisonResult& result, const CliOptions& opt) {
    if (!result.equivalent)
        std::cout << "Files " << opt.Label(0) << " and " << opt.Label(1) << " differ\n";
}

const RegisterOutputFormat kBrief({Output::Brief,
                                   "brief",
                                   'q',
                                   {Command::Diff},
                                   &WriteBrief,
                                   "only \"Files OLD and NEW differ\" when they differ"});

} // namespace

} // namespace quennet::cli
