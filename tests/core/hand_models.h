// Small hand-built models for the comparison and report tests: declarations are added with
// the model's own building operations, then sorted, as the parser would leave them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/source_model.h"

namespace quennet::testing {

using model::TidClass;
using model::TPasSrc;

struct HandModel {
    std::unique_ptr<TPasSrc> src = std::make_unique<TPasSrc>();

    HandModel& Type(const std::string& name, const std::string& text, uint32_t sum, int first = 1,
                    int last = 1) {
        src->AddType(name, text, sum, first, last);
        return *this;
    }
    TidClass* Class(const std::string& name, const std::string& ancestors = "TObject",
                    int first = 1, int last = 1, const std::string& kind = "class") {
        TidClass* c = src->AddClass(kind, name, first, ancestors);
        c->LastLine = last;
        return c;
    }
    HandModel& Field(TidClass* c, const std::string& name, const std::string& type, uint32_t sum,
                     int first = 1) {
        src->AddFields(c, {name}, type, sum, first, first, "private");
        return *this;
    }
    HandModel& Method(TidClass* c, const std::string& name, const std::string& text, uint32_t sum,
                      int first = 1) {
        src->AddMethod(c, "public", name, text, first, first, sum);
        return *this;
    }
    HandModel& Property(TidClass* c, const std::string& name, const std::string& text, uint32_t sum,
                        int first = 1) {
        src->AddProperty(c, "published", name, text, first, first, sum);
        return *this;
    }
    HandModel& Proc(const std::string& name, const std::string& text, uint32_t sum, int first = 1,
                    int last = 1) {
        src->AddProc(name, text, sum, first, last);
        return *this;
    }
    // A body for Name (or Class.Name when qualified); creates the routine when it is absent.
    HandModel& Body(const std::string& name, uint32_t headSum, uint32_t bodySum, int first,
                    int last, const std::string& text = "", bool qualified = false) {
        src->AddProcImpl(name, qualified, text.empty() ? "procedure " + name + ";" : text, headSum,
                         bodySum, first, first, last);
        return *this;
    }
    HandModel& Const(const std::string& name, const std::string& type, uint32_t typeSum,
                     uint32_t valueSum, int first = 1) {
        src->AddConst(name, type, typeSum, valueSum, first, first);
        return *this;
    }
    HandModel& Var(const std::string& name, const std::string& type, uint32_t typeSum,
                   uint32_t valueSum = 0, int first = 1) {
        src->AddVars({name}, type, typeSum, valueSum, first, first);
        return *this;
    }
    HandModel& Init(uint32_t sum, int first, int last) {
        src->Initialization->Checksum = sum;
        src->Initialization->FirstLine = first;
        src->Initialization->LastLine = last;
        return *this;
    }
    HandModel& Fin(uint32_t sum, int first, int last) {
        src->Finalization->Checksum = sum;
        src->Finalization->FirstLine = first;
        src->Finalization->LastLine = last;
        return *this;
    }
    HandModel& FileSum(uint32_t sum) {
        src->Checksum = sum;
        return *this;
    }
    const TPasSrc& Done() {
        src->SortLists();
        return *src;
    }
};

inline std::string JoinLines(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines)
        s += l + "\n";
    return s;
}

} // namespace quennet::testing
