#include "app/OpenQueue.h"

#include <array>

namespace {

struct TTypeRow {
  const char* pattern;
  TOpenKind kind;
  const char* section;
};

// Rows 1 to 12; scanned from the last.
constexpr std::array<TTypeRow, 12> kOpenTypes{{
    {".AVI", TOpenKind::Clip, "AVI"},
    {".DIB", TOpenKind::Unrecognised, ""},
    {".TIF", TOpenKind::Unrecognised, ""},
    {".BAY", TOpenKind::Unrecognised, ""},
    {".MAV", TOpenKind::Clip, "Motion Analysis Video"},
    {".VRAW", TOpenKind::Unrecognised, ""},
    {".TXT", TOpenKind::Signal, ""},
    {".ASC", TOpenKind::Signal, ""},
    {".PRN", TOpenKind::Signal, ""},
    {".CSV", TOpenKind::Signal, ""},
    {".DAT", TOpenKind::Signal, ""},
    {".TDM", TOpenKind::Signal, ""},
}};

}  // namespace

QString FileNamePart(const QString& name) {
  return name.mid(name.lastIndexOf(u'/') + 1);
}

QString DirectoryPart(const QString& name) {
  return name.left(name.lastIndexOf(u'/') + 1);
}

TOpenType OpenTypeOf(const QString& name) {
  const QString upper = FileNamePart(name).toUpper();
  for (int row = int(kOpenTypes.size()); row >= 1; --row) {
    const TTypeRow& r = kOpenTypes[std::size_t(row - 1)];
    if (upper.contains(QLatin1String(r.pattern)))
      return {row, r.kind, QString::fromLatin1(r.section)};
  }
  return {};
}

void EmptyOpenQueue(QStringList& queue, IOpenTarget& target) {
  QStringList signalFiles;
  try {
    while (!queue.isEmpty()) {
      const QString name = queue.takeFirst();
      target.Taken(name);
      const TOpenType type = OpenTypeOf(name);
      switch (type.kind) {
        case TOpenKind::Clip:
          if (!target.Shown(name)) target.OpenClip(name, type.section);
          break;
        case TOpenKind::Signal:
          signalFiles << name;
          break;
        case TOpenKind::Unrecognised:
          target.Inform(name + QStringLiteral(" is an unrecognized file type."));
          break;
      }
    }
  } catch (...) {
    // The user asked for these too; a clip's failure should not lose them.
    if (!signalFiles.isEmpty()) target.OpenSignals(signalFiles);
    throw;
  }
  if (!signalFiles.isEmpty()) target.OpenSignals(signalFiles);
}
