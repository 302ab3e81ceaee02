// lumetra-demo FOLDER: writes one synthetic test with known motion into FOLDER (made when
// missing): three clips, their timing carriers, the target's signals as a DIAdem file set and
// a CSV file, and truth.json with what a measurement should find. The same files every run.

#include <QDir>
#include <QFile>
#include <cstdio>
#include <exception>

#include "DemoClips.h"
#include "DemoScene.h"
#include "DemoSignals.h"
#include "Truth.h"
#include "descriptors/CameraHeader.h"

namespace {

// Every file a run writes. A pipe or device left under one of these names would block or
// swallow the writing, so the names are cleared first and made anew as plain files.
QStringList OutputFiles() {
  QStringList names;
  for (const demo::Camera& camera : demo::Cameras()) {
    names << QString::fromStdString(camera.file);
    if (camera.carrier == demo::Carrier::CameraHeader) names << CameraHeaderPath(names.back());
  }
  const QString stem = QLatin1String(demo::kDiademStem);
  names << stem + QStringLiteral(".dat") << stem + QStringLiteral(".R32")
        << QLatin1String(demo::kCsvFile) << QStringLiteral("truth.json");
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '\0') {
    std::fprintf(stderr, "usage: lumetra-demo FOLDER\n");
    return 2;
  }
  const QString folder = QDir::cleanPath(QFile::decodeName(argv[1]));
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "lumetra-demo: cannot make the folder %s\n", argv[1]);
    return 1;
  }
  for (const QString& name : OutputFiles()) QFile::remove(folder + u'/' + name);
  try {
    for (const demo::Camera& camera : demo::Cameras()) demo::WriteCameraClip(folder, camera);
    demo::WriteSignals(folder);
    demo::WriteTruth(folder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lumetra-demo: %s\n", e.what());
    return 1;
  }
  std::printf("%s\n", QFile::encodeName(QDir(folder).absolutePath()).constData());
  return 0;
}
