// The result of a three-way merge while the user resolves it: the text is the one truth, and
// its conflicts are the marked blocks it still holds, so an edit by hand and a choice from the
// list can never disagree about what is left to do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quennet::merge3 {

enum class Merge3Choice : uint8_t { Local, Remote, LocalThenRemote, RemoteThenLocal, Base };

struct Merge3Conflict {
    int32_t firstLine = 0, lastLine = 0; // 0-based, the marker lines included
    std::string localLabel, remoteLabel;
    // Each version's lines, with their line ends.
    std::string local, base, remote;
    bool hasBase = false; // written with a "|||||||" part
};

// Where a conflict's part of one version stands in that version: the start of the occurrence
// of its lines nearest to line `near`, or -1 when the part is empty or not found.
int32_t FindPart(const std::vector<std::string>& lines, const std::string& part, int32_t near);

class TMerge3Session {
public:
    explicit TMerge3Session(std::string text = {});

    const std::string& Text() const { return text_; }
    // The text as edited by hand; its conflicts are read again.
    void SetText(std::string text);

    const std::vector<Merge3Conflict>& Conflicts() const { return conflicts_; }
    // Marked blocks, and marker lines outside any block (a block broken by an edit): what
    // saving should warn about.
    int32_t Unresolved() const { return static_cast<int32_t>(conflicts_.size()) + strayMarkers_; }

    // Replaces conflict `index` by the chosen lines; returns the line where they start.
    // Throws std::out_of_range for an index beyond the list.
    int32_t Resolve(size_t index, Merge3Choice choice);

private:
    void ReadConflicts();

    std::string text_;
    std::vector<Merge3Conflict> conflicts_;
    std::vector<size_t> blockStart_, blockEnd_; // byte range of each conflict
    int32_t strayMarkers_ = 0;
};

} // namespace quennet::merge3
