// Atomic file replacement for the merged outputs: the shared pending-file writer, except for
// devices and pipes, which are written directly.
#include "io/atomic_file.h"

#include <stdexcept>

#include "io/platform.h"
#include "io/source_save.h"

namespace quennet::io {

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
    throw std::runtime_error("Cannot write \"" + path + "\": " + ErrorText(error));
}

// A device or a pipe (/dev/stdout, a FIFO) has no content to keep and cannot be replaced by
// renaming.
void WriteDirectly(const std::string& path, const ByteProducer& produce) {
    int error = 0;
    TFile file = TFile::OpenWrite(path, error);
    if (!file.IsOpen()) Fail(path, error);
    try {
        produce([&](std::string_view piece) {
            if (error == 0) error = file.WriteAll(piece);
        });
    } catch (...) {
        file.Close();
        throw;
    }
    if (const int closed = file.Close(); closed != 0 && error == 0) error = closed;
    if (error != 0) Fail(path, error);
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteFileAtomically(path, [bytes](const ByteSink& sink) { sink(bytes); });
}

void WriteFileAtomically(const std::string& path, const ByteProducer& produce) {
    const FileKind kind = StatPath(path).Kind;
    if (kind != FileKind::Missing && kind != FileKind::Regular && kind != FileKind::Folder) {
        WriteDirectly(path, produce);
        return;
    }
    io::TPendingFile pending(path, produce);
    pending.Commit();
}

} // namespace quennet::io
