// The shared main of every test program: Qt on the offscreen platform, settings in a private
// temporary file, and scripted dialogs so that no test ever blocks on a modal box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <clocale>

#include "platform/Dialogs.h"
#include "platform/RegIniFile.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("Lumetra"));
  TRegIniFile::setStoreFile(home.filePath(QStringLiteral("Lumetra.ini")));
  dialogs::install(std::make_unique<dialogs::ScriptedBackend>());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
