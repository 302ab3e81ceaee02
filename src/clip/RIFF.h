#pragma once

#include <QFile>
#include <QString>
#include <cstdint>

#include "clip/RIFFChunk.h"

// A RIFF file parsed into a tree of chunks; the object is the top-level chunk itself. The data
// of the small header chunks ("avih", "strh", "strf", "strn", "idx1", "ttls" and every 4-byte
// chunk) is held in memory; frame data and other large chunks are skipped, never read.
// Parsing stops at the end of the first top-level chunk, so further "RIFF" "AVIX" parts of a
// large AVI file are not part of the tree. The tree is not refreshed after WriteChunk.
class TRIFF : public TRIFFChunk {
 public:
  // Opens the file for reading, keeps it open and parses it. A file that cannot be opened
  // raises Exception with the system's message. A file that is not RIFF gives ID "    " and
  // no children; a malformed file gives the chunks that could be made out.
  explicit TRIFF(const QString& fileName);

  // Searches the top-level children from the last down to the second (the first is never
  // examined) for a chunk of 4 data bytes, all present in the file, whose ID's first byte is at
  // least smallestFirstByte and whose second byte is 1.
  bool FindMarkerChunk(std::uint8_t smallestFirstByte, TRIFFChunk*& chunk) const;

  // Writes a top-level chunk: in place over an existing chunk with that code, taking its stored
  // size (a shorter buffer is followed by zero bytes), or appended at the end of the RIFF data,
  // growing the RIFF size. Refuses (false, file untouched) when the file is not RIFF, when the
  // existing chunk is a list or reaches past the RIFF data, or, for an append, when the file
  // goes on after the RIFF data (further "AVIX" parts would be overwritten) or the RIFF data
  // is not a whole run of chunks. True when every write completed; a failed write may have
  // changed the file already.
  bool WriteChunk(FOURCC code, const void* buffer, std::uint32_t size);

  const QString& FileName() const { return fileName_; }

 private:
  void Parse();
  bool CanAppend(std::uint32_t size) const;
  TRIFFChunk* Append(FOURCC code, const void* buffer, std::uint32_t size);

  QFile file_;
  QString fileName_;
  bool riff_ = false;  // the file starts with a "RIFF" header
};
