#include "measure/MeasureFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "measure/MotionDataBase.h"
#include "measure/Units.h"
#include "platform/Exception.h"

namespace {

constexpr const char* kKindNames[] = {"Point", "Line", "Angle"};
constexpr TSampleClass kKindClasses[] = {TSampleClass::Point, TSampleClass::Line,
                                         TSampleClass::Angle};

[[noreturn]] void Refuse(const QString& place, const QString& reason) {
  throw Exception(QStringLiteral("Measurement file: %1: %2").arg(place, reason));
}

QJsonValue Member(const QJsonObject& object, const QString& place, const char* key) {
  const QJsonValue value = object.value(QLatin1String(key));
  if (value.isUndefined()) Refuse(place + QLatin1Char('.') + QLatin1String(key), "missing");
  return value;
}

QJsonObject ObjectAt(const QJsonValue& value, const QString& place) {
  if (!value.isObject()) Refuse(place, "not an object");
  return value.toObject();
}

QJsonArray ArrayAt(const QJsonValue& value, const QString& place) {
  if (!value.isArray()) Refuse(place, "not an array");
  return value.toArray();
}

float FloatAt(const QJsonValue& value, const QString& place) {
  const double d = value.toDouble(std::numeric_limits<double>::quiet_NaN());
  if (!value.isDouble() || !std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max())
    Refuse(place, "not a finite number");
  return static_cast<float>(d);
}

int IntAt(const QJsonValue& value, const QString& place, int low, int high) {
  const double d = value.toDouble(std::numeric_limits<double>::quiet_NaN());
  if (!value.isDouble() || d != std::floor(d) || d < low || d > high)
    Refuse(place, QStringLiteral("not a whole number from %1 to %2").arg(low).arg(high));
  return static_cast<int>(d);
}

TImagePoint PointAt(const QJsonValue& value, const QString& place) {
  const QJsonArray xy = ArrayAt(value, place);
  if (xy.size() != 2) Refuse(place, "not a pair [x, y]");
  return {FloatAt(xy[0], place + "[0]"), FloatAt(xy[1], place + "[1]")};
}

int UnitAt(const QJsonObject& object, const QString& place, const char* key, bool velocity,
           int first, int last) {
  const QString at = place + QLatin1Char('.') + QLatin1String(key);
  const QString name = Member(object, place, key).toString();
  const int index =
      velocity ? units::VelocityIndex(name, first, last) : units::LengthIndex(name, first, last);
  if (index < 0) Refuse(at, QStringLiteral("unknown unit \"%1\"").arg(name));
  return index;
}

void ParseHeader(const QJsonObject& root, TMeasurementFile& file) {
  if (root.value("lumetra").toString() != QLatin1String("measurements"))
    Refuse("lumetra", "not \"measurements\"");
  if (IntAt(Member(root, "", "version"), "version", 1, 1000) != 1)
    Refuse("version", "only version 1 is known");
  const QJsonObject timing = ObjectAt(Member(root, "", "timing"), "timing");
  file.framePeriod = FloatAt(Member(timing, "timing", "framePeriod"), "timing.framePeriod");
  if (!(file.framePeriod > 0)) Refuse("timing.framePeriod", "not above 0");
  file.timeOffset = FloatAt(Member(timing, "timing", "timeOffset"), "timing.timeOffset");
  file.timeDecimals = IntAt(Member(timing, "timing", "timeDecimals"), "timing.timeDecimals", 0, 9);
  const QJsonObject u = ObjectAt(Member(root, "", "units"), "units");
  file.lengthUnit = UnitAt(u, "units", "length", false, 0, units::kLastLength);
  file.angleUnit = UnitAt(u, "units", "angle", false, units::kFirstAngle, units::kLastAngle);
  file.velocityUnit = UnitAt(u, "units", "velocity", true, 0, units::kLastLinearVelocity);
  file.angularVelocityUnit = UnitAt(u, "units", "angularVelocity", true,
                                    units::kFirstAngularVelocity, units::kVelocityCount - 1);
  const QJsonObject gage = ObjectAt(Member(root, "", "gage"), "gage");
  file.gageUnit = UnitAt(gage, "gage", "unit", false, 0, units::kLastLength);
  file.gageFactor = FloatAt(Member(gage, "gage", "factor"), "gage.factor");
  if (!(file.gageFactor > 0)) Refuse("gage.factor", "not above 0");
}

TMeasurementFile::TSample ParseSample(const QJsonValue& value, const QString& place, int points) {
  const QJsonObject object = ObjectAt(value, place);
  TMeasurementFile::TSample sample;
  sample.frame =
      IntAt(Member(object, place, "frame"), place + ".frame", 0, TMeasurementFile::kMaxFrame);
  const QString at = place + ".points";
  const QJsonArray list = ArrayAt(Member(object, place, "points"), at);
  if (list.size() != points)
    Refuse(at, QStringLiteral("%1 points where the kind has %2").arg(list.size()).arg(points));
  for (int i = 0; i < points; ++i) {
    const QString pointAt = at + QStringLiteral("[%1]").arg(i);
    if (list[i].isNull()) {
      if (points == 1) Refuse(pointAt, "a point sample needs its point");
      sample.points.emplace_back();
    } else {
      sample.points.emplace_back(PointAt(list[i], pointAt));
    }
  }
  return sample;
}

TMeasurementFile::TObject ParseObject(const QJsonValue& value, const QString& place) {
  const QJsonObject object = ObjectAt(value, place);
  TMeasurementFile::TObject result;
  result.name = Member(object, place, "name").toString();
  if (result.name.isEmpty()) Refuse(place + ".name", "empty or not text");
  const QString kind = Member(object, place, "kind").toString();
  int k = 0;
  while (k < 3 && kind != QLatin1String(kKindNames[k])) ++k;
  if (k == 3) Refuse(place + ".kind", QStringLiteral("unknown kind \"%1\"").arg(kind));
  result.sampleClass = kKindClasses[k];
  const int points = k == 0 ? 1 : k == 1 ? 2 : 4;
  const QJsonArray samples = ArrayAt(Member(object, place, "samples"), place + ".samples");
  std::set<int> frames;
  for (int i = 0; i < samples.size(); ++i) {
    const QString at = place + QStringLiteral(".samples[%1]").arg(i);
    result.samples.push_back(ParseSample(samples[i], at, points));
    if (!frames.insert(result.samples.back().frame).second)
      Refuse(at + ".frame", "a second sample in the same frame");
  }
  return result;
}

int FindReference(const TMeasurementFile& file, const QJsonObject& ref) {
  const QJsonValue object = Member(ref, "reference", "object");
  if (object.isNull()) return -1;
  const QString name = object.toString();
  const QString kind = ref.value("kind").toString();
  int found = -1;
  for (int i = 0; i < int(file.objects.size()); ++i) {
    const auto& o = file.objects[std::size_t(i)];
    const int k = o.sampleClass == TSampleClass::Point  ? 0
                  : o.sampleClass == TSampleClass::Line ? 1
                                                        : 2;
    if (o.name.compare(name, Qt::CaseInsensitive) != 0) continue;
    if (!kind.isEmpty() && kind != QLatin1String(kKindNames[k])) continue;
    if (found >= 0) Refuse("reference.object", "names objects of two kinds; give reference.kind");
    found = i;
  }
  if (found < 0) Refuse("reference.object", QStringLiteral("no object \"%1\"").arg(name));
  return found;
}

void ParseReference(const QJsonObject& root, TMeasurementFile& file) {
  const QJsonObject ref = ObjectAt(Member(root, "", "reference"), "reference");
  file.image = PointAt(Member(ref, "reference", "image"), "reference.image");
  file.referenceObject = FindReference(file, ref);
  if (file.referenceObject >= 0) {
    const TSampleClass cls = file.objects[std::size_t(file.referenceObject)].sampleClass;
    const int points = cls == TSampleClass::Point ? 1 : cls == TSampleClass::Line ? 2 : 4;
    file.referencePoint =
        IntAt(Member(ref, "reference", "point"), "reference.point", 0, points - 1);
  }
  const QJsonValue base = Member(ref, "reference", "base");
  if (!base.isNull()) file.base = PointAt(base, "reference.base");
}

}  // namespace

