#include "app/Application.h"

#include <QFileInfo>
#include <clocale>

#include "platform/Dialogs.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // Qt switches the C library to the user's locale; our number texts always use ".".
  std::setlocale(LC_NUMERIC, "C");
  setApplicationName(QStringLiteral("Lumetra"));
  setOrganizationName(QStringLiteral("Orvanta"));
}

bool TApplication::notify(QObject* receiver, QEvent* e) {
  try {
    return QApplication::notify(receiver, e);
  } catch (const std::exception& error) {
    dialogs::showError(nullptr, QString::fromStdString(error.what()));
  } catch (...) {
    dialogs::showError(nullptr, QStringLiteral("Unknown error"));
  }
  return false;
}

QStringList TApplication::CommandLineFiles(const QStringList& arguments) {
  QStringList files;
  for (qsizetype i = 1; i < arguments.size() && !arguments[i].isEmpty(); ++i)
    files << QFileInfo(arguments[i]).absoluteFilePath();
  return files;
}
