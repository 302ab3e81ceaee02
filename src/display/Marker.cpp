#include "display/Marker.h"

#include <QPainter>
#include <cstdlib>
#include <vector>

namespace {

// Strokes in a 0..1000 square centred on 500, y upward; each stroke is a polyline.
using Stroke = std::vector<QPoint>;
using Shape = std::vector<Stroke>;

const Shape kPlus = {{{500, 100}, {500, 900}}, {{100, 500}, {900, 500}}};
const Shape kCross = {{{100, 100}, {900, 900}}, {{100, 900}, {900, 100}}};

Shape ShapeOf(int shape) {
  switch (shape) {
    case 0:
    case 2:
      return kPlus;
    case 1:
      return {{{100, 500}, {500, 900}, {900, 500}, {500, 100}, {100, 500}}};
    case 3:
      return {kPlus[0], kPlus[1], kCross[0], kCross[1]};
    case 4:
      return {{{100, 100}, {100, 900}, {900, 900}, {900, 100}, {100, 100}}};
    case 5:
      return kCross;
    case 6:
      return {{{400, 400}, {400, 600}, {600, 600}, {600, 400}, {400, 400}}};
    case 7:
      return {{{100, 100}, {900, 900}, {100, 900}, {900, 100}, {100, 100}}};
    default:
      return {};
  }
}

}  // namespace

void DrawPolymarker(QPainter& painter, QPoint at, int shape, const QColor& colour, int size) {
  if (shape < 0 || shape > 7) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(colour, 0));
  painter.setBrush(Qt::NoBrush);
  if (shape == 0) {
    const int r = size * 400 / 1000;
    painter.drawEllipse(QRect(at.x() - r, at.y() - r, 2 * r + 1, 2 * r + 1));
  }
  // Integer steps that truncate, so markers of the same size look alike everywhere.
  const auto place = [&](QPoint v) {
    return QPoint(at.x() - (std::abs(v.x()) - 500) * size / 1000,
                  at.y() - (v.y() - 500) * size / 1000);
  };
  for (const Stroke& stroke : ShapeOf(shape))
    for (std::size_t i = 1; i < stroke.size(); ++i)
      painter.drawLine(place(stroke[i - 1]), place(stroke[i]));
  painter.restore();
}
