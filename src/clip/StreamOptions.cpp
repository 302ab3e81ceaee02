// The clip stream's video compression options, kept per clip type in the registry.
#include "clip/AviStream.h"
#include "platform/RegIniFile.h"

namespace {

const QString kFallbackSection = QStringLiteral("Codec");

// The first four characters; a shorter text is padded with zero bytes.
FOURCC HandlerCode(const QString& text) {
  const QByteArray bytes = text.left(4).toLatin1();
  FOURCC code = 0;
  for (int i = 0; i < bytes.size(); ++i) code |= FOURCC(BYTE(bytes[i])) << (8 * i);
  return code;
}

QString HandlerText(FOURCC code) {
  QString text;
  for (int i = 0; i < 4 && BYTE(code >> (8 * i)); ++i) text += QChar(BYTE(code >> (8 * i)));
  return text;
}

}  // namespace

void TAVISTREAM::LoadOptions(const TRegIniFile* reg) {
  if (!reg) return;
  const QString section = reg->SectionExists(TypeName) ? TypeName : kFallbackSection;
  AVICOMPRESSOPTIONS& o = compressOptions_;
  OptionsOK = reg->ReadBool(section, QStringLiteral("OptionsOK"), false);
  o.fccType = streamtypeVIDEO;
  o.fccHandler = HandlerCode(reg->ReadString(section, QStringLiteral("Handler"), "iv32"));
  o.dwKeyFrameEvery = DWORD(reg->ReadInteger(section, QStringLiteral("KeyFrameEvery"), 0));
  o.dwQuality = DWORD(reg->ReadInteger(section, QStringLiteral("Quality"), 10000));
  o.dwBytesPerSecond = 0;
  o.dwFlags = DWORD(reg->ReadInteger(section, QStringLiteral("Flags"), AVICOMPRESSF_VALID));
  o.lpFormat = nullptr;
  o.cbFormat = 0;
  o.lpParms = nullptr;
  o.cbParms = 0;
  o.dwInterleaveEvery = 0;
}

void TAVISTREAM::SaveOptions(TRegIniFile* reg) const {
  if (!reg) return;
  const AVICOMPRESSOPTIONS& o = compressOptions_;
  reg->WriteBool(TypeName, QStringLiteral("OptionsOK"), OptionsOK);
  reg->WriteString(TypeName, QStringLiteral("Handler"), HandlerText(o.fccHandler));
  reg->WriteInteger(TypeName, QStringLiteral("KeyFrameEvery"), int(o.dwKeyFrameEvery));
  reg->WriteInteger(TypeName, QStringLiteral("Quality"), int(o.dwQuality));
  reg->WriteInteger(TypeName, QStringLiteral("Flags"), int(o.dwFlags));
}
