// The parts of an open file that are the same on every system.
#include "io/platform.h"

namespace quennet::io {

TFile::~TFile() {
    Close();
}

TFile::TFile(TFile&& other) noexcept : handle_(other.handle_), own_(other.own_) {
    other.handle_ = kNone;
}

TFile& TFile::operator=(TFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        own_ = other.own_;
        other.handle_ = kNone;
    }
    return *this;
}

} // namespace quennet::io
