#include "measure/QMPreferences.h"

#include <algorithm>

#include "platform/RegIniFile.h"

namespace {

const QString kCollection = QStringLiteral("Collection");
const QString kDisplacement = QStringLiteral("DisplacementUnits");
const QString kVelocity = QStringLiteral("VelocityUnits");
constexpr int kVisiblesLength = 16;

}  // namespace

std::uint16_t ApplyVisibles(std::uint16_t kinds, const QString& text) {
  const int n = std::min<int>(int(text.size()), kVisiblesLength);
  for (int k = 0; k < n; ++k) {
    const std::uint16_t bit = std::uint16_t(1u << k);
    kinds = text[k] == QLatin1Char('1') ? std::uint16_t(kinds | bit) : std::uint16_t(kinds & ~bit);
  }
  return kinds;
}

QString VisiblesText(std::uint16_t kinds) {
  QString text(kVisiblesLength, QLatin1Char('0'));
  for (int k = 0; k < kVisiblesLength; ++k)
    if ((kinds >> k) & 1u) text[k] = QLatin1Char('1');
  return text;
}

QString QuickMeasureKey(const QString& applicationKey) {
  return applicationKey + QStringLiteral("\\QuickMeasure");
}

TQMPreferences ReadQMPreferences(const TRegIniFile& store) {
  TQMPreferences p;
  const int side = TQMPreferences::kMaxWindowSide;
  p.exportPath = store.ReadString(kCollection, QStringLiteral("ExportPath"), p.exportPath);
  p.gridWidth = std::clamp(store.ReadInteger(kCollection, QStringLiteral("GridWidth"), 0), 0, side);
  p.gridHeight =
      std::clamp(store.ReadInteger(kCollection, QStringLiteral("GridHeight"), 0), 0, side);
  p.frameStep = std::clamp(store.ReadInteger(kCollection, QStringLiteral("FrameStep"), 1),
                           -TQMPreferences::kMaxFrameStep, TQMPreferences::kMaxFrameStep);
  p.autoStep = store.ReadInteger(kCollection, QStringLiteral("AutoStep"), 1) == 1;
  p.cursorPositioning = store.ReadInteger(kCollection, QStringLiteral("CursorPositioning"), 2);
  if (p.cursorPositioning != 1 && p.cursorPositioning != 2) p.cursorPositioning = 0;
  p.visibleKinds =
      ApplyVisibles(p.visibleKinds, store.ReadString(kCollection, QStringLiteral("Visibles"), {}));
  p.linearUnit = store.ReadString(kDisplacement, QStringLiteral("Linear"), p.linearUnit);
  p.areaUnit = store.ReadString(kDisplacement, QStringLiteral("Area"), p.areaUnit);
  p.angularUnit = store.ReadString(kDisplacement, QStringLiteral("Angular"), p.angularUnit);
  p.linearVelocityUnit =
      store.ReadString(kVelocity, QStringLiteral("Linear"), p.linearVelocityUnit);
  p.angularVelocityUnit =
      store.ReadString(kVelocity, QStringLiteral("Angular"), p.angularVelocityUnit);
  p.accelerationUnit =
      store.ReadString(kVelocity, QStringLiteral("Acceleration"), p.accelerationUnit);
  return p;
}

void WriteQMPreferences(TRegIniFile& store, const TQMPreferences& p) {
  store.WriteString(kCollection, QStringLiteral("ExportPath"), p.exportPath);
  store.WriteInteger(kCollection, QStringLiteral("GridWidth"), p.gridWidth);
  store.WriteInteger(kCollection, QStringLiteral("GridHeight"), p.gridHeight);
  store.WriteInteger(kCollection, QStringLiteral("FrameStep"), p.frameStep);
  store.WriteInteger(kCollection, QStringLiteral("AutoStep"), p.autoStep ? 1 : 0);
  store.WriteInteger(kCollection, QStringLiteral("CursorPositioning"), p.cursorPositioning);
  store.WriteString(kCollection, QStringLiteral("Visibles"), VisiblesText(p.visibleKinds));
  store.WriteString(kDisplacement, QStringLiteral("Linear"), p.linearUnit);
  store.WriteString(kDisplacement, QStringLiteral("Area"), p.areaUnit);
  store.WriteString(kDisplacement, QStringLiteral("Angular"), p.angularUnit);
  store.WriteString(kVelocity, QStringLiteral("Linear"), p.linearVelocityUnit);
  store.WriteString(kVelocity, QStringLiteral("Angular"), p.angularVelocityUnit);
  store.WriteString(kVelocity, QStringLiteral("Acceleration"), p.accelerationUnit);
  store.flush();
}
