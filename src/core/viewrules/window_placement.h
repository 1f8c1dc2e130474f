// Where a secondary window appears: inside the available area of a screen, near the main
// window the first time, and pulled back onto a screen when a stored placement (from another
// monitor layout) falls outside them all.
#pragma once

#include <optional>
#include <vector>

namespace quennet::viewrules {

struct ScreenRect {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// How far a first-time window stands right of and below the main window's top-left corner.
inline constexpr int kCascadeOffset = 40;
// How much of a stored window must lie on one screen for it to stay where it is.
inline constexpr int kMinVisibleWidth = 100;
inline constexpr int kMinVisibleHeight = 50;

// stored: the placement kept from an earlier session, if any; size: the window's size when
// nothing is stored; anchor: the main window, if there is one; screens: available areas.
// A stored placement with enough of it on a screen to grab it is kept as the user left it;
// otherwise, and for a first placement, the result lies inside one screen (shrunk when larger
// than it). With no screens at all the placement is returned unchanged.
ScreenRect PlaceWindow(const std::optional<ScreenRect>& stored, const ScreenRect& size,
                       const std::optional<ScreenRect>& anchor,
                       const std::vector<ScreenRect>& screens);

// The main window's first size, with nothing stored: this share of the screen's available area
// in each direction, centred on it.
inline constexpr double kFirstWindowShare = 0.85;
ScreenRect FirstWindowRect(const ScreenRect& screen);

// The tree pane's width: what its captions ask for (their size hint), at least `least` and at
// most a third of the window.
int TreePaneWidth(int hinted, int windowWidth, int least);

} // namespace quennet::viewrules
