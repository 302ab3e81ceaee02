#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/avifile/AviTypes.h"

// A chunk code as stored in the file: the first character is the lowest byte.
constexpr FOURCC ChunkCode(const char (&code)[5]) {
  return MakeFourCC(code[0], code[1], code[2], code[3]);
}

// One chunk of a RIFF file. Positions are file offsets in bytes; they are 64-bit so that a
// chunk past 2 GB is never written at a wrapped offset.
class TRIFFChunk {
 public:
  TRIFFChunk() = default;
  TRIFFChunk(const TRIFFChunk&) = delete;
  TRIFFChunk& operator=(const TRIFFChunk&) = delete;

  // The chunk code; for "RIFF" and "LIST" chunks the form or list type; four blanks for a
  // top-level chunk that is neither.
  FOURCC ID = ChunkCode("    ");
  // Offset of the chunk's data, just past its 8-byte header; -1 until a new chunk is placed.
  std::int64_t Position = -1;
  // The data size stored in the header (for "RIFF" and "LIST" it includes the type).
  std::uint32_t Size = 0;
  // The data when it was loaded: what the file holds of it, which is less than Size when the
  // chunk runs past the end of its parent or of the file, or claims more than its kind's cap.
  std::optional<std::vector<std::uint8_t>> Data;
  TRIFFChunk* Parent = nullptr;
  std::vector<std::unique_ptr<TRIFFChunk>> Children;
  // The size grew in memory and the header must be rewritten.
  bool grown = false;
  // A "RIFF" or "LIST" chunk whose type was read; its children follow the type.
  bool List = false;

  // The first direct child whose ID equals code; chunk is null when there is none.
  bool FindChild(FOURCC code, TRIFFChunk*& chunk) const;
};
