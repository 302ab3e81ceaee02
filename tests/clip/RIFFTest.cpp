#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <random>
#include <vector>

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
// `before`; empty when the write was refused, which must leave the file as it was. A write that
// succeeded must be what a fresh parse finds first under that code.
QByteArray Written(const QByteArray& before, const QByteArray& data, FOURCC code = kTtls,
                   TWriteFailure* why = nullptr) {
  RiffFiles files;
  const QString path = files.Write(before);
  const std::vector<char> exact(data.begin(), data.end());  // no slack for an over-read to hit
  const bool ok = TRIFF(path).WriteChunk(code, exact.data(), std::uint32_t(exact.size()), why);
  const QByteArray after = RiffFiles::Read(path);
  if (!ok) {
    EXPECT_EQ(after, before);
    return {};
  }
  TRIFF reread(path);
  TRIFFChunk* found = nullptr;
  EXPECT_TRUE(reread.FindChild(code, found));
  EXPECT_EQ(DataOf(found), data);
  return after;
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

  // Lists nested far deeper than in any real file must not exhaust the stack.
  QByteArray deep;
  for (int i = 0; i < 50000; ++i) deep += Header("LIST", 0xFFFFFFF0u) + "nest";
  TRIFF riffD(files.Write(Header("RIFF", std::uint32_t(deep.size() + 4)) + "AVI " + deep,
                          QStringLiteral("d.avi")));
  TreeStats stats;
  CheckTree(riffD, deep.size() + 12, stats);
  EXPECT_LE(stats.deepest, 40);
}

TEST(RIFF, FileThatIsNotRiffHasNoChildrenAndIsNeverWritten) {
  RiffFiles files;
  for (const QByteArray& bytes :
       {QByteArray("not a riff file at all"), QByteArray(), QByteArray("RIFF\x10\0\0\0", 8)}) {
    TRIFF riff(files.Write(bytes));
    EXPECT_EQ(riff.ID, ChunkCode("    "));
    EXPECT_TRUE(riff.Children.empty());
    // Writing would put a RIFF header over someone else's file.
    EXPECT_EQ(Written(bytes, "x"), QByteArray());
  }
  EXPECT_EQ(Written(List("AVI ", Chunk("JUNK", "abcd")), "x"), QByteArray());  // nor a LIST file
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

// A chunk another program wrote with another size once kept its size: the text was cut or
// zero-filled past 2048 bytes (where the reader ignores the chunk) and the write reported true.
TEST(RIFFWrite, ExistingChunkOfAnotherSizeGivesWayToTheWholeData) {
  const QByteArray tail = Chunk("JUNK", "tail");
  const auto appended = [&](const QByteArray& kept, const QByteArray& data) {
    const QByteArray avi = Avi({kept, tail});
    return WithRiffSize(avi, ReadLe32(avi, 4) + std::uint32_t(Chunk("ttls", data).size())) +
           Chunk("ttls", data);
  };
  const QByteArray a16(16, 'a');
  const struct {
    QByteArray stored, data, expected;
  } cases[] = {
      {Chunk("ttls", QByteArray(2048, 'a')), kText, Avi({Chunk("ttls", kText), tail})},
      // In place with the rest of a larger chunk as filler, a pad byte before it when odd.
      {Chunk("ttls", QByteArray(4096, 'a')), kText,
       Avi({Chunk("ttls", kText) + Header("JUNK", 2040) + QByteArray(2040, 'a'), tail})},
      {Chunk("ttls", a16), "abc",
       Avi({Chunk("ttls", "abc") + Header("JUNK", 4) + QByteArray(4, 'a'), tail})},
      // Too small, or larger by less than a header: every older chunk becomes filler.
      {Chunk("ttls", a16), kText, appended(Chunk("JUNK", a16), kText)},
      {Chunk("ttls", QByteArray(2050, 'a')), kText,
       appended(Chunk("JUNK", QByteArray(2050, 'a')), kText)},
      {Chunk("ttls", a16) + Chunk("ttls", "abc"), kText,
       appended(Chunk("JUNK", a16) + Chunk("JUNK", "abc"), kText)},
  };
  for (const auto& c : cases) {
    const QByteArray before = Avi({c.stored, tail});
    EXPECT_EQ(Written(before, c.data), c.expected) << c.stored.size() << " " << c.data.size();
  }
}

TEST(RIFFWrite, WritesThatWouldDamageTheFileAreRefusedWithTheirReason) {
  // Large AVI files go on with "RIFF" "AVIX" parts; appending to the first RIFF overwrote them.
  const QByteArray avix = Riff("AVIX", List("movi", Chunk("00db", "0123456789")));
  const struct {
    QByteArray before;
    FOURCC code;
    TWriteFailure why;
  } refused[] = {
      {Avi() + avix, kTtls, TWriteFailure::MultiPart},
      {Avi({Chunk("ttls", "16 bytes of text")}) + avix, kTtls, TWriteFailure::MultiPart},
      // A reader would take a chunk appended here for the tail of the last one.
      {Avi({Header("JUNK", 5000) + "short"}), kTtls, TWriteFailure::Damaged},
      {Avi(), ChunkCode("movi"), TWriteFailure::Damaged},
      {"not a riff file at all", kTtls, TWriteFailure::NotRiff},
  };
  for (const auto& c : refused) {
    TWriteFailure why = TWriteFailure::None;
    EXPECT_EQ(Written(c.before, kText, c.code, &why), QByteArray());
    EXPECT_EQ(why, c.why) << WriteFailureText(why).toStdString();
  }
  // In place before an "AVIX" part is still fine, and so is a larger chunk's room.
  EXPECT_EQ(Written(Avi({Chunk("ttls", QByteArray(2048, 'a'))}) + avix, kText),
            Avi({Chunk("ttls", kText)}) + avix);
  EXPECT_EQ(Written(Avi({Chunk("ttls", QByteArray(2056, 'a'))}) + avix, kText),
            Avi({Chunk("ttls", kText) + Header("JUNK", 0)}) + avix);
}

// A full disk once left part of an appended chunk after the RIFF data, which made every later
// append refuse the file. A file size limit stands in for the full disk, in a child process.
TEST(RIFFWrite, AWriteCutShortLeavesTheFileAsItWas) {
  RiffFiles files;
  const QByteArray before = Avi({Chunk("ttls", QByteArray(16, 'a'))});
  const QString path = files.Write(before);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(before.size() + 100), rlim_t(before.size() + 100)};
    TWriteFailure why = TWriteFailure::None;
    if (setrlimit(RLIMIT_FSIZE, &limit) == 0)
      TRIFF(path).WriteChunk(kTtls, kText.constData(), 2048, &why);
    _exit(int(why));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), int(TWriteFailure::DiskFull));
  EXPECT_EQ(RiffFiles::Read(path), before);
  EXPECT_TRUE(TRIFF(path).WriteChunk(kTtls, kText.constData(), 2048));
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
  int written = 0;
  for (int i = 0; i < 3000; ++i) {
    const QByteArray bytes = Mutated(rng);
    const QString path = files.Write(bytes);
    bool ok = false;
    {
      TRIFF riff(path);
      TreeStats stats;
      CheckTree(riff, bytes.size(), stats);
      ASSERT_LE(stats.chunks, bytes.size() / 8 + 1) << "case " << i;
      ASSERT_LE(stats.deepest, 40) << "case " << i;
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
    const TRIFFChunk* ttls = Child(reread, "ttls");
    ASSERT_TRUE(ttls) << "case " << i;
    ASSERT_EQ(DataOf(ttls), text) << "case " << i;
  }
  EXPECT_GT(written, 100);
}

}  // namespace
