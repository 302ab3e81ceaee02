#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <random>

#include "AviBytes.h"
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

// Every chunk's held data lies inside the file; counts the chunks and the deepest level.
void Check(const TRIFFChunk& chunk, std::int64_t fileSize, int depth, std::int64_t& chunks,
           int& deepest) {
  ++chunks;
  deepest = std::max(deepest, depth);
  if (chunk.Data) {
    ASSERT_LE(chunk.Data->size(), chunk.Size);
    ASSERT_LE(chunk.Position + std::int64_t(chunk.Data->size()), fileSize);
  }
  for (const auto& child : chunk.Children) {
    ASSERT_EQ(child->Parent, &chunk);
    Check(*child, fileSize, depth + 1, chunks, deepest);
  }
}

TEST(RIFF, ParsesTreeLoadingHeaderChunksAndSkippingFrameData) {
  RiffFiles files;
  const avibytes::RawClip c{.extraChunks = {Chunk("strn", "abc"), Chunk("JUNK", "12345678"),
                                            Chunk("JUNK", "abcd"), Chunk("ttls", "[Timing]")}};
  const QByteArray bytes = avibytes::RawAvi(c);
  TRIFF riff(files.Write(bytes));
  EXPECT_EQ(riff.ID, ChunkCode("AVI "));
  EXPECT_EQ(riff.Size, std::uint32_t(bytes.size() - 8));
  ASSERT_EQ(riff.Children.size(), 7u);
  TRIFFChunk* hdrl = Child(riff, "hdrl");
  TRIFFChunk* strl = hdrl ? Child(*hdrl, "strl") : nullptr;
  ASSERT_TRUE(strl);
  EXPECT_EQ(strl->Parent, hdrl);
  for (const TRIFFChunk* held :
       {Child(*hdrl, "avih"), Child(*strl, "strh"), Child(*strl, "strf"), Child(riff, "idx1")}) {
    ASSERT_TRUE(held);
    EXPECT_EQ(DataOf(held), bytes.mid(held->Position, held->Size));
  }
  const TRIFFChunk* movi = Child(riff, "movi");
  ASSERT_TRUE(movi);
  ASSERT_EQ(movi->Children.size(), 3u);
  for (int f = 0; f < 3; ++f) {
    EXPECT_FALSE(movi->Children[f]->Data);
    EXPECT_EQ(bytes.mid(movi->Children[f]->Position, 96), avibytes::FramePixels(c, f));
  }
  // After the pad byte: of two "JUNK" chunks only the one of exactly 4 bytes is held.
  EXPECT_EQ(DataOf(Child(riff, "strn")), "abc");
  EXPECT_FALSE(riff.Children[4]->Data);
  EXPECT_EQ(DataOf(riff.Children[5].get()), "abcd");
  EXPECT_EQ(DataOf(Child(riff, "ttls")), "[Timing]");
  EXPECT_FALSE(Child(riff, "strh"));  // direct children only
}

// Every chunk holds only what lies inside its parent and the file, and every walk ends.
TEST(RIFF, SizesBeyondTheParentOrTheFileAreCutThere) {
  RiffFiles files;
  // A header chunk claiming almost 4 GB once made the reader allocate and read that much.
  const QByteArray a = Header("RIFF", 1000000) + "AVI " + Chunk("ttls", "t1") +
                       Header("idx1", 0xFFFFFF00u) + QByteArray(20, 'i');
  TRIFF riffA(files.Write(a, QStringLiteral("a.avi")));
  EXPECT_EQ(riffA.Size, std::uint32_t(a.size() - 8));
  EXPECT_EQ(DataOf(Child(riffA, "ttls")), "t1");
  ASSERT_TRUE(Child(riffA, "idx1"));
  EXPECT_EQ(Child(riffA, "idx1")->Size, 0xFFFFFF00u);
  EXPECT_EQ(DataOf(Child(riffA, "idx1")), QByteArray(20, 'i'));

  // A list of size 0, then a child claiming more than its list.
  const QByteArray strl =
      Header("LIST", 4 + 8 + 56) + "strl" + Header("strh", 1000000) + QByteArray(56, 'h');
  TRIFF riffB(files.Write(Riff("AVI ", Header("LIST", 0) + "movi" + strl + Chunk("ttls", "b")),
                          QStringLiteral("b.avi")));
  ASSERT_TRUE(Child(riffB, "strl"));
  EXPECT_EQ(DataOf(Child(*Child(riffB, "strl"), "strh")), QByteArray(56, 'h'));
  EXPECT_EQ(DataOf(Child(riffB, "ttls")), "b");

  const QByteArray huge = Header("LIST", 0xFFFFFFF0u) + "movi" + Chunk("00db", "0123456789");
  TRIFF riffC(files.Write(Riff("AVI ", huge), QStringLiteral("c.avi")));
  ASSERT_EQ(riffC.Children.size(), 1u);
  EXPECT_EQ(riffC.Children[0]->Children.size(), 1u);

  // Lists nested far deeper than in any real file must not exhaust the stack.
  QByteArray deep;
  for (int i = 0; i < 50000; ++i) deep += Header("LIST", 0xFFFFFFF0u) + "nest";
  TRIFF riffD(files.Write(Header("RIFF", std::uint32_t(deep.size() + 4)) + "AVI " + deep,
                          QStringLiteral("d.avi")));
  std::int64_t chunks = 0;
  int deepest = 0;
  Check(riffD, deep.size() + 12, 0, chunks, deepest);
  EXPECT_LE(deepest, 40);
}

