#pragma once

// Writes single frames, given as packed DIBs, as image files: Windows bitmaps byte for byte,
// GIF, JPEG and TIFF through FFmpeg's image encoders. One writer serves one frame size and bit
// count (8-bit with its colour table, or 24-bit) and one thread.

#include <memory>
#include <string>

#include "platform/avifile/AviTypes.h"

namespace avifile {

enum class ImageType { Bmp, Gif, Jpeg, Tiff };

class ImageFileWriter {
 public:
  virtual ~ImageFileWriter() = default;
  // Null when the type has no encoder here or the size is refused.
  static std::unique_ptr<ImageFileWriter> Open(ImageType type, LONG width, LONG height,
                                               WORD bitCount);
  // False when the frame does not match the opened size or the file cannot be written whole
  // (a partly written file is removed).
  virtual bool write(const std::string& path, const BITMAPINFOHEADER* dib) = 0;
};

// Writes bytes to a new file at path; false, and no file left, when any write fails.
bool WriteWholeFile(const std::string& path, const void* head, std::size_t headSize,
                    const void* body, std::size_t bodySize);

}  // namespace avifile
