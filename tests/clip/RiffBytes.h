#pragma once

// RIFF files built byte by byte, for cases that no writer would produce.
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

// A chunk with its true size and a pad byte when the size is odd.
inline QByteArray Chunk(const char* id, const QByteArray& data) {
  QByteArray b = QByteArray(id, 4) + Le32(std::uint32_t(data.size())) + data;
  if (data.size() & 1) b += '\0';
  return b;
}

// A chunk header that claims `storedSize` whatever follows.
inline QByteArray Header(const char* id, std::uint32_t storedSize) {
  return QByteArray(id, 4) + Le32(storedSize);
}

inline QByteArray List(const char* type, const QByteArray& children) {
  return Header("LIST", std::uint32_t(children.size() + 4)) + QByteArray(type, 4) + children;
}

inline QByteArray Riff(const char* form, const QByteArray& children) {
  return Header("RIFF", std::uint32_t(children.size() + 4)) + QByteArray(form, 4) + children;
}

inline QByteArray Filled(int size, char c) {
  return QByteArray(size, c);
}

// A small AVI layout: hdrl (avih, strl (strh, strf)), movi with three frames, idx1.
inline QByteArray SmallAviBody() {
  const QByteArray strl =
      List("strl", Chunk("strh", Filled(56, 'h')) + Chunk("strf", Filled(40, 'f')));
  const QByteArray hdrl = List("hdrl", Chunk("avih", Filled(56, 'a')) + strl);
  const QByteArray movi =
      List("movi", Chunk("00db", Filled(10, '0')) + Chunk("00db", Filled(10, '1')) +
                       Chunk("00db", Filled(10, '2')));
  return hdrl + movi + Chunk("idx1", Filled(48, 'i'));
}

}  // namespace riffbytes
