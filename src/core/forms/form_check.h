// A unit and its form together: the components the form streams need published fields of their
// class in the form's class, its fields need components, and its events need methods. Only
// what the unit declares can be seen: fields and methods that ancestors in other units declare
// are not known.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forms/form_model.h"
#include "model/source_model.h"

namespace quennet::forms {

enum class FormCheckKind {
    NoField,      // a component without a field in the class
    NotPublished, // its field is there, in a section the streaming system cannot see
    TypeMismatch, // its field has another class
    NoComponent,  // a published field of a class type without a component
    NoMethod,     // an event that names no method of the class
};

struct FormFinding {
    FormCheckKind Kind = FormCheckKind::NoField;
    std::string File; // the form's name for components and events, the unit's for fields
    int Line = 0;
    // Names only, no lines: the same inconsistency in two versions reads the same.
    std::string Message;
    std::string Text() const; // "FILE(LINE): message"
};

// The findings in order of file, line and message. Throws std::runtime_error when the form
// has no root object or the unit does not declare the root's class.
std::vector<FormFinding> CheckUnitAndForm(const model::TPasSrc& unit, const std::string& unitName,
                                          const FormFile& form, const std::string& formName);

// The findings of now that before did not have (by kind and message: lines move), in now's
// order.
std::vector<FormFinding> NewFindings(const std::vector<FormFinding>& before,
                                     const std::vector<FormFinding>& now);

// The form beside a unit: its base name with .dfm, .lfm, .fmx or .xfm, letter case aside as
// Windows finds files. Where several are there, the one the unit's {$R *.ext} names first
// wins, else that order. Empty when there is none.
std::string FormBesideUnit(const std::string& unitPath, std::string_view unitText = {});

// The form beside a unit file on disk, where several are there the one its {$R *.ext} names
// (read from the head of the file); empty when there is none. Never throws.
std::string FormOfUnitFile(const std::string& unitPath);

// The warnings of a comparison of two units with their forms: the findings of the new pair
// that the old pair did not have. Nothing when the new unit was not read to its end (its
// methods and fields would look missing) or the new form has no class in its unit; an old
// form that cannot be checked makes every finding new.
std::vector<FormFinding> NewPairFindings(const model::TPasSrc& oldUnit, const std::string& oldLabel,
                                         const std::string& oldForm, const model::TPasSrc& newUnit,
                                         const std::string& newLabel, const std::string& newForm);

} // namespace quennet::forms
