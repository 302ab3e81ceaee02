#pragma once

#include <QString>
#include <array>
#include <string>

// The descriptor text of a clip file as the display window takes it when the clip opens,
// before the clip stream opens the file: the "ttls" chunk, else a timing made from the marker
// chunk and the stream header, else one made from the camera header side file, else nothing.
enum class TDescriptorSource { None, Ttls, Marker, Camera };

struct TClipDescriptor {
  std::string text;
  TDescriptorSource source = TDescriptorSource::None;
  // The text did not come from the file's own "ttls" chunk and should be offered for storing.
  bool changed = false;
};

// The largest text a clip file stores; the "ttls" chunk always has this many data bytes.
constexpr std::size_t kStoredDescriptorSize = 2048;

// A file that cannot be read as RIFF gives no chunk text (the clip stream reports the file
// when it opens it); the camera header file is still looked for.
TClipDescriptor ReadClipDescriptor(const QString& fileName);

// The "ttls" chunk's data: the text's first 2048 bytes, then zero bytes up to 2048.
std::array<char, kStoredDescriptorSize> DescriptorBlock(const std::string& text);
