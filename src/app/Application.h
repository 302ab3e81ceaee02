#pragma once

#include <QApplication>

// The application object: an exception that escapes a user action or a timer tick is shown in
// an error box and the program goes on.
class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* e) override;
};
