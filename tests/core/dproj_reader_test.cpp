// The search paths of a Delphi project file, read for its default build.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pascal/dproj_reader.h"

using quennet::pascal::DprojSearchPaths;

namespace {

// The frame an IDE writes: Debug and Win32 by default, Base set from the start, one group per
// configuration and platform that sets its flag, then the groups holding the settings.
std::string Project(const std::string& config, const std::string& settings) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<Project xmlns=\"http://schemas.microsoft.com/developer/msbuild/2003\">\r\n"
           "  <PropertyGroup>\r\n"
           "    <Base>True</Base>\r\n"
           "    <Config Condition=\"'$(Config)'==''\">" +
           config +
           "</Config>\r\n"
           "    <Platform Condition=\"'$(Platform)'==''\">Win32</Platform>\r\n"
           "  </PropertyGroup>\r\n"
           "  <PropertyGroup Condition=\"'$(Config)'=='Base' or '$(Base)'!=''\">\r\n"
           "    <Base>true</Base>\r\n"
           "  </PropertyGroup>\r\n"
           "  <PropertyGroup Condition=\"('$(Platform)'=='Win32' and '$(Base)'=='true') or "
           "'$(Base_Win32)'!=''\">\r\n"
           "    <Base_Win32>true</Base_Win32>\r\n"
           "  </PropertyGroup>\r\n"
           "  <PropertyGroup Condition=\"('$(Platform)'=='Win64' and '$(Base)'=='true') or "
           "'$(Base_Win64)'!=''\">\r\n"
           "    <Base_Win64>true</Base_Win64>\r\n"
           "  </PropertyGroup>\r\n"
           "  <PropertyGroup Condition=\"'$(Config)'=='Debug' or '$(Cfg_1)'!=''\">\r\n"
           "    <Cfg_1>true</Cfg_1>\r\n"
           "    <CfgParent>Base</CfgParent>\r\n"
           "  </PropertyGroup>\r\n"
           "  <PropertyGroup Condition=\"'$(Config)'=='Release' or '$(Cfg_2)'!=''\">\r\n"
           "    <Cfg_2>true</Cfg_2>\r\n"
           "  </PropertyGroup>\r\n" +
           settings + "</Project>\r\n";
}

std::string Group(const std::string& condition, const std::string& body) {
    return "  <PropertyGroup Condition=\"" + condition + "\">\r\n    " + body +
           "\r\n  </PropertyGroup>\r\n";
}

using Paths = std::vector<std::string>;

} // namespace

