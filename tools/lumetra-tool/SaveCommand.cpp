// lumetra-tool save CLIP OUT.avi [--codec FOURCC] [--quality Q] [--from F --to L]: the clip,
// or the frames F to L of it, saved through the clip stream's save thread as the display
// window saves it: over an existing name through a "~" work file that replaces the target in
// one rename, the source's descriptor stored in the new file.
#include <cstdio>

#include "Commands.h"
#include "JsonWriter.h"
#include "ToolSupport.h"
#include "clip/FrameRangeStream.h"
#include "clip/SaveThreads.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorStore.h"
#include "descriptors/DescriptorText.h"
#include "descriptors/SaveReplace.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/RegIniFile.h"
#include "platform/avifile/AviSaveOptions.h"

namespace {

constexpr const char* kUsage = "CLIP OUT.avi [--codec FOURCC] [--quality Q] [--from F --to L]";

struct SaveRequest {
  QString source, target;
  std::optional<FOURCC> codec;
  std::optional<int> quality;
  std::optional<int> from, to;
};

SaveRequest ParseSave(const QStringList& args) {
  if (args.size() < 2) ExpectArguments(args, 2, kUsage);
  SaveRequest r{args[0], args[1], {}, {}, {}, {}};
  for (qsizetype i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) ExpectArguments(args, int(args.size()) + 1, kUsage);
    const QString& value = args[i + 1];
    if (args[i] == QStringLiteral("--codec")) {
      r.codec = avifile::EncoderHandlerFromText(value.toStdString());
      if (!r.codec) throw Exception(QStringLiteral("Unknown codec \"") + value + u'"');
    } else if (args[i] == QStringLiteral("--quality")) {
      r.quality = ParseCount(value, "Q", 0, 10000);
    } else if (args[i] == QStringLiteral("--from")) {
      r.from = ParseCount(value, "F", 0, 0x7FFFFFFF);
    } else if (args[i] == QStringLiteral("--to")) {
      r.to = ParseCount(value, "L", 0, 0x7FFFFFFF);
    } else {
      ExpectArguments({}, 1, kUsage);
    }
  }
  return r;
}

// The clip type's stored options when the user confirmed some with an encoder here, else MJPEG.
void ChooseOptions(TAVISTREAM& stream, const SaveRequest& r) {
  const TRegIniFile registry(QStringLiteral("\\Software\\Orvanta\\Lumetra"));
  stream.LoadOptions(&registry);
  AVICOMPRESSOPTIONS& o = stream.CompressOptions();
  if (!stream.OptionsOK) o.fccHandler = MakeFourCC('M', 'J', 'P', 'G');
  o.fccHandler = avifile::PreselectedHandler(o.fccHandler);
  if (r.codec) o.fccHandler = *r.codec;
  if (r.quality) o.dwQuality = DWORD(*r.quality);
  o.dwFlags |= AVICOMPRESSF_VALID;
  stream.OptionsOK = true;
}

void StoreInto(const QString& path, const std::string& text) {
  if (text.empty()) return;
  TAVISTREAM stream(QStringLiteral("AVI"));
  PGETFRAME none = nullptr;
  TWriteFailure why = TWriteFailure::None;
  if (!StoreDescriptor(stream, none, path, text, &why))
    throw Exception(QStringLiteral("Descriptor Write Failed (") + WriteFailureText(why) + u')');
}

}  // namespace

int RunSave(const QStringList& args, std::FILE* out) {
  const SaveRequest r = ParseSave(args);
  TToolSaveSession session;
  TToolClip clip(r.source);
  TAVISTREAM& stream = clip.Stream();
  const int frames = clip.Frames();
  const int first = r.from.value_or(0), last = r.to.value_or(frames - 1);
  if (frames <= 0 || first > last || last >= frames)
    throw Exception(QStringLiteral("the frames to save must lie within 0 to %1").arg(frames - 1));
  ChooseOptions(stream, r);
  const std::string descriptor = ShiftedDescriptor(ReadClipDescriptor(r.source).text, first);

  const TSaveReplace replace(r.target);
  const QString& work = replace.Work();
  replace.Prepare();
  TFrameRangeStream range(stream.CurrentStream(), first, last - first + 1);
  const HRESULT result = session.Run(stream, [&] {
    if (first == 0 && last == frames - 1)
      return stream.Save(nullptr, 1, work), std::unique_ptr<TSaveJob>();
    stream.Busy = true;
    auto job = std::make_unique<TAVISaveThread>(stream, &range, &stream.CompressOptions(), work);
    job->start();
    return std::unique_ptr<TSaveJob>(std::move(job));
  });
  try {
    if (result != AVIERR_OK)
      throw Exception(QStringLiteral("Error creating file %1\nAVI Save Error Code: %2")
                          .arg(work)
                          .arg(quint32(result), 8, 16, QChar(u'0')));
    StoreInto(work, descriptor);
  } catch (...) {
    replace.Discard();
    throw;
  }
  if (!replace.Commit())
    throw Exception(QStringLiteral("Could not Rename %1\nto %2").arg(work, r.target));
  Print(out, TJsonObject()
                 .Text("target", r.target)
                 .Text("codec", CodeText(stream.CompressOptions().fccHandler))
                 .Integer("frames", last - first + 1)
                 .Line());
  return 0;
}
