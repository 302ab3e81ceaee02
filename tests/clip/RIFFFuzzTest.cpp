#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <random>

#include "RiffBytes.h"
#include "RiffFiles.h"
#include "clip/RIFF.h"

using namespace riffbytes;

namespace {

struct Walk {
  std::int64_t chunks = 0;
  int depth = 0;
};

// Every chunk's held data lies inside the file, and there are no more chunks than headers fit.
void Check(const TRIFFChunk& chunk, std::int64_t fileSize, int depth, Walk& walk) {
  ++walk.chunks;
  walk.depth = std::max(walk.depth, depth);
  if (chunk.Data) {
    ASSERT_LE(chunk.Data->size(), chunk.Size);
    ASSERT_LE(chunk.Position + std::int64_t(chunk.Data->size()), fileSize);
  }
  for (const auto& child : chunk.Children) {
    ASSERT_EQ(child->Parent, &chunk);
    Check(*child, fileSize, depth + 1, walk);
  }
}

QByteArray BaseFile() {
  return Riff("AVI ", SmallAviBody() + Chunk("ttls", Filled(40, 't')) +
                          Chunk("\x90\x01XY", "mark") + Chunk("JUNK", Filled(7, 'j')));
}

QByteArray Mutate(QByteArray bytes, std::mt19937& rng) {
  static const std::uint32_t kSizes[] = {0,  1,          3,           4,           7,          8,
                                         56, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFF8u, 0xFFFFFFFFu};
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

TEST(RIFFFuzz, ParserSurvivesThousandsOfMutatedFiles) {
  RiffFiles files;
  std::mt19937 rng(1234567);
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < 3000; ++i) {
    const QByteArray bytes = Mutate(BaseFile(), rng);
    TRIFF riff(files.Write(bytes));
    Walk walk;
    Check(riff, bytes.size(), 0, walk);
    ASSERT_LE(walk.chunks, bytes.size() / 8 + 1) << "case " << i;
    ASSERT_LE(walk.depth, 40) << "case " << i;
    TRIFFChunk* found = nullptr;
    riff.FindMarkerChunk(0x90, found);
    if (found) {
      ASSERT_EQ(found->Data->size(), 4u);
    }
  }
  EXPECT_LT(timer.elapsed(), 20000);
}

// A write either reports false and leaves the file alone, or a fresh parse finds what it wrote.
TEST(RIFFFuzz, WriterOnMutatedFilesRefusesCleanlyOrIsReadBack) {
  RiffFiles files;
  std::mt19937 rng(7654321);
  const QByteArray text = Filled(64, 'W');
  int written = 0;
  for (int i = 0; i < 600; ++i) {
    const QByteArray bytes = Mutate(BaseFile(), rng);
    const QString path = files.Write(bytes);
    bool ok = false;
    {
      TRIFF riff(path);
      ok = riff.WriteChunk(ChunkCode("ttls"), text.constData(), std::uint32_t(text.size()));
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
}

}  // namespace
