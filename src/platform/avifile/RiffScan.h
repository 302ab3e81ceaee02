#pragma once

// Byte-level view of an AVI file's RIFF layout: the top-level chunks of the first RIFF and the
// stream headers of "hdrl". FFmpeg hides these (the "strh" handler, chunks it does not know),
// so the AVI library reads them itself. Offsets are 64-bit file positions of chunk data.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/avifile/AviTypes.h"

namespace avifile {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// mode as for fopen; null when the file cannot be opened.
FilePtr OpenFile(const std::string& path, const char* mode);

struct ChunkRef {
  FOURCC id = 0;                // chunk code; "LIST" for lists
  FOURCC listType = 0;          // for lists: "hdrl", "movi", ...
  std::int64_t dataOffset = 0;  // first byte after the 8-byte header
  DWORD size = 0;               // as stored (lists include their 4-byte type)
  DWORD available = 0;          // bytes of data actually inside the file
};

struct StreamHeaders {
  ChunkRef strh, strf, strn;  // id 0 when absent
  std::vector<BYTE> strhData, strfData, strnData;
  FOURCC type() const;             // fccType from strh; 0 when strh is absent
  AVIStreamHeader header() const;  // zero-filled where strh is short
};

struct RiffLayout {
  std::int64_t fileSize = 0;
  DWORD riffSize = 0;              // as stored in the header
  std::vector<ChunkRef> topLevel;  // direct children of the first RIFF, in file order
  ChunkRef avih;
  std::vector<BYTE> avihData;
  std::vector<StreamHeaders> streams;  // one per "strl", in order
  bool hasIdx1 = false;

  const ChunkRef* findTopLevel(FOURCC id) const;  // first plain chunk (not a list) with id
};

// Copies the first bytes of `data` into `record`, zero-filling what `data` lacks.
template <typename Record>
Record RecordFrom(const std::vector<BYTE>& data) {
  Record record{};
  if (!data.empty()) std::memcpy(&record, data.data(), std::min(data.size(), sizeof record));
  return record;
}

// The most bytes of a chunk's data that a reader of this layout holds in memory, by chunk code;
// 0 for codes whose data is never held. A stored size is only a claim (0xFFFFFFF0 in a hostile
// file), so a chunk larger than its cap is held up to the cap: its first bytes, which carry
// every field that is read.
std::uint32_t HeldDataCap(FOURCC id);

// Walks no list past this many children and keeps at most kMaxStreams stream headers: AVI
// numbers its streams with two digits, and a real "hdrl" or top level has a few dozen chunks.
constexpr int kMaxListChildren = 4096;
constexpr std::size_t kMaxStreams = 100;

// Parses the first "RIFF" "AVI " of the file; nullopt when the file cannot be read, is not an
// AVI RIFF, has no "movi" list among the top-level chunks walked, or a "hdrl" list over 16 MB.
// A truncated file keeps what it has; a header of eight zero bytes (a hole left by a recorder
// that reserved the file) ends the list that holds it.
std::optional<RiffLayout> ScanRiff(const std::string& path);

// Copies up to size bytes of a chunk's data; returns the number of bytes copied.
std::size_t ReadChunkData(const std::string& path, const ChunkRef& chunk, void* buffer,
                          std::size_t size);

}  // namespace avifile
