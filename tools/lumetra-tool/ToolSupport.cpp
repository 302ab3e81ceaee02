#include "ToolSupport.h"

#include <charconv>

#include "platform/Exception.h"

TToolClip::TToolClip(const QString& fileName)
    : stream_(std::make_unique<TAVISTREAM>(QStringLiteral("AVI"))) {
  try {
    stream_->Open(fileName);
  } catch (const Exception& e) {
    throw Exception(fileName + QStringLiteral(": ") + e.message());
  }
  if (!stream_->Opened()) throw Exception(fileName + QStringLiteral(": No video stream"));
  if (!stream_->GetFrameOpen(getter_))
    throw Exception(fileName + QStringLiteral(": Frames cannot be decompressed"));
}

TToolClip::~TToolClip() {
  stream_->GetFrameClose(getter_);
}

const BITMAPINFOHEADER* TToolClip::Frame(int frame, int& size) {
  const BITMAPINFOHEADER* bitmap = nullptr;
  if (!stream_->GetFrame(getter_, frame, size, bitmap))
    throw Exception(QStringLiteral("Frame %1 cannot be read").arg(frame));
  return bitmap;
}

int ParseCount(const QString& text, const char* what, int low, int high) {
  const QByteArray bytes = text.toLatin1();
  int value = 0;
  const auto [end, error] = std::from_chars(bytes.begin(), bytes.end(), value);
  if (error != std::errc() || end != bytes.end() || value < low || value > high)
    throw Exception(QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
                        .arg(QLatin1String(what))
                        .arg(low)
                        .arg(high)
                        .arg(text));
  return value;
}

void ExpectArguments(const QStringList& args, int count, const char* usage) {
  if (args.size() != count)
    throw Exception(QStringLiteral("expected arguments: ") + QLatin1String(usage));
}

QString CodeText(std::uint32_t code) {
  QString text;
  for (int i = 0; i < 4; ++i) {
    const unsigned c = (code >> (8 * i)) & 0xFF;
    text += c >= 0x20 && c < 0x7F ? QString(QChar(c))
                                  : QStringLiteral("\\x%1").arg(c, 2, 16, QChar(u'0'));
  }
  return text;
}

QString JsonString(const QString& text) {
  QString out = QStringLiteral("\"");
  for (QChar c : text) {
    if (c == u'"' || c == u'\\')
      out += u'\\' + QString(c);
    else if (c.unicode() < 0x20)
      out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    else
      out += c;
  }
  return out + u'"';
}

void Print(std::FILE* out, const QString& line) {
  std::fputs(line.toUtf8().constData(), out);
  std::fputc('\n', out);
}
