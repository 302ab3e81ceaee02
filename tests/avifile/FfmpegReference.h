#pragma once

// The ffmpeg command line as the independent reference of the AVI library's tests: clips it
// makes, pictures it decodes, chunks ffprobe sees.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/avifile/AviTypes.h"

namespace avitest {

using Picture = std::vector<BYTE>;

std::string Quote(const std::string& text);
// Runs a shell command with ffmpeg's chatter silenced; true on exit status 0.
bool Run(const std::string& command);

// Pictures of the first video stream as `ffmpeg -i path -f rawvideo -pix_fmt pixFmt` gives
// them, in output order: "bgr24" rows, "pal8" indices followed by a 1024-byte palette, or
// "gray" bytes; top-down and unpadded.
std::vector<Picture> FfmpegPictures(const std::string& path, const std::string& pixFmt, LONG width,
                                    LONG height);
// Frame numbers of the video chunks that carry data, as ffprobe lists the packets.
std::vector<LONG> FfprobeSlots(const std::string& path);
// Index of the picture that `frame` shows: the last chunk with data at or before it.
std::size_t PictureForFrame(const std::vector<LONG>& slots, LONG frame);

// A packed DIB against a reference picture, allowing for bottom-up rows and row padding.
::testing::AssertionResult DibEquals(const void* dib, const Picture& picture,
                                     const std::string& pixFmt, LONG width, LONG height);

}  // namespace avitest
