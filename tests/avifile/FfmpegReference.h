#pragma once

// The ffmpeg command line as the independent reference of the AVI library's tests: clips it
// makes, pictures it decodes, chunks ffprobe sees.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/avifile/AviTypes.h"

namespace avitest {

using Picture = std::vector<BYTE>;

inline std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

// Runs a shell command with ffmpeg's chatter silenced; true on exit status 0.
inline bool Run(const std::string& command) {
  return std::system((command + " 2>/dev/null").c_str()) == 0;
}

inline std::string ReadAll(const std::string& command) {
  const auto close = [](std::FILE* f) { pclose(f); };
  std::unique_ptr<std::FILE, decltype(close)> pipe(popen(command.c_str(), "r"), close);
  std::string out;
  char buffer[1 << 16];
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
    out.append(buffer, n);
  return out;
}

// Pictures of the first video stream as `ffmpeg -i path -f rawvideo -pix_fmt pixFmt` gives
// them, in output order: "bgr24" rows, "pal8" indices followed by a 1024-byte palette, or
// "gray" bytes; top-down and unpadded.
inline std::vector<Picture> FfmpegPictures(const std::string& path, const std::string& pixFmt,
                                           LONG width, LONG height) {
  const std::string bytes =
      ReadAll("ffmpeg -v error -nostdin -i " + Quote(path) +
              " -fps_mode passthrough -f rawvideo -pix_fmt " + pixFmt + " - 2>/dev/null");
  const std::size_t pixels = std::size_t(width) * std::size_t(height);
  const std::size_t size = pixFmt == "bgr24"  ? pixels * 3
                           : pixFmt == "pal8" ? pixels + 1024
                                              : pixels;
  std::vector<Picture> pictures;
  for (std::size_t at = 0; at + size <= bytes.size(); at += size)
    pictures.emplace_back(bytes.begin() + std::ptrdiff_t(at),
                          bytes.begin() + std::ptrdiff_t(at + size));
  return pictures;
}

// Frame numbers of the video chunks that carry data, as ffprobe lists the packets.
inline std::vector<LONG> FfprobeSlots(const std::string& path) {
  std::istringstream lines(
      ReadAll("ffprobe -v error -select_streams v:0 -show_entries packet=dts,size -of csv=p=0 " +
              Quote(path)));
  std::vector<LONG> result;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t comma = line.find(',');
    LONG dts = 0, size = 0;
    if (comma == std::string::npos) continue;
    std::from_chars(line.data(), line.data() + comma, dts);
    std::from_chars(line.data() + comma + 1, line.data() + line.size(), size);
    if (size > 0) result.push_back(dts);
  }
  return result;
}

// Index of the picture that `frame` shows: the last chunk with data at or before it, or the
// first picture for frames before any.
inline std::size_t PictureForFrame(const std::vector<LONG>& chunks, LONG frame) {
  const auto it = std::upper_bound(chunks.begin(), chunks.end(), frame);
  return it == chunks.begin() ? 0 : std::size_t(it - chunks.begin() - 1);
}

// A packed DIB against a reference picture, allowing for bottom-up rows and row padding.
inline ::testing::AssertionResult DibEquals(const void* dib, const Picture& picture,
                                            const std::string& pixFmt, LONG width, LONG height) {
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib, sizeof h);
  const WORD bits = pixFmt == "bgr24" ? 24 : 8;
  if (h.biWidth != width || h.biHeight != height || h.biBitCount != bits)
    return ::testing::AssertionFailure()
           << "header " << h.biWidth << "x" << h.biHeight << "x" << h.biBitCount;
  const BYTE* palette = static_cast<const BYTE*>(dib) + h.biSize;
  const BYTE* rows = palette + 4 * std::size_t(h.biClrUsed);
  const std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
  const std::size_t used = std::size_t(width) * bits / 8;
  for (LONG y = 0; y < height; ++y) {
    if (std::memcmp(rows + std::size_t(height - 1 - y) * stride,
                    picture.data() + std::size_t(y) * used, used) != 0)
      return ::testing::AssertionFailure() << "row " << y << " differs";
  }
  if (bits == 24) return ::testing::AssertionSuccess();
  if (h.biClrUsed != 256) return ::testing::AssertionFailure() << h.biClrUsed << " colours";
  const BYTE* theirPalette = picture.data() + std::size_t(width) * std::size_t(height);
  for (int i = 0; i < 256; ++i) {
    const BYTE* ours = palette + 4 * i;
    const bool same = pixFmt == "pal8" ? std::memcmp(ours, theirPalette + 4 * i, 3) == 0
                                       : ours[0] == i && ours[1] == i && ours[2] == i;
    if (!same) return ::testing::AssertionFailure() << "palette entry " << i << " differs";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace avitest
