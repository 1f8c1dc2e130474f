// Speed of the folder comparison behind the navigator and quennet-diff --dirs: listing and
// status computation of two folders (CRC read in blocks), next to a CRC through a memory
// mapping of the same files, the unguarded way; and the save path of a large source (assembly and
// the flushed, renamed write). Usage: navigator_bench [OLDDIR NEWDIR [MASK]] (default: a synthetic
// pair of 1500 files).
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "base/crc32.h"
#include "folders/folder_compare.h"
#include "io/source_file.h"
#include "io/source_save.h"

using namespace quennet;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

std::string Unit(size_t n, std::mt19937& rng) {
    std::string text = "unit U" + std::to_string(n) + ";\r\ninterface\r\nimplementation\r\n";
    const size_t routines = 100 + rng() % 200;
    for (size_t r = 0; r < routines; ++r)
        text += "procedure P" + std::to_string(r) + ";\r\nbegin\r\n  Inc(X, " +
                std::to_string(rng() % 1000) + ");\r\nend;\r\n";
    return text + "end.\r\n";
}

uint32_t MappedCrc(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0xFFFFFFFFu;
    const auto size = static_cast<size_t>(::lseek(fd, 0, SEEK_END));
    void* view = size ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    ::close(fd);
    if (view == MAP_FAILED) return 0xFFFFFFFFu;
    const uint32_t crc = base::UpdateCrc32(view, size, 0xFFFFFFFFu);
    ::munmap(view, size);
    return crc;
}

} // namespace

int main(int argc, char** argv) {
    std::string left, right, mask = "*.pas;*.dpr";
    fs::path scratch;
    if (argc >= 3) {
        left = argv[1];
        right = argv[2];
        if (argc >= 4) mask = argv[3];
    } else {
        scratch = fs::temp_directory_path() / ("navigator-bench-" + std::to_string(::getpid()));
        fs::create_directories(scratch / "old");
        fs::create_directories(scratch / "new");
        std::mt19937 rng(7);
        for (size_t i = 0; i < 1500; ++i) {
            const std::string name = "unit" + std::to_string(i) + ".pas";
            const std::string text = Unit(i, rng);
            std::ofstream(scratch / "old" / name, std::ios::binary) << text;
            // Most files identical, some edited in place (same size), some resized, some gone.
            std::string changed = text;
            if (i % 10 == 1) changed[changed.size() / 2] ^= 1;
            if (i % 10 == 2) changed += "{ added }\r\n";
            if (i % 10 != 3) std::ofstream(scratch / "new" / name, std::ios::binary) << changed;
        }
        left = (scratch / "old").string();
        right = (scratch / "new").string();
    }

    auto t0 = Clock::now();
    const auto oldNames = folders::ListFolderFiles(left, mask);
    const auto newNames = folders::ListFolderFiles(right, mask);
    const double listMs = Ms(t0);
    t0 = Clock::now();
    const auto oldStatus = folders::FolderStatuses(left, oldNames, right);
    const auto newStatus = folders::FolderStatuses(right, newNames, left);
    const double statusMs = Ms(t0);
    size_t identical = 0, bytes = 0;
    for (const auto& e : oldStatus)
        if (e.Status == folders::FileStatus::Identical) ++identical;
    for (const std::string& n : oldNames)
        bytes += folders::FileSizeOf(left + "/" + n);

    t0 = Clock::now();
    uint32_t mix = 0;
    for (const std::string& n : oldNames)
        mix ^= folders::FileCrc(left + "/" + n);
    const double readMs = Ms(t0);
    t0 = Clock::now();
    uint32_t mix2 = 0;
    for (const std::string& n : oldNames)
        mix2 ^= MappedCrc(left + "/" + n);
    const double mmapMs = Ms(t0);

    std::printf("folders: %zu + %zu files, %.1f MB on the old side, %zu identical\n",
                oldNames.size(), newNames.size(), static_cast<double>(bytes) / 1e6, identical);
    std::printf("list both folders:        %8.1f ms\n", listMs);
    std::printf("statuses of both lists:   %8.1f ms\n", statusMs);
    std::printf("CRC of old side, FileCrc: %8.1f ms (%.0f MB/s)\n", readMs,
                static_cast<double>(bytes) / 1e3 / (readMs > 0 ? readMs : 1));
    std::printf("CRC of old side, mmap:    %8.1f ms (%.0f MB/s)%s; ratio %.2f\n", mmapMs,
                static_cast<double>(bytes) / 1e3 / (mmapMs > 0 ? mmapMs : 1),
                mix == mix2 ? "" : "  MISMATCH", readMs / (mmapMs > 0 ? mmapMs : 1));

    // Saving a 4.7 MB source with a numbered backup.
    std::mt19937 rng(3);
    std::string big;
    for (size_t n = 0; big.size() < 4'700'000; ++n)
        big += Unit(n, rng);
    const std::vector<std::string> lines = io::SplitLines(big);
    const io::SourceTextFormat format = io::DetectTextFormat(big);
    const fs::path saveDir = scratch.empty() ? fs::temp_directory_path() : scratch;
    const fs::path target = saveDir / ("save-bench-" + std::to_string(::getpid()) + ".pas");
    std::ofstream(target, std::ios::binary) << big;
    t0 = Clock::now();
    const std::string assembled = io::AssembleSourceText(lines, format);
    const double assembleMs = Ms(t0);
    t0 = Clock::now();
    const auto saved = io::SaveWithNumberedBackup(target.string(), assembled);
    const double saveMs = Ms(t0);
    std::printf("save 4.7 MB: assemble %.1f ms, write+fsync+rename %.1f ms%s\n", assembleMs, saveMs,
                assembled == big ? "" : "  NOT BYTE-IDENTICAL");
    fs::remove(target);
    fs::remove(saved.BackupName);
    if (!scratch.empty()) fs::remove_all(scratch);
    return mix == mix2 && assembled == big ? 0 : 1;
}
