#pragma once

#include <cstdint>
#include <functional>

// The tick counter in milliseconds. Tests replace the source to drive time by hand.
namespace platform_clock {

std::uint32_t tickCount();
// Replaces the source; an empty function restores the monotonic clock.
void setSource(std::function<std::uint32_t()> source);

}  // namespace platform_clock
