#pragma once

#include "celdo_plugin.h"

#include <cstdint>

// The three picture transforms of the library as plain functions: each takes
// the caller's request (picture, optional mask plane, optional region) and the
// choice its dialog would have made, and returns the result bits (0 when a
// pointer is missing, the picture or mask cannot be viewed, the region does
// not lie inside the picture, or memory runs out; the caller's pictures are
// then untouched).
namespace cplugin {

// Quarter turns and diagonal mirrors into a new picture (and a new mask when
// one is given): 0 clockwise, 1 anticlockwise, 2 mirror on the rising
// diagonal, 3 mirror on the falling diagonal.  8- and 24-bit pictures are
// turned over the region, 1- and 4-bit ones whole.  Returns 12, or 13 with a
// region.
std::uint32_t Rotate(FilterRequest& request, int operation);

// In place: 1 left to right, 2 upside down, 3 half turn.  8- and 24-bit
// pictures over the region, 1- and 4-bit ones whole; the mask over the
// region.  Returns 8, or 9 with a region.
std::uint32_t Invert(FilterRequest& request, int operation);

// Turns the region by `degrees` (positive: anticlockwise on screen) into a new
// 8-bit (or 24-bit) picture and a new mask, sampling the nearest source pixel
// in 12-bit fixed point.  Uncovered pixels are 0 with mask 255.  Refused (0)
// for pictures below 8 bits and results wider or higher than 4096.  Returns
// 12, or 13 with a region.
std::uint32_t FreeRotate(FilterRequest& request, double degrees);

// Degrees to radians exactly as the library always has (slightly below
// pi / 180).
inline constexpr double DegreesToRadians = 0.01745329251994291;
inline constexpr int MaxFreeRotationSize = 4096;

} // namespace cplugin
