#include "AppTestSupport.h"

#include <QCloseEvent>

void FakeChild::closeEvent(QCloseEvent* e) {
  if (CloseQuery())
    e->accept();
  else
    e->ignore();
}

std::unique_ptr<TVarnelViewer> makeViewer(const QStringList& files) {
  return std::make_unique<TVarnelViewer>(nullptr, files);
}
