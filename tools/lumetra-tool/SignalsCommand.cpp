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
#include "ToolSignals.h"
#include "ToolSupport.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "signals/AsciiSig.h"
#include "signals/Diadem.h"
#include "signals/SigInfo.h"

namespace {

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
  TSources sources;
  AddSignalFile(args[0], sources);
  QStringList lines;
  for (const auto& source : sources) lines << SourceLine(*source);
  Print(out, u'[' + lines.join(QStringLiteral(",\n ")) + u']');
  return 0;
}
