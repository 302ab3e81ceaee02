#pragma once

// Small uncompressed AVI files built byte by byte, with pixels known in advance: the reference
// against which decoded frames are checked.
#include <QList>

#include "RiffBytes.h"

namespace avibytes {

using riffbytes::Chunk;
using riffbytes::Le32;
using riffbytes::List;

inline QByteArray Le16(std::uint16_t v) {
  return Le32(v).left(2);
}

inline QByteArray Le32s(std::initializer_list<std::uint32_t> values) {
  QByteArray b;
  for (std::uint32_t v : values) b += Le32(v);
  return b;
}

struct RawClip {
  int width = 8;
  int height = 4;
  int frames = 3;
  int bitCount = 24;              // 24, or 8 with a grey palette
  QList<QByteArray> extraChunks;  // top-level chunks after "idx1"
};

inline int Stride(const RawClip& c) {
  return (c.width * c.bitCount / 8 + 3) / 4 * 4;
}

// The frame's rows as the file holds them: bottom-up, padded to 4 bytes with zeros.
inline QByteArray FramePixels(const RawClip& c, int frame) {
  QByteArray rows;
  for (int y = 0; y < c.height; ++y) {
    QByteArray row(Stride(c), '\0');
    for (int x = 0; x < c.width * c.bitCount / 8; ++x) row[x] = char(frame * 37 + y * 11 + x * 3);
    rows += row;
  }
  return rows;
}

// One "vids" "DIB " stream at 25 frames per second, with an index.
inline QByteArray RawAvi(const RawClip& c) {
  const std::uint32_t w = c.width, h = c.height, n = c.frames, bytes = Stride(c) * c.height,
                      colours = c.bitCount == 8 ? 256 : 0;
  const QByteArray avih = Le32s({40000, 0, 0, 0x10, n, 0, 1, bytes, w, h, 0, 0, 0, 0});
  const QByteArray strh = "vidsDIB " + Le32s({0, 0, 0, 1, 25, 0, n, bytes, 0xFFFFFFFF, 0, 0}) +
                          Le16(c.width) + Le16(c.height);
  QByteArray strf =
      Le32s({40, w, h}) + Le16(1) + Le16(c.bitCount) + Le32s({0, bytes, 0, 0, colours, colours});
  for (std::uint32_t i = 0; i < colours; ++i) strf += QByteArray(3, char(i)) + '\0';
  QByteArray movi, idx1;
  for (int f = 0; f < c.frames; ++f) {
    idx1 += "00db" + Le32s({0x10, std::uint32_t(4 + movi.size()), bytes});
    movi += Chunk("00db", FramePixels(c, f));
  }
  QByteArray body =
      List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf))) +
      List("movi", movi) + Chunk("idx1", idx1);
  for (const QByteArray& extra : c.extraChunks) body += extra;
  return riffbytes::Riff("AVI ", body);
}

}  // namespace avibytes
