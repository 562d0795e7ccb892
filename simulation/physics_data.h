// Readers of the two physics data files of water, in their fixed-column layouts.
#pragma once

#include <filesystem>

#include "simulation/input_error.h"
#include "simulation/state.h"

namespace dravik {

// Reads water20.dat (photon coefficients and scatter factors), sets the three
// derived constants, then reads ELDAT.dat (deflection table), both from `folder`.
InputResult readPhysicsData(PhysicsTables& tables, const std::filesystem::path& folder = ".");

// The two halves, for tests and the data generators' checks.
InputResult readWaterData(PhysicsTables& tables, const std::filesystem::path& file);
InputResult readDeflectionData(DeflectionTable& table, const std::filesystem::path& file);

}  // namespace dravik