TEST(DprojReader, ReadsTheGroupsOfTheDefaultBuild) {
    const std::string base =
        Group("'$(Base)'!=''", "<DCC_UnitSearchPath>..\\Source;$(BDS)\\lib;$(DCC_UnitSearchPath)</"
                               "DCC_UnitSearchPath>");
    const std::string debug =
        Group("'$(Cfg_1)'!=''",
              "<DCC_UnitSearchPath>Debug\\inc;$(DCC_UnitSearchPath)</DCC_UnitSearchPath>");
    const std::string release =
        Group("'$(Cfg_2)'!=''",
              "<DCC_UnitSearchPath>Release\\inc;$(DCC_UnitSearchPath)</DCC_UnitSearchPath>");
    struct Case {
        const char* what;
        std::string text;
        Paths expected;
    };
    const Case cases[] = {
        {"Debug by default: Base, then Debug before it; Release not",
         Project("Debug", base + debug + release),
         {"Debug\\inc", "..\\Source", "$(BDS)\\lib"}},
        {"Release as the default",
         Project("Release", base + debug + release),
         {"Release\\inc", "..\\Source", "$(BDS)\\lib"}},
        {"the list so far stands at the end of a value",
         Project("Debug",
                 base + Group("'$(Cfg_1)'!=''", "<DCC_UnitSearchPath>$(DCC_UnitSearchPath);last</"
                                                "DCC_UnitSearchPath>")),
         {"..\\Source", "$(BDS)\\lib", "last"}},
        {"a value without the list replaces it",
         Project("Debug",
                 base + Group("'$(Cfg_1)'!=''", "<DCC_UnitSearchPath>only</DCC_UnitSearchPath>")),
         {"only"}},
        {"the platform's group holds, the other platform's not",
         Project("Debug",
                 Group("'$(Base_Win32)'!=''", "<DCC_IncludePath>win32</DCC_IncludePath>") +
                     Group("'$(Base_Win64)'!=''", "<DCC_IncludePath>win64</DCC_IncludePath>")),
         {"win32"}},
        {"include path before unit search path, each entry trimmed",
         Project("Debug",
                 Group("'$(Base)'!=''", "<DCC_UnitSearchPath> units ;;</DCC_UnitSearchPath>"
                                        "<DCC_IncludePath>\r\n  incs\r\n</DCC_IncludePath>")),
         {"incs", "units"}},
        {"a property's own condition",
         Project("Debug",
                 Group("'$(Base)'!=''",
                       "<DCC_IncludePath Condition=\"'$(Config)'=='Release'\">rel</DCC_IncludePath>"
                       "<DCC_UnitSearchPath Condition=\"'$(Config)'=='Debug'\">dbg</"
                       "DCC_UnitSearchPath>")),
         {"dbg"}},
        {"conditions an evaluation cannot settle count as false",
         Project("Debug", Group("Exists('x.optset')", "<DCC_IncludePath>a</DCC_IncludePath>") +
                              Group("'$(ProjectVersion)' &lt; '19'",
                                    "<DCC_IncludePath>b</DCC_IncludePath>") +
                              Group("'$(Base)'!='' and", "<DCC_IncludePath>c</DCC_IncludePath>") +
                              Group("('$(Base)'!=''", "<DCC_IncludePath>d</DCC_IncludePath>")),
         {}},
        {"not, true, entities, comments, letter case",
         Project("Debug", "<!-- <PropertyGroup><DCC_IncludePath>comment</DCC_IncludePath> -->\r\n" +
                              Group("!('$(CONFIG)'=='release') AND &apos;$(base)&apos;=='TRUE'",
                                    "<dcc_includepath>x&amp;y</dcc_includepath>") +
                              Group("true or '$(Nothing)'=='x'",
                                    "<DCC_IncludePath>$(DCC_INCLUDEPATH);z</DCC_IncludePath>")),
         {"x&y", "z"}},
        {"groups of targets and imports are not the build's properties",
         Project("Debug", "<Target Name=\"T\"><PropertyGroup><DCC_IncludePath>t</DCC_IncludePath>"
                          "</PropertyGroup></Target><ItemGroup><DCC_IncludePath>i</"
                          "DCC_IncludePath></ItemGroup>"),
         {}},
        {"an unfinished file keeps what was read",
         Project("Debug", base).substr(0, Project("Debug", base).rfind("</Project>")) +
             "<PropertyGroup><DCC_IncludePath>cut",
         {"cut", "..\\Source", "$(BDS)\\lib"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DprojSearchPaths(c.text), c.expected);
    }
    // The older form: one condition on "Configuration|Platform".
    const std::string older =
        "<Project><PropertyGroup>"
        "<Configuration Condition=\" '$(Configuration)' == '' \">Debug</Configuration>"
        "<Platform Condition=\" '$(Platform)' == '' \">AnyCPU</Platform></PropertyGroup>"
        "<PropertyGroup Condition=\" '$(Configuration)|$(Platform)' == 'Release|AnyCPU' \">"
        "<DCC_UnitSearchPath>rel</DCC_UnitSearchPath></PropertyGroup>"
        "<PropertyGroup Condition=\" '$(Configuration)|$(Platform)' == 'Debug|AnyCPU' \">"
        "<DCC_UnitSearchPath>dbg</DCC_UnitSearchPath></PropertyGroup></Project>";
    EXPECT_EQ(DprojSearchPaths(older), Paths{"dbg"});
    EXPECT_EQ(DprojSearchPaths(""), Paths{});
    EXPECT_EQ(DprojSearchPaths("not xml at all <<<"), Paths{});
}
