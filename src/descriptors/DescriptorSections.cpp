#include "descriptors/DescriptorSections.h"

#include "descriptors/DescriptorText.h"
#include "textio/FloatText.h"

namespace {

constexpr std::size_t kLongestLine = 255;

bool startsLine(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == ',' || c == '-' || c == '=' || c == '_';
}

void appendLines(std::string& text, const QStringList& lines) {
  for (const QString& line : lines) text += line.toLatin1().toStdString() + kCR;
}

}  // namespace

QStringList DescriptorSectionLines(const std::string& text, std::string_view header) {
  QStringList lines;
  const std::size_t at = text.find(header);
  if (at == std::string::npos) return lines;
  const std::size_t first = text.find(kCR, at + header.size());
  if (first == std::string::npos) return lines;
  std::size_t end = text.find('[', at + 1);
  if (end == std::string::npos) end = text.size();
  if (end < first) return lines;
  std::size_t pos = first;
  while (pos < end) {
    if (!startsLine(text[pos])) {
      ++pos;
      continue;
    }
    std::size_t stop = text.find(kCR, pos);
    if (stop == std::string::npos || stop > end) stop = end;
    const std::string_view line(text.data() + pos, std::min(stop - pos, kLongestLine));
    lines << QString::fromLatin1(line.data(), qsizetype(line.size()));
    pos = stop;
  }
  return lines;
}

std::string ComposeDescriptorText(double frameRate, int markFrame, double timeAtMarkFrame,
                                  const QStringList& camera, const QStringList& titles) {
  std::string text = std::string("[Timing]") + kCR;
  text += "Frame Rate=" + FloatToStr(frameRate) + kCR;
  text += "Mark Frame=" + std::to_string(markFrame) + kCR;
  text += "Time at Mark Frame=" + FloatToStr(timeAtMarkFrame) + kCR;
  text += std::string("[Camera]") + kCR;
  appendLines(text, camera);
  text += std::string("[Titles]") + kCR;
  appendLines(text, titles);
  return text;
}
