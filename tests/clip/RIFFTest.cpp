#include <gtest/gtest.h>

#include "RiffBytes.h"
#include "RiffFiles.h"
#include "clip/RIFF.h"
#include "platform/Exception.h"

using namespace riffbytes;

namespace {

TRIFFChunk* Child(const TRIFFChunk& parent, const char (&code)[5]) {
  TRIFFChunk* chunk = nullptr;
  parent.FindChild(ChunkCode(code), chunk);
  return chunk;
}

QByteArray DataOf(const TRIFFChunk* chunk) {
  if (!chunk || !chunk->Data) return {};
  return QByteArray(reinterpret_cast<const char*>(chunk->Data->data()),
                    qsizetype(chunk->Data->size()));
}

int Depth(const TRIFFChunk& c) {
  int deepest = 0;
  for (const auto& child : c.Children) deepest = std::max(deepest, Depth(*child));
  return deepest + 1;
}

class RIFFTest : public ::testing::Test {
 protected:
  RiffFiles files_;
};

TEST_F(RIFFTest, ParsesTreeLoadingHeaderChunksAndSkippingFrameData) {
  const QByteArray bytes = Riff("AVI ", SmallAviBody() + Chunk("JUNK", Filled(8, 'j')) +
                                            Chunk("JUNK", "abcd") + Chunk("ttls", "[Timing]"));
  TRIFF riff(files_.Write(bytes));
  EXPECT_EQ(riff.ID, ChunkCode("AVI "));
  EXPECT_EQ(riff.Position, 8);
  EXPECT_EQ(riff.Size, std::uint32_t(bytes.size() - 8));
  ASSERT_EQ(riff.Children.size(), 6u);

  TRIFFChunk* hdrl = Child(riff, "hdrl");
  ASSERT_TRUE(hdrl);
  EXPECT_EQ(hdrl->Position, 20);
  EXPECT_EQ(hdrl->Parent, &riff);
  TRIFFChunk* strl = Child(*hdrl, "strl");
  ASSERT_TRUE(strl);
  EXPECT_EQ(DataOf(Child(*strl, "strh")), Filled(56, 'h'));
  EXPECT_EQ(DataOf(Child(*strl, "strf")), Filled(40, 'f'));
  EXPECT_EQ(DataOf(Child(*hdrl, "avih")), Filled(56, 'a'));

  TRIFFChunk* movi = Child(riff, "movi");
  ASSERT_TRUE(movi);
  ASSERT_EQ(movi->Children.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const TRIFFChunk& frame = *movi->Children[i];
    EXPECT_EQ(frame.ID, ChunkCode("00db"));
    EXPECT_EQ(frame.Size, 10u);
    EXPECT_FALSE(frame.Data);
    EXPECT_EQ(bytes.at(qsizetype(frame.Position)), char('0' + i));
  }
  EXPECT_EQ(DataOf(Child(riff, "idx1")), Filled(48, 'i'));
  // Of two "JUNK" chunks only the one of exactly 4 bytes is held.
  EXPECT_FALSE(riff.Children[3]->Data);
  EXPECT_EQ(DataOf(riff.Children[4].get()), "abcd");
  EXPECT_EQ(DataOf(Child(riff, "ttls")), "[Timing]");
  EXPECT_FALSE(Child(riff, "strh"));  // direct children only
}

TEST_F(RIFFTest, OddSizedChunkIsFollowedByItsPadByte) {
  TRIFF riff(files_.Write(Riff("AVI ", Chunk("strn", "abc") + Chunk("ttls", "xy"))));
  ASSERT_EQ(riff.Children.size(), 2u);
  EXPECT_EQ(DataOf(riff.Children[0].get()), "abc");
  EXPECT_EQ(riff.Children[1]->Position, 12 + 8 + 4 + 8);
  EXPECT_EQ(DataOf(riff.Children[1].get()), "xy");
}

TEST_F(RIFFTest, RiffSizeBeyondFileIsCutToTheFileEnd) {
  const QByteArray bytes =
      Header("RIFF", 1000000) + "AVI " + Chunk("JUNK", Filled(6, 'j')) + Chunk("ttls", "t1");
  TRIFF riff(files_.Write(bytes));
  EXPECT_EQ(riff.Size, std::uint32_t(bytes.size() - 8));
  ASSERT_EQ(riff.Children.size(), 2u);
  EXPECT_EQ(DataOf(Child(riff, "ttls")), "t1");
}

// A header chunk whose size runs past the file end once made the reader allocate and read the
// stored size; it holds what the file has.
TEST_F(RIFFTest, HeaderChunkRunningPastFileEndHoldsWhatTheFileHas) {
  const QByteArray bytes = Header("RIFF", 1000000) + "AVI " + Chunk("JUNK", "abcd") +
                           Header("idx1", 0xFFFFFF00u) + Filled(20, 'i');
  TRIFF riff(files_.Write(bytes));
  TRIFFChunk* idx1 = Child(riff, "idx1");
  ASSERT_TRUE(idx1);
  EXPECT_EQ(idx1->Size, 0xFFFFFF00u);
  EXPECT_EQ(DataOf(idx1), Filled(20, 'i'));
}

TEST_F(RIFFTest, FileThatIsNotRiffHasBlankIdAndNoChildren) {
  for (const QByteArray& bytes :
       {QByteArray("not a riff file at all"), QByteArray(), QByteArray("RIFF\x10\0\0\0", 8)}) {
    const QString path = files_.Write(bytes);
    TRIFF riff(path);
    EXPECT_EQ(riff.ID, ChunkCode("    "));
    EXPECT_TRUE(riff.Children.empty());
    TRIFFChunk* found = &riff;
    EXPECT_FALSE(riff.FindChild(ChunkCode("ttls"), found));
    EXPECT_EQ(found, nullptr);
    EXPECT_FALSE(riff.FindMarkerChunk(0, found));
    // Writing would put a RIFF header over someone else's file.
    EXPECT_FALSE(riff.WriteChunk(ChunkCode("ttls"), "x", 1));
    EXPECT_EQ(RiffFiles::Read(path), bytes);
  }
}

TEST_F(RIFFTest, MissingFileRaisesTheSystemMessage) {
  const QString path = files_.Path(QStringLiteral("absent.avi"));
  try {
    TRIFF riff(path);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.message().contains(path)) << e.what();
    EXPECT_TRUE(e.message().contains(QStringLiteral("No such file"))) << e.what();
  }
}

