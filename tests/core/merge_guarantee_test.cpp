// The check of clean three-way merges: wrong results of the shapes real merges took are caught
// and marked; right ones pass. Then merges generated from real units: each side edits another
// routine (often routines with the same body), and the merge must be both edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "io/source_file.h"
#include "merge3/merge_guarantee.h"
#include "merge3/text_outline.h"
#include "merge3/three_way.h"

namespace fs = std::filesystem;
using namespace quennet;
using Lines = std::vector<std::string>;

namespace {

const char* kBase = R"(unit Services;

interface

uses
  SysUtils, Classes, Contnrs;

type
  TA = class
  private
    fName: string;
  public
    constructor Create(const name: string);
    function Name: string;
  end;

implementation

{$R base.res}

constructor TA.Create(const name: string);
begin
  inherited Create;
  fName := name;
end;

function TA.Name: string;
begin
  Result := fName;
end;

end.
)";

std::string Edit(std::string text, const std::vector<std::pair<std::string, std::string>>& edits) {
    for (const auto& [from, to] : edits) {
        size_t at = text.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

const std::string kTb = "\nconstructor TB.Create(const name: string);\nbegin\n  inherited "
                        "Create;\n  fName := name;\nend;\n";

std::vector<merge3::GuaranteeViolation> Check(const std::string& b, const std::string& l,
                                              const std::string& r, const std::string& result) {
    const Lines versions[3] = {io::SplitLines(b), io::SplitLines(l), io::SplitLines(r)};
    return merge3::CheckMergeGuarantee(versions, io::SplitLines(result), "u.pas", {});
}

} // namespace

TEST(MergeGuarantee, CatchesWrongCleanResultsAndPassesRightOnes) {
    const std::string base = kBase;
    // LOCAL adds TB.Create with TA.Create's body; REMOTE edits TA.Create's body.
    const std::string local =
        Edit(base, {{"implementation", "  TB = class\n  private\n    fName: string;\n  public\n"
                                       "    constructor Create(const name: string);\n  end;\n\n"
                                       "implementation"},
                    {"\nend.", kTb + "\nend."}});
    const std::string remote = Edit(base, {{"  fName := name;", "  fName := Trim(name);"}});
    struct Case {
        const char* what;
        std::string local, remote, result;
        std::vector<std::string> caught; // names of the violations, in order found
    };
    const std::string right = Edit(local, {{"  fName := name;", "  fName := Trim(name);"}});
    const Case cases[] = {
        {"both edits where they belong", local, remote, right, {}},
        {"the edit lands in the twin body",
         local,
         remote,
         Edit(local, {{"  fName := name;\nend;\n\nend.", "  fName := Trim(name);\nend;\n\nend."}}),
         {"TA.Create", "TB.Create"}},
        {"one side's edit dropped", local, remote, local, {"TA.Create"}},
        {"a declaration removed on one side and changed on the other",
         Edit(base, {{"function TA.Name: string;\nbegin\n  Result := fName;\nend;\n", ""}}),
         Edit(base, {{"Result := fName;", "Result := UpperCase(fName);"}}),
         Edit(base, {{"function TA.Name: string;\nbegin\n  Result := fName;\nend;\n", ""}}),
         {"TA.Name"}},
        {"a uses clause loses a unit no side removed",
         Edit(base, {{"Contnrs;", "Contnrs, Math;"}}),
         Edit(base, {{"SysUtils, ", ""}}),
         Edit(base, {{"SysUtils, Classes, Contnrs;", "Contnrs, Math;"}}),
         {"uses (INTERFACE)"}},
        {"uses clauses edited on both sides",
         Edit(base, {{"Contnrs;", "Contnrs, Math;"}}),
         Edit(base, {{"SysUtils, ", ""}}),
         Edit(base, {{"SysUtils, Classes, Contnrs;", "Classes, Contnrs, Math;"}}),
         {}},
        {"a member twice",
         Edit(base, {{"    function Name: string;\n",
                      "    function Name: string;\n    procedure Clear;\n"}}),
         remote,
         Edit(remote,
              {{"    function Name: string;\n",
                "    function Name: string;\n    procedure Clear;\n    procedure Clear;\n"}}),
         // The parse keeps a member once: the copy is text no version has there.
         {"the text after TA.Clear and before TA.Create"}},
        {"a member neither side removed is lost",
         local,
         remote,
         Edit(right, {{"    function Name: string;\n", ""}}),
         {"TA.Name"}},
        {"the text between declarations loses a side's edit",
         Edit(base, {{"Result := fName;", "Result := fName + '';"}}),
         Edit(base, {{"{$R base.res}", "{$R remote.res}"}}),
         Edit(base, {{"Result := fName;", "Result := fName + '';"}}),
         {"the text after TA.Name and before TA.Create"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto found = Check(base, c.local, c.remote, c.result);
        std::vector<std::string> names;
        for (const auto& v : found)
            names.push_back(v.name);
        EXPECT_EQ(c.caught, names);
        // Marked, each violation is a conflict holding its three versions.
        Lines marked = io::SplitLines(c.result);
        EXPECT_EQ(static_cast<int32_t>(found.size()),
                  merge3::MarkViolations(marked, found, {"BASE", "LOCAL", "REMOTE"}));
        EXPECT_EQ(found.size(),
                  static_cast<size_t>(std::count(marked.begin(), marked.end(), "=======")));
    }
}

// Overloads pair by parameter types, not by names of parameters.
TEST(MergeGuarantee, ParameterTypesTellOverloadsApart) {
    const std::pair<const char*, const char*> same[] = {
        {"procedure P(const a: string; b, c: Integer);",
         "procedure P(const x: string; y, z: Integer); overload;"},
        {"function F(x: Integer = 3): Boolean;", "function F(y: Integer = 4): Boolean;"},
        {"procedure P;", "procedure P; overload;"},
    };
    for (const auto& [a, b] : same)
        EXPECT_EQ(merge3::ParameterTypes({a}, 8), merge3::ParameterTypes({b}, 8)) << a;
    const std::pair<const char*, const char*> apart[] = {
        {"procedure P(const a: string);", "procedure P(var a: string);"},
        {"procedure P(a, b: Integer);", "procedure P(a: Integer);"},
        {"procedure P(a: TArray<Integer>);", "procedure P(a: TArray<string>);"},
    };
    for (const auto& [a, b] : apart)
        EXPECT_NE(merge3::ParameterTypes({a}, 8), merge3::ParameterTypes({b}, 8)) << a;
}

namespace {

struct Rng {
    uint64_t state;
    uint32_t Next(uint32_t bound) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return bound ? static_cast<uint32_t>((state >> 33) % bound) : 0;
    }
};

// Lines inside a routine's body where a statement may go: after "begin", before the last line.
std::vector<int32_t> StatementSlots(const Lines& lines, const merge3::RoutineSpan& r) {
    std::vector<int32_t> slots;
    bool inBody = false;
    for (int32_t i = r.first; i < r.last; ++i) {
        std::string t = lines[i];
        t.erase(0, t.find_first_not_of(" \t"));
        if (i > r.first && t.starts_with("begin") && lines[i].find_first_not_of(" \t") == 0)
            inBody = true;
        else if (inBody && lines[i + 1].find_first_not_of(" \t") == 0)
            slots.push_back(i + 1); // before the routine's own "end;"
    }
    return slots;
}

// Adds after routine r an overload with r's body (one more parameter), and marks both
// "overload" as Delphi asks; false where r's heading does not allow it.
bool TwinOverload(const Lines& base, const merge3::RoutineSpan& r, Lines& out) {
    int32_t end = r.first; // the heading's last line
    for (int depth = 0; end < r.last; ++end) {
        bool ends = false;
        for (char c : base[end]) {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            ends = ends || (c == ';' && depth <= 0);
        }
        if (ends) break;
    }
    std::string heading;
    for (int32_t i = r.first; i <= end; ++i)
        heading += base[i];
    const std::string upper = [&] {
        std::string u = heading;
        for (char& c : u)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return u;
    }();
    if (end >= r.last || upper.find("OVERLOAD") != std::string::npos ||
        upper.find("BEGIN") != std::string::npos || upper.find("OPERATOR") != std::string::npos)
        return false;
    Lines copy(base.begin() + r.first, base.begin() + r.last + 1);
    std::string& first = copy[0];
    const size_t dot = first.find('.');
    const size_t at = first.find_first_of("(:;", dot == std::string::npos ? 0 : dot);
    if (at == std::string::npos) return false;
    if (first[at] == '(')
        first.insert(at + 1, "Extra: Integer; ");
    else
        first.insert(at, "(Extra: Integer)");
    copy[end - r.first] += " overload;";
    out = base;
    out[end] += " overload;";
    copy.insert(copy.begin(), "");
    out.insert(out.begin() + r.last + 1, copy.begin(), copy.end());
    return true;
}

} // namespace

TEST(MergeGuarantee, MergesMadeFromRealUnitsGiveBothEdits) {
    const fs::path root =
        fs::path(QUENNET_EXAMPLES_DIR) / ".." / ".." / "shared" / "corpora" / "modern";
    if (!fs::exists(root)) GTEST_SKIP() << "no corpus at " << root;
    std::vector<fs::path> units;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.path().extension() == ".pas" && e.file_size() < 40000) units.push_back(e.path());
    std::sort(units.begin(), units.end());
    ASSERT_GT(units.size(), 100u);
    int made = 0, twins = 0, overloads = 0, conflicted = 0;
    Rng rng{12345};
    for (size_t u = 0; u < units.size() && made < 300; u += 3) {
        const Lines base = io::SplitLines(io::ReadFileBytes(units[u].string()));
        std::vector<merge3::RoutineSpan> routines = merge3::FindRoutines(base, 0);
        std::erase_if(routines, [&](const merge3::RoutineSpan& r) {
            return StatementSlots(base, r).empty();
        });
        if (routines.size() < 2) continue;
        // Prefer two routines with the same body: where a line merge goes wrong.
        std::map<Lines, std::vector<size_t>> byBody;
        for (size_t k = 0; k < routines.size(); ++k)
            byBody[Lines(base.begin() + routines[k].first + 1, base.begin() + routines[k].last + 1)]
                .push_back(k);
        size_t a = rng.Next(static_cast<uint32_t>(routines.size())), b = a;
        for (const auto& [body, ks] : byBody)
            if (ks.size() > 1) a = ks[0], b = ks[1];
        twins += a != b;
        while (b == a)
            b = rng.Next(static_cast<uint32_t>(routines.size()));
        auto slotIn = [&](const merge3::RoutineSpan& r) {
            std::vector<int32_t> slots = StatementSlots(base, r);
            return slots[rng.Next(static_cast<uint32_t>(slots.size()))];
        };
        const int32_t at[2] = {slotIn(routines[a]), slotIn(routines[b])};
        const std::string stmt[2] = {"  LocalEdit := 1;", "  RemoteEdit := 2;"};
        Lines local = base, remote = base, both = base;
        remote.insert(remote.begin() + at[1], stmt[1]);
        if (made % 2 == 1 && TwinOverload(base, routines[b], local)) {
            // LOCAL adds an overload of B with B's body; REMOTE edits B's body.
            both = local;
            both.insert(both.begin() + at[1], stmt[1]);
            ++overloads;
        } else {
            local.insert(local.begin() + at[0], stmt[0]);
            // The later insertion first, so that the earlier one's line number holds.
            const int first = at[0] < at[1] ? 0 : 1;
            both.insert(both.begin() + at[1 - first], stmt[1 - first]);
            both.insert(both.begin() + at[first], stmt[first]);
        }
        auto join = [](const Lines& lines) {
            std::string s;
            for (const auto& l : lines)
                s += l + "\n";
            return s;
        };
        merge3::ThreeWayResult r = merge3::MergeThreeWay({join(base), "base.pas", "BASE"},
                                                         {join(local), "local.pas", "LOCAL"},
                                                         {join(remote), "remote.pas", "REMOTE"});
        SCOPED_TRACE(units[u].string() + ": " + routines[a].name + " and " + routines[b].name);
        // A conflict is no wrong merge, but should stay rare; a clean result must be both edits.
        if (r.conflicts == 0)
            EXPECT_EQ(both, io::SplitLines(r.text));
        else
            ++conflicted;
        ++made;
    }
    EXPECT_GE(made, 200);
    EXPECT_GE(twins, 20);
    EXPECT_GE(overloads, 50);
    EXPECT_LE(conflicted, made / 50);
}
