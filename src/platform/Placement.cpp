#include "platform/Placement.h"

#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <charconv>

#include "platform/RegIniFile.h"
#include "platform/Screens.h"

namespace {

const QString kDesktop = QStringLiteral("Desktop");

// Far beyond any desktop, yet small enough that sums of two never overflow an int.
constexpr long long kCoordinateLimit = 1LL << 28;

bool parseInt(const QString& field, int& value) {
  const QByteArray text = field.trimmed().toLatin1();
  const char* end = text.constData() + text.size();
  int parsed = 0;
  const auto [stop, error] = std::from_chars(text.constData(), end, parsed);
  if (text.isEmpty() || error != std::errc() || stop != end) return false;
  value = parsed;
  return true;
}

void readField(const QStringList& fields, int index, int& value) {
  if (index < fields.size()) parseInt(fields[index], value);
}

// A size of zero or less is as unreadable as a word: the window keeps what it has.
void readSize(const QStringList& fields, int index, int& value) {
  int parsed = value;
  if (index < fields.size() && parseInt(fields[index], parsed) && parsed > 0) value = parsed;
}

// One axis of FitRect: the span keeps its length where the area is long enough, else takes the
// area's, and moves as little as needed to lie inside.
void fitSpan(long long& start, long long& length, long long areaStart, long long areaLength) {
  length = std::clamp(length, 1LL, std::max(1LL, areaLength));
  start = std::clamp(start, areaStart, areaStart + std::max(0LL, areaLength - length));
}

// The stored rectangle with every field cut to a range where QRect arithmetic is safe.
QRect boundedRect(const TPlacement& p) {
  auto bound = [](long long v, long long low) { return int(std::clamp(v, low, kCoordinateLimit)); };
  return QRect(bound(p.left, -kCoordinateLimit), bound(p.top, -kCoordinateLimit), bound(p.width, 1),
               bound(p.height, 1));
}

TPlacement currentBounds(const QWidget* form) {
  TPlacement p;
  p.left = form->x();
  p.top = form->y();
  p.width = form->width();
  p.height = form->height();
  p.maximized = form->isMaximized();
  return p;
}

}  // namespace

void ReadPlacement(const QString& name, const TRegIniFile* reg, TPlacement& p) {
  if (!reg) return;
  const QStringList fields = reg->ReadString(kDesktop, name, QString()).split(u',');
  readField(fields, 0, p.top);
  readField(fields, 1, p.left);
  readSize(fields, 2, p.width);
  readSize(fields, 3, p.height);
  readField(fields, 4, p.extra);
  int maximized = p.maximized ? 1 : 0;
  readField(fields, 5, maximized);
  p.maximized = maximized != 0;
}

QRect FitRect(const QRect& r, const QRect& area) {
  long long left = r.x(), width = r.width(), top = r.y(), height = r.height();
  fitSpan(left, width, area.x(), area.width());
  fitSpan(top, height, area.y(), area.height());
  return QRect(int(left), int(top), int(width), int(height));
}

namespace {

void fitToMonitor(TPlacement& p) {
  if (p.left == kDefaultPosition) return;
  const QRect stored = boundedRect(p);
  const QRect fitted = FitRect(stored, screens::nearestMonitor(stored).bounds);
  p.left = fitted.x();
  p.top = fitted.y();
  p.width = fitted.width();
  p.height = fitted.height();
}

}  // namespace

void ReadPlacementClamped(const QString& name, const TRegIniFile* reg, TPlacement& p) {
  ReadPlacement(name, reg, p);
  fitToMonitor(p);
}

bool HasPlacement(const QString& name, const TRegIniFile* reg) {
  TPlacement p;
  p.left = p.top = kDefaultPosition;
  ReadPlacement(name, reg, p);
  return p.left != kDefaultPosition && p.top != kDefaultPosition;
}

namespace {

// How many cascade slots from origin keep a window of length inside the area, on one axis.
long long slotsOnAxis(long long origin, long long length, long long areaStart, long long areaEnd) {
  if (origin < areaStart) return 0;
  const long long room = areaEnd - (origin + length);
  return room < 0 ? 0 : room / kCascadeStep + 1;
}

long long slotsFrom(const QPoint& origin, const QSize& frame, const QRect& area) {
  const long long right = (long long)area.x() + area.width();
  const long long bottom = (long long)area.y() + area.height();
  return std::min(slotsOnAxis(origin.x(), frame.width(), area.x(), right),
                  slotsOnAxis(origin.y(), frame.height(), area.y(), bottom));
}

}  // namespace

QPoint CascadePosition(const QPoint& origin, int slot, const QSize& frame, const QRect& workArea) {
  const long long index = std::max(slot, 0);
  for (const QPoint& start : {origin, workArea.topLeft()}) {
    const long long count = slotsFrom(start, frame, workArea);
    if (count > 0) {
      const int offset = int(index % count) * kCascadeStep;
      return start + QPoint(offset, offset);
    }
  }
  return FitRect(QRect(workArea.topLeft(), frame), workArea).topLeft();
}

QPoint DefaultWindowPosition() {
  const QRect area = screens::monitors().front().workArea;
  return area.topLeft() + QPoint(kCascadeStep, kCascadeStep);
}

void WritePlacement(const QString& name, TRegIniFile* reg, const TPlacement& p) {
  if (!reg) return;
  reg->WriteString(kDesktop, name,
                   QStringLiteral("%1,%2,%3,%4,%5,%6")
                       .arg(p.top)
                       .arg(p.left)
                       .arg(p.width)
                       .arg(p.height)
                       .arg(p.extra)
                       .arg(p.maximized ? 1 : 0));
}

int RestorePlacement(QWidget* form, const TRegIniFile* reg, bool keepSize) {
  TPlacement p = currentBounds(form);
  ReadPlacement(form->objectName(), reg, p);
  // The size kept must be the size fitted, or a large stored size would push the window away.
  if (keepSize) {
    p.width = form->width();
    p.height = form->height();
  }
  fitToMonitor(p);
  if (p.maximized && !keepSize) {
    form->setWindowState(form->windowState() | Qt::WindowMaximized);
    return p.extra;
  }
  if (p.left == kDefaultPosition) {
    form->resize(p.width, p.height);
    return p.extra;
  }
  form->resize(p.width, p.height);
  form->move(p.left, p.top);
  MakeFullyVisible(form);
  return p.extra;
}

void MakeFullyVisible(QWidget* form) {
  // Positions count the window frame, sizes do not: fit the frame, then resize the client.
  const QRect frame = form->frameGeometry();
  const QRect fitted = FitRect(frame, screens::monitorAt(frame.topLeft()).workArea);
  if (fitted.size() != frame.size()) form->resize(fitted.size() - (frame.size() - form->size()));
  if (fitted.topLeft() != frame.topLeft()) form->move(fitted.topLeft());
}

void SavePlacement(QWidget* form, TRegIniFile* reg, int extra) {
  TPlacement p = currentBounds(form);
  if (p.maximized) {
    const QRect normal = form->normalGeometry();
    if (normal.isValid()) {
      p.left = normal.x();
      p.top = normal.y();
      p.width = normal.width();
      p.height = normal.height();
    }
  }
  p.extra = extra;
  WritePlacement(form->objectName(), reg, p);
}
