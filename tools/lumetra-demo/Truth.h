#pragma once

#include <QString>

namespace demo {

// Writes truth.json: the scene's motion as formulas with their parameters, each camera's
// rate, trigger frame, size, bit depth, timing carrier and scale, and the signal files.
// Raises Exception on failure.
void WriteTruth(const QString& folder);

}  // namespace demo
