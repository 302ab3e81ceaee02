// lumetra-tool signals FILE: the signal sources a DIAdem header or an ASCII file yields, loaded
// as the selection dialog loads them (the information dialog accepted as guessed, every
// channel warning answered "Yes" and repeated on stderr), as a JSON array.
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <memory>
#include <vector>

#include "Commands.h"
#include "JsonWriter.h"
#include "ToolSupport.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "signals/AsciiSig.h"
#include "signals/Diadem.h"
#include "signals/SigInfo.h"

namespace {

using TSources = std::vector<std::unique_ptr<TSigClass>>;

TSources LoadDiadem(const QString& fileName) {
  dialogs::install(std::make_unique<dialogs::ScriptedBackend>());
  TDiademSignalDatabase db;
  db.LoadFromFile(fileName);
  for (const dialogs::Message& m : dialogs::scripted()->shown)
    std::fprintf(stderr, "%s: %s\n", qPrintable(m.caption), qPrintable(m.text));
  TSources sources;
  for (int i = 0; i < db.Count(); ++i)
    if (!db.Channels(i).TimeChannel)
      sources.push_back(std::make_unique<TDIAdemSigClass>(db.Channels(i)));
  return sources;
}

TSources LoadSources(const QString& fileName) {
  const QString ext = QFileInfo(fileName).suffix().toUpper();
  if (ext == QLatin1String("DAT")) return LoadDiadem(fileName);
  if (ext == QLatin1String("TDM")) throw Exception("TDM not implemented");
  const QStringList ascii = {QStringLiteral("TXT"), QStringLiteral("ASC"), QStringLiteral("PRN"),
                             QStringLiteral("CSV")};
  if (!ascii.contains(ext)) throw Exception("Unknown type of signal data file");
  TSigInfoRecord info;
  bool applyToAll = true;
  TSources sources;
  sources.push_back(std::make_unique<TASCIIColumn>(fileName, applyToAll, info));
  return sources;
}

QString FloatText(float value) {
  if (!std::isfinite(value)) return QStringLiteral("null");
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return QString::fromLatin1(text, end - text);
}

QString SourceLine(TSigClass& source) {
  float low = NAN, high = NAN;
  QStringList first;
  source.Reset();
  for (int i = 0; i < source.Count; ++i) {
    const float v = source.NextValue();
    if (i < 5) first << FloatText(v);
    if (i == 0 || v < low) low = v;
    if (i == 0 || v > high) high = v;
  }
  QString line = TJsonObject()
                     .Text("ident", source.Ident())
                     .Text("name", source.Name)
                     .Text("yLabel", source.YLabel)
                     .Integer("count", source.Count)
                     .Number("interval", source.Interval)
                     .Number("firstTime", source.FirstTime)
                     .Number("nullValue", source.NullValue)
                     .Number("min", low)
                     .Number("max", high)
                     .Line();
  line.chop(1);  // the closing brace: the writer has no arrays
  return line + QStringLiteral(", \"first\": [") + first.join(QStringLiteral(", ")) +
         QStringLiteral("]}");
}

}  // namespace

int RunSignals(const QStringList& args, std::FILE* out) {
  ExpectArguments(args, 1, "FILE");
  TSources sources = LoadSources(args[0]);
  QStringList lines;
  for (const auto& source : sources) lines << SourceLine(*source);
  Print(out, u'[' + lines.join(QStringLiteral(",\n ")) + u']');
  return 0;
}
