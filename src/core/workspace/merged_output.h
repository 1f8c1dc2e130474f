// Writing an edited workspace out as Pascal source: the new version, the old version, or one
// source that holds both and chooses between them on the symbol NEW_VER. Each line's kind is
// the colour of its first character (of its break when it is empty).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "io/source_save.h"
#include "workspace/workspace_document.h"

namespace quennet::workspace {

enum class TLineKind { Common, OldOnly, NewOnly, Other };

// Black common, red old only, blue new only; any other value, automatic included, is Other.
TLineKind LineKindOf(TColor color);

// The merge setup dialog's prompts, which also name the settings subkeys of its remembered
// choice (value "Comment": the last confirmed prefix, empty for Remove).
inline constexpr std::string_view kOldLinesPrompt = "Old lines (marked as Red) must be";
inline constexpr std::string_view kNewLinesPrompt = "New lines (marked as Blue) must be";

// The prefix the dialog confirms: "" for Remove, else "//" + the edit box's text exactly.
std::string CommentPrefixOf(bool comment, std::string_view editText);
// The dialog's state from a stored prefix: "Comment //" with the prefix from its third
// character on when it is not empty, "Remove" otherwise.
struct TMergeSetupState {
    bool Comment = false;
    std::string EditText;
};
TMergeSetupState MergeSetupStateOf(std::string_view storedPrefix);

// "// Quennet Pro <version> <legal notice>"
std::string MergedHeaderLine();

// The lines of each output, without line ends. An empty prefix leaves the lines of the
// left-out colour out; otherwise they are written behind the prefix ("//" + the user's text).
std::vector<std::string> NewVersionLines(const TWorkspaceDocument& doc, std::string_view prefix);
std::vector<std::string> OldVersionLines(const TWorkspaceDocument& doc, std::string_view prefix);
// Four header lines, then every line, with {$IFNDEF NEW_VER} / {$IFDEF NEW_VER} / {$ELSE} /
// {$ENDIF} around each changed stretch (where the colour changes; a stretch that ends with the
// text is closed after it). A stretch that would put a directive inside a comment of either
// version, or between one of its conditional directives and its partner, is widened until it
// does not; the common lines it takes in are written in both branches. With NEW_VER defined
// the result reads as the new version, without it as the old.
std::vector<std::string> MergedVersionLines(const TWorkspaceDocument& doc);

// The same, written to a file in the format of the source they come from (a byte-order mark
// first, then the lines in its encoding, each followed by its line end; CR LF when no source
// is known), replacing the file only when complete. Throw std::runtime_error naming the file
// and the reason.
void SaveNewVersion(const TWorkspaceDocument& doc, const std::string& path, std::string_view prefix,
                    const io::SourceTextFormat& format = {});
void SaveOldVersion(const TWorkspaceDocument& doc, const std::string& path, std::string_view prefix,
                    const io::SourceTextFormat& format = {});
void SaveMergedVersion(const TWorkspaceDocument& doc, const std::string& path,
                       const io::SourceTextFormat& format = {});

// The workspace itself: RTF with colours, or plain text (every line + CR LF).
void SaveWorkspaceRtf(const TWorkspaceDocument& doc, const std::string& path);
void SaveWorkspacePlainText(const TWorkspaceDocument& doc, const std::string& path);
// Reads a workspace file: RTF when it starts with "{\rtf", plain text otherwise. What the
// reader passed over goes to warnings as "FILE: offset N: what", and so does a file named
// .rtf that is not RTF.
TWorkspaceDocument LoadWorkspaceFile(const std::string& path,
                                     std::vector<std::string>* warnings = nullptr);

} // namespace quennet::workspace
