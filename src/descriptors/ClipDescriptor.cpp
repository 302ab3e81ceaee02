#include "descriptors/ClipDescriptor.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

#include "clip/RIFF.h"
#include "descriptors/CameraHeader.h"
#include "descriptors/DescriptorText.h"
#include "platform/Exception.h"
#include "textio/FloatText.h"

namespace {

constexpr std::uint8_t kMarkerFirstByte = 0x90;
constexpr std::uint32_t kStreamHeaderSize = 56;

std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

bool loadedWhole(const TRIFFChunk* chunk) {
  return chunk->Data && chunk->Data->size() >= chunk->Size;
}

// The text of a "ttls" chunk: its data up to the first zero byte; empty when it is too large.
std::string storedText(const TRIFFChunk& ttls) {
  if (ttls.Size > kStoredDescriptorSize || !ttls.Data) return {};
  const auto& data = *ttls.Data;
  const auto end = std::find(data.begin(), data.end(), std::uint8_t(0));
  return std::string(data.begin(), end);
}

// Frames per second from the 56-byte "strh" of the first stream list, when there is one.
std::optional<double> streamRate(const TRIFF& riff) {
  TRIFFChunk* hdrl = nullptr;
  TRIFFChunk* strl = nullptr;
  TRIFFChunk* strh = nullptr;
  if (!riff.FindChild(ChunkCode("hdrl"), hdrl) || !hdrl->FindChild(ChunkCode("strl"), strl) ||
      !strl->FindChild(ChunkCode("strh"), strh) || strh->Size != kStreamHeaderSize ||
      !loadedWhole(strh))
    return std::nullopt;
  const std::uint32_t scale = le32(strh->Data->data() + offsetof(AVIStreamHeader, dwScale));
  const std::uint32_t rate = le32(strh->Data->data() + offsetof(AVIStreamHeader, dwRate));
  // dwRate / dwScale is the AVI definition; a zero scale is taken as 1.
  return double(rate) / double(scale == 0 ? 1 : scale);
}

std::optional<std::string> markerText(const TRIFF& riff) {
  TRIFFChunk* marker = nullptr;
  if (!riff.FindMarkerChunk(kMarkerFirstByte, marker) || !loadedWhole(marker)) return std::nullopt;
  const std::optional<double> rate = streamRate(riff);
  if (!rate) return std::nullopt;
  float timeOfFrame0 = 0;
  const std::uint32_t bits = le32(marker->Data->data());
  std::memcpy(&timeOfFrame0, &bits, sizeof timeOfFrame0);
  // The rate in the general format: a fractional rate must not be cut to an integer.
  return std::string("[Timing]") + kCR + "Frame Rate=" + FloatToStr(*rate) + kCR + "Mark Frame=0" +
         kCR + "Time at Mark Frame=" + FloatToStr(double(timeOfFrame0)) + kCR;
}

}  // namespace

TClipDescriptor ReadClipDescriptor(const QString& fileName) {
  TClipDescriptor d;
  try {
    const TRIFF riff(fileName);
    TRIFFChunk* ttls = nullptr;
    if (riff.FindChild(ChunkCode("ttls"), ttls)) {
      d.text = storedText(*ttls);
      d.source = TDescriptorSource::Ttls;
      return d;
    }
    if (std::optional<std::string> text = markerText(riff)) {
      d.text = *text;
      d.source = TDescriptorSource::Marker;
      return d;
    }
  } catch (const Exception&) {
    // Not readable as RIFF: no chunk text.
  }
  if (const std::optional<TCameraTiming> camera = ReadCameraHeader(fileName)) {
    d.text = CameraTimingText(*camera);
    d.source = TDescriptorSource::Camera;
    d.changed = true;
  }
  return d;
}

std::array<char, kStoredDescriptorSize> DescriptorBlock(const std::string& text) {
  std::array<char, kStoredDescriptorSize> block{};
  std::copy_n(text.begin(), std::min(text.size(), block.size()), block.begin());
  return block;
}
