#include "display/ImageMapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

QSize atLeastOne(QSize s) {
  return {std::max(1, s.width()), std::max(1, s.height())};
}

// floor((2 * i + 1) * n / (2 * box)): the source index under the centre of box pixel i, in
// integers so that the drawing and PixelAt never disagree by a rounding.
int underCentre(int i, int n, int box) {
  i = std::clamp(i, 0, box - 1);
  return int((2 * std::int64_t(i) + 1) * n / (2 * std::int64_t(box)));
}

}  // namespace

TImageMapping::TImageMapping(int maxY, const QRect& source, QSize box)
    : maxY_(maxY), source_(source), box_(atLeastOne(box)) {}

TImageMapping TImageMapping::Full(int maxX, int maxY, QSize box) {
  maxX = std::max(maxX, 0);
  maxY = std::max(maxY, 0);
  return {maxY, QRect(0, 0, maxX + 1, maxY + 1), box};
}

TImageMapping TImageMapping::Zoomed(int maxX, int maxY, const QRect& zoom, QSize box) {
  maxX = std::max(maxX, 0);
  maxY = std::max(maxY, 0);
  const QRect frame(0, 0, maxX + 1, maxY + 1);
  QRect source = zoom.normalized() & frame;
  if (source.isEmpty()) source = frame;
  return {maxY, source, box};
}

TImagePoint TImageMapping::PointerToImage(QPointF pointer) const {
  const double px = std::floor(pointer.x()) + 0.5;
  const double py = std::floor(pointer.y()) + 0.5;
  const double x = source_.left() + px * source_.width() / box_.width() - 0.5;
  const double y = baseRow() + (box_.height() - py) * source_.height() / box_.height() - 0.5;
  return {float(x), float(y)};
}

float TImageMapping::ImageToScreenX(float x) const {
  return float((double(x) - source_.left() + 0.5) * box_.width() / source_.width() - 0.5);
}

float TImageMapping::ImageToScreenY(float y) const {
  return float(box_.height() - 0.5 -
               (double(y) - baseRow() + 0.5) * box_.height() / source_.height());
}

int TImageMapping::ColumnAt(int x) const {
  return source_.left() + underCentre(x, source_.width(), box_.width());
}

// Rows are sampled from the bottom, as image y runs, so that a pointer whose point lies on
// a boundary between two rows reads the same row the drawing shows.
int TImageMapping::RowFromTopAt(int y) const {
  const int fromBottom = box_.height() - 1 - y;
  return maxY_ - (baseRow() + underCentre(fromBottom, source_.height(), box_.height()));
}

QRect TImageMapping::ImageRectUnder(const QRect& boxRect) const {
  const QRect r = boxRect.normalized();
  return QRect(QPoint(ColumnAt(r.left()), RowFromTopAt(r.top())),
               QPoint(ColumnAt(r.right()), RowFromTopAt(r.bottom())));
}

QImage StretchNearest(const QImage& frame, const TImageMapping& mapping) {
  const QSize box = mapping.Box();
  if (frame.isNull() || frame.depth() % 8 != 0) return {};
  const QRect source = mapping.Source();
  if (!frame.rect().contains(source)) return {};
  QImage out(box, frame.format());
  if (out.isNull()) return {};
  if (frame.format() == QImage::Format_Indexed8) out.setColorTable(frame.colorTable());
  const int bytes = frame.depth() / 8;
  std::vector<int> columns(std::size_t(box.width()));
  for (int x = 0; x < box.width(); ++x) columns[std::size_t(x)] = mapping.ColumnAt(x) * bytes;
  for (int y = 0; y < box.height(); ++y) {
    const uchar* in = frame.constScanLine(mapping.RowFromTopAt(y));
    uchar* to = out.scanLine(y);
    for (int x = 0; x < box.width(); ++x)
      std::memcpy(to + std::size_t(x) * bytes, in + columns[std::size_t(x)], std::size_t(bytes));
  }
  return out;
}
