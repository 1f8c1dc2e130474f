// Renderings of the difference tree.
#include "model/diff_tree_format.h"

#include <cstdio>

namespace quennet::model {

namespace {

std::string LineRange(const TidName* decl) {
    if (!decl) return "-";
    return std::to_string(decl->FirstLine) + "-" + std::to_string(decl->LastLine);
}

void FormatLevel(const TSourceDiffList& list, int depth, std::vector<std::string>& out) {
    for (size_t i = 0; i < list.Count(); ++i) {
        const TSourceDiffItem* item = list.Items(i);
        out.push_back(std::string(2 * depth, ' ') + item->Caption + "\t" +
                      std::to_string(item->State) + "\t" + LineRange(item->OldDecl) + "\t" +
                      LineRange(item->NewDecl));
        FormatLevel(item->Children, depth + 1, out);
    }
}

std::string JsonRange(const TidName* decl) {
    if (!decl) return "null";
    return "{\"first\":" + std::to_string(decl->FirstLine) +
           ",\"last\":" + std::to_string(decl->LastLine) + "}";
}

void JsonLevel(const TSourceDiffList& list, std::string& out) {
    out += '[';
    for (size_t i = 0; i < list.Count(); ++i) {
        const TSourceDiffItem* item = list.Items(i);
        if (i > 0) out += ',';
        out += "{\"caption\":" + JsonQuote(item->Caption) + ",\"state\":\"" +
               DiffStateName(item->State) + "\",\"state_number\":" + std::to_string(item->State) +
               ",\"old\":" + JsonRange(item->OldDecl) + ",\"new\":" + JsonRange(item->NewDecl) +
               ",\"children\":";
        JsonLevel(item->Children, out);
        out += '}';
    }
    out += ']';
}

} // namespace

std::vector<std::string> FormatDiffTree(const TSourceDiffList& root) {
    std::vector<std::string> out;
    FormatLevel(root, 0, out);
    return out;
}

const char* DiffStateName(uint8_t state) {
    switch (state) {
    case Group: return "group";
    case Removed: return "removed";
    case Added: return "added";
    case Changed: return "changed";
    default: return "unknown";
    }
}

std::string DiffTreeJson(const TSourceDiffList& root) {
    std::string out;
    JsonLevel(root, out);
    return out;
}

std::string JsonQuote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

} // namespace quennet::model
