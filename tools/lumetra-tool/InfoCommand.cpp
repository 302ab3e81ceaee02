// lumetra-tool info CLIP: the stream information and the chunks the display window looks for,
// as one JSON object.
#include "Commands.h"
#include "ToolSupport.h"
#include "clip/RIFF.h"

namespace {

QString HandlerText(FOURCC code) {
  QString text;
  for (int i = 0; i < 4; ++i)
    if (const BYTE c = BYTE(code >> (8 * i))) text += QChar(c);
  return text;
}

const char* Bool(bool b) {
  return b ? "true" : "false";
}

}  // namespace

int RunInfo(const QStringList& args, std::FILE* out) {
  ExpectArguments(args, 1, "CLIP");
  TToolClip clip(args[0]);
  AVISTREAMINFOA info{};
  clip.Stream().GetInfo(info);
  const int frames = clip.Frames();
  long width = info.rcFrame.right - info.rcFrame.left;
  long height = info.rcFrame.bottom - info.rcFrame.top;
  int bitCount = 0;
  if (frames > 0) {
    int size = 0;
    const BITMAPINFOHEADER* bitmap = clip.Frame(0, size);
    width = bitmap->biWidth;
    height = bitmap->biHeight;
    bitCount = bitmap->biBitCount;
  }
  TRIFF riff(args[0]);
  TRIFFChunk* chunk = nullptr;
  const bool hasTtls = riff.FindChild(ChunkCode("ttls"), chunk);
  const bool hasMarker = riff.FindMarkerChunk(0x90, chunk);
  Print(out, QStringLiteral("{\"frames\": %1, \"width\": %2, \"height\": %3, \"bitCount\": %4, "
                            "\"handler\": %5, \"rate\": %6, \"scale\": %7, \"hasTtls\": %8, "
                            "\"hasMarker\": %9}")
                 .arg(frames)
                 .arg(width)
                 .arg(height)
                 .arg(bitCount)
                 .arg(JsonString(HandlerText(info.fccHandler)))
                 .arg(info.dwRate)
                 .arg(info.dwScale)
                 .arg(QLatin1String(Bool(hasTtls)))
                 .arg(QLatin1String(Bool(hasMarker))));
  return 0;
}
