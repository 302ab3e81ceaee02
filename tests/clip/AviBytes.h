#pragma once

// Small uncompressed AVI files built byte by byte, with pixels known in advance: the reference
// against which decoded frames are checked.
#include <QByteArray>
#include <QList>
#include <cstdint>

#include "RiffBytes.h"

namespace avibytes {

using riffbytes::Chunk;
using riffbytes::Le32;
using riffbytes::List;

inline QByteArray Le16(std::uint16_t v) {
  return Le32(v).left(2);
}

// The byte at (frame, row from the bottom, byte within the row) of a test clip.
inline char PixelByte(int frame, int row, int x) {
  return char(frame * 37 + row * 11 + x * 3);
}

struct RawClip {
  int width = 8;
  int height = 4;
  int frames = 3;
  int bitCount = 24;  // 24, or 8 with a grey palette
  const char* streamType = "vids";
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
    for (int x = 0; x < c.width * c.bitCount / 8; ++x) row[x] = PixelByte(frame, y, x);
    rows += row;
  }
  return rows;
}

inline QByteArray BitmapHeader(const RawClip& c) {
  const int colours = c.bitCount == 8 ? 256 : 0;
  QByteArray h = Le32(40) + Le32(c.width) + Le32(c.height) + Le16(1) + Le16(c.bitCount) + Le32(0) +
                 Le32(Stride(c) * c.height) + Le32(0) + Le32(0) + Le32(colours) + Le32(colours);
  for (int i = 0; i < colours; ++i) h += QByteArray(3, char(i)) + '\0';
  return h;
}

inline QByteArray RawAvi(const RawClip& c) {
  const int frameBytes = Stride(c) * c.height;
  const QByteArray avih = Le32(40000) + Le32(0) + Le32(0) + Le32(0x10) + Le32(c.frames) + Le32(0) +
                          Le32(1) + Le32(frameBytes) + Le32(c.width) + Le32(c.height) +
                          QByteArray(16, '\0');
  const bool video = QByteArray(c.streamType) == "vids";
  const QByteArray strh = QByteArray(c.streamType, 4) + (video ? "DIB " : QByteArray(4, '\0')) +
                          Le32(0) + Le16(0) + Le16(0) + Le32(0) + Le32(1) + Le32(25) + Le32(0) +
                          Le32(c.frames) + Le32(frameBytes) + Le32(0xFFFFFFFF) +
                          Le32(video ? 0 : 2) + Le16(0) + Le16(0) + Le16(c.width) + Le16(c.height);
  // PCM, mono, 8000 Hz, 16-bit for an audio stream.
  const QByteArray strf =
      video ? BitmapHeader(c)
            : Le16(1) + Le16(1) + Le32(8000) + Le32(16000) + Le16(2) + Le16(16) + Le16(0);
  const QByteArray hdrl =
      List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf)));
  const char* code = video ? "00db" : "00wb";
  QByteArray movi, idx1;
  for (int f = 0; f < c.frames; ++f) {
    idx1 += QByteArray(code, 4) + Le32(0x10) + Le32(4 + movi.size()) + Le32(frameBytes);
    movi += Chunk(code, video ? FramePixels(c, f) : QByteArray(frameBytes, char(f)));
  }
  QByteArray body = hdrl + List("movi", movi) + Chunk("idx1", idx1);
  for (const QByteArray& extra : c.extraChunks) body += extra;
  return riffbytes::Riff("AVI ", body);
}

}  // namespace avibytes
