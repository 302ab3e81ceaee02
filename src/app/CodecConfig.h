#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QMainWindow;
class QWidget;

// The video codec's settings: a registry export file "ffdshow.reg" beside the program is
// copied into the user's settings whenever the file changes, and the codec's own configuration
// entry is started from the Tools menu.
namespace codecconfig {

inline constexpr char kRegFileName[] = "ffdshow.reg";

// One value of an export section as it will be stored.
struct RegValue {
  enum class Kind { Skip, Dword, String };
  Kind kind = Kind::Skip;
  QString name;
  std::int32_t dword = 0;  // the DWORD's bits; values above 0x7FFFFFFF read back negative
  QString text;
};

// A section line as the INI reader gives it ("name=value", each side trimmed).
RegValue ParseRegLine(const QString& line);
// The key path below the user's hive that a section names; nullopt for other hives.
std::optional<QString> UserKeyPath(const QString& section);

// Copies every user-hive section of the export file into the settings store, reporting keys
// that cannot be created and, at the end, where the values came from. aboutBox may be null.
void ImportRegFile(const QString& fileName, QWidget* aboutBox);
// The start-up import: imports the program directory's export file when its age is valid
// and differs from storedAge; returns the age to remember.
std::int32_t ImportWhenChanged(const QString& programDirectory, std::int32_t storedAge,
                               QWidget* aboutBox);
// Runs the codec's configuration entry and waits for it to end; says so when it cannot start.
void RunConfiguration(QWidget* parent);

// The main window's share: the start-up import (regFileAge in: stored, out: to store) and the
// configuration command behind the menu item "ffdshowconfiguration1".
void Install(QMainWindow* mainWindow, QWidget* aboutBox, const QString& programDirectory,
             int& regFileAge);

}  // namespace codecconfig
