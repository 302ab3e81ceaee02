#pragma once

#include <QImage>

#include "platform/avifile/AviTypes.h"

// A QImage with its own copy of the pixels of a packed DIB (8-bit with its colour table, or
// 24/32-bit), top row first as Qt expects. A null image for formats the system never shows.
QImage ImageFromDib(const BITMAPINFOHEADER* dib);
