// A unit against its form: each kind of finding, what must not be reported (ancestors' and
// frames' components, non-component fields), new findings between two versions, and the form
// found beside a unit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "cli_runner.h"
#include "diff/compare_sources.h"
#include "forms/form_check.h"
#include "forms/form_reader.h"
#include "io/source_file.h"

namespace fs = std::filesystem;
using namespace quennet;
using forms::FormFinding;

namespace {

const char kUnit[] = "unit Unit1;\n"
                     "interface\n"
                     "uses Forms, StdCtrls;\n"
                     "type\n"
                     "  TBase = class(TForm)\n"
                     "    procedure BaseClick(Sender: TObject);\n"
                     "  end;\n"
                     "  TForm1 = class(TBase)\n"
                     "    Button1: TButton;\n"
                     "    Label1: TLabel;\n"
                     "    procedure Button1Click(Sender: TObject);\n"
                     "  private\n"
                     "    FList: TStringList;\n"
                     "  end;\n"
                     "implementation\n"
                     "end.\n";

const char kForm[] = "object Form1: TForm1\n"
                     "  OnCreate = BaseClick\n"
                     "  object Button1: TButton\n"
                     "    OnClick = Button1Click\n"
                     "    OnExit = nil\n"
                     "  end\n"
                     "  object Label1: TLabel\n"
                     "  end\n"
                     "end\n";

std::string Edit(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::unique_ptr<model::TPasSrc> Parse(const std::string& unit, model::Dialect dialect) {
    const std::string text = io::TakeAsCrLfText(std::string(unit));
    auto model = diff::ParseSource({text, "unit1.pas"}, {}, model::ParseOptions(dialect));
    EXPECT_TRUE(model->Status.Complete);
    return model;
}

std::vector<FormFinding> Check(const std::string& unit, const std::string& form,
                               model::Dialect dialect) {
    const auto model = Parse(unit, dialect);
    const forms::FormFile f = forms::ReadForm(form, "unit1.dfm");
    EXPECT_TRUE(f.Notes.empty());
    return forms::CheckUnitAndForm(*model, "unit1.pas", f, "unit1.dfm");
}

std::string Lines(const std::vector<FormFinding>& findings) {
    std::string out;
    for (const FormFinding& f : findings)
        out += f.Text() + "\n";
    return out;
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(FormCheck, FindingsOfEachKind) {
    const struct {
        const char* what;
        std::string unit, form;
        const char* findings;
    } cases[] = {
        {"consistent, an ancestor's method in the unit, nil", kUnit, kForm, ""},
        {"component without a field", kUnit,
         Edit(kForm, "  object Label1", "  object Edit1: TEdit\n  end\n  object Label1"),
         "unit1.dfm(7): component Edit1: TEdit has no field in TForm1\n"},
        {"nested component without a field", kUnit,
         Edit(kForm, "    OnExit = nil\n", "    object Inner: TLabel\n    end\n"),
         "unit1.dfm(5): component Inner: TLabel has no field in TForm1\n"},
        {"field in the private section",
         Edit(Edit(kUnit, "    Label1: TLabel;\n", ""), "    FList",
              "    Label1: TLabel;\n    FList"),
         kForm,
         "unit1.dfm(7): component Label1: TLabel has its field in a private section of TForm1, "
         "not a published one\n"},
        {"an explicit published section",
         Edit(Edit(kUnit, "    Label1: TLabel;\n", ""), "  private\n",
              "  published\n    Label1: TLabel;\n  private\n"),
         kForm, ""},
        {"field in an ancestor of the unit",
         Edit(Edit(kUnit, "    Label1: TLabel;\n", ""), "    procedure BaseClick",
              "    Label1: TLabel;\n    procedure BaseClick"),
         kForm, ""},
        {"type mismatch", Edit(kUnit, "Label1: TLabel", "Label1: TEdit"), kForm,
         "unit1.dfm(7): component Label1: TLabel has the field Label1: TEdit in TForm1\n"},
        {"qualified type and letter case", Edit(kUnit, "Label1: TLabel", "label1: StdCtrls.tlabel"),
         kForm, ""},
        {"field without a component",
         Edit(kUnit, "    Label1: TLabel;\n", "    Label1: TLabel;\n    Memo1: TMemo;\n"), kForm,
         "unit1.pas(11): field Memo1: TMemo of TForm1 has no component in the form\n"},
        {"fields that are no components",
         Edit(Edit(kUnit, "    Label1: TLabel;\n",
                   "    Label1: TLabel;\n    Count: Integer;\n    Mode: TMode;\n"
                   "    Buttons: array of TButton;\n    Place: TPoint2;\n"),
              "type\n", "type\n  TMode = (mOne, mTwo);\n  TPoint2 = record X, Y: Integer; end;\n"),
         kForm, ""},
        {"event without a method", kUnit, Edit(kForm, "Button1Click", "ButtonClick"),
         "unit1.dfm(4): event Button1.OnClick names ButtonClick, which is no method of TForm1\n"},
        {"event of a collection item", kUnit,
         Edit(kForm, "    OnExit = nil\n",
              "    Items = <\n      item\n        OnDraw = DrawItem\n      end>\n"),
         "unit1.dfm(7): event Button1.Items.OnDraw names DrawItem, which is no method of "
         "TForm1\n"},
        {"findings in order of file and line",
         Edit(kUnit, "    Label1: TLabel;\n", "    Memo1: TMemo;\n"),
         Edit(kForm, "OnCreate = BaseClick", "OnCreate = FormCreate"),
         "unit1.dfm(2): event Form1.OnCreate names FormCreate, which is no method of TForm1\n"
         "unit1.dfm(7): component Label1: TLabel has no field in TForm1\n"
         "unit1.pas(10): field Memo1: TMemo of TForm1 has no component in the form\n"},
        {"an ancestor's components need no field here", kUnit,
         "inherited Form1: TForm1\n"
         "  inherited Panel1: TPanel\n"
         "    object Edit1: TEdit\n"
         "    end\n"
         "  end\n"
         "  inherited Button1: TButton\n"
         "  end\n"
         "  inherited Label1: TLabel\n"
         "  end\n"
         "end\n",
         "unit1.dfm(3): component Edit1: TEdit has no field in TForm1\n"},
        {"a frame's components need no field here",
         Edit(kUnit, "    Label1: TLabel;\n", "    Label1: TLabel;\n    Frame1: TFrame1;\n"),
         Edit(kForm, "  object Label1",
              "  inline Frame1: TFrame1\n    inherited Inner: TButton\n"
              "      OnClick = Button1Click\n    end\n    object Added: TEdit\n    end\n"
              "  end\n  object Label1"),
         ""},
    };
    for (const model::Dialect dialect : {model::Dialect::Classic, model::Dialect::Delphi})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) +
                         (dialect == model::Dialect::Classic ? " (classic)" : " (delphi)"));
            EXPECT_EQ(Lines(Check(c.unit, c.form, dialect)), c.findings);
        }
}

