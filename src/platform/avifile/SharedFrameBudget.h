#pragma once

// The budget of decoded pictures that all open clips share (FrameCache.h), for code that must
// not see the decoder's headers: the main window applies the user's preference through it.

#include <cstddef>

namespace avifile {

// Drops pictures at once when the new limit is lower.
void SetSharedFrameBudget(std::size_t bytes);
std::size_t SharedFrameBudget();
// Bytes the shared budget holds now.
std::size_t SharedFrameBytes();

}  // namespace avifile
