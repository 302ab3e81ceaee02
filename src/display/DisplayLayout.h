#pragma once

#include <QSize>
#include <array>

// The display window's geometry arithmetic, apart from any widget: how large the client area
// is for a magnification, how the legend panels sit in it and how wide the tool-bar buttons are.
// All sizes are logical pixels.
namespace display_layout {

// Narrowest window that still shows the whole tool bar and slider.
constexpr int kControlsMinimumWidth = 185;
// Smallest paint-box side a magnification is raised to.
constexpr int kMinimumSide = 120;
constexpr int kToolBarButtons = 9;

struct TLayoutRequest {
  QSize image;           // image pixels shown: the whole frame, or the zoomed part of it
  int percent = 100;     // magnification wanted
  int extraHeight = 0;   // the visible panels under the paint box
  int minimumWidth = 0;  // MinimumWidth() of the visible panels
  QSize available;       // the largest client area the monitor offers
  bool keepAspect = true;
};

struct TLayoutPlan {
  int percent = 100;  // after raising it to the minimum side
  QSize client;       // the whole client area, panels included
};

// The client area for a request: the image at the magnification (raised so that each side is
// at least kMinimumSide), widened to the minimum width and cut to the available area, the height
// following the width while the aspect is kept. An empty image yields an empty plan.
TLayoutPlan Plan(const TLayoutRequest& request);

// The magnification lowered, when needed, so that the image at it fits the paint box the window
// actually got (a monitor may refuse the size asked for).
int FitPercent(int percent, QSize image, QSize paintBox);

// The sum of the visible legend panels' widths; at least kControlsMinimumWidth with controls.
int MinimumWidth(const std::array<int, 3>& legendWidths, bool controls);

// Left edges of the frame, reticle and time panels (widths 0 when hidden) inside a legend of
// the given width: one panel centred; two at the edges, the frame panel (else the reticle
// panel) left; three left, centred and right. Hidden panels get 0.
std::array<int, 3> ArrangeLegend(int width, const std::array<int, 3>& widths);

inline int ButtonWidth(int width) {
  return width / kToolBarButtons;
}

}  // namespace display_layout
