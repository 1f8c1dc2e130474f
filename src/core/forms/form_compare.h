// Comparing two form models: objects matched by name wherever they sit (so a move is a move,
// not a removal and an addition), properties by name, collection items and list values by
// position. Designer noise (sizes and versions the IDE rewrites) is marked apart.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forms/form_model.h"

namespace quennet::forms {

// Property names the designer rewrites on its own: a name, or a prefix ending in '*'. Left
// and Top are the designer's window and icon places on the root and on the components of a
// data module; elsewhere they are the layout. Where a parent lays its children out (a tool
// bar its buttons, an embedded frame its own components), the places and sizes written are
// what the designer computed on its screen, not an edit.
struct NoiseRules {
    std::vector<std::string> Names;
    bool DesignerPositions = true;
    bool ArrangedLayout = true;
    // where: the root, a component of a data module, a tool button (Left, Top), a component
    // an embedded frame brings (Left, Top, Width, Height), or any other object.
    enum class Place { Root, DataModuleChild, ToolButton, FrameComponent, Other };
    bool IsNoise(std::string_view property, Place where) const;
};
NoiseRules DefaultNoiseRules();

// Where o sits for the noise rules; parent is null for the root.
NoiseRules::Place NoisePlace(const FormObject& o, const FormObject* parent, bool onDataModule);

enum class FormChange { Added, Removed, Changed };
// Text: a run of changed lines after a fault of either form, where the structure is not known.
enum class FormNodeKind { Object, Property, Item, Value, Text };

struct FormDiffNode {
    FormNodeKind Kind = FormNodeKind::Object;
    FormChange Change = FormChange::Changed;
    std::string Caption; // object path; property name; "item N"; "[N]"
    // Objects: classes, and a move to another parent or place among the siblings.
    std::string OldClass, NewClass;
    // Set only when they changed: "object", "inherited", "inline"; the [n] position.
    std::string OldKind, NewKind;
    std::string OldIndex, NewIndex;
    std::string OldParent; // set when the parent changed
    bool Reordered = false;
    // Properties, items and values: the values on one line.
    std::string OldValue, NewValue;
    int OldFirst = 0, OldLast = 0, NewFirst = 0, NewLast = 0;
    bool Noise = false;
    std::vector<FormDiffNode> Children;
};

struct FormComparison {
    // Changed and added objects in NEW's order, then removed ones, then changed text runs.
    std::vector<FormDiffNode> Objects;
    std::vector<FormNote> Stops; // the faults of both forms
    size_t Changes = 0;          // property, item and object changes that are not noise
    size_t NoiseChanges = 0;
};

FormComparison CompareForms(const FormFile& oldForm, const FormFile& newForm,
                            const NoiseRules& noise = DefaultNoiseRules());

} // namespace quennet::forms
