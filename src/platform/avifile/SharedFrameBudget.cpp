#include "platform/avifile/SharedFrameBudget.h"

#include "platform/avifile/FrameCache.h"

namespace avifile {

void SetSharedFrameBudget(std::size_t bytes) {
  FrameBudget::shared().setLimit(bytes);
}

std::size_t SharedFrameBudget() {
  return FrameBudget::shared().limit();
}

std::size_t SharedFrameBytes() {
  return FrameBudget::shared().bytes();
}

}  // namespace avifile
