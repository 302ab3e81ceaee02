#include "app/Application.h"
#include "app/VarnelViewer.h"
#include "platform/Dialogs.h"
#include "platform/SingleInstance.h"

#include <QThread>

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const QStringList files = TApplication::CommandLineFiles(QCoreApplication::arguments());

  TSingleInstance instance(QStringLiteral("Lumetra"));
  try {
    if (!instance.IsFirst()) {
      // Give a running instance that is still starting time to take the list.
      QThread::msleep(500);
      return instance.HandOver(files) ? 0 : 1;
    }
  } catch (const std::exception& e) {
    dialogs::showError(nullptr, QString::fromStdString(e.what()));
    return 1;
  }

  TVarnelViewer viewer(&instance, files);
  return app.exec();
}
