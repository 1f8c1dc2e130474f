// Include files ({$I name}, {$INCLUDE name}) spliced into the text before it is parsed, each on
// lines of its own, with a table that maps the lines of the whole back to files and lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::base {
class ReadTextRelease;
}

namespace quennet::pascal {

// Where a line of the expanded text comes from. File 0 is the parsed file itself.
struct LineOrigin {
    int32_t File = 0;
    int32_t Line = 0;
};

class IncludeExpansion {
public:
    // Nesting deeper than this is an error, so that inclusion cycles end.
    static constexpr int kMaxDepth = 16;

    // Returns false, leaving the text unused, when it holds no include directive. With release,
    // the text is given back as it is copied: the copy and the text are never whole at once.
    bool Expand(std::string_view text, const std::string& fileName,
                const std::vector<std::string>& includeDirs, bool nestedComments,
                base::ReadTextRelease* release = nullptr);

    const std::string& Text() const { return text_; }
    // Paths of the files read; index 0 is the parsed file's own name.
    const std::vector<std::string>& Files() const { return files_; }
    LineOrigin Origin(int32_t line) const;
    // The last line of file reached at line `to` of the expanded text, starting from `from`:
    // a declaration that runs on in another file ends, in its own file, where that file was
    // left.
    int32_t LastLineIn(int32_t file, int32_t from, int32_t to) const;
    // The note for a directive that could not be followed, by its offset in the expanded text;
    // only directives the parse does not skip report it.
    const std::string* NoteAt(int32_t pos) const;

private:
    struct Segment {
        int32_t FirstLine; // in the expanded text
        int32_t File;
        int32_t FileLine;
    };
    void Append(std::string_view piece);
    void Append(std::string_view piece, int32_t breaks);
    void StartSegment(int32_t file, int32_t fileLine);
    void ExpandFile(std::string_view text, int32_t file, std::vector<int32_t>& chain,
                    base::ReadTextRelease* release);
    std::string Resolve(const std::string& name, int32_t including) const;
    const std::vector<std::filesystem::path>& BuildDirs() const;
    std::string WhereLooked(const std::string& name, int32_t including) const;

    std::string text_;
    int32_t line_ = 1;
    std::vector<std::string> files_;
    std::vector<std::string> ids_; // canonical paths, for cycles
    std::vector<Segment> segments_;
    std::vector<std::pair<int32_t, std::string>> notes_;
    std::vector<std::string> includeDirs_;
    bool nested_ = false;
    size_t rootRest_ = 0; // of the unit's own text, not yet copied
    mutable std::vector<std::filesystem::path> buildDirs_;
    mutable bool buildDirsKnown_ = false;
    // What BuildDirs found, for the note of a file not found.
    mutable std::vector<std::string> projectFiles_;
    mutable std::vector<std::string> programFiles_; // .dpr, .dpk, .lpr
    mutable int32_t foldersAbove_ = 0;
    mutable bool reachedRoot_ = false;
};

} // namespace quennet::pascal
