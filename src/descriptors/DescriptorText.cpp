#include "descriptors/DescriptorText.h"

#include "platform/Exception.h"
#include "textio/FloatText.h"

namespace {

struct Section {
  std::size_t header = std::string::npos;  // position of "["
  std::size_t end = std::string::npos;     // the next "[" after the header, or the text's end
};

Section findSection(const std::string& text, std::string_view name) {
  Section s;
  const std::string header = '[' + std::string(name) + ']';
  s.header = text.find(header);
  if (s.header == std::string::npos) return s;
  s.end = text.find('[', s.header + 1);
  if (s.end == std::string::npos) s.end = text.size();
  return s;
}

// Position just after the entry's "=", or npos. The carriage return that must precede the key
// may be the header's own line end.
std::size_t findEntry(const std::string& text, const Section& s, std::string_view key) {
  const std::string pattern = kCR + std::string(key) + '=';
  const std::size_t at = text.find(pattern, s.header);
  if (at == std::string::npos || at >= s.end) return std::string::npos;
  return at + pattern.size();
}

std::size_t valueEnd(const std::string& text, std::size_t start) {
  const std::size_t cr = text.find(kCR, start);
  return cr == std::string::npos ? text.size() : cr;
}

}  // namespace

bool GetDescriptorValue(const std::string& text, std::string_view section, std::string_view key,
                        std::string& value) {
  const Section s = findSection(text, section);
  if (s.header == std::string::npos) return false;
  const std::size_t start = findEntry(text, s, key);
  if (start == std::string::npos) return false;
  value = text.substr(start, valueEnd(text, start) - start);
  return true;
}

bool GetDescriptorFloat(const std::string& text, std::string_view section, std::string_view key,
                        double& value) {
  std::string raw;
  if (!GetDescriptorValue(text, section, key, raw)) return false;
  try {
    value = StrToFloat(std::string_view(raw));
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void SetDescriptorValue(std::string& text, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string entry = std::string(key) + '=' + std::string(value) + kCR;
  const Section s = findSection(text, section);
  if (s.header == std::string::npos) {
    // A last line without its line end would otherwise take the header into its value.
    if (!text.empty() && text.back() != kCR) text += kCR;
    text += '[' + std::string(section) + ']' + kCR + entry;
    return;
  }
  const std::size_t start = findEntry(text, s, key);
  if (start == std::string::npos) {
    // Likewise the section's last entry must end before the new one begins.
    std::string insertion = entry;
    if (s.end > 0 && text[s.end - 1] != kCR) insertion.insert(insertion.begin(), kCR);
    text.insert(s.end, insertion);
    return;
  }
  text.replace(start, valueEnd(text, start) - start, value);
}

void SetDescriptorFloat(std::string& text, std::string_view section, std::string_view key,
                        double value) {
  SetDescriptorValue(text, section, key, FloatToStr(value));
}
