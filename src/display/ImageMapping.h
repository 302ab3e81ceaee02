#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>

// An image point: single precision, x from the left, y from the bottom row upward.
struct TImagePoint {
  float x = 0;
  float y = 0;
};

// Every conversion between paint-box pixels and image points, for the full view and the zoomed
// view, and the picture drawn from them, so that what is measured is what is shown.
//
// Image points: an integer coordinate is the CENTRE of an image pixel. Pixel (i, j), j counted
// from the bottom row, covers [i - 0.5, i + 0.5) x [j - 0.5, j + 0.5); the pixel under a point
// is (floor(x + 0.5), floor(y + 0.5)). Measured positions therefore do not shift with the
// magnification: the middle of a pixel reads as its index at 50 %, 100 % or 400 %.
//
// Paint-box positions are logical pixels (device-independent), top row first. A pointer stands
// for the logical pixel it lies on, taken at that pixel's centre; ImageToScreenX/Y give that
// pixel's index back as a real number (round it to place the pointer).
//
// The drawing is a nearest-neighbour stretch of the source rectangle over the whole paint box:
// each paint-box pixel shows the image pixel under its centre (PixelAt). The full view's source
// is the whole frame, every column and row; the zoomed view's is the zoom rectangle, inclusive.
// A paint box of round((Image maximum + 1) x p / 100) pixels therefore shows the frame at p %.
class TImageMapping {
 public:
  TImageMapping() = default;
  // The whole frame (maxX, maxY: frame width - 1, height - 1) over a paint box of `box`.
  static TImageMapping Full(int maxX, int maxY, QSize box);
  // The zoom rectangle `zoom` (image pixels, rows counted from the top, right and bottom
  // inclusive as QRect has them) over the paint box; clipped to the frame.
  static TImageMapping Zoomed(int maxX, int maxY, const QRect& zoom, QSize box);

  // Reticle: the image point under a pointer at paint-box position `pointer`.
  TImagePoint PointerToImage(QPointF pointer) const;
  // Paint-box pixel (as a real) whose centre shows image point x, resp. y.
  float ImageToScreenX(float x) const;
  float ImageToScreenY(float y) const;

  // The image pixel drawn at paint-box pixel (x, y), rows counted from the TOP of the image;
  // exact integer arithmetic, the same rule the drawing uses.
  int ColumnAt(int x) const;
  int RowFromTopAt(int y) const;
  // The image pixels (rows from the top, inclusive) drawn inside a paint-box rectangle.
  QRect ImageRectUnder(const QRect& boxRect) const;

  // Source rectangle in image pixels, rows counted from the top.
  QRect Source() const { return source_; }
  QSize Box() const { return box_; }
  int MaxY() const { return maxY_; }

 private:
  TImageMapping(int maxY, const QRect& source, QSize box);
  // Bottom-up index of the source's bottom row.
  int baseRow() const { return maxY_ - source_.bottom(); }

  int maxY_ = 0;
  QRect source_{0, 0, 1, 1};
  QSize box_{1, 1};
};

// The picture of `frame` through `mapping`: one pixel per logical paint-box pixel, each the
// image pixel the mapping puts there (no smoothing, no blending). Indexed frames stay indexed.
QImage StretchNearest(const QImage& frame, const TImageMapping& mapping);
