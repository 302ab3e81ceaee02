#pragma once

// How the curves of a graph share its height. The overlay group (the first `overlay` subsets)
// takes one band, each separate curve a band of its own; all bands are equally high. With the
// first axis shared the overlay curves sit on axis 0 with one scale; otherwise each curve has an
// axis of its own and the overlay axes lie over one another in the first band.
//
// Axes are numbered top to bottom; a band is named by the index of its first axis, which is
// what a pixel-to-graph conversion reports for a point inside that band.
class TGraphBands {
 public:
  TGraphBands() = default;
  // subsets >= 0; overlay is clamped to 0..subsets.
  TGraphBands(int subsets, int overlay, bool shareFirstAxis);

  int Subsets() const { return subsets_; }
  int Overlay() const { return overlay_; }
  // Last subset on the shared first axis; 0 when not shared.
  int SharedAxisEnd() const { return sharedAxisEnd_; }
  // Last subset of the overlay group; 0 without overlay.
  int OverlayEnd() const { return overlayEnd_; }

  int AxisCount() const { return subsets_ - sharedAxisEnd_; }
  int BandCount() const;
  int AxisOf(int subset) const;
  // The first axis of the band that holds subset.
  int BandOf(int subset) const;
  // The first axis of the band that holds axis.
  int BandOfAxis(int axis) const;
  // Subsets drawn on axis (1 for every axis of its own, the overlay count for a shared one).
  int SubsetsOnAxis(int axis) const;
  // Axes drawn in the band that starts at axis (0 for an axis inside another's band).
  int AxesInBand(int axis) const;
  // Share of the plot height of each band.
  double Proportion() const { return BandCount() > 0 ? 1.0 / BandCount() : 1.0; }

 private:
  int subsets_ = 0;
  int overlay_ = 0;
  int sharedAxisEnd_ = 0;
  int overlayEnd_ = 0;
};
