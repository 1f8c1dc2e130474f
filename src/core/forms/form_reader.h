// Reading form files: the text form and the binary (TPF0) form, chosen by content.
#pragma once

#include <string>
#include <string_view>

#include "forms/form_model.h"

namespace quennet::forms {

// The extensions of form files, in the order a unit's form is looked for beside it.
inline constexpr const char* kFormFileExtensions[] = {".dfm", ".lfm", ".fmx", ".xfm"};

// Whether a file is a form: by its extension (.dfm, .lfm, .fmx, .xfm), or by content that opens
// with a binary form's signature or with "object", "inherited" or "inline" and a name.
bool IsFormFileName(std::string_view path);
bool LooksLikeForm(std::string_view bytes);
bool IsForm(std::string_view path, std::string_view bytes);

// Reads either form. Faults of the form become notes; what came before them is in the model.
// Throws std::runtime_error naming the file only for bytes that are no text and no binary form.
FormFile ReadForm(std::string_view bytes, const std::string& name);
// The same for bytes no longer needed: they become the model's text without a copy where they
// need no decoding.
FormFile ReadForm(std::string&& bytes, const std::string& name);
inline FormFile ReadForm(const char* bytes, const std::string& name) {
    return ReadForm(std::string_view(bytes), name);
}
// ReadFileBytes + ReadForm.
FormFile ReadFormFile(const std::string& path);

// The text form of decoded text (io::DecodeSourceBytes).
FormFile ReadTextForm(std::string_view text, io::TextEncoding encoding, const std::string& name);
FormFile ReadTextForm(std::string&& text, io::TextEncoding encoding, const std::string& name);
// The binary form, from "TPF0" or the resource header before it.
FormFile ReadBinaryForm(std::string_view bytes, const std::string& name);
bool IsBinaryForm(std::string_view bytes);

} // namespace quennet::forms
