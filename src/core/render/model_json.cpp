#include "render/model_json.h"

#include "render/json_writer.h"

namespace quennet::render {

using namespace quennet::model;

namespace {

void Lines(JsonWriter& j, const TidName& d) {
    LineSpanMembers(j, d.FirstLine, d.LastLine);
    if (!d.File.empty()) {
        j.Key("file");
        j.Value(d.File);
    }
}

void Proc(JsonWriter& j, const TidProc& p) {
    j.BeginObject();
    j.Key("name");
    j.Value(p.Name);
    j.Key("checksum");
    j.Value(p.Checksum);
    Lines(j, p);
    j.Key("text");
    j.Value(p.Text);
    j.Key("implementation");
    if (p.Implementation) {
        j.BeginObject();
        j.Key("checksum");
        j.Value(p.Implementation->Checksum);
        Lines(j, *p.Implementation);
        j.EndObject();
    } else {
        j.Null();
    }
    j.EndObject();
}

void Var(JsonWriter& j, const TidVar& v) {
    j.BeginObject();
    j.Key("name");
    j.Value(v.Name);
    j.Key("checksum");
    j.Value(v.Checksum);
    j.Key("value_checksum");
    j.Value(v.ValueChecksum);
    Lines(j, v);
    j.Key("type");
    j.Value(v.TypeText);
    j.EndObject();
}

void Section(JsonWriter& j, const char* key, const TidName& s) {
    j.Key(key);
    j.BeginObject();
    j.Key("checksum");
    j.Value(s.Checksum);
    Lines(j, s);
    j.EndObject();
}

} // namespace

void WriteModel(std::ostream& out, const TPasSrc& m) {
    JsonWriter j(out);
    j.BeginObject();
    FormatMember(j);
    j.Key("name");
    j.Value(m.Name);
    j.Key("checksum");
    j.Value(m.Checksum);
    j.Key("types");
    j.BeginArray();
    for (const auto& t : m.Types) {
        j.BeginObject();
        j.Key("name");
        j.Value(t->Name);
        j.Key("checksum");
        j.Value(t->Checksum);
        Lines(j, *t);
        j.Key("text");
        j.Value(t->Text);
        j.EndObject();
    }
    j.EndArray();
    j.Key("classes");
    j.BeginArray();
    for (const auto& c : m.Classes) {
        j.BeginObject();
        j.Key("name");
        j.Value(c->Name);
        j.Key("kind");
        j.Value(c->Kind);
        j.Key("ancestors");
        j.Value(c->Ancestors);
        Lines(j, *c);
        j.Key("fields");
        j.BeginArray();
        for (const auto& f : c->Fields) {
            j.BeginObject();
            j.Key("name");
            j.Value(f->Name);
            j.Key("checksum");
            j.Value(f->Checksum);
            Lines(j, *f);
            j.Key("type");
            j.Value(f->TypeText);
            j.EndObject();
        }
        j.EndArray();
        j.Key("methods");
        j.BeginArray();
        for (const auto& p : c->Methods)
            Proc(j, *p);
        j.EndArray();
        j.Key("props");
        j.BeginArray();
        for (const auto& p : c->Props) {
            j.BeginObject();
            j.Key("name");
            j.Value(p->Name);
            j.Key("checksum");
            j.Value(p->Checksum);
            Lines(j, *p);
            j.Key("text");
            j.Value(p->Text);
            j.EndObject();
        }
        j.EndArray();
        j.EndObject();
    }
    j.EndArray();
    j.Key("procs");
    j.BeginArray();
    for (const auto& p : m.Procs)
        Proc(j, *p);
    j.EndArray();
    j.Key("consts");
    j.BeginArray();
    for (const auto& v : m.Consts)
        Var(j, *v);
    j.EndArray();
    j.Key("vars");
    j.BeginArray();
    for (const auto& v : m.Vars)
        Var(j, *v);
    j.EndArray();
    Section(j, "initialization", *m.Initialization);
    Section(j, "finalization", *m.Finalization);
    if (m.MainBlock->FirstLine >= 0) Section(j, "main", *m.MainBlock);
    j.EndObject();
    out << "\n";
}

} // namespace quennet::render
