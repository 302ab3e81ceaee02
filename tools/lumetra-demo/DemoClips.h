#pragma once

#include <QString>
#include <string>

#include "DemoScene.h"

namespace demo {

// The clip's descriptor text: its timing with the trigger as mark frame at time 0, the camera
// facts and a title.
std::string DescriptorTextOf(const Camera& camera);
// Writes the camera's clip into folder with its timing carrier: the "ttls" chunk, a marker
// chunk holding the time of frame 0, or the camera header side file. Raises Exception with
// the reason on failure.
void WriteCameraClip(const QString& folder, const Camera& camera);

}  // namespace demo
