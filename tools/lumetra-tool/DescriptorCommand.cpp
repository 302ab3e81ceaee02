// lumetra-tool descriptor CLIP [--set SECTION KEY VALUE]: the descriptor text a clip opens
// with and the timing the program derives from it; --set changes one entry and stores the text
// into the clip as the program does on close.
#include <QApplication>

#include "Commands.h"
#include "ToolSupport.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorStore.h"
#include "descriptors/DescriptorText.h"
#include "descriptors/DescriptorWindow.h"
#include "descriptors/Timing.h"
#include "descriptors/TitleTemplates.h"
#include "descriptors/TitlesForm.h"
#include "platform/Exception.h"
#include "textio/FloatText.h"

namespace {

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

// The editor is a widget; the tool runs it without a screen.
std::unique_ptr<QApplication> HeadlessApplication() {
  if (QApplication::instance()) return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "lumetra-tool";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QApplication>(argc, argv);
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
  Print(out, QStringLiteral("{\"source\": \"%1\", \"text\": %2, \"framePeriod\": %3, "
                            "\"timeOffset\": %4, \"timeDecimals\": %5}")
                 .arg(QLatin1String(SourceName(d.source)), JsonString(text),
                      QString::fromStdString(FloatToStr(timing.EffectiveFramePeriod())),
                      QString::fromStdString(FloatToStr(timing.TimeOffset())))
                 .arg(timing.TimeDecimals()));
}

}  // namespace

int RunDescriptor(const QStringList& args, std::FILE* out) {
  const bool set = args.size() == 5 && args[1] == QStringLiteral("--set");
  if (args.size() != 1 && !set) ExpectArguments(args, 1, "CLIP [--set SECTION KEY VALUE]");
  TClipDescriptor d = ReadClipDescriptor(args[0]);
  if (set) {
    SetDescriptorValue(d.text, args[2].toStdString(), args[3].toStdString(), args[4].toStdString());
    TToolClip clip(args[0]);
    PGETFRAME reader = clip.ReleaseGetter();
    if (!StoreDescriptor(clip.Stream(), reader, args[0], d.text))
      throw Exception(QStringLiteral("Descriptor Write Failed"));
    d = ReadClipDescriptor(args[0]);
  }
  PrintDescriptor(d, out);
  return 0;
}
