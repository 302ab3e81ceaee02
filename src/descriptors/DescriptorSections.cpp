#include "descriptors/DescriptorSections.h"

#include <vector>

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

std::string OtherSections(const std::string& text) {
  // Starts of the header lines, then the text's end.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '[' && (i == 0 || text[i - 1] == kCR)) starts.push_back(i);
  starts.push_back(text.size());
  std::string kept;
  for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
    const std::string_view section(text.data() + starts[k], starts[k + 1] - starts[k]);
    const bool own = section.starts_with("[Timing]") || section.starts_with("[Camera]") ||
                     section.starts_with("[Titles]");
    if (own) continue;
    kept += section;
    if (kept.back() != kCR) kept += kCR;
  }
  return kept;
}

std::string ComposeDescriptorText(double frameRate, int markFrame, double timeAtMarkFrame,
                                  const QStringList& camera, const QStringList& titles,
                                  const std::string& kept) {
  std::string text = std::string("[Timing]") + kCR;
  text += "Frame Rate=" + FloatToStr(frameRate) + kCR;
  text += "Mark Frame=" + std::to_string(markFrame) + kCR;
  text += "Time at Mark Frame=" + FloatToStr(timeAtMarkFrame) + kCR;
  text += std::string("[Camera]") + kCR;
  appendLines(text, camera);
  text += std::string("[Titles]") + kCR;
  appendLines(text, titles);
  return text + kept;
}
