#include "io/disk_state.h"

#include "io/platform.h"
#include "io/source_file.h"

namespace quennet::io {

uint64_t ContentHash(std::string_view bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

namespace {
bool Stat(const std::string& path, FileStamp& stamp) {
    const FileInfo info = StatPath(path);
    if (info.Kind != FileKind::Regular) return false;
    stamp.Exists = true;
    stamp.Size = info.Size;
    stamp.ModifiedNs = info.ModifiedNs;
    return true;
}
} // namespace

FileStamp StampOf(const std::string& path, bool withContent) {
    FileStamp stamp;
    if (!Stat(path, stamp) || !withContent) return stamp;
    try {
        stamp.ContentHash = ContentHash(ReadFileBytes(path));
    } catch (const std::exception&) {
        stamp.Exists = false; // unreadable now: treated as gone
    }
    return stamp;
}

FileStamp StampOfLoaded(const std::string& path, std::string_view loadedBytes) {
    FileStamp stamp;
    if (!Stat(path, stamp)) return stamp;
    stamp.Size = loadedBytes.size();
    stamp.ContentHash = ContentHash(loadedBytes);
    return stamp;
}

bool ChangedSinceLoad(const std::string& path, const FileStamp& loaded) {
    if (!loaded.Exists) return false;
    FileStamp now;
    if (!Stat(path, now)) return true;
    if (now.Size != loaded.Size) return true;
    if (now.ModifiedNs == loaded.ModifiedNs) return false;
    now = StampOf(path);
    return !now.Exists || now.Size != loaded.Size || now.ContentHash != loaded.ContentHash;
}

} // namespace quennet::io
