#include "platform/Placement.h"

#include <QStringList>
#include <QWidget>

#include "platform/RegIniFile.h"
#include "platform/Screens.h"

namespace {

const QString kDesktop = QStringLiteral("Desktop");

void readField(const QStringList& fields, int index, int& value) {
  if (index >= fields.size()) return;
  bool ok = false;
  const int parsed = fields[index].trimmed().toInt(&ok);
  if (ok) value = parsed;
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
  readField(fields, 2, p.width);
  readField(fields, 3, p.height);
  readField(fields, 4, p.extra);
  int maximized = p.maximized ? 1 : 0;
  readField(fields, 5, maximized);
  p.maximized = maximized != 0;
}

void ReadPlacementClamped(const QString& name, const TRegIniFile* reg, TPlacement& p) {
  ReadPlacement(name, reg, p);
  if (p.left == kDefaultPosition) return;
  // Right and bottom edges are exclusive here, as the platform's rectangles are.
  const long long right = (long long)p.left + p.width;
  const long long bottom = (long long)p.top + p.height;
  const QRect r(p.left, p.top, p.width, p.height);
  const QRect m = screens::nearestMonitor(r).bounds;
  const long long mRight = (long long)m.x() + m.width();
  const long long mBottom = (long long)m.y() + m.height();
  if (m.x() > p.left) p.left = m.x();
  if (m.y() > p.top) p.top = m.y();
  if (mRight <= right) p.width = int(mRight - p.left);
  if (mBottom <= bottom) p.height = int(mBottom - p.top);
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
  ReadPlacementClamped(form->objectName(), reg, p);
  if (keepSize) {
    p.width = form->width();
    p.height = form->height();
  }
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
  const QRect work = screens::monitorAt(form->pos()).workArea;
  QPoint pos = form->pos();
  if (pos.x() < work.left() || pos.x() > work.right()) pos.setX(work.left());
  if (pos.y() < work.top() || pos.y() > work.bottom()) pos.setY(work.top());
  if (pos != form->pos()) form->move(pos);
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
