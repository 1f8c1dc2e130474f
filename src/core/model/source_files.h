// The kinds of file the programs open, by extension: one list for the window's file dialogs and
// the command line's folder masks.
#pragma once

#include <string>
#include <vector>

namespace quennet::model {

// A group of extensions as a file dialog offers it: "Pascal sources" with "*.pas;*.pp;...".
struct FileFilter {
    std::string Description;
    std::string Patterns; // "*.ext" patterns separated by ";"
};

// Pascal sources (units, programs, packages, include files) and form files.
const std::vector<std::string>& PascalExtensions(); // ".pas", ".pp", ...
const std::vector<std::string>& FormExtensions();   // ".dfm", ".lfm", ".fmx"

// The Open dialog's filters, in order: every Pascal and form file, the sources, the forms,
// Delphi's backups, all files.
std::vector<FileFilter> OpenDialogFilters();

// The files a folder comparison pairs when no mask is given: units and programs.
inline constexpr const char* kDefaultFolderMask = "*.pas;*.dpr";

} // namespace quennet::model
