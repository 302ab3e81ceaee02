#pragma once
// What every test and benchmark program runs under: Qt on the offscreen platform, settings in a
// private temporary file (never the user's own), and scripted dialogs so that nothing blocks on
// a modal box.
#include <QApplication>
#include <QTemporaryDir>
#include <clocale>
#include <memory>

#include "platform/Dialogs.h"
#include "platform/RegIniFile.h"

class TOffscreenProcess {
 public:
  TOffscreenProcess(int& argc, char** argv) : ready_(SetEnvironment(home_)), app_(argc, argv) {
    // QApplication switches the C library to the system locale; numbers in text use ".".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Lumetra"));
    TRegIniFile::setStoreFile(home_.filePath(QStringLiteral("Lumetra.ini")));
    dialogs::install(std::make_unique<dialogs::ScriptedBackend>());
  }

 private:
  // Runs before QApplication exists: the platform is chosen when it is created.
  static bool SetEnvironment(const QTemporaryDir& home) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    return true;
  }

  QTemporaryDir home_;
  bool ready_;
  QApplication app_;
};
