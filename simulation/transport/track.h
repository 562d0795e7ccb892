// Electron track deposition: one straight electron step spread over the
// cylindrical scoring cells it crosses.
#pragma once

#include "simulation/state.h"

namespace dravik {

// Spreads dE [keV], lost on the straight step p0 -> p1 (both inside the phantom),
// over the kernel cells of `layer` that the step crosses in the (r, z) plane:
// first over the depth bins in proportion to the depth spent in each, then each
// depth share over the rings in proportion to the radius spent in each. Nothing
// is scored when r does not change or when the step lies wholly at r >= 25 cm;
// what lies beyond r = 25 cm is dropped. A step of no depth change scores
// nothing (the electron walk never hands one over).
void depositTrack(DoseKernel& kernel, const Phantom& phantom, int layer, float dE, Point p0,
                  Point p1);

}  // namespace dravik
