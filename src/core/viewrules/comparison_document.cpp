// The main window's comparison state and the worker that makes a comparison.
#include "viewrules/comparison_document.h"

#include <utility>

namespace quennet::viewrules {

void ComparisonDocument::Loaded(bool old, std::string fileName, io::FileStamp stamp) {
    SideState& side = Side(old);
    side.fileName = std::move(fileName);
    side.stamp = stamp;
    side.range = {};
}

bool ComparisonDocument::ChangedOnDisk(bool old) const {
    const SideState& side = Side(old);
    return !side.fileName.empty() && io::ChangedSinceLoad(side.fileName, side.stamp);
}

void ComparisonDocument::Adopt(std::unique_ptr<model::TPasSrc> oldSource,
                               std::unique_ptr<model::TPasSrc> newSource,
                               std::unique_ptr<diff::TSourceDiff> comparison, int32_t oldLines,
                               int32_t newLines) {
    Free();
    Side(true).source = std::move(oldSource);
    Side(false).source = std::move(newSource);
    Side(true).comparedLines = oldLines;
    Side(false).comparedLines = newLines;
    comparison_ = std::move(comparison);
}

void ComparisonDocument::AdoptForms(std::unique_ptr<FormView> forms, int32_t oldLines,
                                    int32_t newLines) {
    Free();
    Side(true).comparedLines = oldLines;
    Side(false).comparedLines = newLines;
    forms_ = std::move(forms);
}

void ComparisonDocument::Free() {
    comparison_.reset();
    forms_.reset();
    for (SideState& side : sides_)
        side.source.reset();
}

render::RangeFit ComparisonDocument::Fit(bool old, render::LineRange range,
                                         int32_t viewLines) const {
    return render::FitOfRange(range, viewLines, Side(old).comparedLines);
}

void ComparisonDocument::Select(render::LineRange oldRange, render::LineRange newRange,
                                std::vector<base::TLineRecord> oldLines,
                                std::vector<base::TLineRecord> newLines) {
    std::vector<diff::TMapEntry> map;
    if (!oldLines.empty() || !newLines.empty()) diff::MatchLines(oldLines, newLines, map);
    Side(true).range = oldRange;
    Side(false).range = newRange;
    Side(true).lines = std::move(oldLines);
    Side(false).lines = std::move(newLines);
    diffMap_ = std::move(map);
}

void ComparisonDocument::ClearSelection() {
    for (SideState& side : sides_)
        side.range = {};
}

namespace {
// Thrown from the progress report of a cancelled job, so the comparison ends at that step.
struct CancelledComparison {};
} // namespace

std::vector<forms::FormFinding> NewFormWarnings(const ComparisonDocument& doc) {
    const model::TPasSrc* units[2] = {doc.Source(true), doc.Source(false)};
    if (!units[0] || !units[1] || doc.FileName(true).empty() || doc.FileName(false).empty())
        return {};
    const std::string oldForm = forms::FormOfUnitFile(doc.FileName(true));
    const std::string newForm =
        oldForm.empty() ? oldForm : forms::FormOfUnitFile(doc.FileName(false));
    if (newForm.empty()) return {};
    return forms::NewPairFindings(*units[0], doc.FileName(true), oldForm, *units[1],
                                  doc.FileName(false), newForm);
}

ComparisonJob::ComparisonJob(std::string oldText, std::string oldName, std::string newText,
                             std::string newName, model::Reading reading)
    : texts_{std::move(oldText), std::move(newText)}, names_{std::move(oldName),
                                                             std::move(newName)},
      reading_(std::move(reading)), thread_([this] { Run(); }) {}

ComparisonJob::~ComparisonJob() {
    Cancel();
    if (thread_.joinable()) thread_.join();
}

void ComparisonJob::Run() {
    try {
        result_ =
            diff::CompareSources({texts_[0], names_[0]}, {texts_[1], names_[1]}, reading_.symbols,
                                 reading_.options, [this](diff::CompareStep step) {
                                     if (Cancelled()) throw CancelledComparison{};
                                     step_.store(step, std::memory_order_relaxed);
                                 });
    } catch (const CancelledComparison&) {
        result_ = {};
    } catch (...) {
        error_ = std::current_exception();
    }
    done_.store(true, std::memory_order_release);
}

diff::ComparisonResult ComparisonJob::Take() {
    if (thread_.joinable()) thread_.join();
    if (error_) std::rethrow_exception(error_);
    if (Cancelled()) return {};
    return std::move(result_);
}

} // namespace quennet::viewrules