TMeasurementFile ParseMeasurementFile(const QByteArray& json) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError)
    Refuse(QStringLiteral("offset %1").arg(error.offset), error.errorString());
  if (!doc.isObject()) Refuse("top level", "not an object");
  const QJsonObject root = doc.object();
  TMeasurementFile file;
  ParseHeader(root, file);
  const QJsonArray objects = ArrayAt(Member(root, "", "objects"), "objects");
  if (objects.size() > TMeasurementFile::kMaxObjects)
    Refuse("objects", QStringLiteral("more than %1 objects").arg(TMeasurementFile::kMaxObjects));
  for (int i = 0; i < objects.size(); ++i) {
    const QString at = QStringLiteral("objects[%1]").arg(i);
    file.objects.push_back(ParseObject(objects[i], at));
    for (int k = 0; k < i; ++k)
      if (file.objects[std::size_t(k)].sampleClass == file.objects.back().sampleClass &&
          file.objects[std::size_t(k)].name.compare(file.objects.back().name,
                                                    Qt::CaseInsensitive) == 0)
        Refuse(at + ".name",
               QStringLiteral("\"%1\" again in the same kind").arg(file.objects.back().name));
  }
  ParseReference(root, file);
  return file;
}

TMeasurementFile ReadMeasurementFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) Refuse(path, "no such file");
  if (!info.isFile()) Refuse(path, "not a regular file");
  if (info.size() > (qint64(256) << 20)) Refuse(path, "larger than 256 MiB");
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) Refuse(path, f.errorString());
  return ParseMeasurementFile(f.read(qint64(256) << 20));
}

