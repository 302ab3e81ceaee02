#include <gtest/gtest.h>

#include "RiffBytes.h"
#include "RiffFiles.h"
#include "clip/RIFF.h"

using namespace riffbytes;

namespace {

constexpr FOURCC kTtls = ChunkCode("ttls");

QByteArray WithRiffSize(QByteArray bytes, std::uint32_t size) {
  bytes.replace(4, 4, Le32(size));
  return bytes;
}

class RIFFWriteTest : public ::testing::Test {
 protected:
  RiffFiles files_;
  const QByteArray text_ = Filled(2048, 'T');
};

TEST_F(RIFFWriteTest, NewTtlsGoesAfterTheRiffDataAndGrowsTheRiffSize) {
  const QByteArray before = Riff("AVI ", SmallAviBody());
  const QString path = files_.Write(before);
  {
    TRIFF riff(path);
    EXPECT_TRUE(riff.WriteChunk(kTtls, text_.constData(), 2048));
  }
  const QByteArray after = RiffFiles::Read(path);
  EXPECT_EQ(after.size(), before.size() + 2056);
  EXPECT_EQ(after, WithRiffSize(before, ReadLe32(before, 4) + 2056) + Chunk("ttls", text_));
  TRIFF reread(path);
  TRIFFChunk* ttls = nullptr;
  ASSERT_TRUE(reread.FindChild(kTtls, ttls));
  EXPECT_EQ(ttls->Data->size(), 2048u);
}

TEST_F(RIFFWriteTest, ExistingTtlsIsOverwrittenInPlaceLeavingTheHeader) {
  const QByteArray tail = Chunk("JUNK", "tail");
  const QString path =
      files_.Write(Riff("AVI ", SmallAviBody() + Chunk("ttls", Filled(2048, 'a')) + tail));
  TRIFF riff(path);
  EXPECT_TRUE(riff.WriteChunk(kTtls, text_.constData(), 2048));
  EXPECT_EQ(RiffFiles::Read(path), Riff("AVI ", SmallAviBody() + Chunk("ttls", text_) + tail));
}

// The writer once copied the chunk's stored size out of the caller's buffer, reading past it.
TEST_F(RIFFWriteTest, ShortBufferIntoLargerChunkIsFollowedByZeroBytes) {
  const QByteArray tail = Chunk("JUNK", "tail");
  const QString path = files_.Write(Riff("AVI ", Chunk("ttls", Filled(4096, 'a')) + tail));
  const std::vector<char> exact(text_.begin(), text_.end());  // no slack for a reader to hit
  TRIFF riff(path);
  EXPECT_TRUE(riff.WriteChunk(kTtls, exact.data(), 2048));
  EXPECT_EQ(RiffFiles::Read(path), Riff("AVI ", Chunk("ttls", text_ + Filled(2048, '\0')) + tail));
}

TEST_F(RIFFWriteTest, LongBufferIntoSmallerChunkKeepsTheStoredSize) {
  const QByteArray tail = Chunk("JUNK", "tail");
  const QString path = files_.Write(Riff("AVI ", Chunk("ttls", Filled(16, 'a')) + tail));
  TRIFF riff(path);
  EXPECT_TRUE(riff.WriteChunk(kTtls, text_.constData(), 2048));
  EXPECT_EQ(RiffFiles::Read(path), Riff("AVI ", Chunk("ttls", Filled(16, 'T')) + tail));
}

// Large AVI files go on with "RIFF" "AVIX" parts; appending to the first RIFF overwrote them.
TEST_F(RIFFWriteTest, AppendIsRefusedWhenTheFileGoesOnAfterTheFirstRiff) {
  const QByteArray avix = Riff("AVIX", List("movi", Chunk("00db", Filled(10, 'x'))));
  const QByteArray before = Riff("AVI ", SmallAviBody()) + avix;
  const QString path = files_.Write(before);
  TRIFF riff(path);
  EXPECT_FALSE(riff.WriteChunk(kTtls, text_.constData(), 2048));
  EXPECT_EQ(RiffFiles::Read(path), before);

  // In place is still fine.
  const QByteArray withTtls = Riff("AVI ", SmallAviBody() + Chunk("ttls", Filled(2048, 'a')));
  const QString other = files_.Write(withTtls + avix, QStringLiteral("b.avi"));
  TRIFF second(other);
  EXPECT_TRUE(second.WriteChunk(kTtls, text_.constData(), 2048));
  EXPECT_EQ(RiffFiles::Read(other), Riff("AVI ", SmallAviBody() + Chunk("ttls", text_)) + avix);
}

TEST_F(RIFFWriteTest, AppendIsRefusedWhenTheLastChunkClaimsMoreThanTheRiffHolds) {
  // A reader would take the new chunk for the tail of the last one.
  const QByteArray before = Riff("AVI ", SmallAviBody() + Header("JUNK", 5000) + "short");
  const QString path = files_.Write(before);
  TRIFF riff(path);
  EXPECT_FALSE(riff.WriteChunk(kTtls, text_.constData(), 2048));
  EXPECT_EQ(RiffFiles::Read(path), before);
}

TEST_F(RIFFWriteTest, TruncatedFileEndingOnAChunkBoundaryTakesTheChunk) {
  const QByteArray before = WithRiffSize(Riff("AVI ", SmallAviBody()), 900000);
  const QString path = files_.Write(before);
  {
    TRIFF riff(path);
    EXPECT_TRUE(riff.WriteChunk(kTtls, text_.constData(), 2048));
  }
  const QByteArray after = RiffFiles::Read(path);
  EXPECT_EQ(ReadLe32(after, 4), std::uint32_t(before.size() - 8 + 2056));
  TRIFF reread(path);
  TRIFFChunk* ttls = nullptr;
  EXPECT_TRUE(reread.FindChild(kTtls, ttls));
}

TEST_F(RIFFWriteTest, OddSizedNewChunkIsPaddedAndAppendedOnce) {
  const QByteArray before = Riff("AVI ", SmallAviBody());
  const QString path = files_.Write(before);
  TRIFF riff(path);
  EXPECT_TRUE(riff.WriteChunk(kTtls, "abc", 3));
  // The object remembers the chunk it placed and rewrites it there.
  EXPECT_TRUE(riff.WriteChunk(kTtls, "xyz", 3));
  EXPECT_EQ(RiffFiles::Read(path),
            WithRiffSize(before, ReadLe32(before, 4) + 12) + Chunk("ttls", "xyz"));
}

TEST_F(RIFFWriteTest, ListChunksAreNeverOverwritten) {
  const QByteArray before = Riff("AVI ", SmallAviBody());
  const QString path = files_.Write(before);
  TRIFF riff(path);
  EXPECT_FALSE(riff.WriteChunk(ChunkCode("movi"), text_.constData(), 2048));
  EXPECT_EQ(RiffFiles::Read(path), before);
}

}  // namespace
