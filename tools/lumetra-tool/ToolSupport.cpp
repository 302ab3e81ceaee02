#include "ToolSupport.h"

#include <QApplication>
#include <QFile>
#include <charconv>
#include <clocale>

#include "clip/RIFFChunk.h"
#include "platform/Exception.h"
#include "platform/FileCheck.h"

namespace {

Exception OpenFailed(const QString& fileName, const QString& message, const QString& why) {
  QString text = fileName + QStringLiteral(": ") + message;
  if (!why.isEmpty()) text += QStringLiteral(" (") + why + u')';
  return Exception(text);
}

std::uint32_t Le32(const QByteArray& bytes, int at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | std::uint8_t(bytes[at + i]);
  return v;
}

}  // namespace

TToolClip::TToolClip(const QString& fileName)
    : stream_(std::make_unique<TAVISTREAM>(QStringLiteral("AVI"))) {
  const QString notRegular = NotRegularFileReason(fileName);
  if (!notRegular.isEmpty())
    throw OpenFailed(fileName, QStringLiteral("Stream Open Failed"), notRegular);
  try {
    stream_->Open(fileName);
  } catch (const Exception& e) {
    throw OpenFailed(fileName, e.message(), ClipProblem(fileName));
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
    throw Exception(QStringLiteral("Frame %1 of %2 cannot be read").arg(frame).arg(Frames()));
  return bitmap;
}

std::optional<FOURCC> RiffForm(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray head = f.read(12);
  if (head.size() < 12 || Le32(head, 0) != ChunkCode("RIFF")) return std::nullopt;
  return Le32(head, 8);
}

QString ClipProblem(const QString& path) {
  const QString notRegular = NotRegularFileReason(path);
  if (!notRegular.isEmpty()) return notRegular;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return f.errorString();
  const std::optional<FOURCC> form = RiffForm(path);
  if (!form) return QStringLiteral("not a RIFF file");
  if (*form != ChunkCode("AVI "))
    return QStringLiteral("a RIFF file of form '%1', not an AVI clip").arg(CodeText(*form));
  return {};
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

void Print(std::FILE* out, const QString& line) {
  std::fputs(line.toUtf8().constData(), out);
  std::fputc('\n', out);
}

std::unique_ptr<QApplication> HeadlessApplication() {
  if (QApplication::instance()) return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "lumetra-tool";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QApplication>(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  return app;
}