void ApplyMeasurementFile(const TMeasurementFile& file, TMotionDataBase& db) {
  db.Frames().SetTiming(file.timeDecimals, file.framePeriod, file.timeOffset);
  TScaler& s = db.Scaler();
  s.SetLengthUnit(file.lengthUnit);
  s.SetAngularUnit(file.angleUnit);
  s.SetLinearVelocityUnit(file.velocityUnit);
  s.SetAngularVelocityUnit(file.angularVelocityUnit);
  db.SetGage(file.gageUnit, file.gageFactor);
  db.SetImagePoint(file.image);
  std::vector<TObjDef*> defs;
  for (const auto& o : file.objects)
    defs.push_back(db.CreateObject(o.sampleClass, o.name, db.Objects().defaultVisibleKinds));
  if (file.referenceObject >= 0)
    db.SelectMovingReference(defs[std::size_t(file.referenceObject)], file.referencePoint);
  db.SetReferenceBase(file.base.has_value(), file.base ? file.base->x : 0.0f,
                      file.base ? file.base->y : 0.0f);
  // The moving reference's samples first, so that the others find them; each object's samples
  // in frame order, so that none moves the first sample back.
  std::vector<std::size_t> order(defs.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_partition(order.begin(), order.end(),
                        [&](std::size_t k) { return int(k) == file.referenceObject; });
  for (const std::size_t k : order) {
    auto samples = file.objects[k].samples;
    std::sort(samples.begin(), samples.end(),
              [](const auto& a, const auto& b) { return a.frame < b.frame; });
    for (const auto& sample : samples) {
      TFrameObject& holder = *db.Frames().FindOrAddFrame(sample.frame);
      TSampleObject& made = *db.Frames().FindOrAddSample(holder, *defs[k]);
      for (std::size_t i = 0; i < sample.points.size(); ++i)
        if (sample.points[i]) made.SetPoint(int(i), *sample.points[i]);
      if (IObjectColumns* columns = defs[k]->Columns()) columns->SampleChanged(made);
    }
  }
}

namespace {

QJsonValue PointValue(TImagePoint p) {
  return QJsonArray{double(p.x), double(p.y)};
}

const char* KindOf(TSampleClass cls) {
  return cls == TSampleClass::Point ? "Point" : cls == TSampleClass::Line ? "Line" : "Angle";
}

QJsonObject ObjectValue(const TMotionDataBase& db, const TObjDef& def) {
  QJsonArray samples;
  const TFrameObjectList& frames = db.Frames();
  for (std::size_t i = 0; i < frames.Count(); ++i) {
    const TSampleObject* s = TFrameObjectList::FindSample(*frames.Holder(i), &def);
    if (!s) continue;
    QJsonArray points;
    for (int p = 0; p < s->PointCount(); ++p)
      points.append(s->HasPoint(p) ? PointValue(s->GetPoint(p)) : QJsonValue());
    samples.append(QJsonObject{{"frame", frames.Holder(i)->Frame()}, {"points", points}});
  }
  return {{"name", def.Name()}, {"kind", KindOf(def.SampleClass())}, {"samples", samples}};
}

}  // namespace

QByteArray WriteMeasurementFile(const TMotionDataBase& db) {
  auto& base = const_cast<TMotionDataBase&>(db);  // the accessors of the parts are not const
  const TScaler& s = base.Scaler();
  const TReferencer& r = db.Referencer();
  QJsonArray objects;
  for (std::size_t i = 0; i < db.Objects().Count(); ++i) {
    const TObjDef& def = *db.Objects().Object(i);
    if (def.SampleClass() != TSampleClass::Hidden) objects.append(ObjectValue(db, def));
  }
  QJsonObject reference{{"image", PointValue(r.ImagePoint()->GetPoint(0))},
                        {"object", QJsonValue()},
                        {"point", 0},
                        {"base", r.UseBase() ? PointValue({r.BaseX(), r.BaseY()}) : QJsonValue()}};
  if (r.Moving() && r.ReferenceObject()) {
    reference["object"] = r.ReferenceObject()->Name();
    reference["kind"] = KindOf(r.ReferenceObject()->SampleClass());
    reference["point"] = r.ReferencePoint();
  }
  const QJsonObject root{
      {"lumetra", "measurements"},
      {"version", 1},
      {"timing", QJsonObject{{"framePeriod", double(db.Frames().FramePeriod())},
                             {"timeOffset", double(db.Frames().TimeOffset())},
                             {"timeDecimals", db.Frames().TimeDecimals()}}},
      {"units", QJsonObject{{"length", units::LengthName(s.LengthUnit())},
                            {"angle", units::LengthName(s.AngularUnit())},
                            {"velocity", units::VelocityName(s.LinearVelocityUnit())},
                            {"angularVelocity", units::VelocityName(s.AngularVelocityUnit())}}},
      {"gage",
       QJsonObject{{"unit", units::LengthName(s.GageUnit())}, {"factor", double(s.GageFactor())}}},
      {"reference", reference},
      {"objects", objects}};
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
