// Fuzz target: the folder comparison's reading of files. A file reads with the CRC of its
// bytes; two copies compare as identical, and as different once one is cut short after the
// size test or has a byte changed.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "base/crc32.h"
#include "folders/folder_compare.h"
#include "fuzz_support.h"

namespace quennet::fuzz {

inline std::string ScratchName(const char* which) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/quennet-fuzz-" + std::to_string(::getpid()) +
           "-" + which;
}

// Two scratch files written over by every execution, and removed when the process ends.
struct ScratchFiles {
    const std::string a = ScratchName("a"), b = ScratchName("b");
    ~ScratchFiles() {
        ::unlink(a.c_str());
        ::unlink(b.c_str());
    }
};

inline void PutFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(out.flush()));
}

inline int FolderReadFuzzOne(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const ScratchFiles scratch;
    const std::string &a = scratch.a, &b = scratch.b;
    PutFile(a, bytes);
    PutFile(b, bytes);
    const folders::CrcResult r = folders::ReadFileCrc(a);
    Require(r.Readable && r.Size == size);
    Require(r.Crc == base::UpdateCrc32(bytes.data(), size, 0xFFFFFFFFu));
    Require(folders::CompareContents(a, b, size).Status == folders::FileStatus::Identical);
    if (size > 0) {
        std::string changed(bytes);
        changed[size / 2] = static_cast<char>(changed[size / 2] ^ 0x20);
        PutFile(b, changed);
        Require(folders::CompareContents(a, b, size).Status == folders::FileStatus::Different);
        PutFile(a, bytes.substr(0, size / 2));
        PutFile(b, bytes.substr(0, size / 2));
        Require(folders::CompareContents(a, b, size).Status == folders::FileStatus::Different);
    }
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::FolderReadFuzzOne(data, size);
}
#endif
