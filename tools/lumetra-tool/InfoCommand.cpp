// lumetra-tool info CLIP: the stream information and the chunks the display window looks for,
// as one JSON object.
#include "Commands.h"
#include "JsonWriter.h"
#include "ToolSupport.h"
#include "clip/RIFF.h"

namespace {

QString HandlerText(FOURCC code) {
  QString text;
  for (int i = 0; i < 4; ++i)
    if (const BYTE c = BYTE(code >> (8 * i))) text += QChar(c);
  return text;
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
  Print(out, TJsonObject()
                 .Integer("frames", frames)
                 .Integer("width", width)
                 .Integer("height", height)
                 .Integer("bitCount", bitCount)
                 .Text("handler", HandlerText(info.fccHandler))
                 .Integer("rate", info.dwRate)
                 .Integer("scale", info.dwScale)
                 .Bool("hasTtls", hasTtls)
                 .Bool("hasMarker", hasMarker)
                 .Line());
  return 0;
}