TEST(RIFF, FileThatIsNotRiffHasNoChildrenAndIsNeverWritten) {
  RiffFiles files;
  for (const QByteArray& bytes :
       {QByteArray("not a riff file at all"), QByteArray(), QByteArray("RIFF\x10\0\0\0", 8)}) {
    const QString path = files.Write(bytes);
    TRIFF riff(path);
    EXPECT_EQ(riff.ID, ChunkCode("    "));
    EXPECT_TRUE(riff.Children.empty());
    TRIFFChunk* found = &riff;
    EXPECT_FALSE(riff.FindChild(ChunkCode("ttls"), found));
    EXPECT_EQ(found, nullptr);
    // Writing would put a RIFF header over someone else's file.
    EXPECT_FALSE(riff.WriteChunk(ChunkCode("ttls"), "x", 1));
    EXPECT_EQ(RiffFiles::Read(path), bytes);
  }
  const QString absent = files.Path(QStringLiteral("absent.avi"));
  try {
    TRIFF riff(absent);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.message().contains(absent)) << e.what();
    EXPECT_TRUE(e.message().contains(QStringLiteral("No such file"))) << e.what();
  }
}

TEST(RIFF, MarkerSearchRunsBackwardsAndNeverTakesTheFirstChild) {
  RiffFiles files;
  const QByteArray body = Chunk("\xA0\x01XY", "frst") + Chunk("\x90\x01XY", "good") +
                          Chunk("\x95\x02XY", "2nd!") + Chunk("\x80\x01XY", "low!") +
                          Chunk("\x91\x01XY", "eightbyt");
  TRIFF riff(files.Write(Riff("AVI ", body)));
  TRIFFChunk* marker = nullptr;
  ASSERT_TRUE(riff.FindMarkerChunk(0x90, marker));
  EXPECT_EQ(DataOf(marker), "good");
  ASSERT_TRUE(riff.FindMarkerChunk(0x80, marker));
  EXPECT_EQ(DataOf(marker), "low!");
  EXPECT_FALSE(riff.FindMarkerChunk(0xA0, marker));
  EXPECT_EQ(marker, nullptr);
}

QByteArray Mutated(std::mt19937& rng) {
  static const std::uint32_t kSizes[] = {0,  1,          3,           4,           7,          8,
                                         56, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFF8u, 0xFFFFFFFFu};
  QByteArray bytes =
      avibytes::RawAvi({.width = 2,
                        .height = 2,
                        .extraChunks = {Chunk("ttls", QByteArray(40, 't')),
                                        Chunk("\x90\x01XY", "mark"), Chunk("JUNK", "jjjjjjj")}});
  const int steps = 1 + int(rng() % 4);
  for (int s = 0; s < steps && !bytes.isEmpty(); ++s) {
    const qsizetype at = qsizetype(rng() % std::uint32_t(bytes.size()));
    switch (rng() % 4) {
      case 0:
        bytes[at] = char(bytes[at] ^ char(1 + rng() % 255));
        break;
      case 1:  // a size field: every 4-byte slot is one somewhere in a valid layout
        if (at / 4 * 4 + 4 <= bytes.size())
          bytes.replace(at / 4 * 4, 4, Le32(kSizes[rng() % std::size(kSizes)]));
        break;
      case 2:
        bytes.truncate(at);
        break;
      default:
        bytes.insert(at, QByteArray(int(1 + rng() % 9), char(rng())));
        break;
    }
  }
  return bytes;
}

// The parse stays inside the file and ends; a write (every fifth file) either reports false and
// leaves the file alone, or a fresh parse finds what it wrote.
TEST(RIFFFuzz, MutatedFilesAreParsedWithinBoundsAndWrittenCleanlyOrNotAtAll) {
  RiffFiles files;
  std::mt19937 rng(1234567);
  const QByteArray text(64, 'W');
  QElapsedTimer timer;
  timer.start();
  int written = 0;
  for (int i = 0; i < 3000; ++i) {
    const QByteArray bytes = Mutated(rng);
    const QString path = files.Write(bytes);
    bool ok = false;
    {
      TRIFF riff(path);
      std::int64_t chunks = 0;
      int deepest = 0;
      Check(riff, bytes.size(), 0, chunks, deepest);
      ASSERT_LE(chunks, bytes.size() / 8 + 1) << "case " << i;
      ASSERT_LE(deepest, 40) << "case " << i;
      TRIFFChunk* found = nullptr;
      riff.FindMarkerChunk(0x90, found);
      ASSERT_TRUE(!found || found->Data->size() == 4u) << "case " << i;
      if (i % 5) continue;
      ok = riff.WriteChunk(ChunkCode("ttls"), text.constData(), 64);
    }
    if (!ok) {
      ASSERT_EQ(RiffFiles::Read(path), bytes) << "case " << i;
      continue;
    }
    ++written;
    TRIFF reread(path);
    TRIFFChunk* ttls = nullptr;
    ASSERT_TRUE(reread.FindChild(ChunkCode("ttls"), ttls)) << "case " << i;
    ASSERT_TRUE(ttls->Data) << "case " << i;
    const std::size_t n = std::min<std::size_t>(ttls->Size, 64);
    ASSERT_GE(ttls->Data->size(), n) << "case " << i;
    ASSERT_TRUE(std::equal(ttls->Data->begin(), ttls->Data->begin() + n, text.begin()))
        << "case " << i;
  }
  EXPECT_GT(written, 100);
  EXPECT_LT(timer.elapsed(), 20000);
}

}  // namespace
