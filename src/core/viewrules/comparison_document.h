// What the main window knows of one comparison, apart from its widgets: each side's file as it
// was loaded, the two models and their comparison, the selected declaration and the merged lines
// of the diff view. The comparison itself runs on a worker thread (ComparisonJob), so the window
// keeps drawing its progress and can abandon a long one.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/line_keys.h"
#include "diff/compare_sources.h"
#include "diff/line_matcher.h"
#include "diff/source_diff.h"
#include "forms/form_check.h"
#include "io/disk_state.h"
#include "model/reading_settings.h"
#include "model/source_model.h"
#include "render/line_decoration.h"
#include "viewrules/form_view.h"

namespace quennet::viewrules {

class ComparisonDocument {
public:
    // A file now shown on a side: its name and how it was on disk. The side's selection ends.
    void Loaded(bool old, std::string fileName, io::FileStamp stamp);
    // After a save: the file on disk is what the side shows.
    void Restamp(bool old, io::FileStamp stamp) { Side(old).stamp = stamp; }
    const std::string& FileName(bool old) const { return Side(old).fileName; }
    // The side's file is gone or holds other bytes than were loaded.
    bool ChangedOnDisk(bool old) const;

    // Takes over a finished comparison; lineCounts are the views' when their texts were taken.
    void Adopt(std::unique_ptr<model::TPasSrc> oldSource, std::unique_ptr<model::TPasSrc> newSource,
               std::unique_ptr<diff::TSourceDiff> comparison, int32_t oldLines = -1,
               int32_t newLines = -1);
    // The comparison first: it refers into both models.
    void Free();
    // A new file on a side: the comparison goes, the models stay until the next one.
    void DropComparison() {
        comparison_.reset();
        forms_.reset();
    }
    const model::TPasSrc* Source(bool old) const { return Side(old).source.get(); }
    const diff::TSourceDiff* Comparison() const { return comparison_.get(); }
    // A form pair is compared as forms, without models; Free lets it go too.
    void AdoptForms(std::unique_ptr<FormView> forms, int32_t oldLines, int32_t newLines);
    const FormView* Forms() const { return forms_.get(); }

    // Whether the range can be shown on a side whose view now holds viewLines lines.
    render::RangeFit Fit(bool old, render::LineRange range, int32_t viewLines) const;
    // The selected declaration's ranges and each range's lines as the views hold them; the diff
    // view's map is their line matching.
    void Select(render::LineRange oldRange, render::LineRange newRange,
                std::vector<base::TLineRecord> oldLines, std::vector<base::TLineRecord> newLines);
    void ClearSelection();
    render::LineRange Range(bool old) const { return Side(old).range; }
    const std::vector<base::TLineRecord>& SelectedLines(bool old) const { return Side(old).lines; }
    const std::vector<diff::TMapEntry>& DiffMap() const { return diffMap_; }

    // A comparison is under way: the selection is not followed meanwhile.
    bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }

private:
    struct SideState {
        std::string fileName;
        io::FileStamp stamp;
        std::unique_ptr<model::TPasSrc> source;
        int32_t comparedLines = -1;
        render::LineRange range;
        std::vector<base::TLineRecord> lines;
    };
    SideState& Side(bool old) { return sides_[old ? 0 : 1]; }
    const SideState& Side(bool old) const { return sides_[old ? 0 : 1]; }

    SideState sides_[2];
    std::unique_ptr<diff::TSourceDiff> comparison_;
    std::unique_ptr<FormView> forms_;
    std::vector<diff::TMapEntry> diffMap_;
    bool busy_ = false;
};

// A unit comparison's warnings about the forms beside the two files on disk: what the new unit
// and its form get wrong together that the old pair did not, as the command line warns.
std::vector<forms::FormFinding> NewFormWarnings(const ComparisonDocument& doc);

// One comparison of two texts on its own thread. The owner polls Done() and Step() from its
// event loop; Cancel() makes the comparison stop at its next step, and its result is dropped.
class ComparisonJob {
public:
    ComparisonJob(std::string oldText, std::string oldName, std::string newText,
                  std::string newName, model::Reading reading);
    // Waits for the thread: a cancelled job ends at its next step.
    ~ComparisonJob();
    ComparisonJob(const ComparisonJob&) = delete;
    ComparisonJob& operator=(const ComparisonJob&) = delete;

    bool Done() const { return done_.load(std::memory_order_acquire); }
    // The step reached so far.
    diff::CompareStep Step() const { return step_.load(std::memory_order_relaxed); }
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    // Blocks until Done(). The result; the worker's exception is thrown again here. A cancelled
    // job gives an empty result.
    diff::ComparisonResult Take();

private:
    void Run();

    std::string texts_[2];
    std::string names_[2];
    model::Reading reading_;
    diff::ComparisonResult result_;
    std::exception_ptr error_;
    std::atomic<diff::CompareStep> step_{diff::CompareStep::ParseOld};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> done_{false};
    std::thread thread_; // last: started once everything it reads is in place
};

} // namespace quennet::viewrules
