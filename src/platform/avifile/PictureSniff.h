#pragma once

// The coding type of a picture, read from the start of an MPEG-1/2 or MPEG-4 Part 2 packet.
// Those decoders drop the B pictures that follow a key frame after a seek, so the frame
// getter counts them to know which picture comes out first.

#include <cstddef>
#include <cstdint>

#include "platform/avifile/FfmpegHandles.h"

namespace avifile {

enum class PictureKind { Unknown, Intra, Predicted, Bidirectional };

// True for the codecs whose packets SniffPicture understands.
bool CanSniffPictures(AVCodecID codec);
// The type of the first picture in the packet; Unknown when none is found.
PictureKind SniffPicture(AVCodecID codec, const std::uint8_t* data, std::size_t size);

}  // namespace avifile
