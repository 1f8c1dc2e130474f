// Saving source text: the temporary copy lives in the target's folder so that one rename
// replaces the target in one step.
#include "io/source_save.h"

#include "io/platform.h"
#include "io/source_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace quennet::io {

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
    throw std::runtime_error("Cannot write \"" + path + "\": " + ErrorText(error));
}

bool PathExists(const std::string& path) {
    return StatPath(path, false).Kind != FileKind::Missing;
}

// A second name for the file's current text: a hard link costs nothing and cannot be half
// written; where links are not allowed, a flushed copy. Never replaces an existing file.
bool MakeBackup(const std::string& file, const std::string& backup) {
    const int linked = HardLink(file, backup);
    if (linked == 0) return true;
    if (linked == EEXIST) return false;
    int error = 0;
    TFile in = TFile::OpenRead(file, error);
    if (!in.IsOpen()) return false;
    TFile out = TFile::CreateNew(backup, error);
    if (!out.IsOpen()) return false;
    FileInfo info;
    if (in.Info(info) == 0) out.CopyAttributes(info);
    bool ok = true;
    char block[65536];
    for (;;) {
        const long long n = in.Read(block, sizeof block, error);
        if (n == 0) break;
        if (n < 0 || out.WriteAll(std::string_view(block, static_cast<size_t>(n))) != 0) {
            ok = false;
            break;
        }
    }
    if (ok && out.Sync() != 0) ok = false;
    if (out.Close() != 0) ok = false;
    if (!ok) RemoveFile(backup);
    return ok;
}

} // namespace

SourceTextFormat DetectTextFormat(std::string_view bytes, TextEncoding encoding) {
    SourceTextFormat format;
    format.Encoding = encoding;
    const size_t first = bytes.find_first_of("\r\n");
    if (first == std::string_view::npos) {
        format.FinalBreak = bytes.empty();
        return format;
    }
    const bool crlf = bytes[first] == '\r' && first + 1 < bytes.size() && bytes[first + 1] == '\n';
    format.LineBreak = crlf ? "\r\n" : std::string(1, bytes[first]);
    const char last = bytes.back();
    format.FinalBreak = last == '\r' || last == '\n';
    // Any break of another kind makes the file mixed.
    for (size_t i = first; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        std::string_view brk = bytes.substr(i, 1);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') brk = bytes.substr(i, 2);
        if (brk != format.LineBreak) {
            format.MixedOriginal = std::make_shared<const std::string>(bytes);
            break;
        }
        i += brk.size() - 1;
    }
    return format;
}

std::string AssembleSourceText(const std::vector<std::string>& lines,
                               const SourceTextFormat& format) {
    if (format.MixedOriginal && SplitLines(*format.MixedOriginal) == lines)
        return EncodeSourceText(*format.MixedOriginal, format.Encoding);
    size_t total = 0;
    for (const auto& l : lines)
        total += l.size() + format.LineBreak.size();
    std::string out;
    out.reserve(total);
    for (size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || format.FinalBreak) out += format.LineBreak;
    }
    // Not a conditional expression: that would return a copy of `out`.
    if (format.Encoding != TextEncoding::Bytes) return EncodeSourceText(out, format.Encoding);
    return out;
}

SourceTextFormat OutputFormatOf(const SourceTextFormat& source, std::string_view eol) {
    SourceTextFormat format;
    format.LineBreak = eol.empty() ? source.LineBreak : std::string(eol);
    format.Encoding = source.Encoding;
    return format;
}

std::string NumberedBackupName(const std::string& fileName,
                               const std::function<bool(const std::string&)>& exists) {
    for (int n = 0; n <= 999; ++n) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", n);
        std::string candidate = fileName + "." + number + ".bak";
        if (!exists(candidate)) return candidate;
    }
    return fileName + ".bak";
}

std::string NumberedBackupName(const std::string& fileName) {
    return NumberedBackupName(fileName, PathExists);
}

TPendingFile::TPendingFile(const std::string& path, std::string_view bytes)
    : TPendingFile(path, [bytes](const ByteSink& sink) { sink(bytes); }) {}

TPendingFile::TPendingFile(const std::string& path, const ByteProducer& produce) : path_(path) {
    // Writing through a symbolic link replaces the file it names, not the link; a dangling
    // link gets its file.
    target_ = FinalTarget(path);
    int statError = 0;
    const FileInfo existing = StatPath(target_, true, &statError);
    if (existing.Kind == FileKind::Missing && statError == kErrorReservedName)
        Fail(path, statError);
    const bool exists = existing.Kind != FileKind::Missing;
    if (existing.Kind == FileKind::Folder)
        throw std::runtime_error("Cannot write \"" + path + "\": it is a folder");
    // A device or pipe would be replaced by a plain file, not written to.
    if (exists && existing.Kind != FileKind::Regular)
        throw std::runtime_error("Cannot write \"" + path + "\": it is not a regular file");

    static std::atomic<unsigned> counter{0};
    TFile file;
    int error = 0;
    for (int attempt = 0; attempt < 100 && !file.IsOpen(); ++attempt) {
        std::string candidate =
            target_ + ".tmp" + std::to_string(ProcessId()) + "-" + std::to_string(counter++);
        file = TFile::CreateNew(candidate, error);
        if (file.IsOpen())
            temp_ = candidate;
        else if (error != EEXIST)
            Fail(path, error);
    }
    if (!file.IsOpen()) Fail(path, EEXIST);
    // The replacement keeps the file's owner (where allowed) and its permissions.
    if (exists) file.CopyAttributes(existing);

    error = 0;
    try {
        produce([&](std::string_view piece) {
            if (error == 0) error = file.WriteAll(piece);
        });
    } catch (...) {
        file.Close();
        RemoveFile(temp_);
        throw;
    }
    if (error == 0) error = file.Sync();
    if (const int closed = file.Close(); closed != 0 && error == 0) error = closed;
    if (error != 0) {
        RemoveFile(temp_);
        Fail(path, error);
    }
}

TPendingFile::~TPendingFile() {
    if (!committed_) RemoveFile(temp_);
}

void TPendingFile::Commit(const RenameFunction& rename) {
    const int error = rename ? (rename(temp_.c_str(), target_.c_str()) == 0 ? 0 : errno)
                             : AtomicReplace(temp_, target_);
    if (error != 0) Fail(path_, error);
    committed_ = true;
    SyncFolderOf(target_);
}

void WriteSourceFile(const std::string& path, std::string_view bytes) {
    TPendingFile pending(path, bytes);
    pending.Commit();
}

BackupSaveResult SaveWithNumberedBackup(const std::string& path, std::string_view bytes,
                                        const RenameFunction& rename) {
    TPendingFile pending(path, bytes);
    BackupSaveResult result;
    result.FileWasMissing = StatPath(pending.Target()).Kind == FileKind::Missing;
    if (!result.FileWasMissing) {
        const std::string backup = NumberedBackupName(pending.Target());
        // A backup that cannot be made does not stop the save: the new text is complete.
        if (MakeBackup(pending.Target(), backup)) result.BackupName = backup;
    }
    try {
        pending.Commit(rename);
    } catch (...) {
        // The file still holds its old text; a backup of it would only be clutter.
        if (!result.BackupName.empty()) RemoveFile(result.BackupName);
        throw;
    }
    return result;
}

} // namespace quennet::io
