// Which files are forms, and reading one whatever its kind: the one place the commands ask.
#include "forms/form_reader.h"

#include <cctype>

#include "io/source_file.h"
#include "io/text_encoding.h"

namespace quennet::forms {

namespace {

std::string_view Extension(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return path.substr(dot);
}

} // namespace

bool IsFormFileName(std::string_view path) {
    const std::string_view ext = Extension(path);
    for (const char* known : kFormFileExtensions)
        if (SameName(ext, known)) return true;
    return false;
}

// A text form's first word is a keyword no unit starts with; a name and a colon or a class
// follow it.
bool LooksLikeForm(std::string_view bytes) {
    if (IsBinaryForm(bytes)) return true;
    std::string head(bytes.substr(0, 512));
    if (head.rfind("\xEF\xBB\xBF", 0) == 0) head.erase(0, 3);
    // UTF-16 with a mark: the ASCII letters of the start are every other byte.
    if (head.size() >= 2 &&
        ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF'))) {
        std::string narrow;
        for (size_t i = head[0] == '\xFF' ? 2 : 3; i < head.size(); i += 2)
            narrow += head[i];
        head = narrow;
    }
    size_t i = head.find_first_not_of(" \t\r\n");
    if (i == std::string::npos) return false;
    for (const char* word : {"object", "inherited", "inline"}) {
        const std::string_view w(word);
        if (head.size() > i + w.size() && SameName(std::string_view(head).substr(i, w.size()), w) &&
            (head[i + w.size()] == ' ' || head[i + w.size()] == '\t')) {
            const size_t next = head.find_first_not_of(" \t", i + w.size());
            return next != std::string::npos &&
                   (std::isalpha(static_cast<unsigned char>(head[next])) || head[next] == '_');
        }
    }
    return false;
}

bool IsForm(std::string_view path, std::string_view bytes) {
    return IsFormFileName(path) || LooksLikeForm(bytes);
}

FormFile ReadForm(std::string_view bytes, const std::string& name) {
    if (IsBinaryForm(bytes)) return ReadBinaryForm(bytes, name);
    io::DecodedText text = io::DecodeSourceBytes(bytes, name);
    return ReadTextForm(std::move(text.Text), text.Encoding, name);
}

FormFile ReadForm(std::string&& bytes, const std::string& name) {
    if (IsBinaryForm(bytes)) return ReadBinaryForm(bytes, name);
    io::DecodedText text = io::DecodeSourceBytes(std::move(bytes), name);
    return ReadTextForm(std::move(text.Text), text.Encoding, name);
}

FormFile ReadFormFile(const std::string& path) {
    return ReadForm(io::ReadFileBytes(path), path);
}

} // namespace quennet::forms
