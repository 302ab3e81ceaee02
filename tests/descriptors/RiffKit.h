#pragma once

#include <cstdint>
#include <string>

// Hand-made RIFF bytes: chunks and lists as a clip file lays them out.

inline std::string le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = char((v >> (8 * i)) & 0xFF);
  return s;
}

inline std::string chunk(const std::string& id, const std::string& data) {
  std::string c = id + le32(std::uint32_t(data.size())) + data;
  if (data.size() % 2) c += '\0';
  return c;
}

inline std::string list(const std::string& kind, const std::string& type, const std::string& body) {
  return kind + le32(std::uint32_t(body.size() + 4)) + type + body;
}
