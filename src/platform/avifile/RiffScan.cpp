#include "platform/avifile/RiffScan.h"

#include <algorithm>
#include <cstring>

namespace avifile {

namespace {

constexpr FOURCC kRiff = MakeFourCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = MakeFourCC('L', 'I', 'S', 'T');
// Stream headers, formats, names and the OpenDML super indexes that writers reserve take a
// few kilobytes a stream; padding of a megabyte or so is seen.
constexpr DWORD kMaxHeaderList = 16u << 20;

DWORD Le32(const BYTE* p) {
  return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

class Reader {
 public:
  Reader(std::FILE* f, std::int64_t size) : f_(f), size_(size) {}

  // Reads a chunk header at pos; false when fewer than 8 (12 for lists) bytes remain.
  bool header(std::int64_t pos, ChunkRef& chunk) {
    BYTE head[12];
    if (pos + 8 > size_ || !readAt(pos, head, 8)) return false;
    chunk.id = Le32(head);
    chunk.size = Le32(head + 4);
    chunk.dataOffset = pos + 8;
    chunk.listType = 0;
    if (chunk.id == kList || chunk.id == kRiff) {
      if (pos + 12 > size_ || !readAt(pos + 8, head + 8, 4)) return false;
      chunk.listType = Le32(head + 8);
    }
    chunk.available = DWORD(std::clamp<std::int64_t>(size_ - chunk.dataOffset, 0, chunk.size));
    return true;
  }

  std::vector<BYTE> data(const ChunkRef& chunk) {
    std::vector<BYTE> bytes(std::min(chunk.available, HeldDataCap(chunk.id)));
    if (!bytes.empty() && !readAt(chunk.dataOffset, bytes.data(), bytes.size())) bytes.clear();
    return bytes;
  }

  bool readAt(std::int64_t pos, void* buffer, std::size_t n) {
    return fseeko(f_, pos, SEEK_SET) == 0 && std::fread(buffer, 1, n, f_) == n;
  }

  std::int64_t size() const { return size_; }

 private:
  std::FILE* f_;
  std::int64_t size_;
};

std::int64_t NextChunk(const ChunkRef& c) {
  return c.dataOffset + std::int64_t(c.size) + (c.size & 1);
}

// Visits the children of a list whose data spans [begin, end), at most kMaxListChildren of
// them: a hostile file of 8-byte chunks must not cost a read for every 8 bytes.
template <typename Visit>
void ForEachChild(Reader& r, std::int64_t begin, std::int64_t end, Visit visit) {
  ChunkRef c;
  int children = 0;
  for (std::int64_t pos = begin; pos + 8 <= end && children < kMaxListChildren && r.header(pos, c);
       pos = NextChunk(c), ++children) {
    if (c.id == 0 && c.size == 0) return;  // zeros from here on, not chunks
    visit(c);
  }
}

void ScanStrl(Reader& r, const ChunkRef& strl, StreamHeaders& s) {
  ForEachChild(r, strl.dataOffset + 4, strl.dataOffset + strl.available, [&](const ChunkRef& c) {
    if (c.id == MakeFourCC('s', 't', 'r', 'h') && !s.strh.id) {
      s.strh = c;
      s.strhData = r.data(c);
    } else if (c.id == MakeFourCC('s', 't', 'r', 'f') && !s.strf.id) {
      s.strf = c;
      s.strfData = r.data(c);
    } else if (c.id == MakeFourCC('s', 't', 'r', 'n') && !s.strn.id) {
      s.strn = c;
      s.strnData = r.data(c);
    }
  });
}

void ScanHdrl(Reader& r, const ChunkRef& hdrl, RiffLayout& layout) {
  ForEachChild(r, hdrl.dataOffset + 4, hdrl.dataOffset + hdrl.available, [&](const ChunkRef& c) {
    if (c.id == MakeFourCC('a', 'v', 'i', 'h') && !layout.avih.id) {
      layout.avih = c;
      layout.avihData = r.data(c);
    } else if (c.id == kList && c.listType == MakeFourCC('s', 't', 'r', 'l') &&
               layout.streams.size() < kMaxStreams) {
      ScanStrl(r, c, layout.streams.emplace_back());
    }
  });
}

}  // namespace

std::uint32_t HeldDataCap(FOURCC id) {
  constexpr std::uint32_t kPalette = 256 * 4;
  switch (id) {
    case MakeFourCC('a', 'v', 'i', 'h'):
    case MakeFourCC('s', 't', 'r', 'h'):
      return 128;  // 56 bytes; some writers add a few
    case MakeFourCC('s', 't', 'r', 'f'):
      return 4096 + kPalette;  // bitmap or wave header, codec data, palette
    case MakeFourCC('s', 't', 'r', 'n'):
      return 4096;
    case MakeFourCC('t', 't', 'l', 's'):
      return 8192;  // descriptor text is stored in 2048 bytes
    case MakeFourCC('i', 'd', 'x', '1'):
      return 8u << 20;  // 16 bytes a frame: half a million frames
    default:
      return 0;
  }
}

FilePtr OpenFile(const std::string& path, const char* mode) {
  return FilePtr(std::fopen(path.c_str(), mode));
}

FOURCC StreamHeaders::type() const {
  return strhData.size() >= 4 ? Le32(strhData.data()) : 0;
}

AVIStreamHeader StreamHeaders::header() const {
  return RecordFrom<AVIStreamHeader>(strhData);
}

const ChunkRef* RiffLayout::findTopLevel(FOURCC id) const {
  for (const ChunkRef& c : topLevel)
    if (c.id == id && c.id != kList) return &c;
  return nullptr;
}

std::optional<RiffLayout> ScanRiff(const std::string& path) {
  FilePtr f = OpenFile(path, "rb");
  if (!f || fseeko(f.get(), 0, SEEK_END) != 0) return std::nullopt;
  Reader r(f.get(), ftello(f.get()));
  ChunkRef riff;
  if (!r.header(0, riff) || riff.id != kRiff || riff.listType != MakeFourCC('A', 'V', 'I', ' '))
    return std::nullopt;
  RiffLayout layout;
  layout.fileSize = r.size();
  layout.riffSize = riff.size;
  bool movi = false, hugeHeaders = false;
  // A recorder that stopped before closing the file leaves the RIFF size at 0: its chunks run
  // to the end of the file.
  const std::int64_t riffEnd = riff.size == 0 ? r.size() : riff.dataOffset + riff.available;
  ForEachChild(r, riff.dataOffset + 4, riffEnd, [&](const ChunkRef& c) {
    layout.topLevel.push_back(c);
    if (c.id == kList && c.listType == MakeFourCC('h', 'd', 'r', 'l')) {
      hugeHeaders = hugeHeaders || c.size > kMaxHeaderList;
      ScanHdrl(r, c, layout);
    }
    movi = movi || (c.id == kList && c.listType == MakeFourCC('m', 'o', 'v', 'i'));
    if (c.id == MakeFourCC('i', 'd', 'x', '1')) layout.hasIdx1 = true;
  });
  // FFmpeg walks headers byte run by byte run up to "movi": a header list of gigabytes, or a
  // hole before "movi", would keep it reading for minutes. It needs "movi" anyway.
  if (!movi || hugeHeaders) return std::nullopt;
  return layout;
}

std::size_t ReadChunkData(const std::string& path, const ChunkRef& chunk, void* buffer,
                          std::size_t size) {
  FilePtr f = OpenFile(path, "rb");
  const std::size_t n = std::min<std::size_t>(size, chunk.available);
  if (!f || n == 0 || fseeko(f.get(), chunk.dataOffset, SEEK_SET) != 0) return 0;
  return std::fread(buffer, 1, n, f.get());
}

}  // namespace avifile
