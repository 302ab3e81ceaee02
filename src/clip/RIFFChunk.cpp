#include "clip/RIFFChunk.h"

bool TRIFFChunk::FindChild(FOURCC code, TRIFFChunk*& chunk) const {
  for (const auto& child : Children) {
    if (child->ID == code) {
      chunk = child.get();
      return true;
    }
  }
  chunk = nullptr;
  return false;
}
