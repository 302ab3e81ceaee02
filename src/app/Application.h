#pragma once

#include <QApplication>

// The application object: an exception that escapes a user action or a timer tick is shown in
// an error box and the program goes on.
class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);
  // The files named on the command line: arguments up to the first empty one, made absolute,
  // since a running instance that takes them over works in another directory.
  static QStringList CommandLineFiles(const QStringList& arguments);
  bool notify(QObject* receiver, QEvent* e) override;
};
