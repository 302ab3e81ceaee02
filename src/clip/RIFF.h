#pragma once

#include <QFile>
#include <QString>
#include <cstdint>

#include "clip/RIFFChunk.h"

// Why a write into a file failed.
enum class TWriteFailure {
  None,
  NoSuchFile,
  Folder,
  NotAFile,          // a pipe, a device or a socket
  PermissionDenied,  // the file cannot be opened for writing
  CannotOpen,        // ... for another reason
  NotRiff,
  MultiPart,  // further RIFF parts follow the first, which cannot grow
  Damaged,    // the chunk layout cannot safely take the write
  TooLong,    // the data does not fit where it must go
  DiskFull,   // a write came short (disk full or an input/output error)
};

// The reason in words for a message, lower case: "no such file", "disk full", ...
QString WriteFailureText(TWriteFailure failure);
// Why a file that could not be opened could not be: missing, a folder, not a regular file,
// not writable, else CannotOpen.
TWriteFailure OpenFailureOf(const QString& fileName);

// A RIFF file parsed into a tree of chunks; the object is the top-level chunk itself. The data
// of the small header chunks ("avih", "strh", "strf", "strn", "idx1", "ttls" and every 4-byte
// chunk) is held in memory, each up to the cap of its kind (avifile::HeldDataCap), so a stored
// size of gigabytes costs no more than a real header; frame data and other large chunks are
// skipped, never read. A hostile file is bounded further: half a million chunks inside lists,
// 4096 at the top level, 16 MB of held data, 32 levels of lists; a header of eight zero bytes
// ends its list. Parsing stops at the end of the first top-level chunk, so further "RIFF"
// "AVIX" parts of a large AVI file are not part of the tree. The tree is not refreshed after
// WriteChunk.
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

  // Writes a top-level chunk of exactly `size` bytes from buffer, so that a fresh parse finds
  // them as the first chunk with that code:
  // - over the first chunk with that code when its stored size is `size`;
  // - over it, when it is larger by at least a header, with the rest of its room turned into a
  //   "JUNK" chunk (neither the RIFF size nor what follows changes);
  // - otherwise appended at the end of the RIFF data, growing the RIFF size, after which every
  //   older chunk with that code becomes "JUNK" of its own size.
  // Refuses (false, file untouched) when the file is not RIFF, when an existing chunk with the
  // code is a list or reaches past the RIFF data, or, for an append, when the file goes on after
  // the RIFF data (further "AVIX" parts would be overwritten), the RIFF data is not a whole run
  // of chunks, or it would pass 4 GB. A write that fails part way cuts the file back to its
  // length and puts back what it overwrote. why, when given, tells the reason (None on success).
  bool WriteChunk(FOURCC code, const void* buffer, std::uint32_t size,
                  TWriteFailure* why = nullptr);

  const QString& FileName() const { return fileName_; }

 private:
  void Parse();
  struct TWritePlan;
  TWriteFailure PlanWrite(FOURCC code, const std::uint8_t* bytes, std::uint32_t size,
                          TWritePlan& plan);
  TWriteFailure PlanAppend(FOURCC code, const std::uint8_t* bytes, std::uint32_t size,
                           TWritePlan& plan);
  TWriteFailure AppendFailure(std::uint32_t size) const;
  bool HoldsWhole(const TRIFFChunk& chunk, std::int64_t room) const;
  TRIFFChunk* Append(FOURCC code, const void* buffer, std::uint32_t size);

  QFile file_;
  QString fileName_;
  bool riff_ = false;  // the file starts with a "RIFF" header
};
