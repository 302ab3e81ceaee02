#include "descriptors/DescriptorStore.h"

#include <QFileInfo>

#include "clip/AviStream.h"
#include "descriptors/ClipDescriptor.h"
#include "platform/Exception.h"

namespace {

TWriteFailure Store(const QString& fileName, const std::string& text) {
  // Cut to 2048 bytes, a text would lose its last section and the user would not know.
  if (text.size() > kStoredDescriptorSize) return TWriteFailure::TooLong;
  // Only a regular file is opened: a FIFO would wait for a writer.
  if (!QFileInfo(fileName).isFile()) return OpenFailureOf(fileName);
  const auto block = DescriptorBlock(text);
  TWriteFailure failure = TWriteFailure::None;
  try {
    TRIFF(fileName).WriteChunk(ChunkCode("ttls"), block.data(), std::uint32_t(block.size()),
                               &failure);
  } catch (const Exception&) {
    failure = OpenFailureOf(fileName);
  }
  return failure;
}

}  // namespace

bool StoreDescriptor(TAVISTREAM& stream, PGETFRAME& frameReader, const QString& fileName,
                     const std::string& text, TWriteFailure* why) {
  stream.GetFrameClose(frameReader);
  frameReader = nullptr;
  stream.Close();
  stream.FileName = fileName;
  const TWriteFailure failure = Store(fileName, text);
  if (why) *why = failure;
  return failure == TWriteFailure::None;
}
