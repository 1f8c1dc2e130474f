// The model finds a declared name again in any letter case, among names that share long
// beginnings and differ in one byte anywhere, past the short lists it scans and the table it
// hashes into.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/source_model.h"

using namespace quennet;

TEST(NameIndex, EqualNamesInAnyCaseMergeAndOneByteTellsNamesApart) {
    const std::string base = "TGoogleDfaReportingAccountPermissionGroup";
    std::vector<std::string> names;
    for (size_t at = 0; at < base.size(); ++at)
        for (const char c : {'x', '7', '_'}) {
            std::string name = base;
            name[at] = c;
            names.push_back(name);
        }
    for (size_t n = 1; n <= base.size(); ++n)
        names.push_back(base.substr(0, n)); // every length, the longer ones past eight bytes
    model::TPasSrc src;
    for (const std::string& name : names)
        src.AddType(name, "Integer", 0, 1, 1);
    ASSERT_EQ(src.Types.size(), names.size()) << "names one byte apart are different names";
    for (const std::string& name : names) {
        std::string other = name;
        for (char& c : other)
            c = static_cast<char>(c >= 'a' && c <= 'z'   ? c - 32
                                  : c >= 'A' && c <= 'Z' ? c + 32
                                                         : c);
        src.AddType(other, "Integer", 0, 2, 2);
    }
    EXPECT_EQ(src.Types.size(), names.size()) << "the same names in another letter case";
}
