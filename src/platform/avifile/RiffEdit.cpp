#include "platform/avifile/RiffEdit.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/avifile/RiffScan.h"

namespace avifile {

namespace {

bool WriteAt(const std::string& path, std::int64_t offset, const void* data, std::size_t size) {
  FilePtr f = OpenFile(path, "r+b");
  return f && fseeko(f.get(), offset, SEEK_SET) == 0 &&
         std::fwrite(data, 1, size, f.get()) == size && std::fflush(f.get()) == 0;
}

bool WriteDword(const std::string& path, std::int64_t offset, DWORD value) {
  const BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
  return WriteAt(path, offset, bytes, 4);
}

const StreamHeaders* Stream(const std::optional<RiffLayout>& layout, int stream) {
  if (!layout || stream < 0 || std::size_t(stream) >= layout->streams.size()) return nullptr;
  return &layout->streams[std::size_t(stream)];
}

}  // namespace

bool AppendRiffChunk(const std::string& path, FOURCC id, const void* data, DWORD size, bool pad) {
  const std::optional<RiffLayout> layout = ScanRiff(path);
  if (!layout) return false;
  std::vector<BYTE> file(std::size_t(layout->fileSize));
  {
    FilePtr f = OpenFile(path, "rb");
    if (!f || std::fread(file.data(), 1, file.size(), f.get()) != file.size()) return false;
  }
  const std::size_t end = std::min<std::size_t>(8 + std::size_t(layout->riffSize), file.size());
  std::vector<BYTE> chunk(8 + size + (pad ? size & 1 : 0), 0);
  const DWORD header[2] = {id, size};
  std::memcpy(chunk.data(), header, 8);
  if (size) std::memcpy(chunk.data() + 8, data, size);
  file.insert(file.begin() + std::ptrdiff_t(end), chunk.begin(), chunk.end());
  const DWORD riffSize = DWORD(end - 8 + chunk.size());
  std::memcpy(file.data() + 4, &riffSize, 4);
  FilePtr f = OpenFile(path, "wb");
  return f && std::fwrite(file.data(), 1, file.size(), f.get()) == file.size();
}

bool SetRiffSize(const std::string& path, DWORD size) {
  return ScanRiff(path) && WriteDword(path, 4, size);
}

bool TruncateFile(const std::string& path, std::int64_t size) {
  std::error_code error;
  std::filesystem::resize_file(path, std::uintmax_t(size), error);
  return !error;
}

bool RenameTopLevelChunk(const std::string& path, FOURCC from, FOURCC to) {
  const std::optional<RiffLayout> layout = ScanRiff(path);
  const ChunkRef* chunk = layout ? layout->findTopLevel(from) : nullptr;
  return chunk && WriteDword(path, chunk->dataOffset - 8, to);
}

bool PatchStreamRate(const std::string& path, int stream, DWORD rate, DWORD scale) {
  const std::optional<RiffLayout> layout = ScanRiff(path);
  const StreamHeaders* s = Stream(layout, stream);
  if (!s || s->strh.available < offsetof(AVIStreamHeader, dwRate) + 4 || rate == 0) return false;
  const std::int64_t at = s->strh.dataOffset;
  if (!WriteDword(path, at + offsetof(AVIStreamHeader, dwScale), scale) ||
      !WriteDword(path, at + offsetof(AVIStreamHeader, dwRate), rate))
    return false;
  if (stream != 0 || layout->avih.available < 4) return true;
  const double microseconds = std::round(1e6 * double(scale) / double(rate));
  return WriteDword(path, layout->avih.dataOffset, DWORD(std::min(microseconds, 4294967295.0)));
}

bool PatchStreamHandler(const std::string& path, int stream, FOURCC handler) {
  const std::optional<RiffLayout> layout = ScanRiff(path);
  const StreamHeaders* s = Stream(layout, stream);
  return s && s->strh.available >= 8 &&
         WriteDword(path, s->strh.dataOffset + offsetof(AVIStreamHeader, fccHandler), handler);
}

bool PatchStreamHeaderField(const std::string& path, int stream, std::size_t offset, DWORD value) {
  const std::optional<RiffLayout> layout = ScanRiff(path);
  const StreamHeaders* s = Stream(layout, stream);
  return s && s->strh.available >= offset + 4 &&
         WriteDword(path, s->strh.dataOffset + std::int64_t(offset), value);
}

bool PatchStreamFormatSize(const std::string& path, int stream, LONG width, LONG height) {
  const std::optional<RiffLayout> layout = ScanRiff(path);
  const StreamHeaders* s = Stream(layout, stream);
  return s && s->strf.available >= 12 && WriteDword(path, s->strf.dataOffset + 4, DWORD(width)) &&
         WriteDword(path, s->strf.dataOffset + 8, DWORD(height));
}

bool PatchStreamPalette(const std::string& path, int stream, const RGBQUAD* palette, int entries) {
  const std::optional<RiffLayout> layout = ScanRiff(path);
  const StreamHeaders* s = Stream(layout, stream);
  const std::size_t bytes = 4 * std::size_t(entries);
  return s && entries > 0 && s->strf.available >= 40 + bytes &&
         WriteAt(path, s->strf.dataOffset + 40, palette, bytes);
}

}  // namespace avifile
