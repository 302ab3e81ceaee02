#pragma once

#include <QCloseEvent>
#include <memory>

#include "TestSupport.h"
#include "app/VarnelViewer.h"
#include "display/ChildForm.h"

// A clip window that answers the main window's questions as a test wants.
class FakeChild : public TChildForm {
 public:
  FakeChild() : TChildForm(nullptr, {}, {}, QString(), QStringLiteral("fake.avi"), nullptr) {}
  bool allowClose = true;
  bool display = true;
  int closeQueries = 0;
  bool CloseQuery() override {
    ++closeQueries;
    return allowClose;
  }
  bool IsDisplayWindow() const override { return display; }

 protected:
  void closeEvent(QCloseEvent* e) override { CloseQuery() ? e->accept() : e->ignore(); }
};

inline std::unique_ptr<TVarnelViewer> makeViewer(const QStringList& files = {}) {
  return std::make_unique<TVarnelViewer>(nullptr, files);
}
