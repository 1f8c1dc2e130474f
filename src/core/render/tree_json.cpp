#include "render/tree_json.h"

#include "render/diff_tree_format.h"
#include "render/json_writer.h"

namespace quennet::render {

namespace {

void WriteRange(JsonWriter& json, const model::TidName* decl) {
    if (!decl) {
        json.Null();
        return;
    }
    json.BeginObject();
    LineSpanMembers(json, decl->FirstLine, decl->LastLine);
    if (!decl->File.empty()) {
        json.Key("file");
        json.Value(decl->File);
    }
    json.EndObject();
}

// Nodes as {kind, caption, state, state_number, old, new, [renamed_from], [moved_from],
// children}; lines 1-based as in the model.
void WriteTree(JsonWriter& json, const diff::TSourceDiffList& list) {
    json.BeginArray();
    for (size_t i = 0; i < list.Count(); ++i) {
        const diff::TSourceDiffItem* item = list.Items(i);
        json.BeginObject();
        json.Key("kind");
        json.Value(NodeKindName(item->Kind));
        json.Key("caption");
        json.Value(diff::ShownCaption(*item));
        json.Key("state");
        json.Value(DiffStateName(item->State));
        json.Key("state_number");
        json.Value(static_cast<int32_t>(item->State));
        json.Key("old");
        WriteRange(json, item->OldDecl);
        json.Key("new");
        WriteRange(json, item->NewDecl);
        if (!item->RenamedFrom.empty()) {
            json.Key("renamed_from");
            json.Value(item->RenamedFrom);
        }
        if (!item->MovedFrom.empty()) {
            json.Key("moved_from");
            json.Value(item->MovedFrom);
        }
        json.Key("children");
        WriteTree(json, item->Children);
        json.EndObject();
    }
    json.EndArray();
}

} // namespace

const char* NodeKindName(diff::NodeKind kind) {
    switch (kind) {
    case diff::NodeKind::Text: return "text";
    case diff::NodeKind::Type: return "type";
    case diff::NodeKind::Class: return "class";
    case diff::NodeKind::Field: return "field";
    case diff::NodeKind::Method: return "method";
    case diff::NodeKind::Property: return "property";
    case diff::NodeKind::Routine: return "routine";
    case diff::NodeKind::Variable: return "variable";
    case diff::NodeKind::Constant: return "constant";
    case diff::NodeKind::Section: return "section";
    case diff::NodeKind::Uses: return "uses";
    }
    return "text";
}

void WriteComparisonJson(std::ostream& out, const diff::ComparisonResult& result,
                         std::string_view oldLabel, std::string_view newLabel, bool equivalent) {
    JsonWriter json(out);
    json.BeginObject();
    FormatMember(json);
    json.Key("old");
    json.Value(oldLabel);
    json.Key("new");
    json.Value(newLabel);
    json.Key("equivalent");
    json.Value(equivalent);
    json.Key("stopped");
    json.BeginArray();
    for (const auto& note : result.stopNotes) {
        json.BeginObject();
        json.Key("file");
        json.Value(note.file);
        json.Key("line");
        json.Value(note.line);
        json.EndObject();
    }
    json.EndArray();
    json.Key("tree");
    WriteTree(json, result.diff->Root);
    json.EndObject();
    out << '\n';
}

} // namespace quennet::render
