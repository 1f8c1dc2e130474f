// Golden files for the core tests: a mismatch fails with a unified diff of expected and
// actual and keeps the actual output as <expected>.actual; UPDATE_GOLDEN=1 accepts it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::testing {

// The folders of tests/cases whose names start with prefix, in name order.
std::vector<std::filesystem::path> CaseFolders(std::string_view prefix);

// Lines as in diff -u with three lines of context; empty when the texts are equal.
std::string UnifiedDiff(std::string_view expected, std::string_view actual);

// Fails the running test with the diff when the texts differ; label names the expected side.
void ExpectSameText(std::string_view expected, std::string_view actual, const std::string& label);

// A missing expected file reads as empty, so a new case shows its whole output.
void ExpectGolden(const std::filesystem::path& expectedPath, const std::string& actual);

} // namespace quennet::testing
