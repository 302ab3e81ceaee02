#pragma once

// Byte-level edits of AVI files: the patches the writer applies after FFmpeg's muxer, and the
// odd layouts tests need (extra top-level chunks, odd sizes, a RIFF size that promises more
// than the file holds, a file without an index). Each call opens, edits and closes the file;
// false when the file cannot be read or written or is not an AVI RIFF.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/avifile/AviTypes.h"

namespace avifile {

// Appends a chunk at the end of the first RIFF's data and grows the RIFF size by its header,
// data and pad byte. An odd size gets its pad byte unless `pad` is false (a malformed file).
// Bytes after the first RIFF (further "AVIX" parts) move back.
bool AppendRiffChunk(const std::string& path, FOURCC id, const void* data, DWORD size,
                     bool pad = true);
// Overwrites the RIFF size field, e.g. larger than the file as a broken recording leaves it.
bool SetRiffSize(const std::string& path, DWORD size);
// Cuts the file to `size` bytes (the RIFF size field is left as it was).
bool TruncateFile(const std::string& path, std::int64_t size);
// Renames the first top-level chunk `from` (e.g. "idx1" to "JUNK": a file without an index).
bool RenameTopLevelChunk(const std::string& path, FOURCC from, FOURCC to);

// The stream header of the n-th stream: rate and scale, and the main header's microseconds
// per frame (rounded) when it is the first stream.
bool PatchStreamRate(const std::string& path, int stream, DWORD rate, DWORD scale);
bool PatchStreamHandler(const std::string& path, int stream, FOURCC handler);
// One 32-bit field of the n-th stream header, at its byte offset (offsetof(AVIStreamHeader, ..)).
bool PatchStreamHeaderField(const std::string& path, int stream, std::size_t offset, DWORD value);
// The width and height of the BITMAPINFOHEADER in the n-th stream's "strf".
bool PatchStreamFormatSize(const std::string& path, int stream, LONG width, LONG height);
// The colour table that follows the n-th stream's BITMAPINFOHEADER in "strf".
bool PatchStreamPalette(const std::string& path, int stream, const RGBQUAD* palette, int entries);

}  // namespace avifile
