// Writing one top-level chunk of a RIFF file in place or at the end of the RIFF data.
#include <QFile>
#include <algorithm>
#include <cstring>
#include <limits>

#include "clip/RIFF.h"

namespace {

bool WriteAll(QFile& out, const void* data, std::int64_t n) {
  return out.write(static_cast<const char*>(data), n) == n;
}

bool WriteZeros(QFile& out, std::int64_t n) {
  static const char kZeros[4096] = {};
  while (n > 0) {
    const std::int64_t part = std::min<std::int64_t>(n, sizeof kZeros);
    if (!WriteAll(out, kZeros, part)) return false;
    n -= part;
  }
  return true;
}

bool WriteHeader(QFile& out, std::int64_t offset, FOURCC id, std::uint32_t size) {
  std::uint8_t header[8];
  for (int i = 0; i < 4; ++i) {
    header[i] = std::uint8_t(id >> (8 * i));
    header[4 + i] = std::uint8_t(size >> (8 * i));
  }
  return out.seek(offset) && WriteAll(out, header, 8);
}

// Room a chunk of `size` data bytes takes in its parent: header, data and pad byte.
std::int64_t Footprint(std::uint32_t size) {
  return (std::int64_t(size) + 8 + 1) & ~1LL;
}

}  // namespace

bool TRIFF::CanAppend(std::uint32_t size) const {
  // The new chunk must not overwrite what follows the RIFF data (further "AVIX" parts), and a
  // reader must find it where it lands: the chunks before it must fill the RIFF data exactly,
  // as they do in every valid file (not so when the last one claims more than the RIFF holds).
  const std::int64_t end = Position + Size;
  std::int64_t filled = Position + 4;
  if (!Children.empty()) {
    const TRIFFChunk& last = *Children.back();
    filled = last.Position + last.Size + (last.Size & 1);
  }
  return filled == end && file_.size() <= end &&
         std::int64_t(Size) + Footprint(size) <= std::numeric_limits<std::uint32_t>::max();
}

TRIFFChunk* TRIFF::Append(FOURCC code, const void* buffer, std::uint32_t size) {
  auto chunk = std::make_unique<TRIFFChunk>();
  chunk->ID = code;
  chunk->Size = size;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  chunk->Data.emplace(bytes, bytes + size);
  chunk->Parent = this;
  chunk->Position = Position + Size + 8;
  chunk->grown = true;
  for (TRIFFChunk* p = this; p; p = p->Parent) {
    p->Size += std::uint32_t(Footprint(size));
    p->grown = true;
  }
  Children.push_back(std::move(chunk));
  return Children.back().get();
}

bool TRIFF::WriteChunk(FOURCC code, const void* buffer, std::uint32_t size) {
  if (!riff_ || (!buffer && size > 0)) return false;
  TRIFFChunk* chunk = nullptr;
  bool appended = false;
  if (FindChild(code, chunk)) {
    if (chunk->List || chunk->Position + chunk->Size > Position + Size) return false;
  } else {
    if (!CanAppend(size)) return false;
    chunk = Append(code, buffer, size);
    appended = true;
  }
  QFile out(fileName_);
  if (!out.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) return false;
  // The chunk keeps its stored size: never read past the caller's buffer, zero the rest.
  const std::uint32_t given = std::min(chunk->Size, size);
  bool ok = WriteHeader(out, chunk->Position - 8, chunk->ID, chunk->Size) &&
            WriteAll(out, buffer, given) && WriteZeros(out, chunk->Size - given);
  if (ok && appended && (chunk->Size & 1)) ok = WriteZeros(out, 1);
  if (ok && grown) ok = WriteHeader(out, Position - 8, ChunkCode("RIFF"), Size);
  out.close();
  return ok && out.error() == QFileDevice::NoError;
}
