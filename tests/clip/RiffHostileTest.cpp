// Both RIFF readers (the chunk tree and the AVI library's scan) on files that claim more than
// they hold: header sizes of gigabytes, sparse files of 1.5 GB, floods of tiny chunks.
#include <gtest/gtest.h>

#include <random>

#include "AviBytes.h"
#include "RiffFiles.h"
#include "clip/RIFF.h"
#include "platform/Exception.h"
#include "platform/avifile/RiffScan.h"

using namespace riffbytes;

namespace {

constexpr qint64 kSparseSize = 1536LL << 20;
constexpr std::uint32_t kHuge = 0xFFFFFFF0u;

// `head` at the start of a file of 1.5 GB; the rest is a hole that costs no disk.
QString WriteSparse(RiffFiles& files, const QByteArray& head) {
  const QString path = files.Write(head, QStringLiteral("sparse.avi"));
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadWrite) && f.resize(kSparseSize));
  return path;
}

std::string Local(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

void CheckRef(const avifile::ChunkRef& c, const std::vector<BYTE>& data, std::int64_t fileSize) {
  ASSERT_LE(c.dataOffset + std::int64_t(c.available), fileSize);
  ASSERT_LE(data.size(), std::min(c.available, avifile::HeldDataCap(c.id)));
}

// The scan keeps its bounds; nullopt (not an AVI RIFF) is always a fine answer.
void CheckScan(const std::string& path, std::int64_t fileSize) {
  const auto layout = avifile::ScanRiff(path);
  if (!layout) return;
  ASSERT_LE(layout->topLevel.size(), std::size_t(avifile::kMaxListChildren));
  ASSERT_LE(layout->streams.size(), avifile::kMaxStreams);
  CheckRef(layout->avih, layout->avihData, fileSize);
  for (const auto& s : layout->streams) {
    CheckRef(s.strh, s.strhData, fileSize);
    CheckRef(s.strf, s.strfData, fileSize);
    CheckRef(s.strn, s.strnData, fileSize);
  }
}

// A stream header list ending in `code` claiming `size`; the other headers come first.
QByteArray StrlEndingIn(const char* code, std::uint32_t size) {
  QByteArray strl;
  if (qstrcmp(code, "strh") != 0) strl += Chunk("strh", QByteArray(56, 'h'));
  if (qstrcmp(code, "strf") != 0) strl += Chunk("strf", QByteArray(40, 'f'));
  return strl + Header(code, size) + QByteArray(64, 'x');
}

// A header chunk claiming almost 4 GB in a sparse file made both readers allocate and read the
// 1.5 GB of the hole: the chunk tree when its lists claim the whole file too, the scan always.
TEST(RiffHostile, HeaderChunkClaimingGigabytesIsHeldOnlyUpToItsCap) {
  const struct {
    const char* code;
    int level;  // 0 top, 1 in "hdrl", 2 in "strl"
  } cases[] = {{"strf", 2}, {"strh", 2}, {"strn", 2}, {"avih", 1}, {"ttls", 0}, {"idx1", 0}};
  const QByteArray hostileTail = QByteArray(64, 'x');
  for (const auto& c : cases) {
    for (const bool listsClaimAll : {false, true}) {
      SCOPED_TRACE(std::string(c.code) + (listsClaimAll ? " in lists claiming all" : ""));
      const auto list = [&](const char* type, const QByteArray& body) {
        return listsClaimAll ? Header("LIST", kHuge) + type + body : List(type, body);
      };
      const QByteArray hostile = Header(c.code, kHuge) + hostileTail;
      const QByteArray strl =
          list("strl", c.level == 2 ? StrlEndingIn(c.code, kHuge) : Chunk("strh", "h"));
      const QByteArray hdrl = list("hdrl", (c.level == 1 ? hostile : Chunk("avih", "1234")) + strl);
      const QByteArray body = hdrl + List("movi", Chunk("00db", "f0")) + (c.level ? "" : hostile);
      RiffFiles files;
      const QString path = WriteSparse(files, Header("RIFF", kHuge) + "AVI " + body);
      const TRIFF riff(path);
      TreeStats held;
      CheckTree(riff, kSparseSize, held);
      EXPECT_LE(held.bytes, 9 << 20);
      CheckScan(Local(path), kSparseSize);
      const auto layout = avifile::ScanRiff(Local(path));
      ASSERT_EQ(bool(layout), !listsClaimAll);  // a header list of gigabytes is refused
      if (layout && c.level == 2) {
        ASSERT_EQ(layout->streams.size(), 1u);
        // The hostile header keeps its first bytes, as many as its cap.
        EXPECT_EQ(layout->streams[0].strhData.size(), qstrcmp(c.code, "strh") ? 56u : 128u);
      }
    }
  }
}

// A recorder that reserved its file and stopped leaves zeros; read as chunks they were one
// object every 8 bytes, 200 million for this file. The scan refuses a file whose headers reach
// into such a hole, which FFmpeg would crawl through 8 bytes at a time before giving up.
TEST(RiffHostile, HoleEndsTheListThatHoldsIt) {
  const QByteArray hdrl = List("hdrl", Chunk("avih", "1234"));
  const QByteArray frame = Chunk("00db", "frame0");
  const struct {
    QByteArray body;
    std::size_t topLevel, framesInMovi;
    bool scanned;
  } cases[] = {{hdrl + Header("LIST", kHuge) + "movi" + frame, 2, 1, true},
               {hdrl, 1, 0, false},
               {Header("LIST", kHuge) + "hdrl" + Chunk("avih", "1234"), 1, 0, false}};
  for (const auto& c : cases) {
    RiffFiles files;
    const QString path = WriteSparse(files, Header("RIFF", kHuge) + "AVI " + c.body);
    const TRIFF riff(path);
    ASSERT_EQ(riff.Children.size(), c.topLevel);
    TRIFFChunk* movi = nullptr;
    EXPECT_EQ(riff.FindChild(ChunkCode("movi"), movi) ? movi->Children.size() : 0, c.framesInMovi);
    const auto layout = avifile::ScanRiff(Local(path));
    ASSERT_EQ(bool(layout), c.scanned);
    if (layout) {
      EXPECT_EQ(layout->topLevel.size(), c.topLevel);
    }
  }
}

// Real chunks, each of them cheap in the file but dear as an object or held buffer.
TEST(RiffHostile, FloodsOfChunksAreBoundedAndTheTopLevelIsStillFound) {
  RiffFiles files;
  QByteArray frames;
  for (int i = 0; i < 600000; ++i) frames += Header("00db", 0);
  QByteArray names;
  for (int i = 0; i < 5000; ++i) names += Chunk("strn", QByteArray(4096, 'n'));
  QByteArray top;
  for (int i = 0; i < 5000; ++i) top += Chunk("JUNK", "jj");
  const QByteArray bytes =
      Riff("AVI ", List("strl", names) + List("movi", frames) + Chunk("ttls", "text") + top);
  const QString path = files.Write(bytes);
  const TRIFF riff(path);
  TreeStats held;
  CheckTree(riff, bytes.size(), held);
  EXPECT_LE(held.bytes, 16 << 20);
  EXPECT_LT(held.chunks, 600000);
  ASSERT_GE(riff.Children.size(), 3u);
  EXPECT_EQ(riff.Children[2]->ID, ChunkCode("ttls"));
  EXPECT_LE(riff.Children.size(), 4096u);
  CheckScan(Local(path), bytes.size());
}

// A random tree of chunks: codes the readers treat specially, sizes true or hostile.
class TRandomRiff {
 public:
  explicit TRandomRiff(std::uint32_t seed) : rng_(seed) {}

  QByteArray File() {
    const QByteArray body = "AVI " + Children(0);
    return Header("RIFF", Size(std::uint32_t(body.size()))) + body;
  }
  bool Sparse() { return rng_() % 8 == 0; }

 private:
  QByteArray Children(int depth) {
    QByteArray out;
    for (int n = int(rng_() % 5); n > 0; --n) out += Child(depth);
    return out;
  }
  QByteArray Child(int depth) {
    static const char* kCodes[] = {"avih", "strh", "strf", "strn",      "idx1",
                                   "ttls", "00db", "JUNK", "\x90\x01XY"};
    if (depth < 4 && rng_() % (depth + 2) == 0) {
      // Mostly the list a real file has at that depth.
      static const char* kLists[] = {"hdrl", "movi", "strl", "odml"};
      const int at = std::min(2 * depth, 2) + int(rng_() % 2);
      const QByteArray body = kLists[rng_() % 8 ? at : rng_() % 4] + Children(depth + 1);
      return Header("LIST", Size(std::uint32_t(body.size()))) + body;
    }
    const QByteArray data(int(rng_() % 70), char(rng_()));
    const char* code = rng_() % 20 ? kCodes[rng_() % std::size(kCodes)] : "\0\0\0\0";
    return Header(code, Size(std::uint32_t(data.size()))) + data +
           QByteArray(rng_() % 2 ? data.size() & 1 : 0, '\0');
  }
  // Mostly the true size; else one that claims far more (or less) than is there.
  std::uint32_t Size(std::uint32_t truth) {
    static const std::uint32_t kHostile[] = {0,          1,           3,     4,          56,
                                             0x7FFFFFFF, 0x80000000u, kHuge, 0xFFFFFFFFu};
    return rng_() % 4 ? truth : kHostile[rng_() % std::size(kHostile)];
  }
  std::mt19937 rng_;
};

TEST(RiffHostile, RandomTreesAndSparseFilesParseWithinBounds) {
  RiffFiles files;
  TRandomRiff random(20240611);
  for (int i = 0; i < 5000; ++i) {
    SCOPED_TRACE(i);
    const QByteArray bytes = random.File();
    const bool sparse = random.Sparse();
    const QString path = sparse ? WriteSparse(files, bytes) : files.Write(bytes);
    const std::int64_t size = sparse ? kSparseSize : bytes.size();
    try {
      const TRIFF riff(path);
      TreeStats held;
      CheckTree(riff, size, held);
      ASSERT_LE(held.chunks, bytes.size() / 8 + 1);
    } catch (const Exception& e) {
      ADD_FAILURE() << e.what();
    }
    CheckScan(Local(path), size);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
