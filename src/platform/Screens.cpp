#include "platform/Screens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <limits>

namespace screens {

namespace {

std::vector<Monitor>& testLayout() {
  static std::vector<Monitor> layout;
  return layout;
}

long long distanceSquared(const QRect& a, const QRect& b) {
  const long long dx = std::max({0, a.left() - b.right(), b.left() - a.right()});
  const long long dy = std::max({0, a.top() - b.bottom(), b.top() - a.bottom()});
  return dx * dx + dy * dy;
}

}  // namespace

std::vector<Monitor> monitors() {
  if (!testLayout().empty()) return testLayout();
  std::vector<Monitor> list;
  for (QScreen* s : QGuiApplication::screens())
    list.push_back({s->geometry(), s->availableGeometry()});
  if (list.empty()) list.push_back({QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 768)});
  return list;
}

Monitor nearestMonitor(const QRect& r) {
  const std::vector<Monitor> all = monitors();
  const Monitor* best = &all.front();
  long long bestArea = -1;
  long long bestDistance = std::numeric_limits<long long>::max();
  for (const Monitor& m : all) {
    const QRect overlap = m.bounds.intersected(r.normalized());
    const long long area = overlap.isEmpty() ? 0 : (long long)overlap.width() * overlap.height();
    const long long distance = distanceSquared(m.bounds, r.normalized());
    if (area > bestArea || (area == 0 && bestArea == 0 && distance < bestDistance)) {
      best = &m;
      bestArea = area;
      bestDistance = distance;
    }
  }
  return *best;
}

Monitor monitorAt(const QPoint& p) {
  return nearestMonitor(QRect(p, QSize(1, 1)));
}

QPoint pointerPosition() {
  return QCursor::pos();
}

void setLayoutForTesting(std::vector<Monitor> layout) {
  testLayout() = std::move(layout);
}

}  // namespace screens
