#pragma once

// The demo generator run into a private folder, and the scene its truth.json describes, with
// formulas written here rather than taken from the generator.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointF>
#include <QTemporaryDir>
#include <array>
#include <cmath>

#include "ToolRunner.h"

constexpr double kPi = 3.14159265358979323846;

struct Demo {
  Demo() {
    run = RunProgram(LUMETRA_DEMO, {dir.path()});
    QFile f(dir.filePath(QStringLiteral("truth.json")));
    if (f.open(QIODevice::ReadOnly)) truth = QJsonDocument::fromJson(f.readAll()).object();
  }
  QString path(const QJsonValue& name) const { return dir.filePath(name.toString()); }
  QJsonObject part(const char* name) const { return truth[QLatin1String(name)].toObject(); }
  QTemporaryDir dir;
  ToolRun run;
  QJsonObject truth;
};

inline double Num(const QJsonObject& o, const char* key) {
  return o[QLatin1String(key)].toDouble();
}
inline QPointF Pair(const QJsonObject& o, const char* key) {
  const QJsonArray a = o[QLatin1String(key)].toArray();
  return {a[0].toDouble(), a[1].toDouble()};
}

// The target's position, velocity and acceleration (mm, s) at test time ms.
inline std::array<QPointF, 3> TargetMotion(const QJsonObject& target, double ms) {
  const double t = ms / 1000, g = Num(target, "g_mm_per_s2");
  const double vx = Num(target, "vx_mm_per_s"), vy = Num(target, "vy_mm_per_s");
  return {QPointF(Num(target, "x0_mm") + vx * t, Num(target, "y0_mm") + vy * t - g * t * t / 2),
          QPointF(vx, vy - g * t), QPointF(0, -g)};
}

// The turning bar's angle in radians at test time ms.
inline double BarRadians(const QJsonObject& bar, double ms) {
  return (Num(bar, "angle0_deg") + Num(bar, "rate_deg_per_s") * ms / 1000) * kPi / 180;
}
