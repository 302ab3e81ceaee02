#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

// The camera header side file of a clip: the clip's path up to its last "." followed by
// "AVI.chd" (run7.avi -> run7AVI.chd). Read only.
struct TCameraTiming {
  std::uint32_t frameRate = 0;  // frames per second, above 0
  std::int32_t markFrame = 0;
};

// Empty when the path has no "." after its first character.
QString CameraHeaderPath(const QString& clipPath);
// The timing the file gives; none when it is missing, short, carries a wrong signature or a
// zero rate.
std::optional<TCameraTiming> ReadCameraHeader(const QString& clipPath);
// "[Timing]" with the rate, the mark frame and time 0 at the mark frame.
std::string CameraTimingText(const TCameraTiming& timing);
