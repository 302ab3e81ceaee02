#include "ToolSignals.h"

#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "signals/AsciiSig.h"
#include "signals/Diadem.h"
#include "signals/SigInfo.h"

namespace {

void AddDiadem(const QString& fileName, TSources& sources) {
  // Channel warnings ask whether to go on: the scripted answer is "Yes" to each.
  if (!dialogs::scripted()) dialogs::install(std::make_unique<dialogs::ScriptedBackend>());
  TDiademSignalDatabase db;
  db.LoadFromFile(fileName);
  for (const dialogs::Message& m : dialogs::scripted()->shown)
    std::fprintf(stderr, "%s: %s\n", qPrintable(m.caption), qPrintable(m.text));
  dialogs::scripted()->clear();
  for (int i = 0; i < db.Count(); ++i)
    if (!db.Channels(i).TimeChannel)
      sources.push_back(std::make_unique<TDIAdemSigClass>(db.Channels(i)));
}

}  // namespace

void AddSignalFile(const QString& fileName, TSources& sources) {
  const QString ext = QFileInfo(fileName).suffix().toUpper();
  if (ext == QLatin1String("TDM")) throw Exception("TDM not implemented");
  if (ext == QLatin1String("DAT")) return AddDiadem(fileName, sources);
  if (!QStringList{"TXT", "ASC", "PRN", "CSV"}.contains(ext))
    throw Exception("Unknown type of signal data file");
  TSigInfoRecord info;
  bool applyToAll = true;
  sources.push_back(std::make_unique<TASCIIColumn>(fileName, applyToAll, info));
}
