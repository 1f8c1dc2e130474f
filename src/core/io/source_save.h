// Writing a source view's lines back to disk without losing anything: the file keeps the line
// ends it was loaded with, an unedited text comes out byte for byte as it went in, and the file
// on disk is replaced only by a complete, flushed copy.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/text_encoding.h"

namespace quennet::io {

// How a loaded file ended its lines. Loading into lines drops this, so it is kept beside them.
struct SourceTextFormat {
    std::string LineBreak = "\r\n"; // the first break of the file; CR LF when it had none
    bool FinalBreak = true;         // the last line was followed by a break
    // Only for files with more than one kind of line end: the loaded bytes, so that an unedited
    // text still saves unchanged.
    std::shared_ptr<const std::string> MixedOriginal;
    TextEncoding Encoding = TextEncoding::Bytes;
};

// The format of a decoded text (DecodeSourceBytes); the encoding is the one it was read in.
SourceTextFormat DetectTextFormat(std::string_view text,
                                  TextEncoding encoding = TextEncoding::Bytes);
// What outputs made from such a file use: its encoding and first line end, a break after
// every line. A known --eol choice ("\r\n" or "\n") replaces the line end.
SourceTextFormat OutputFormatOf(const SourceTextFormat& source, std::string_view eol = {});

// The file's bytes for these lines in that format.
std::string AssembleSourceText(const std::vector<std::string>& lines,
                               const SourceTextFormat& format);

// "name.NNN.bak" with the first number from 000 to 999 for which no file exists; "name.bak"
// when all are taken.
std::string NumberedBackupName(const std::string& fileName,
                               const std::function<bool(const std::string&)>& exists);
std::string NumberedBackupName(const std::string& fileName);

// The platform's atomic replace by default; tests hand in a failing one to stop a save between its
// steps.
using RenameFunction = std::function<int(const char* from, const char* to)>;

// A complete copy of new content next to its target, flushed to disk. Commit renames it over
// the target; a copy that is never committed is removed.
// Content handed over in pieces: the producer calls the sink with each piece in order.
using ByteSink = std::function<void(std::string_view)>;
using ByteProducer = std::function<void(const ByteSink&)>;

class TPendingFile {
public:
    // Throws std::runtime_error naming the file and the reason.
    TPendingFile(const std::string& path, std::string_view bytes);
    // The content written as it is produced, not held whole in memory. What the producer
    // throws leaves no temporary file behind.
    TPendingFile(const std::string& path, const ByteProducer& produce);
    ~TPendingFile();
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    const std::string& Target() const { return target_; }
    void Commit(const RenameFunction& rename = {});

private:
    std::string path_;   // as the caller named it, for messages
    std::string target_; // symbolic links resolved
    std::string temp_;
    bool committed_ = false;
};

// Replaces the file at once (save under a new name).
void WriteSourceFile(const std::string& path, std::string_view bytes);

struct BackupSaveResult {
    std::string BackupName; // empty when no backup was made
    bool FileWasMissing = false;
};

// Save with a numbered backup: the new text is written and flushed first, then the backup is
// made as a second name of the file (a hard link, or a copy where links fail), then the new
// text is renamed over the file. The file's name therefore always holds a whole version. A
// file that is gone gets no backup; the text is saved all the same. A symbolic link is written
// through, a dangling one to the file it names.
BackupSaveResult SaveWithNumberedBackup(const std::string& path, std::string_view bytes,
                                        const RenameFunction& rename = {});

} // namespace quennet::io
