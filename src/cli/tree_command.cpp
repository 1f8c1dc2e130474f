// quennet-diff -r OLDDIR NEWDIR: every unit of two trees compared structurally, one section per
// changed unit, then a summary. Exit status as diff -r: 0 same, 1 different, 2 trouble; with
// --fail-on=breaking 1 means breaking changes.

#include <iostream>
#include <sstream>

#include "commands.h"
#include "display_options.h"
#include "exit_codes.h"
#include "io/platform.h"
#include "render/json_writer.h"

namespace quennet::cli {

namespace {

const char* StatusName(folders::UnitStatus s) {
    switch (s) {
    case folders::UnitStatus::Changed: return "changed";
    case folders::UnitStatus::Added: return "added";
    case folders::UnitStatus::Removed: return "removed";
    case folders::UnitStatus::Trouble: return "trouble";
    default: return "same";
    }
}

void WriteApiCounts(render::JsonWriter& json, int breaking, int additive, int internal) {
    json.Key("breaking");
    json.Value(breaking);
    json.Key("additive");
    json.Value(additive);
    json.Key("internal");
    json.Value(internal);
}

void WriteJson(std::ostream& os, const std::string& oldDir, const std::string& newDir,
               const std::vector<folders::UnitOutcome>& units,
               const std::vector<folders::UnitMove>& moves, const folders::TreeSummary& s,
               bool api) {
    render::JsonWriter json(os);
    json.BeginObject();
    json.Key("old");
    json.Value(oldDir);
    json.Key("new");
    json.Value(newDir);
    json.Key("units");
    json.BeginArray();
    for (const auto& u : units) {
        json.BeginObject();
        json.Key("path");
        json.Value(u.name);
        json.Key("status");
        json.Value(StatusName(u.status));
        if (!u.problem.empty()) {
            json.Key("problem");
            json.Value(u.problem);
        }
        json.Key("declarations");
        json.BeginObject();
        json.Key("added");
        json.Value(u.decls.added);
        json.Key("removed");
        json.Value(u.decls.removed);
        json.Key("changed");
        json.Value(u.decls.changed);
        if (u.decls.moved) {
            json.Key("moved");
            json.Value(u.decls.moved);
        }
        json.EndObject();
        if (!u.form.empty()) {
            json.Key("form");
            json.BeginObject();
            json.Key("path");
            json.Value(u.form);
            json.Key("change");
            json.Value(u.formChange);
            json.EndObject();
        }
        if (api) {
            json.Key("api");
            json.BeginObject();
            WriteApiCounts(json, u.api.breaking, u.api.additive, u.api.internal);
            json.Key("changes");
            json.BeginArray();
            for (const auto& c : u.api.changes) {
                json.BeginObject();
                json.Key("class");
                json.Value(diff::ChangeClassName(c.cls));
                json.Key("change");
                json.Value(c.what);
                json.Key("kind");
                json.Value(c.kind);
                json.Key("name");
                json.Value(c.name);
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndObject();
    }
    json.EndArray();
    if (!moves.empty()) {
        json.Key("moves");
        json.BeginArray();
        for (const auto& m : moves) {
            json.BeginObject();
            json.Key("kind");
            json.Value(folders::MoveKindName(m.kind));
            json.Key("name");
            json.Value(m.name);
            json.Key("from");
            json.Value(m.from);
            json.Key("to");
            json.Value(m.to);
            json.Key("changed");
            json.Value(m.changed);
            if (api) {
                json.Key("class");
                json.Value(m.breaking ? "breaking" : "internal");
            }
            json.EndObject();
        }
        json.EndArray();
    }
    if (api) {
        json.Key("folders");
        json.BeginArray();
        for (const auto& f : folders::CountsByFolder(units)) {
            json.BeginObject();
            json.Key("folder");
            json.Value(f.folder);
            json.Key("units");
            json.Value(f.units);
            WriteApiCounts(json, f.breaking, f.additive, f.internal);
            json.EndObject();
        }
        json.EndArray();
    }
    json.Key("summary");
    json.BeginObject();
    for (const auto& [key, value] : {std::pair{"units_changed", s.unitsChanged},
                                     {"units_added", s.unitsAdded},
                                     {"units_removed", s.unitsRemoved},
                                     {"units_in_trouble", s.unitsTrouble},
                                     {"declarations_added", s.decls.added},
                                     {"declarations_removed", s.decls.removed},
                                     {"declarations_changed", s.decls.changed}}) {
        json.Key(key);
        json.Value(value);
    }
    if (s.decls.moved) {
        json.Key("declarations_moved");
        json.Value(s.decls.moved);
    }
    if (s.formsChanged) {
        json.Key("forms_changed");
        json.Value(s.formsChanged);
    }
    if (api) WriteApiCounts(json, s.breaking, s.additive, s.internal);
    json.EndObject();
    json.EndObject();
    os << '\n';
}

std::string Bold(const std::string& text, bool color) {
    return color ? "\x1b[1m" + text + "\x1b[0m" : text;
}

void WriteText(std::ostream& os, const std::vector<folders::UnitOutcome>& units,
               const std::vector<folders::UnitMove>& moves, const folders::TreeSummary& s, bool api,
               bool color) {
    for (const auto& u : units) {
        if (u.status == folders::UnitStatus::Added || u.status == folders::UnitStatus::Removed) {
            os << StatusName(u.status) << " unit " << u.name << "\n";
            continue;
        }
        // The API view lists units whose interface changed; the rest count as internal.
        if (api && u.status == folders::UnitStatus::Changed && u.api.changes.empty()) continue;
        os << Bold("=== " + u.name, color) << "\n";
        if (u.status == folders::UnitStatus::Trouble && u.lines.empty())
            os << "! " << u.problem << "\n";
        for (const auto& l : u.lines)
            os << l << "\n";
        if (api) os << diff::ApiSummary(u.api) << "\n";
        os << "\n";
    }
    for (const auto& m : moves)
        os << folders::MoveLine(m) << "\n";
    os << folders::SummaryLine(s) << "\n";
    if (api)
        os << "API: " << s.breaking << " breaking, " << s.additive << " additive, " << s.internal
           << " internal\n";
}

} // namespace

int RunTreeCommand(const CliOptions& opt) {
    const DisplayRequest request = MakeDisplayRequest(opt);
    const std::vector<std::string>& folders = opt.files;
    for (const std::string& f : folders)
        if (!io::IsFolder(f)) throw std::runtime_error("\"" + f + "\" is not a folder");

    const bool api = request.tree.pair.api != folders::ApiMode::Off;
    auto units = folders::CompareTrees(folders[0], folders[1], request.tree);
    const auto moves = folders::FindUnitMoves(units, folders[0], folders[1], request.tree);
    const folders::TreeSummary summary = folders::Summarize(units, api);
    std::ostringstream os;
    if (request.json)
        WriteJson(os, folders[0], folders[1], units, moves, summary, api);
    else
        WriteText(os, units, moves, summary, api, request.tree.pair.display.color);
    std::cout << os.str();
    FlushStandardOutput();
    for (const auto& u : units)
        if (u.status == folders::UnitStatus::Trouble)
            std::cerr << "quennet-diff: " << u.problem << "\n";
    if (summary.unitsTrouble) return kExitTrouble;
    if (request.failOnBreaking) return summary.breaking > 0 ? kExitDifferent : kExitEquivalent;
    return units.empty() ? kExitEquivalent : kExitDifferent;
}

} // namespace quennet::cli
