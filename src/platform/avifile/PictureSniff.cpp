#include "platform/avifile/PictureSniff.h"

namespace avifile {

namespace {

// Position just after the first start code 00 00 01 `code`, or size when there is none.
std::size_t AfterStartCode(const std::uint8_t* p, std::size_t size, std::uint8_t code) {
  for (std::size_t i = 0; i + 3 < size; ++i)
    if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1 && p[i + 3] == code) return i + 4;
  return size;
}

PictureKind Mpeg4Kind(const std::uint8_t* p, std::size_t size) {
  const std::size_t at = AfterStartCode(p, size, 0xB6);  // video object plane
  if (at >= size) return PictureKind::Unknown;
  switch (p[at] >> 6) {
    case 0:
      return PictureKind::Intra;
    case 2:
      return PictureKind::Bidirectional;
    default:  // P and sprite (S) planes both predict from the previous reference
      return PictureKind::Predicted;
  }
}

PictureKind Mpeg12Kind(const std::uint8_t* p, std::size_t size) {
  const std::size_t at = AfterStartCode(p, size, 0x00);  // picture header
  if (at + 1 >= size) return PictureKind::Unknown;
  switch ((p[at + 1] >> 3) & 7) {  // after the 10-bit temporal reference
    case 1:
      return PictureKind::Intra;
    case 2:
      return PictureKind::Predicted;
    case 3:
      return PictureKind::Bidirectional;
    default:
      return PictureKind::Unknown;
  }
}

}  // namespace

bool CanSniffPictures(AVCodecID codec) {
  return codec == AV_CODEC_ID_MPEG4 || codec == AV_CODEC_ID_MPEG1VIDEO ||
         codec == AV_CODEC_ID_MPEG2VIDEO;
}

PictureKind SniffPicture(AVCodecID codec, const std::uint8_t* data, std::size_t size) {
  if (!data) return PictureKind::Unknown;
  if (codec == AV_CODEC_ID_MPEG4) return Mpeg4Kind(data, size);
  if (codec == AV_CODEC_ID_MPEG1VIDEO || codec == AV_CODEC_ID_MPEG2VIDEO)
    return Mpeg12Kind(data, size);
  return PictureKind::Unknown;
}

}  // namespace avifile
