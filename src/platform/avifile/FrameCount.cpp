#include "platform/avifile/FrameCount.h"

#include <vector>

namespace avifile {

namespace {

constexpr FOURCC kList = MakeFourCC('L', 'I', 'S', 'T');
constexpr std::size_t kIndexEntry = 16;  // ckid, flags, offset, size

DWORD Le32(const BYTE* p) {
  return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

// FFmpeg reads the two digits in decimal; a stream numbered 100 or more has no chunks.
bool IsFrameChunk(FOURCC id, std::size_t strl) {
  const char c[4] = {char(id), char(id >> 8), char(id >> 16), char(id >> 24)};
  return strl < 100 && c[0] == char('0' + strl / 10) && c[1] == char('0' + strl % 10) &&
         !(c[2] == 'p' && c[3] == 'c');
}

void Count(ChunkTally& tally, DWORD size) {
  if (size == 0 && tally.chunks == tally.leadingEmpty) ++tally.leadingEmpty;
  ++tally.chunks;
}

const ChunkRef* FindMovi(const RiffLayout& layout) {
  for (const ChunkRef& c : layout.topLevel)
    if (c.id == kList && c.listType == MakeFourCC('m', 'o', 'v', 'i')) return &c;
  return nullptr;
}

}  // namespace

ChunkTally TallyIndex(const std::string& path, const RiffLayout& layout, std::size_t strl) {
  ChunkTally tally;
  const ChunkRef* idx1 = layout.findTopLevel(MakeFourCC('i', 'd', 'x', '1'));
  FilePtr f = idx1 ? OpenFile(path, "rb") : nullptr;
  if (!f || fseeko(f.get(), idx1->dataOffset, SEEK_SET) != 0) return tally;
  std::vector<BYTE> block(kIndexEntry * 4096);
  for (std::size_t left = idx1->available / kIndexEntry * kIndexEntry; left > 0;) {
    const std::size_t n = std::fread(block.data(), 1, std::min(left, block.size()), f.get());
    if (n < kIndexEntry) break;
    for (std::size_t at = 0; at + kIndexEntry <= n; at += kIndexEntry)
      if (IsFrameChunk(Le32(&block[at]), strl)) Count(tally, Le32(&block[at + 12]));
    left -= n / kIndexEntry * kIndexEntry;
    if (n % kIndexEntry) break;
  }
  return tally;
}

ChunkTally TallyMovi(const std::string& path, const RiffLayout& layout, std::size_t strl) {
  ChunkTally tally;
  const ChunkRef* movi = FindMovi(layout);
  FilePtr f = movi ? OpenFile(path, "rb") : nullptr;
  if (!f) return tally;
  const bool sized = movi->size >= 4 && movi->available == movi->size;
  const std::int64_t end = sized ? movi->dataOffset + movi->size : layout.fileSize;
  for (std::int64_t pos = movi->dataOffset + 4; pos + 8 <= end;) {
    BYTE head[8];
    if (fseeko(f.get(), pos, SEEK_SET) != 0 || std::fread(head, 1, 8, f.get()) != 8) break;
    const FOURCC id = Le32(head);
    const DWORD size = Le32(head + 4);
    if (id == kList && size >= 4) {  // "rec " groups: their chunks count like any other
      pos += 12;
      continue;
    }
    const std::int64_t next = pos + 8 + std::int64_t(size);
    if (next > layout.fileSize) break;
    if (IsFrameChunk(id, strl)) Count(tally, size);
    pos = next + (size & 1);
  }
  return tally;
}

}  // namespace avifile
