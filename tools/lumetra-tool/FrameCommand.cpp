// lumetra-tool frame CLIP N OUT.bmp: frame N as a Windows bitmap file, the very packed DIB
// that the display window draws behind a bitmap file header.
#include <QFile>
#include <cstring>

#include "Commands.h"
#include "ToolSupport.h"
#include "clip/Dib.h"
#include "platform/Exception.h"

int RunFrame(const QStringList& args, std::FILE*) {
  ExpectArguments(args, 3, "CLIP N OUT.bmp");
  TToolClip clip(args[0]);
  const int frames = clip.Frames();
  if (frames < 1) throw Exception(args[0] + QStringLiteral(": the clip has no frames"));
  const int n = ParseCount(args[1], "N", 0, frames - 1);
  int size = 0;
  const BITMAPINFOHEADER* bitmap = clip.Frame(n, size);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfSize = DWORD(sizeof file + size);
  file.bfOffBits = DWORD(sizeof file + DibPixelOffset(*bitmap));
  QByteArray bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(bitmap), size);

  QFile target(args[2]);
  if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      target.write(bytes) != bytes.size() || !target.flush())
    throw Exception(args[2] + QStringLiteral(": ") + target.errorString());
  return 0;
}
