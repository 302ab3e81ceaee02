#pragma once

#include <QString>
#include <cstdint>

class TRegIniFile;

// The Quick Measure window's settings as the preference store keeps them under "QuickMeasure".
// Values read back are kept inside what the window's controls can show, so an edited or
// damaged store never gives a window that cannot be used.
struct TQMPreferences {
  QString exportPath;
  int gridWidth = 0;  // 0: the window's size after creation
  int gridHeight = 0;
  int frameStep = 1;
  bool autoStep = true;
  int cursorPositioning = 2;  // 1 Simple, 2 Smart, anything else None
  std::uint16_t visibleKinds = 12;
  QString linearUnit = QStringLiteral("mm");
  QString areaUnit = QStringLiteral("mm\u00b2");
  QString angularUnit = QStringLiteral("deg");
  QString linearVelocityUnit = QStringLiteral("kph");
  QString angularVelocityUnit = QStringLiteral("rpm");
  QString accelerationUnit = QStringLiteral("G");

  static constexpr int kMaxFrameStep = 100;
  static constexpr int kMaxWindowSide = 16384;
};

// "Visibles": character k stands for kind k - 1; "1" sets, any other character clears; kinds
// past the text keep their state in `kinds`.
std::uint16_t ApplyVisibles(std::uint16_t kinds, const QString& text);
// Exactly 16 characters.
QString VisiblesText(std::uint16_t kinds);

// The key for the store: the application's key followed by "\QuickMeasure".
QString QuickMeasureKey(const QString& applicationKey);
TQMPreferences ReadQMPreferences(const TRegIniFile& store);
void WriteQMPreferences(TRegIniFile& store, const TQMPreferences& prefs);
