#pragma once

// RIFF files built byte by byte, for layouts that no writer would produce.
#include <QByteArray>
#include <cstdint>

namespace riffbytes {

inline QByteArray Le32(std::uint32_t v) {
  QByteArray b(4, '\0');
  for (int i = 0; i < 4; ++i) b[i] = char(v >> (8 * i));
  return b;
}

inline std::uint32_t ReadLe32(const QByteArray& b, qsizetype at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | std::uint8_t(b[at + i]);
  return v;
}

// A chunk header that claims `storedSize` whatever follows.
inline QByteArray Header(const char* id, std::uint32_t storedSize) {
  return QByteArray(id, 4) + Le32(storedSize);
}

// A chunk with its true size and a pad byte when the size is odd.
inline QByteArray Chunk(const char* id, const QByteArray& data) {
  return Header(id, std::uint32_t(data.size())) + data + QByteArray(data.size() & 1, '\0');
}

inline QByteArray List(const char* type, const QByteArray& children, const char* kind = "LIST") {
  return Header(kind, std::uint32_t(children.size() + 4)) + QByteArray(type, 4) + children;
}

inline QByteArray Riff(const char* form, const QByteArray& children) {
  return List(form, children, "RIFF");
}

}  // namespace riffbytes
