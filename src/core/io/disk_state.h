// Whether a file changed on disk since a view loaded it. Size and modification time settle most
// cases without reading; when only the time moved (a touch, a checkout of the same bytes) the
// content decides, so an unchanged file never raises a question.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quennet::io {

struct FileStamp {
    bool Exists = false;
    uint64_t Size = 0;
    int64_t ModifiedNs = 0; // modification time, nanoseconds since the epoch
    uint64_t ContentHash = 0;
};

// 64-bit FNV-1a of the bytes.
uint64_t ContentHash(std::string_view bytes);

// The stamp of the file as it is now; Exists false when it cannot be found or is no regular
// file. The content is read only with withContent.
FileStamp StampOf(const std::string& path, bool withContent = true);

// The stamp of bytes just read from path (the hash of what was loaded, not re-read).
FileStamp StampOfLoaded(const std::string& path, std::string_view loadedBytes);

// True when the file is gone, or its bytes differ from the loaded ones. A stamp of a file that
// did not exist at load time never counts as changed: there was nothing to lose.
bool ChangedSinceLoad(const std::string& path, const FileStamp& loaded);

} // namespace quennet::io
