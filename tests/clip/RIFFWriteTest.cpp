#include <gtest/gtest.h>

#include <vector>

#include "AviBytes.h"
#include "RiffFiles.h"
#include "clip/RIFF.h"

using namespace riffbytes;

namespace {

constexpr FOURCC kTtls = ChunkCode("ttls");
const QByteArray kText(2048, 'T');

QByteArray WithRiffSize(QByteArray bytes, std::uint32_t size) {
  bytes.replace(4, 4, Le32(size));
  return bytes;
}

QByteArray Avi(const QList<QByteArray>& extraChunks = {}) {
  return avibytes::RawAvi({.extraChunks = extraChunks});
}

// The file after writing `data` as chunk `code` through a fresh TRIFF of a file that held
// `before`; empty when the write was refused, which must leave the file as it was.
QByteArray Written(const QByteArray& before, const QByteArray& data, FOURCC code = kTtls) {
  RiffFiles files;
  const QString path = files.Write(before);
  const std::vector<char> exact(data.begin(), data.end());  // no slack for an over-read to hit
  const bool ok = TRIFF(path).WriteChunk(code, exact.data(), std::uint32_t(exact.size()));
  const QByteArray after = RiffFiles::Read(path);
  if (ok) return after;
  EXPECT_EQ(after, before);
  return {};
}

TEST(RIFFWrite, NewChunkIsAppendedOncePaddedAndTheRiffSizeGrows) {
  RiffFiles files;
  const QString path = files.Write(Avi());
  TRIFF riff(path);
  EXPECT_TRUE(riff.WriteChunk(kTtls, "abc", 3));
  EXPECT_TRUE(riff.WriteChunk(kTtls, "xyz", 3));  // over the chunk it placed
  EXPECT_EQ(RiffFiles::Read(path),
            WithRiffSize(Avi(), ReadLe32(Avi(), 4) + 12) + Chunk("ttls", "xyz"));
  // A truncated file ending on a chunk boundary takes the chunk at its end.
  const QByteArray cut = WithRiffSize(Avi(), 900000);
  EXPECT_EQ(Written(cut, kText),
            WithRiffSize(cut, std::uint32_t(cut.size() - 8 + 2056)) + Chunk("ttls", kText));
}

// In place the chunk keeps its stored size: a longer buffer is cut, a shorter one is followed by
// zero bytes (the writer once copied the stored size out of the caller's buffer).
TEST(RIFFWrite, ExistingChunkIsOverwrittenInPlaceKeepingItsStoredSize) {
  const QByteArray tail = Chunk("JUNK", "tail");
  const struct {
    int stored;
    QByteArray expected;
  } cases[] = {{2048, kText}, {4096, kText + QByteArray(2048, '\0')}, {16, QByteArray(16, 'T')}};
  for (const auto& c : cases) {
    const QByteArray before = Avi({Chunk("ttls", QByteArray(c.stored, 'a')), tail});
    EXPECT_EQ(Written(before, kText), Avi({Chunk("ttls", c.expected), tail})) << c.stored;
  }
}

TEST(RIFFWrite, WritesThatWouldDamageTheFileAreRefused) {
  // Large AVI files go on with "RIFF" "AVIX" parts; appending to the first RIFF overwrote them.
  const QByteArray avix = Riff("AVIX", List("movi", Chunk("00db", "0123456789")));
  EXPECT_EQ(Written(Avi() + avix, kText), QByteArray());
  // A reader would take a chunk appended here for the tail of the last one.
  EXPECT_EQ(Written(Avi({Header("JUNK", 5000) + "short"}), kText), QByteArray());
  EXPECT_EQ(Written(Avi(), kText, ChunkCode("movi")), QByteArray());
  // In place before an "AVIX" part is still fine.
  EXPECT_EQ(Written(Avi({Chunk("ttls", QByteArray(2048, 'a'))}) + avix, kText),
            Avi({Chunk("ttls", kText)}) + avix);
}

}  // namespace
