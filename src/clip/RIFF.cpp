#include "clip/RIFF.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

#include "clip/RIFFReader.h"
#include "platform/Exception.h"
#include "platform/FileCheck.h"
#include "platform/avifile/RiffScan.h"

namespace {

constexpr FOURCC kRIFF = ChunkCode("RIFF");
constexpr FOURCC kLIST = ChunkCode("LIST");
// Real files nest lists four deep; a deeper list is kept as a chunk without children, so that
// a crafted file cannot exhaust the stack here or in the destructors.
constexpr int kMaxDepth = 32;

std::uint32_t LittleEndian32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

// The most data bytes held for a chunk: a 4-byte chunk whole, header chunks up to their kind's
// cap (the stored size is only a claim), nothing of any other chunk.
std::uint32_t HeldCap(FOURCC id, std::uint32_t size) {
  return size == 4 ? 4 : avifile::HeldDataCap(id);
}

// One parse of a tree. A hostile file can claim anything, so the walk bounds what it keeps: at
// most kMaxNestedChunks chunk objects inside lists (a long clip's frame chunks beyond it are
// left out; the top level keeps its own budget so "idx1" and "ttls" after "movi" are still
// found), and kMaxHeldBytes of data in all.
class TTreeWalk {
 public:
  explicit TTreeWalk(QFile& file) : in_(file) {}
  TRIFFReader& In() { return in_; }

  // Appends the chunks that lie in [reader position, limit) to parent.
  void ParseChildren(TRIFFChunk& parent, std::int64_t limit, int depth) {
    std::int64_t& budget = depth == 1 ? topChunksLeft_ : nestedChunksLeft_;
    // Every child takes at least its 8-byte header, so the walk ends.
    while (in_.Pos() + 8 <= limit && budget > 0) {
      auto child = ParseChunk(parent, limit, depth);
      if (!child) return;
      parent.Children.push_back(std::move(child));
      --budget;
    }
  }

 private:
  static constexpr std::int64_t kMaxNestedChunks = 1 << 19;
  static constexpr std::int64_t kMaxTopLevelChunks = 4096;
  static constexpr std::int64_t kMaxHeldBytes = 16 << 20;

  // Parses the chunk whose header starts at the reader's position; every byte it takes lies
  // below limit (the end of its parent, never past the end of the file). Leaves the reader at
  // the next sibling. Null when the header cannot be read or is all zeros: a hole left by a
  // recorder that reserved the file, which would otherwise read as a chunk every 8 bytes.
  std::unique_ptr<TRIFFChunk> ParseChunk(TRIFFChunk& parent, std::int64_t limit, int depth) {
    std::uint8_t header[8];
    if (!in_.Read(header, 8) || std::all_of(header, header + 8, [](auto b) { return b == 0; }))
      return nullptr;
    auto chunk = std::make_unique<TRIFFChunk>();
    chunk->Parent = &parent;
    chunk->ID = LittleEndian32(header);
    chunk->Size = LittleEndian32(header + 4);
    chunk->Position = in_.Pos();
    const std::int64_t end = std::min(chunk->Position + chunk->Size, limit);
    std::int64_t next = std::min(end + (chunk->Size & 1), limit);
    if ((chunk->ID == kRIFF || chunk->ID == kLIST) && depth < kMaxDepth &&
        chunk->Position + 4 <= limit) {
      std::uint8_t type[4];
      if (in_.Read(type, 4)) {
        chunk->ID = LittleEndian32(type);
        chunk->List = true;
        ParseChildren(*chunk, end, depth + 1);
        next = std::max(next, chunk->Position + 4);
      }
    } else {
      LoadData(*chunk, end);
    }
    in_.Seek(next);
    return chunk;
  }

  // Holds what the file has of the chunk's data up to its cap, while the budget lasts.
  void LoadData(TRIFFChunk& chunk, std::int64_t end) {
    const std::int64_t inFile = std::max<std::int64_t>(end - chunk.Position, 0);
    const std::uint32_t cap = HeldCap(chunk.ID, chunk.Size);
    const std::int64_t held = std::min<std::int64_t>(inFile, cap);
    if (cap == 0 || held > heldBytesLeft_) return;
    std::vector<std::uint8_t> data(std::size_t(held), 0);
    if (!in_.Read(data.data(), held)) return;
    chunk.Data = std::move(data);
    heldBytesLeft_ -= held;
  }

  TRIFFReader in_;
  std::int64_t nestedChunksLeft_ = kMaxNestedChunks;
  std::int64_t topChunksLeft_ = kMaxTopLevelChunks;
  std::int64_t heldBytesLeft_ = kMaxHeldBytes;
};

}  // namespace

TRIFF::TRIFF(const QString& fileName) : file_(fileName), fileName_(fileName) {
  RefuseSpecialFile(fileName);  // a FIFO would block the open until some writer came
  if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    throw Exception(QStringLiteral("Cannot open file \"%1\". %2")
                        .arg(QFileInfo(fileName).absoluteFilePath(), file_.errorString()));
  Parse();
}

void TRIFF::Parse() {
  TTreeWalk walk(file_);
  TRIFFReader& in = walk.In();
  std::uint8_t header[12];
  Position = 8;
  if (!in.Read(header, 12)) return;
  const FOURCC code = LittleEndian32(header);
  if (code != kRIFF && code != kLIST) return;
  riff_ = code == kRIFF;
  List = true;
  ID = LittleEndian32(header + 8);
  Size = LittleEndian32(header + 4);
  const std::int64_t end = std::min<std::int64_t>(Position + Size, in.Size());
  walk.ParseChildren(*this, end, 1);
  // A truncated file keeps what it has.
  if (Position + Size > in.Size()) Size = std::uint32_t(in.Size() - Position);
}

bool TRIFF::FindMarkerChunk(std::uint8_t smallestFirstByte, TRIFFChunk*& chunk) const {
  for (std::size_t i = Children.size(); i-- > 1;) {
    TRIFFChunk* c = Children[i].get();
    const std::uint8_t first = c->ID & 0xFF;
    const std::uint8_t second = (c->ID >> 8) & 0xFF;
    if (c->Size == 4 && c->Data && c->Data->size() == 4 && first >= smallestFirstByte &&
        second == 1) {
      chunk = c;
      return true;
    }
  }
  chunk = nullptr;
  return false;
}
