#include "Truth.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "DemoScene.h"
#include "DemoSignals.h"
#include "descriptors/CameraHeader.h"
#include "platform/Exception.h"

namespace demo {
namespace {

QJsonArray Pair(const Point& p) {
  return {p.x, p.y};
}

QJsonObject Motion() {
  const Scene& s = TheScene();
  return {
      {"target", QJsonObject{{"shape", "disc"},
                             {"radius_mm", s.target.radius},
                             {"path", "x = x0 + vx*t; y = y0 + vy*t - g*t^2/2; t = test time in s"},
                             {"x0_mm", s.target.x0},
                             {"y0_mm", s.target.y0},
                             {"vx_mm_per_s", s.target.vx},
                             {"vy_mm_per_s", s.target.vy},
                             {"g_mm_per_s2", s.target.g}}},
      {"bar",
       QJsonObject{{"shape", "rectangle from the pivot outwards along the angle"},
                   {"pivot_mm", Pair(s.bar.pivot)},
                   {"length_mm", s.bar.length},
                   {"width_mm", s.bar.width},
                   {"angle", "angle0 + rate*t, counter-clockwise from +x; t = test time in s"},
                   {"angle0_deg", s.bar.angle0},
                   {"rate_deg_per_s", s.bar.rate}}},
      {"scale_bar", QJsonObject{{"from_mm", Pair(s.scale.from)},
                                {"to_mm", Pair({s.scale.from.x + s.scale.length, s.scale.from.y})},
                                {"length_mm", s.scale.length},
                                {"width_mm", s.scale.width}}},
  };
}

QString CarrierName(Carrier carrier) {
  switch (carrier) {
    case Carrier::Ttls:
      return QStringLiteral("ttls");
    case Carrier::Marker:
      return QStringLiteral("marker chunk");
    case Carrier::CameraHeader:
      return QStringLiteral("camera header file");
  }
  return {};
}

QJsonObject CameraTruth(const Camera& c) {
  const QString file = QString::fromStdString(c.file);
  QJsonObject o{
      {"file", file},
      {"rate_fps", double(c.rate)},
      {"trigger_frame", c.triggerFrame},
      {"time_of_frame_0_ms", TimeOfFrame(c, 0)},
      {"frames", c.frames},
      {"width", c.width},
      {"height", c.height},
      {"bit_count", c.bitCount},
      {"pixels", c.look == Look::Colour ? "24-bit colour"
                 : c.look == Look::Grey ? "8-bit grey"
                                        : "8-bit palettized"},
      {"codec", c.codec == avifile::AviCodec::Mjpeg ? "MJPG" : "DIB"},
      {"timing_carrier", CarrierName(c.carrier)},
      {"pixels_per_mm", PixelsPerMm(c)},
      {"scale_bar_px", TheScene().scale.length * PixelsPerMm(c)},
  };
  if (c.carrier == Carrier::CameraHeader) o["camera_header_file"] = CameraHeaderPath(file);
  return o;
}

QJsonObject SignalTruth() {
  QJsonArray channels;
  for (const SignalChannel& c : SignalChannels())
    channels.append(QJsonObject{{"name", c.name}, {"unit", c.unit}, {"formula", c.formula}});
  const QString stem = QLatin1String(kDiademStem);
  return {
      {"diadem_header", stem + QStringLiteral(".dat")},
      {"diadem_data", stem + QStringLiteral(".R32")},
      {"csv", QLatin1String(kCsvFile)},
      {"first_ms", kSignalFirstMs},
      {"interval_ms", kSignalIntervalMs},
      {"count", kSignalCount},
      {"channels", channels},
  };
}

}  // namespace

void WriteTruth(const QString& folder) {
  QJsonObject truth = Motion();
  truth["units"] = QJsonObject{
      {"length", "mm"}, {"time", "ms of test time, 0 at the trigger"}, {"angle", "degrees"}};
  truth["image_coordinates"] =
      "A scene point p (mm, y up) is seen at the image point p * pixels_per_mm: x counts "
      "columns from the left, y rows from the bottom, (0, 0) is the centre of the bottom-left "
      "pixel.";
  truth["scene"] = QJsonObject{{"width_mm", kSceneWidth}, {"height_mm", kSceneHeight}};
  QJsonArray cameras;
  for (const Camera& c : Cameras()) cameras.append(CameraTruth(c));
  truth["cameras"] = cameras;
  truth["signals"] = SignalTruth();
  const QByteArray bytes = QJsonDocument(truth).toJson(QJsonDocument::Indented);
  const QString path = folder + QStringLiteral("/truth.json");
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
      !f.flush())
    throw Exception(path + QStringLiteral(": ") + f.errorString());
}

}  // namespace demo
