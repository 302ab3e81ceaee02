#include "platform/Clock.h"

#include <chrono>

namespace platform_clock {

namespace {
std::function<std::uint32_t()>& source() {
  static std::function<std::uint32_t()> s;
  return s;
}
}  // namespace

std::uint32_t tickCount() {
  if (source()) return source()();
  using namespace std::chrono;
  // Wraps every 49.7 days like the platform's counter; callers compare differences.
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void setSource(std::function<std::uint32_t()> s) {
  source() = std::move(s);
}

}  // namespace platform_clock
