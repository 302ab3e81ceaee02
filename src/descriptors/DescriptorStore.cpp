#include "descriptors/DescriptorStore.h"

#include "clip/AviStream.h"
#include "clip/RIFFChunk.h"
#include "descriptors/ClipDescriptor.h"
#include "platform/Exception.h"

bool StoreDescriptor(TAVISTREAM& stream, PGETFRAME& frameReader, const QString& fileName,
                     const std::string& text) {
  stream.GetFrameClose(frameReader);
  frameReader = nullptr;
  stream.Close();
  stream.FileName = fileName;
  const auto block = DescriptorBlock(text);
  try {
    return stream.WriteChunk(ChunkCode("ttls"), block.data(), LONG(block.size()));
  } catch (const Exception&) {
    return false;  // the file could not be opened for writing
  }
}
