// Writing a form model: as text, in the layout the IDEs write (two spaces a level, strings
// wrapped at 64 characters with #nnn escapes), and as a binary TPF0 stream.
#pragma once

#include <string>

#include "forms/form_model.h"

namespace quennet::forms {

// The text form, lines ended by eol. Strings are written in ASCII: other characters as #nnn.
std::string FormToText(const FormObject& root, const std::string& eol = "\r\n");

// A scalar value on one line (integers, floats, identifiers, sets; strings as pieces joined
// without wrapping); lists, collections and binary data as their opening only.
std::string ValueText(const FormValue& v);

// The binary form: "TPF0" and the root object, without a resource header.
std::string FormToBinary(const FormObject& root);

} // namespace quennet::forms
