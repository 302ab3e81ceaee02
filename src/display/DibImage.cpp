#include "display/DibImage.h"

#include <cstring>

#include "clip/Dib.h"

namespace {

QImage::Format formatOf(WORD bitCount) {
  switch (bitCount) {
    case 8:
      return QImage::Format_Indexed8;
    case 24:
      return QImage::Format_BGR888;
    case 32:
      return QImage::Format_RGB32;
    default:
      return QImage::Format_Invalid;
  }
}

}  // namespace

QImage ImageFromDib(const BITMAPINFOHEADER* dib) {
  if (!dib || dib->biWidth <= 0 || dib->biHeight == 0 || dib->biCompression != 0) return {};
  const QImage::Format format = formatOf(dib->biBitCount);
  if (format == QImage::Format_Invalid) return {};
  const int width = dib->biWidth;
  const int height = dib->biHeight < 0 ? -dib->biHeight : dib->biHeight;
  const bool bottomUp = dib->biHeight > 0;
  QImage image(width, height, format);
  if (image.isNull()) return {};
  const std::int64_t stride = DibStride(*dib);
  const std::uint8_t* pixels = DibPixels(dib);
  const std::size_t rowBytes = std::size_t(width) * (dib->biBitCount / 8);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = pixels + stride * (bottomUp ? height - 1 - y : y);
    std::memcpy(image.scanLine(y), row, rowBytes);
  }
  if (format == QImage::Format_Indexed8) {
    const auto* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(dib) + dib->biSize);
    const std::uint32_t colors = DibColors(*dib);
    QList<QRgb> palette;
    for (std::uint32_t i = 0; i < 256; ++i)
      palette << (i < colors ? qRgb(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue)
                             : qRgb(int(i), int(i), int(i)));
    image.setColorTable(palette);
  }
  return image;
}
