// Writing a source view's lines back to disk without losing anything: the file keeps the line
// ends it was loaded with, an unedited text comes out byte for byte as it went in, and the file
// on disk is replaced only by a complete, flushed copy.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::io {

// How a loaded file ended its lines. Loading into lines drops this, so it is kept beside them.
struct SourceTextFormat {
    std::string LineBreak = "\r\n"; // the first break of the file; CR LF when it had none
    bool FinalBreak = true;         // the last line was followed by a break
    // Only for files with more than one kind of line end: the loaded bytes, so that an unedited
    // text still saves unchanged.
    std::shared_ptr<const std::string> MixedOriginal;
};

SourceTextFormat DetectTextFormat(std::string_view bytes);

// The file's bytes for these lines in that format.
std::string AssembleSourceText(const std::vector<std::string>& lines,
                               const SourceTextFormat& format);

// "name.NNN.bak" with the first number from 000 to 999 for which no file exists; "name.bak"
// when all are taken.
std::string NumberedBackupName(const std::string& fileName,
                               const std::function<bool(const std::string&)>& exists);
std::string NumberedBackupName(const std::string& fileName);

// Writes all bytes to an open descriptor, retrying interrupted writes; returns 0 or the errno.
int WriteAllBytes(int fd, std::string_view bytes);

// A complete copy of new content next to its target, flushed to disk. Commit renames it over
// the target; a copy that is never committed is removed.
class TPendingFile {
public:
    // Throws std::runtime_error naming the file and the reason.
    TPendingFile(const std::string& path, std::string_view bytes);
    ~TPendingFile();
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    const std::string& Target() const { return m_target; }
    void Commit();

private:
    std::string m_path;   // as the caller named it, for messages
    std::string m_target; // symbolic links resolved
    std::string m_temp;
    bool m_committed = false;
};

// Replaces the file at once (save under a new name).
void WriteSourceFile(const std::string& path, std::string_view bytes);

struct BackupSaveResult {
    std::string BackupName; // empty when no backup was made
    bool FileWasMissing = false;
};

// Save with a numbered backup: the new text is written and flushed first, then the file on disk
// is renamed to its backup name, then the new text takes its place. A file that is gone gets no
// backup; the text is saved all the same. When the last step fails, the backup is renamed back.
BackupSaveResult SaveWithNumberedBackup(const std::string& path, std::string_view bytes);

} // namespace quennet::io
