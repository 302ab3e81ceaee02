#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "display/ImageMapping.h"
#include "measure/Samples.h"

class TMotionDataBase;

// A measurement file (JSON, see docs/measurement-file.md) read and checked in full before
// anything of it reaches a model, so that a refused file leaves nothing half-loaded.
struct TMeasurementFile {
  static constexpr int kMaxFrame = 999999;
  // Far more than anyone clicks; each object brings up to 34 columns into the table.
  static constexpr int kMaxObjects = 1000;

  struct TSample {
    int frame = 0;
    std::vector<std::optional<TImagePoint>> points;
  };
  struct TObject {
    QString name;
    TSampleClass sampleClass = TSampleClass::Point;
    std::vector<TSample> samples;
  };

  float framePeriod = 1;
  float timeOffset = 0;
  int timeDecimals = 0;
  int lengthUnit = 0, angleUnit = 10, velocityUnit = 2, angularVelocityUnit = 6;
  int gageUnit = 0;
  float gageFactor = 1;
  TImagePoint image;
  int referenceObject = -1;  // index into objects, -1 for the fixed image point
  int referencePoint = 0;
  std::optional<TImagePoint> base;
  std::vector<TObject> objects;
};

// Raises Exception naming the place ("objects[2].samples[0].points: ...") for a file that
// breaks the format's rules.
TMeasurementFile ParseMeasurementFile(const QByteArray& json);
// Reads a regular file of at most 256 MiB; raises for anything else.
TMeasurementFile ReadMeasurementFile(const QString& path);
// Into a model that holds nothing but its reference object.
void ApplyMeasurementFile(const TMeasurementFile& file, TMotionDataBase& db);
QByteArray WriteMeasurementFile(const TMotionDataBase& db);
