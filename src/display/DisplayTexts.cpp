#include "display/DisplayTexts.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

QString FixedText(double value, int precision, int decimals) {
  if (!std::isfinite(value)) return QString::number(value);
  std::array<char, 64> buf{};
  // Rounding to the significant digits first: 0.0049996 with 7 digits and 2 decimals is 0.00.
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific,
                         precision - 1);
  double rounded = 0;
  std::from_chars(buf.data(), r.ptr, rounded);
  if (std::fabs(rounded) >= std::pow(10.0, precision)) {
    const QString text = QString::fromLatin1(buf.data(), int(r.ptr - buf.data()));
    return text.toUpper();
  }
  r = std::to_chars(buf.data(), buf.data() + buf.size(), rounded, std::chars_format::fixed,
                    decimals);
  QString text = QString::fromLatin1(buf.data(), int(r.ptr - buf.data()));
  const bool zero = std::all_of(text.begin(), text.end(),
                                [](QChar c) { return c == u'-' || c == u'.' || c == u'0'; });
  if (zero && text.startsWith(u'-')) text.remove(0, 1);  // -0.00 reads as 0.00
  return text;
}

TTimeLegend TimeLegend(float ms, int decimals) {
  if (ms >= 1000.0f)
    return {FixedText(double(ms) / 1000.0, 7, 3), QStringLiteral("s"),
            QStringLiteral("Time in Seconds")};
  return {FixedText(double(ms), 7, decimals), QStringLiteral("ms"),
          QStringLiteral("Time in Milliseconds")};
}

namespace {

const QStringList& drivers() {
  static const QStringList table = {
      QStringLiteral("IV31 - Intel Indeo\u00AE R3.1"),
      QStringLiteral("IV32 - Intel Indeo\u00AE R3.2"),
      QStringLiteral("IV41 - Intel Indeo\u00AE Video Interactive 32-bit Driver"),
      QStringLiteral("IV50 - Intel Indeo\u00AE Video 5.0"),
      QStringLiteral("MPG4 - MPEG-4 Video High Speed Compressor (MT)"),
      QStringLiteral("MRLE - Microsoft RLE"),
      QStringLiteral("MSVC - Microsoft Video 1"),
      QStringLiteral("TR20 - Duck TrueMotion Codec"),
      QStringLiteral("UCOD - ClearVideo Decoder Driver"),
      QStringLiteral("VDOM - VDOnet VDOWave Video Codec"),
      QStringLiteral("VIVO - Vivo H.263 Video CODEC Version 2.0.0"),
  };
  return table;
}

}  // namespace

QString DriverText(std::uint32_t handler) {
  if (handler == 0) return {};
  QString code;
  for (int i = 0; i < 4; ++i) {
    const char c = char((handler >> (8 * i)) & 0xFF);
    // A hostile file's code goes into a message box: only printable characters.
    code += (c >= 0x20 && c < 0x7F) ? QChar(QLatin1Char(c)).toUpper() : QChar(u'?');
  }
  QString driver = code;
  for (const QString& entry : drivers())
    if (entry.contains(code)) driver = entry;
  return QStringLiteral(" requires driver ") + driver;
}
