#include "clip/RIFF.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstring>

#include "clip/RIFFReader.h"
#include "platform/Exception.h"
#include "platform/FileCheck.h"

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

bool LoadsData(FOURCC id, std::uint32_t size) {
  static constexpr std::array kHeaderChunks = {ChunkCode("avih"), ChunkCode("strh"),
                                               ChunkCode("strf"), ChunkCode("strn"),
                                               ChunkCode("idx1"), ChunkCode("ttls")};
  return size == 4 ||
         std::find(kHeaderChunks.begin(), kHeaderChunks.end(), id) != kHeaderChunks.end();
}

void ParseChildren(TRIFFReader& in, TRIFFChunk& parent, std::int64_t limit, int depth);

// Parses the chunk whose header starts at the reader's position; every byte it takes lies
// below limit (the end of its parent, never past the end of the file). Leaves the reader at
// the next sibling. Null when the header cannot be read.
std::unique_ptr<TRIFFChunk> ParseChunk(TRIFFReader& in, TRIFFChunk& parent, std::int64_t limit,
                                       int depth) {
  std::uint8_t header[8];
  if (!in.Read(header, 8)) return nullptr;
  auto chunk = std::make_unique<TRIFFChunk>();
  chunk->Parent = &parent;
  chunk->ID = LittleEndian32(header);
  chunk->Size = LittleEndian32(header + 4);
  chunk->Position = in.Pos();
  const std::int64_t end = std::min(chunk->Position + chunk->Size, limit);
  std::int64_t next = std::min(end + (chunk->Size & 1), limit);
  if ((chunk->ID == kRIFF || chunk->ID == kLIST) && depth < kMaxDepth &&
      chunk->Position + 4 <= limit) {
    std::uint8_t type[4];
    if (in.Read(type, 4)) {
      chunk->ID = LittleEndian32(type);
      chunk->List = true;
      ParseChildren(in, *chunk, end, depth + 1);
      next = std::max(next, chunk->Position + 4);
    }
  } else if (LoadsData(chunk->ID, chunk->Size)) {
    const std::int64_t held = end - chunk->Position;
    std::vector<std::uint8_t> data(std::size_t(std::max<std::int64_t>(held, 0)));
    if (in.Read(data.data(), std::int64_t(data.size()))) chunk->Data = std::move(data);
  }
  in.Seek(next);
  return chunk;
}

void ParseChildren(TRIFFReader& in, TRIFFChunk& parent, std::int64_t limit, int depth) {
  // Every child takes at least its 8-byte header, so the walk ends.
  while (in.Pos() + 8 <= limit) {
    auto child = ParseChunk(in, parent, limit, depth);
    if (!child) return;
    parent.Children.push_back(std::move(child));
  }
}

}  // namespace

TRIFF::TRIFF(const QString& fileName) : file_(fileName), fileName_(fileName) {
  RefuseSpecialFile(fileName);  // a FIFO would block the open until some writer came
  if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    throw Exception(QStringLiteral("Cannot open file \"%1\". %2")
                        .arg(QFileInfo(fileName).absoluteFilePath(), file_.errorString()));
  Parse();
}

void TRIFF::Parse() {
  TRIFFReader in(file_);
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
  ParseChildren(in, *this, end, 1);
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