TEST_F(RIFFTest, MarkerSearchRunsBackwardsAndNeverTakesTheFirstChild) {
  const QByteArray marker90("\x90\x01XY", 4), markerA0("\xA0\x01XY", 4);
  const QByteArray body = Chunk(markerA0.constData(), "frst") + Chunk("JUNK", Filled(8, 'j')) +
                          Chunk(marker90.constData(), "good") + Chunk("\x95\x02XY", "2nd!") +
                          Chunk("\x80\x01XY", "low!") + Chunk("\x91\x01XY", "eightbyt");
  TRIFF riff(files_.Write(Riff("AVI ", body)));
  TRIFFChunk* marker = nullptr;
  ASSERT_TRUE(riff.FindMarkerChunk(0x90, marker));
  EXPECT_EQ(DataOf(marker), "good");
  ASSERT_TRUE(riff.FindMarkerChunk(0x80, marker));
  EXPECT_EQ(DataOf(marker), "low!");
  // Only the first child is an "\xA0\x01" marker, and the first child is never examined.
  EXPECT_FALSE(riff.FindMarkerChunk(0xA0, marker));
  EXPECT_EQ(marker, nullptr);
}

TEST_F(RIFFTest, ZeroAndHugeListSizesEndTheWalk) {
  const QByteArray zero = Header("LIST", 0) + "movi" + Chunk("ttls", "z");
  TRIFF a(files_.Write(Riff("AVI ", zero), QStringLiteral("zero.avi")));
  EXPECT_EQ(DataOf(Child(a, "ttls")), "z");

  const QByteArray huge = Header("LIST", 0xFFFFFFF0u) + "movi" + Chunk("00db", Filled(10, 'x'));
  TRIFF b(files_.Write(Riff("AVI ", huge), QStringLiteral("huge.avi")));
  ASSERT_EQ(b.Children.size(), 1u);
  EXPECT_EQ(b.Children[0]->Children.size(), 1u);
}

TEST_F(RIFFTest, ChildClaimingMoreThanItsParentIsCutAtTheParentsEnd) {
  const QByteArray strl =
      Header("LIST", 4 + 8 + 56) + "strl" + Header("strh", 1000000) + Filled(56, 'h');
  const QByteArray bytes =
      Riff("AVI ", strl + Chunk("ttls", "after") + Chunk("JUNK", Filled(200, 'j')));
  TRIFF riff(files_.Write(bytes));
  TRIFFChunk* list = Child(riff, "strl");
  ASSERT_TRUE(list);
  EXPECT_EQ(DataOf(Child(*list, "strh")), Filled(56, 'h'));
  EXPECT_EQ(DataOf(Child(riff, "ttls")), "after");
}

TEST_F(RIFFTest, DeeplyNestedListsDoNotExhaustTheStack) {
  QByteArray bytes;
  const int levels = 50000;
  for (int i = 0; i < levels; ++i) bytes += Header("LIST", 0xFFFFFFF0u) + "nest";
  bytes += Chunk("ttls", "deep");
  TRIFF riff(files_.Write(Header("RIFF", std::uint32_t(bytes.size() + 4)) + "AVI " + bytes));
  EXPECT_LE(Depth(riff), 40);
}

}  // namespace
