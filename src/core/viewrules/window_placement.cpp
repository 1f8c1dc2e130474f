#include "viewrules/window_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quennet::viewrules {

namespace {

int64_t Overlap(const ScreenRect& a, const ScreenRect& b) {
    const int64_t w =
        std::min<int64_t>(int64_t{a.X} + a.Width, int64_t{b.X} + b.Width) - std::max(a.X, b.X);
    const int64_t h =
        std::min<int64_t>(int64_t{a.Y} + a.Height, int64_t{b.Y} + b.Height) - std::max(a.Y, b.Y);
    return w > 0 && h > 0 ? w * h : 0;
}

// Squared distance between centres, doubled to stay in integers.
int64_t CentreDistance(const ScreenRect& a, const ScreenRect& b) {
    const int64_t dx = (int64_t{a.X} * 2 + a.Width) - (int64_t{b.X} * 2 + b.Width);
    const int64_t dy = (int64_t{a.Y} * 2 + a.Height) - (int64_t{b.Y} * 2 + b.Height);
    return dx * dx + dy * dy;
}

// The screen holding most of r; when it touches none, the nearest one.
const ScreenRect& BestScreen(const ScreenRect& r, const std::vector<ScreenRect>& screens) {
    const ScreenRect* best = &screens.front();
    int64_t bestOverlap = -1;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (const ScreenRect& s : screens) {
        const int64_t o = Overlap(r, s);
        const int64_t d = CentreDistance(r, s);
        if (o > bestOverlap || (o == bestOverlap && d < bestDistance)) {
            best = &s;
            bestOverlap = o;
            bestDistance = d;
        }
    }
    return *best;
}

ScreenRect Inside(ScreenRect r, const ScreenRect& screen) {
    r.Width = std::clamp(r.Width, 1, std::max(1, screen.Width));
    r.Height = std::clamp(r.Height, 1, std::max(1, screen.Height));
    r.X = std::clamp(r.X, screen.X, screen.X + screen.Width - r.Width);
    r.Y = std::clamp(r.Y, screen.Y, screen.Y + screen.Height - r.Height);
    return r;
}

} // namespace

ScreenRect FirstWindowRect(const ScreenRect& screen) {
    const int w = static_cast<int>(screen.Width * kFirstWindowShare);
    const int h = static_cast<int>(screen.Height * kFirstWindowShare);
    return {screen.X + (screen.Width - w) / 2, screen.Y + (screen.Height - h) / 2, w, h};
}

int TreePaneWidth(int hinted, int windowWidth, int least) {
    return std::max(std::min(hinted, windowWidth / 3), std::min(least, windowWidth / 3));
}

ScreenRect PlaceWindow(const std::optional<ScreenRect>& stored, const ScreenRect& size,
                       const std::optional<ScreenRect>& anchor,
                       const std::vector<ScreenRect>& screens) {
    ScreenRect wanted = stored.value_or(size);
    if (!stored && anchor)
        wanted = {anchor->X + kCascadeOffset, anchor->Y + kCascadeOffset, size.Width, size.Height};
    if (screens.empty()) return wanted;
    if (stored) {
        const int64_t enough = int64_t{std::min(wanted.Width, kMinVisibleWidth)} *
                               std::min(wanted.Height, kMinVisibleHeight);
        if (Overlap(wanted, BestScreen(wanted, screens)) >= std::max<int64_t>(enough, 1))
            return wanted;
    }
    // A first window goes to the main window's screen even when the offset crosses an edge.
    const ScreenRect& screen = BestScreen(!stored && anchor ? *anchor : wanted, screens);
    return Inside(wanted, screen);
}

} // namespace quennet::viewrules
