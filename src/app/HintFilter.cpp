#include "app/HintFilter.h"

#include <QEvent>

bool THintFilter::eventFilter(QObject* watched, QEvent* e) {
  if (!showHints_ && e->type() == QEvent::ToolTip) return true;
  return QObject::eventFilter(watched, e);
}
