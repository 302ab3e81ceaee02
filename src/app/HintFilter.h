#pragma once

#include <QObject>

// The application's hint display: while off, no tool tip is shown anywhere.
class THintFilter : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  void SetShowHints(bool on) { showHints_ = on; }
  bool ShowHints() const { return showHints_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  bool showHints_ = true;
};
