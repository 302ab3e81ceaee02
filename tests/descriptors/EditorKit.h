#pragma once

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "TestSupport.h"
#include "descriptors/DescriptorWindow.h"
#include "descriptors/Timing.h"
#include "descriptors/TitleGrid.h"
#include "descriptors/TitleTemplates.h"
#include "platform/RegIniFile.h"

// Readable failure messages for Qt strings (and, element by element, string lists).
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}

// A clip window as the descriptor editor sees it: a descriptor text and its timing model.
class FakeWindow : public IDescriptorWindow {
 public:
  std::string text;
  TTimingModel timing{text};
  int updates = 0;
  float EffectiveFramePeriod() const override { return timing.EffectiveFramePeriod(); }
  float TimeOffset() const override { return timing.TimeOffset(); }
  int TimeDecimals() const override { return timing.TimeDecimals(); }
  void SetFramePeriod(float period) override { timing.SetFramePeriod(period); }
  void SetTimeOffset(float time) override { timing.SetTimeOffset(time); }
  bool UpdateFrame() override {
    ++updates;
    return false;
  }
};

// The databases as the main window builds them: row 0 the template file "rig7.ini" with a
// "Camera" section, row 1 the system's own lists.
struct TestDatabases {
  TestDatabases() {
    testsupport::resetStore();
    reg = std::make_unique<TRegIniFile>(QStringLiteral("\\Software\\Orvanta\\Lumetra"));
    testsupport::writeFile(path, "[Camera]\nCamera ID=HX-9\nLens=50mm\n");
    auto rig = std::make_unique<TSectionList>();
    rig->Add(QStringLiteral("Camera"),
             TStringListList::ReadSection(path, QStringLiteral("Camera")));
    db.lists.Add(std::move(rig));
    db.files.push_back({path, -2});  // differs from the real age: the first refresh rereads
    db.names << QStringLiteral("rig7.ini") << QStringLiteral("\\software\\orvanta\\lumetra");
    auto own = std::make_unique<TSectionList>();
    for (const char* name : {"Titles", "Timing", "Camera"}) own->Add(QString::fromLatin1(name));
    db.lists.Add(std::move(own));
  }
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("rig7.ini"));
  std::unique_ptr<TRegIniFile> reg;
  TDatabases db;
};

// Runs drive once the dialog's modal loop is running; a dialog still open afterwards is
// cancelled, so that no test can block on it.
inline void whenShown(QDialog& dialog, std::function<void()> drive) {
  QTimer::singleShot(0, &dialog, [&dialog, drive] {
    drive();
    if (dialog.isVisible()) dialog.reject();
  });
}

// Types text into a grid cell as a user does: open the editor, type, press Enter.
inline void typeInCell(TTitleGrid* grid, int row, int column, const QString& text) {
  grid->setCurrentCell(row, column);
  grid->editItem(grid->item(row, column));
  QLineEdit* editor = nullptr;
  for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
    if (!e->isHidden()) editor = e;  // closed editors linger hidden until deleted
  if (!editor) return;
  editor->setText(text);
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &key);
  }
  QCoreApplication::processEvents();  // the delegate commits on a queued call
}

inline QStringList shownTexts() {
  QStringList texts;
  for (const auto& m : testsupport::script().shown) texts << m.text;
  return texts;
}
