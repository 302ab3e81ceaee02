#pragma once

// Pictures of the demo scene as one camera sees it. Edges are anti-aliased by coverage (16
// samples a pixel) and nothing is blurred by motion, so the coverage-weighted centre of a
// shape's pixels is the shape's own centre: what a test measures on a decoded frame.

#include <vector>

#include "DemoScene.h"

namespace demo {

// Top-down rows of the camera's picture at test time ms, as a DIB of its size and bit count
// stores them (padded to 4 bytes): BGR, grey levels or indices into PaletteOf.
std::vector<BYTE> RenderFrame(const Camera& camera, double ms);
// Bytes of one row.
DWORD RowBytes(const Camera& camera);
// The colour table of a palettized camera: the background, then a ramp of 64 entries from the
// background to each shape's colour. Empty for the other looks (grey clips take the grey ramp).
std::vector<RGBQUAD> PaletteOf(const Camera& camera);

}  // namespace demo