TEST(FormCheck, TroubleIsAnError) {
    EXPECT_THROW(Check(kUnit, Edit(kForm, "TForm1", "TForm2"), model::Dialect::Delphi),
                 std::runtime_error);
    // A record of that name is no form's class.
    EXPECT_THROW(Check(Edit(kUnit, "TForm1 = class(TBase)", "TForm1 = record"), kForm,
                       model::Dialect::Delphi),
                 std::runtime_error);
    const auto model = Parse(kUnit, model::Dialect::Delphi);
    EXPECT_THROW(forms::CheckUnitAndForm(*model, "unit1.pas", forms::FormFile{}, "unit1.dfm"),
                 std::runtime_error);
}

TEST(FormCheck, NewFindingsIgnoreLinesAndCountRepeats) {
    const auto find = [](int line, const char* message) {
        return FormFinding{forms::FormCheckKind::NoField, "f.dfm", line, message};
    };
    const std::vector<FormFinding> before = {find(3, "a"), find(9, "b")};
    const std::vector<FormFinding> now = {find(5, "a"), find(7, "c"), find(11, "b"), find(12, "b")};
    EXPECT_EQ(Lines(forms::NewFindings(before, now)), "f.dfm(7): c\nf.dfm(12): b\n");
    FormFinding otherKind = find(5, "a");
    otherKind.Kind = forms::FormCheckKind::NoMethod;
    EXPECT_EQ(forms::NewFindings(before, {otherKind}).size(), 1u);
}

TEST(FormCheck, FormBesideUnit) {
    const fs::path dir =
        fs::temp_directory_path() / ("quennet-formcheck-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string unit = (dir / "Unit1.pas").string();
    EXPECT_EQ(forms::FormBesideUnit(unit), "");
    WriteFile(dir / "unit1.LFM", kForm);
    EXPECT_EQ(forms::FormBesideUnit(unit), (dir / "unit1.LFM").string());
    WriteFile(dir / "Unit1.dfm", kForm);
    EXPECT_EQ(forms::FormBesideUnit(unit), (dir / "Unit1.dfm").string());
    EXPECT_EQ(forms::FormBesideUnit(unit, "unit Unit1;\n{$R *.lfm}\n"),
              (dir / "unit1.LFM").string());
    // Another unit's form and a folder of the name are not it.
    fs::create_directories(dir / "Unit2.dfm");
    WriteFile(dir / "Unit12.dfm", kForm);
    EXPECT_EQ(forms::FormBesideUnit((dir / "Unit2.pas").string()), "");
    fs::remove_all(dir);
}

// A comparison tells only what the new pair added, after the report, and keeps its status.
TEST(FormCheck, ComparisonWarnsOfNewFindingsOnly) {
    const fs::path dir =
        fs::temp_directory_path() / ("quennet-formcheck-cli-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "old");
    fs::create_directories(dir / "new");
    const std::string oldUnit = Edit(kUnit, "    Label1: TLabel;\n", "    Memo1: TMemo;\n");
    WriteFile(dir / "old" / "Unit1.pas", oldUnit);
    WriteFile(dir / "old" / "Unit1.dfm", kForm);
    WriteFile(dir / "new" / "Unit1.pas",
              Edit(oldUnit, "    procedure Button1Click", "    procedure Button2Click"));
    WriteFile(dir / "new" / "Unit1.dfm", Edit(kForm, "  OnCreate = BaseClick\n", ""));
    const auto r = quennet::testing::RunCli({"old/Unit1.pas", "new/Unit1.pas"}, dir.string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "warning: new/Unit1.dfm(3): event Button1.OnClick names Button1Click, "
                     "which is no method of TForm1\n");
    // No form beside the old unit: nothing to compare with, nothing said.
    fs::remove(dir / "old" / "Unit1.dfm");
    EXPECT_EQ(quennet::testing::RunCli({"old/Unit1.pas", "new/Unit1.pas"}, dir.string()).err, "");
    fs::remove_all(dir);
}
