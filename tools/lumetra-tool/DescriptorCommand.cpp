// lumetra-tool descriptor CLIP [--set SECTION KEY VALUE]: the descriptor text a clip opens
// with and the timing the program derives from it; --set changes one entry and stores the text
// into the clip as the program does on close.
#include <QApplication>

#include "Commands.h"
#include "JsonWriter.h"
#include "ToolSupport.h"
#include "descriptors/CameraHeader.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorStore.h"
#include "descriptors/DescriptorText.h"
#include "descriptors/DescriptorWindow.h"
#include "descriptors/Timing.h"
#include "descriptors/TitleTemplates.h"
#include "descriptors/TitlesForm.h"
#include "platform/Exception.h"
#include "platform/FileCheck.h"

namespace {

constexpr const char* kUsage = "CLIP [--set SECTION KEY VALUE]";

// The timing a display window would hold: the editor's parser sets it through this.
class TToolTiming : public IDescriptorWindow {
 public:
  float EffectiveFramePeriod() const override { return model_.EffectiveFramePeriod(); }
  float TimeOffset() const override { return model_.TimeOffset(); }
  int TimeDecimals() const override { return model_.TimeDecimals(); }
  void SetFramePeriod(float period) override { model_.SetFramePeriod(period); }
  void SetTimeOffset(float time) override { model_.SetTimeOffset(time); }
  bool UpdateFrame() override { return false; }

 private:
  std::string text_;
  TTimingModel model_{text_};
};

const char* SourceName(TDescriptorSource s) {
  switch (s) {
    case TDescriptorSource::Ttls:
      return "ttls";
    case TDescriptorSource::Marker:
      return "marker";
    case TDescriptorSource::Camera:
      return "camera";
    case TDescriptorSource::None:
      break;
  }
  return "none";
}

void PrintDescriptor(const TClipDescriptor& d, std::FILE* out) {
  auto app = HeadlessApplication();
  TStringListList lists;
  TTitlesForm editor;
  InitTitleLists(nullptr, lists);
  TToolTiming timing;
  editor.SetEditedWindow(&timing);
  editor.ParseDescriptor(lists, d.text);
  const QString text = QString::fromLatin1(d.text.data(), qsizetype(d.text.size()));
  Print(out, TJsonObject()
                 .Text("source", QLatin1String(SourceName(d.source)))
                 .Text("text", text)
                 .Number("framePeriod", timing.EffectiveFramePeriod())
                 .Number("timeOffset", timing.TimeOffset())
                 .Integer("timeDecimals", timing.TimeDecimals())
                 .Line());
}

// SECTION, KEY or VALUE of --set as the text's Latin-1 bytes. A line end would split the entry,
// a bracket in a section name or key, or "=" in a key, would be read back as other entries than
// the one asked for. Section and key must name something.
std::string EntryPart(const QString& part, const char* what, QLatin1String forbidden) {
  const QString name = QLatin1String(what);
  if (!forbidden.isEmpty() && part.trimmed().isEmpty())
    throw Exception(name + QStringLiteral(" must not be empty"));
  for (QChar c : part) {
    if (c == u'\r' || c == u'\n' || forbidden.contains(c))
      throw Exception(name + QStringLiteral(" must not hold a line end") +
                      (forbidden.isEmpty() ? QString() : QStringLiteral(" or ") + forbidden));
    if (c.unicode() > 0xFF)
      throw Exception(name + QStringLiteral(" holds a character the descriptor text cannot store "
                                            "(Latin-1 only)"));
  }
  return part.toLatin1().toStdString();
}

void Store(TToolClip& clip, const QString& fileName, const std::string& text) {
  PGETFRAME reader = clip.ReleaseGetter();
  TWriteFailure why = TWriteFailure::None;
  if (StoreDescriptor(clip.Stream(), reader, fileName, text, &why)) return;
  const QString reason = WriteFailureText(why);
  throw Exception(QStringLiteral("Descriptor Write Failed") +
                  (reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + u')'));
}

}  // namespace

int RunDescriptor(const QStringList& args, std::FILE* out) {
  const bool set = args.size() == 5 && args[1] == QStringLiteral("--set");
  if (args.size() != 1 && !set) ExpectArguments(args, 1, kUsage);
  // The display window never shows a descriptor of a clip it cannot open: neither does the
  // tool, and a missing file, a folder or a FIFO is refused here before anything opens it.
  TToolClip clip(args[0]);
  // The camera header side file is opened as well when the clip has no timing of its own.
  if (const QString side = CameraHeaderPath(args[0]); !side.isEmpty()) RefuseSpecialFile(side);
  TClipDescriptor d = ReadClipDescriptor(args[0]);
  if (set) {
    SetDescriptorValue(d.text, EntryPart(args[2], "SECTION", QLatin1String("[]")),
                       EntryPart(args[3], "KEY", QLatin1String("=[")),
                       EntryPart(args[4], "VALUE", QLatin1String()));
    Store(clip, args[0], d.text);
    d = ReadClipDescriptor(args[0]);
  }
  PrintDescriptor(d, out);
  return 0;
}
